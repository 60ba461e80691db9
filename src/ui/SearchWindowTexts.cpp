#include "ui/SearchWindowTexts.h"

namespace zyl::ui {

namespace {

using settings::Caption;
using settings::kQueryWindow;
using settings::kReportWindow;
using settings::kSearchWindow;

constexpr WindowText C(std::string_view name, int key, std::string_view text) {
  return {name, TextRole::Caption, 0, Caption(kSearchWindow, key, text)};
}
constexpr WindowText Item(std::string_view name, int part, int key, std::string_view text) {
  return {name, TextRole::Item, part, Caption(kSearchWindow, key, text)};
}
constexpr WindowText Col(int column, int key, std::string_view text) {
  return {"ListView1", TextRole::Column, column, Caption(kSearchWindow, key, text)};
}
constexpr WindowText Tip(std::string_view name, int key, std::string_view text) {
  return {name, TextRole::ToolTip, 0, Caption(kSearchWindow, key, text)};
}

// Keys follow the order in which the form's controls are described: caption, search box and
// its options, the attribute boxes, the date and size options, the lists, the result columns,
// the menus, the toolbar buttons and the tabs of the left pane.
constexpr WindowText kSearch[] = {
    C("frmSearch", 0, "ZYL Поиск"),
    C("Command2", 1, "Искать"),
    Item("Combo1", 0, 2, "Любое слово"),
    Item("Combo1", 1, 3, "Все слова"),
    Item("Combo1", 2, 4, "Фраза целиком"),
    Item("Combo1", 3, 5, "Язык запросов"),
    C("Check2", 6, "слово целиком"),
    C("Check3", 7, "искать в найденном"),
    C("Check1", 8, "только в архивах"),
    C("Label4", 9, "Тема"),
    C("Label5", 10, "Автор"),
    C("Label6", 11, "Имя файла"),
    C("Check4_0", 12, "Дата между"),
    C("Check4_1", 13, "Не раньше чем"),
    Item("Combo2_0", 0, 14, "минут(а)"),
    Item("Combo2_0", 1, 15, "час(ов)"),
    Item("Combo2_0", 2, 16, "день(дней)"),
    Item("Combo2_0", 3, 17, "недель"),
    Item("Combo2_0", 4, 18, "месяц(ев)"),
    Item("Combo2_0", 5, 19, "лет"),
    C("Check4_2", 20, "Между"),
    C("Check4_3", 21, "По условию"),
    Item("Combo2_2", 0, 22, "байт"),
    Item("Combo2_2", 1, 23, "Кбайт"),
    Item("Combo2_2", 2, 24, "Мбайт"),
    C("Label2_1", 25, "Доступные индексы"),
    C("Label2_0", 26, "История поиска"),
    Col(0, 27, "Файл"),
    Col(1, 28, "Тема"),
    Col(2, 29, "Автор"),
    Col(3, 30, "Тип"),
    Col(4, 31, "Дата"),
    Col(5, 32, "Размер"),
    Col(6, 33, "Папка"),
    C("file_menu", 34, "&Файл"),
    C("open_menu", 35, "Открыть файл"),
    C("load_menu", 36, "Загрузить запрос"),
    C("save_menu", 37, "Сохранить запрос"),
    C("close_menu", 38, "Закрыть"),
    C("option_menu", 39, "&Настройки"),
    C("help_menu", 40, "&Справка"),
    C("content_menu", 41, "Вызов справки"),
    C("about_menu", 42, "О программе"),
    Tip("Button2", 43, "Открыть файл"),
    Tip("Button5", 44, "Предыдущее совпадение"),
    Tip("Button6", 45, "Следующее совпадение"),
    Tip("Button7", 46, "Предыдущий документ"),
    Tip("Button8", 47, "Следующий документ"),
    Tip("Button9", 48, "Выделять найденное"),
    Tip("Button10", 49, "Отчет по найденным файлам"),
    Tip("Button11", 50, "Сразу к первому совпадению"),
    {"TabStrip1", TextRole::Tab, 0, Caption(kSearchWindow, 51, "Запрос")},
    {"TabStrip1", TextRole::Tab, 1, Caption(kSearchWindow, 52, "Индексы")},
    {"TabStrip1", TextRole::Tab, 2, Caption(kSearchWindow, 53, "Типы")},
    C("Label7", 54, "и"),
    C("Label8", 55, "и"),
    C("Label3", 56, "Искать:"),
    // The scheme menu and the document types come from their own sections.
    {"scheme_menu", TextRole::Caption, 0, settings::kSchemeButton},
    {"scheme_all", TextRole::Caption, 0, settings::kSchemeSelectAll},
    {"scheme_none", TextRole::Caption, 0, settings::kSchemeSelectNone},
    {"scheme_invert", TextRole::Caption, 0, settings::kSchemeInvert},
    {"scheme_mail", TextRole::Caption, 0, settings::kSchemeMailboxes},
    {"scheme_office", TextRole::Caption, 0, settings::kSchemeOffice},
};

constexpr WindowText Q(std::string_view name, int key, std::string_view text) {
  return {name, TextRole::Caption, 0, Caption(kQueryWindow, key, text)};
}

constexpr WindowText kQuery[] = {
    Q("frmQueryBuilder", 0, "Мастер запросов"),
    Q("Command5_0", 1, "Содержание"),
    Q("Command5_1", 2, "Автор"),
    Q("Command5_2", 3, "Тема"),
    Q("Command5_3", 4, "Имя файла"),
    Q("Command5_4", 5, "Дата"),
    Q("Command5_5", 6, "Размер"),
    Q("Command5_6", 7, "Тип файла"),
    // keys 8..18: the operator buttons' tool tips (search::QueryOperatorToolTip)
    Q("Command7", 19, "Вставить"),
    Q("Command6", 20, "Справка по функции"),
    Q("Command4", 21, "Справка"),
    {"Command4", TextRole::ToolTip, 0, Caption(kQueryWindow, 22, "Справка по мастеру запросов")},
    Q("Command2", 23, "Отмена"),
    Q("Command1", 24, "OK"),
    // keys 25..30 and 100: the catalogue's groups; 31..64: the menus (search::QueryBuilder)
};

constexpr WindowText R(std::string_view name, int key, std::string_view text) {
  return {name, TextRole::Caption, 0, Caption(kReportWindow, key, text)};
}

constexpr WindowText kReport[] = {
    R("frmReportOption", 0, "Отчет"),
    R("Label1", 1, "Файл:"),
    R("Frame1", 2, "Включить в отчет"),
    R("Check3", 3, "Имя файла"),
    R("Check2", 4, "Тема"),
    R("Check1", 5, "Автор"),
    R("Check4", 6, "Тип"),
    R("Check5", 7, "Дата"),
    R("Check6", 8, "Итоги"),
    R("Command1", 9, "Отчет"),
    R("Command2", 10, "Выход"),
};

}  // namespace

std::span<const WindowText> SearchWindowTexts() {
  return kSearch;
}

std::span<const WindowText> QueryWindowTexts() {
  return kQuery;
}

std::span<const WindowText> ReportWindowTexts() {
  return kReport;
}

const settings::LangText& SearchText(std::string_view objectName) {
  for (const auto table :
       {std::span<const WindowText>(kSearch), std::span<const WindowText>(kQuery),
        std::span<const WindowText>(kReport)}) {
    for (const WindowText& t : table) {
      if (t.objectName == objectName) return t.text;
    }
  }
  return kSearch[0].text;
}

}  // namespace zyl::ui
