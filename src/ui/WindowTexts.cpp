#include "ui/WindowTexts.h"

#include "base/Paths.h"
#include "settings/Settings.h"

namespace zyl::ui {

namespace {

using settings::Caption;
using settings::kManagerWindow;
using settings::kUpdateWindow;

constexpr WindowText C(std::string_view name, int key, std::string_view text) {
  return {name, TextRole::Caption, 0, Caption(kManagerWindow, key, text)};
}
constexpr WindowText Col(int column, int key, std::string_view text) {
  return {"ListView1", TextRole::Column, column, Caption(kManagerWindow, key, text)};
}
constexpr WindowText Tip(std::string_view name, int key, std::string_view text) {
  return {name, TextRole::ToolTip, 0, Caption(kManagerWindow, key, text)};
}

// Keys follow the order in which the window's controls are described: caption, list columns,
// details pane, menus, pop-up menu, toolbar buttons.
constexpr WindowText kManager[] = {
    C("frmWelcome2", 0, "ZYL: менеджер индексов"),
    Col(0, 1, "Название"),
    Col(1, 2, "Файл"),
    Col(2, 3, "Тип"),
    Col(3, 4, "Дата"),
    Col(4, 5, "Файлов"),
    Col(5, 6, "Объем файлов"),
    C("Label3", 7, "Описание"),
    C("Label1", 8, "Каталоги"),
    C("Label2", 9, "Типы документов"),
    C("file_menu", 10, "&Файл"),
    C("make_local_menu", 11, "Создать локальный индекс"),
    C("make_web_menu", 12, "Создать веб индекс"),
    C("open_menu", 13, "Открыть индекс"),
    C("edit_menu", 14, "Редактировать индекс"),
    C("delete_menu", 15, "Удалить индекс"),
    C("update_menu", 16, "Обновить индекс"),
    C("exit_menu", 17, "Выход"),
    C("find_menu", 18, "&Поиск"),
    C("find_index_menu", 19, "Поиск по индексу"),
    C("option_menu", 20, "&Настройки"),
    C("help_menu", 21, "&Справка"),
    C("content_menu", 22, "Содержание"),
    C("web_site_menu", 23, "ZYL в интернет"),
    C("about_menu", 24, "О программе"),
    C("pIndexFinde_menu", 25, "Поиск по индексу"),
    C("pUpdateIndex_menu", 26, "Обновить индекс"),
    C("pEditIndex_menu", 27, "Редактировать индекс"),
    C("pDeleteIndex_menu", 28, "Удалить индекс"),
    Tip("Button1", 29, "Создать локальный индекс"),
    Tip("Button2", 30, "Создать веб индекс"),
    Tip("Button3", 31, "Открыть индекс"),
    Tip("Button4", 32, "Удалить индекс"),
    Tip("Button5", 33, "Обновить индекс"),
    Tip("Button6", 34, "Поиск по индексу"),
    Tip("Button8", 35, "Редактировать индекс"),
    Tip("Button9", 36, "Справка"),
};

constexpr WindowText kUpdate[] = {
    {"frmUpdate", TextRole::Caption, 0, settings::kUpdateCaption},
    {"Command3", TextRole::Caption, 0, kUpdateStopButton},
    {"Label1", TextRole::Caption, 0, kUpdateIndexLabel},
};

}  // namespace

std::string CaptionText(const settings::LangText& text) {
  const std::string& file = settings::Config().Lang;
  if (file.empty() || !base::FileExists(file)) return std::string(text.text);
  return settings::LangString(text);
}

std::span<const WindowText> ManagerWindowTexts() {
  return kManager;
}

const settings::LangText& ManagerText(std::string_view objectName) {
  for (const WindowText& t : kManager) {
    if (t.objectName == objectName) return t.text;
  }
  return kManager[0].text;
}

std::span<const WindowText> UpdateWindowTexts() {
  return kUpdate;
}

}  // namespace zyl::ui
