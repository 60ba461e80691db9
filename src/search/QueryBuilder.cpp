#include "search/QueryBuilder.h"

#include "base/Strings.h"

namespace zyl::search {

namespace {

using settings::Caption;
using settings::kQueryWindow;
using settings::LangText;

constexpr LangText kLike = Caption(kQueryWindow, 31, "Похоже на (Like)");
constexpr LangText kExactly = Caption(kQueryWindow, 32, "Точно равно (=)");
constexpr LangText kTextMenu[] = {kLike, kExactly};
constexpr LangText kDateMenu[] = {
    Caption(kQueryWindow, 33, "Позднее чем >"),
    Caption(kQueryWindow, 34, "Ранее чем <"),
    Caption(kQueryWindow, 35, "Точно ="),
};
constexpr LangText kSizeMenu[] = {
    Caption(kQueryWindow, 36, "Больше чем >"),
    Caption(kQueryWindow, 37, "Меньше чем <"),
    Caption(kQueryWindow, 38, "Равно ="),
};
constexpr LangText kCharsetMenu[] = {
    Caption(kQueryWindow, 39, "Все русские буквы"),
    Caption(kQueryWindow, 40, "Все латинские буквы"),
    Caption(kQueryWindow, 41, "Все цифры"),
    Caption(kQueryWindow, 42, "Знаки препенания"),
    Caption(kQueryWindow, 43, "Пусто"),
};
constexpr std::string_view kCharsetFragments[] = {"[а-я,А-Я] ", "[a-z,A-Z] ", "[0-9] ", "[.,:;] ",
                                                  "[] "};

// The type menu, in its own order (not the order of the search window's type list).
constexpr LangText kTypeMenu[] = {
    Caption(kQueryWindow, 44, "Текстовый файл (*.txt)"),
    Caption(kQueryWindow, 45, "Windows write (*.wri)"),
    Caption(kQueryWindow, 46, "Rich text format (*.rtf)"),
    Caption(kQueryWindow, 47, "MS Word (*.doc)"),
    Caption(kQueryWindow, 48, "MS Excel (*.xls)"),
    Caption(kQueryWindow, 49, "Adobe Acrobat (*.pdf)"),
    Caption(kQueryWindow, 50, "Mpeg-id (*.mp3)"),
    Caption(kQueryWindow, 51, "Веб страницы (*.htm*)"),
    Caption(kQueryWindow, 52, "Пользовательские файлы"),
    Caption(kQueryWindow, 53, "Word perfect (*.wpd)"),
    Caption(kQueryWindow, 54, "MS Works (*.wps)"),
    Caption(kQueryWindow, 55, "Lotus 1-2-3"),
    Caption(kQueryWindow, 56, "dBase"),
    Caption(kQueryWindow, 57, "Quattro Pro"),
    Caption(kQueryWindow, 58, "DIF"),
    Caption(kQueryWindow, 59, "CSV"),
    Caption(kQueryWindow, 60, "Шаблон WORD"),
    Caption(kQueryWindow, 61, "Шаблон Excel"),
    Caption(kQueryWindow, 62, "Прочие excel"),
    Caption(kQueryWindow, 63, "Почтовый ящик Outlool Express"),
    Caption(kQueryWindow, 64, "Почтовый ящик Netscape Messenger"),
};
constexpr std::string_view kTypeCodes[] = {
    "txt",   "wri", "rtf",     "doc", "xls", "pdf", "mp3", "html",   "users",   "wpd",     "wps",
    "lotus", "dbf", "quattro", "dif", "csv", "dot", "xlt", "excel2", "mail_oe", "mail_moz"};

// Field names of the four text buttons.
constexpr std::string_view kTextFields[] = {"Content", "Author", "Title", "Location"};

constexpr std::string_view kOperatorCaptions[] = {
    "=", ">", "<", "<>", "(", ")", "And", "Or", "Not", "Like", "[  ]", "+", "-", "/", "*"};
constexpr std::string_view kOperatorFragments[] = {"= ", "> ",   "< ",  "<> ",  "( ",
                                                   ") ", "AND ", "OR ", "NOT ", "LIKE ",
                                                   "",   "+ ",   "- ",  "/ ",   "* "};
constexpr LangText kOperatorTips[] = {
    Caption(kQueryWindow, 8, "Равно"),
    Caption(kQueryWindow, 9, "Больше"),
    Caption(kQueryWindow, 10, "Меньше"),
    Caption(kQueryWindow, 11, "Не равно"),
    Caption(kQueryWindow, 12, "Левая скобка"),
    Caption(kQueryWindow, 13, "Правая скобка"),
    Caption(kQueryWindow, 14, "И"),
    Caption(kQueryWindow, 15, "Или"),
    Caption(kQueryWindow, 16, "Не"),
    Caption(kQueryWindow, 17, "Похоже"),
    Caption(kQueryWindow, 18, "Набор символов"),
};

constexpr std::string_view kTextFunctions[] = {"ASC",  "CHR", "FORMAT", "InSTR", "LCase",
                                               "Left", "Len", "LTrim",  "Mid",   "Right"};
constexpr std::string_view kMathFunctions[] = {"Abs", "Exp", "Fix", "Int"};
constexpr std::string_view kStatFunctions[] = {"Avg", "Count", "Max", "Min", "Sum"};
constexpr std::string_view kMoneyFunctions[] = {"IRR", "Rate"};
constexpr std::string_view kDateFunctions[] = {"Date", "Day",  "Hour",   "Minute",
                                               "Now",  "Time", "WeekDay"};
constexpr std::string_view kCastFunctions[] = {"CDate", "CInt", "CStr", "Hex", "Oct"};

constexpr CatalogueGroup kCatalogue[] = {
    {"r1", Caption(kQueryWindow, 25, "Текстовые"), kTextFunctions},
    {"r2", Caption(kQueryWindow, 26, "Математические"), kMathFunctions},
    {"r3", Caption(kQueryWindow, 27, "Статистические"), kStatFunctions},
    {"r4", Caption(kQueryWindow, 28, "Финансовые"), kMoneyFunctions},
    {"r5", Caption(kQueryWindow, 29, "Дата/время"), kDateFunctions},
    {"r6", Caption(kQueryWindow, 30, "Преобразование типов"), kCastFunctions},
    {"z", settings::kQueryOtherFunctions, {}},
};

// Syntax lists by group letter; entries separated by ";" and taken by position, blanks after
// ";" kept as they stand.
constexpr std::string_view kSyntax[] = {
    "Asc(«stringexp»);Chr(«charcode»);Format («expr»,«fmt»,«firstweekday»,«firstweek»);InStr "
    "(«start»,«stringexpr1»,«stringexpr2»,«compare»);LCase («stringexpr»); Left "
    "(«stringexpr»,«n»); "
    "Len («stringexpr»); LTrim («stringexpr»);Mid («stringexpr», «start», «length»);Right "
    "(«stringexpr», «n»)",
    "Abs («number»); Exp («number»); Fix («number»);Int («number»)",
    "Avg («expr»); Count («expr»); Max («expr»); Min («expr»);Sum («expr») ",
    "IRR («ValueArray», «guess»); Rate («nper», «pmt», «pv», «fv», «due», «guess»)",
    "Date ();Day («number»);Hour («number»);Minute («number»);Now ();Time ();Weekday («number»)",
    "CDate («date»);CInt («expr»);CStr («expr»);Hex («number»);Oct («number») ",
};

constexpr std::string_view kGroupHelpWords[] = {
    "строки, обработка",  "математические функции",     "Статистические функции SQL",
    "финансовые функции", "Date - тип данных, функции", "функции преобразования типа",
};

}  // namespace

std::span<const LangText> QueryFieldMenu(int button) {
  if (button >= 0 && button < 4) return kTextMenu;
  if (button == 4) return kDateMenu;
  if (button == 5) return kSizeMenu;
  if (button == 6) return kTypeMenu;
  return {};
}

std::string QueryFieldFragment(int button, int entry, const base::DateTimeParts& today) {
  const std::string q = "\"";
  if (button >= 0 && button < 4) {
    const std::string field(kTextFields[button]);
    // The content's "equal" entry has no blank after "=", unlike the other three.
    if (entry == 0) return field + " LIKE " + q + "**" + q + " ";
    if (entry == 1) return field + (button == 0 ? " =" : " = ") + q + q + " ";
    return {};
  }
  if (button == 4 && entry >= 0 && entry < 3) {
    static constexpr std::string_view kRelations[] = {">", "<", "="};
    // A starting value for the person to edit: day/month/year.
    const std::string d = std::to_string(today.day) + "/" + std::to_string(today.month) + "/" +
                          std::to_string(today.year);
    return "Modified" + std::string(kRelations[entry]) + "#" + d + "# ";
  }
  if (button == 5 && entry >= 0 && entry < 3) {
    static constexpr std::string_view kSizes[] = {"Filesize>0 ", "Filesize<0 ", "Filesize=0 "};
    return std::string(kSizes[entry]);
  }
  if (button == 6 && entry >= 0 && entry < static_cast<int>(std::size(kTypeCodes))) {
    return "Type=" + q + std::string(kTypeCodes[entry]) + q + " ";
  }
  return {};
}

std::string_view QueryOperatorCaption(int index) {
  return index >= 0 && index < kQueryOperators ? kOperatorCaptions[index] : std::string_view{};
}

const LangText* QueryOperatorToolTip(int index) {
  return index >= 0 && index < static_cast<int>(std::size(kOperatorTips)) ? &kOperatorTips[index]
                                                                          : nullptr;
}

std::string_view QueryOperatorFragment(int index) {
  return index >= 0 && index < kQueryOperators ? kOperatorFragments[index] : std::string_view{};
}

std::span<const LangText> CharacterSetMenu() {
  return kCharsetMenu;
}

std::string_view CharacterSetFragment(int entry) {
  return entry >= 0 && entry < static_cast<int>(std::size(kCharsetFragments))
             ? kCharsetFragments[entry]
             : std::string_view{};
}

std::span<const CatalogueGroup> FunctionCatalogue() {
  return kCatalogue;
}

std::string FunctionKey(const CatalogueGroup& group, std::size_t i) {
  const char letter = static_cast<char>('a' + (&group - kCatalogue));
  return std::string(1, letter) + std::to_string(i);
}

std::string SyntaxOf(std::string_view nodeKey) {
  if (nodeKey == "z") return settings::LangString(settings::kQueryOtherFunctionsNote);
  if (nodeKey.size() < 2 || nodeKey[0] < 'a' || nodeKey[0] > 'f') return {};
  const std::string_view digits = nodeKey.substr(1);
  for (char c : digits)
    if (c < '0' || c > '9') return {};
  const std::vector<std::string> entries =
      base::Split(kSyntax[static_cast<std::size_t>(nodeKey[0] - 'a')], ";");
  const auto at = static_cast<std::size_t>(std::stoul(std::string(digits)));
  return at < entries.size() ? entries[at] : std::string();
}

std::string HelpKeywordOf(std::string_view nodeKey, std::string_view nodeText) {
  if (nodeKey.size() == 2 && nodeKey[0] == 'r' && nodeKey[1] >= '1' && nodeKey[1] <= '6') {
    return std::string(kGroupHelpWords[nodeKey[1] - '1']);
  }
  return std::string(nodeText) + " - функция";
}

std::string HandOverText(std::string_view editorText) {
  std::string out;
  out.reserve(editorText.size());
  for (std::size_t i = 0; i < editorText.size(); ++i) {
    const char c = editorText[i];
    if (c == '\r' && i + 1 < editorText.size() && editorText[i + 1] == '\n') {
      out += ' ';
      ++i;
    } else if (c == '\r' || c == '\n') {
      out += ' ';
    } else {
      out += c;
    }
  }
  return out;
}

}  // namespace zyl::search
