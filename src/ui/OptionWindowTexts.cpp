#include "ui/OptionWindowTexts.h"

namespace zyl::ui {

namespace {

using settings::Caption;
using settings::kOptionWindow;

constexpr WindowText C(std::string_view name, int key, std::string_view text) {
  return {name, TextRole::Caption, 0, Caption(kOptionWindow, key, text)};
}
constexpr WindowText Tip(std::string_view name, int key, std::string_view text) {
  return {name, TextRole::ToolTip, 0, Caption(kOptionWindow, key, text)};
}
constexpr WindowText Col(int column, int key, std::string_view text) {
  return {"ListView1", TextRole::Column, column, Caption(kOptionWindow, key, text)};
}
constexpr WindowText Page(int page, int key, std::string_view text) {
  return {"SSTab1", TextRole::Tab, page, Caption(kOptionWindow, key, text)};
}
constexpr WindowText Item(int row, int key, std::string_view text) {
  return {"List2", TextRole::Item, row, Caption(kOptionWindow, key, text)};
}

constexpr WindowText kOption[] = {
    C("frmOption", 0, "ZYL настройки"),
    C("Label1", 1, "Каталог для индексов"),
    C("Label2", 2, "Шаблон результатов"),
    Tip("Text2", 3, "Файл шаблона списка найденных файлов"),
    C("Label4", 4, "Шаблон формы поиска"),
    Tip("Text4", 5, "Файл с формой для поиска файлов"),
    C("Label5", 6, "Порт сервера"),
    C("Label6", 7, "Помнить список из"),
    C("Label7", 8, "элементов"),
    C("Check1", 9, "Автоопределение кодовой страницы"),
    Tip("Check1", 10, "Автоматически определять кодовую страницу для текстовых файлов"),
    C("Check2", 11, "Оптимизация html обработки"),
    C("Check3", 12, "Включить историю поиска"),
    C("Check4", 13, "Встроенный обработчик html"),
    C("Label13", 14, "Язык"),
    C("Command10", 15, "Применить"),
    Item(0, 16, "Обычный текст"),
    Item(1, 17, "Найденный текст"),
    C("Label8", 18, "Шрифт"),
    C("Label9", 19, "Размер"),
    C("Label10", 20, "Фон"),
    C("Label12", 21, "Шрифт"),
    C("Check5", 22, "Жирный"),
    C("Check6", 23, "Подчеркнутый"),
    C("Frame1", 24, "Пример"),
    C("Label11", 25, "Simple text"),
    C("Label3", 26, "Found text"),
    Col(0, 27, " Архиватор"),
    Col(1, 28, "Путь"),
    Col(2, 29, "Коммандная строка"),
    C("Label14", 30, "Путь"),
    C("Label15", 31, "Коммандная строка"),
    C("Command1", 32, "OK"),
    C("Command2", 33, "Отмена"),
    C("Command7", 34, "Справка"),
    Page(0, 35, "Общие"),
    Page(1, 36, "Язык"),
    Page(2, 37, "Вид"),
    Page(3, 38, "Архиваторы"),
};

}  // namespace

std::span<const WindowText> OptionWindowTexts() {
  return kOption;
}

}  // namespace zyl::ui
