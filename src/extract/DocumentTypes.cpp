#include "extract/DocumentTypes.h"

#include <algorithm>

namespace zyl::extract {

namespace {

using R = Reader;

// clang-format off
constexpr DocumentType kTypes[] = {
  // code       wizard label                                        mask                   extensions              reader             stored     test   short label             key
  {"txt",      "Текст (*.txt)",                                     "*.txt;",              {"txt"},                R::PlainText,      "txt",     "txt", "Текстовые",            1},
  {"wri",      "Windows Write (*.wri)",                             "*.wri;",              {"wri"},                R::WordProcessor,  "wri",     "wri", "MS Write",             2},
  {"rtf",      "Расширенный текст (*.rtf)",                         "*.rtf;",              {"rtf"},                R::WordProcessor,  "rtf",     "rtf", "RTF",                  3},
  {"doc",      "Файлы Win WORD (*.doc)",                            "*.doc;",              {"doc"},                R::WordProcessor,  "doc",     "doc", "MS Word",              4},
  {"xls",      "Файлы Excel (*.xls)",                               "*.xls;",              {"xls"},                R::Spreadsheet,    "xls",     "xls", "MS Excel",             5},
  {"html",     "HTML-файл (*.htm; *.html)",                         "*.htm*;",             {"htm", "html"},        R::Html,           "html",    "htm", "Веб-страницы",         6},
  {"pdfmin",   "Заголовки Adobe Acrobat (*.pdf)",                   "*.pdf;",              {"pdf"},                R::PdfHeader,      "pdf",     "pdf", "Adobe PDF",            7},
  {"pdffull",  "Текст Adobe Acrobat полностью (*.pdf)",             "*.pdf;",              {"pdf"},                R::PdfFullText,    "pdf",     "pdf", "Adobe PDF",            8},
  {"mp3",      "Информация MP3 TAG (*.mp3)",                        "*.mp3;",              {"mp3"},                R::Mp3,            "mp3",     "mp3", "MP3-id",               9},
  {"wpd",      "Word Perfect 6.x (*.wpd)",                          "*.wpd;",              {"wpd"},                R::WordProcessor,  "wpd",     "wpd", "Word Perfect",         10},
  {"wps",      "Microsoft Works (*.wps)",                           "*.wps;",              {"wps"},                R::WordProcessor,  "wps",     "wps", "MS Works",             11},
  {"lotus",    "Lotus 1-2-3 (*.wk1;*.wk3;*.wk4)",                   "*.wk1;*.wk3;*.wk4;",  {"wk1", "wk3", "wk4"},  R::Spreadsheet,    "lotus",   "wk1", "Lotus 1-2-3",          12},
  {"dbf",      "dBase (*.dbf)",                                     "*.dbf;",              {"dbf"},                R::Spreadsheet,    "dbf",     "dbf", "dBase",                13},
  {"quattro",  "QuattroPro (*.wq1;*.wb1)",                          "*.wq1;*.wb1;",        {"wq1", "wb1"},         R::Spreadsheet,    "quattro", "wq1", "Quattro",              14},
  {"dif",      "Data Interchange Format (*.dif)",                   "*.dif;",              {"dif"},                R::Spreadsheet,    "dif",     "dif", "DIF",                  15},
  {"csv",      "CSV файл (*.csv)",                                  "*.csv;",              {"csv"},                R::Spreadsheet,    "csv",     "csv", "CSV",                  16},
  {"dot",      "Шаблон Microsoft Word (*.dot)",                     "*.dot;",              {"dot"},                R::WordProcessor,  "dot",     "dot", "Word шаблон",          17},
  {"xlt",      "Шаблон Microsoft Excel (*.xlt)",                    "*.xlt;",              {"xlt"},                R::Spreadsheet,    "xlt",     "xlt", "Excel шаблон",         18},
  {"excel2",   "Microsoft Excel прочие (*.xlw;*.xlc;*.xlm)",        "*.xlw;*.xlc;*.xlm;",  {"xlw", "xlc", "xlm"},  R::Spreadsheet,    "excel2",  "xlw", "Прочие excel",         19},
  {"users",    "Пользовательские",                                  "",                    {},                     R::PlainText,      "users",   "",    "Пользовательские",     0},
  {"mail_oe",  "Почтовый ящик Microsoft Outlook Express",           "",                    {},                     R::Mailbox,        "mail_oe", "",    "Outlook Express",      20},
  {"mail_moz", "Почтовый ящик Netscape Messenger",                  "",                    {},                     R::Mailbox,        "mail_moz","",    "Netscape messenger",   21},
};
// clang-format on

// The PDF mask is written after all others when either PDF mode is chosen; this entry stands
// for "pdfmin or pdffull" in the orders below.
constexpr std::string_view kEitherPdf = "pdf";

// Order of the masks in a descriptor's `ext` value. Old descriptors were written this way and
// the index manager's tests read them, so it stays as it is.
constexpr std::string_view kDescriptorOrder[] = {
    "txt", "doc", "rtf",    "wri",   "html",    "mp3", "xls", "csv", "dbf",
    "dif", "dot", "excel2", "lotus", "quattro", "wps", "wpd", "xlt", kEitherPdf};

// Order in which a build enumerates masks; it decides the order of the found files.
constexpr std::string_view kBuildOrderBeforeArchives[] = {
    "txt",   "doc", "rtf",     "wri", "wpd", "wps", "dot",    "html", "xls",
    "lotus", "dbf", "quattro", "dif", "csv", "xlt", "excel2", "mp3"};

void AppendChosenMask(std::string& out, std::string_view code, const TypeChoice& chosen) {
  if (code == kEitherPdf) {
    if (chosen("pdfmin") || chosen("pdffull")) out += FindDocumentType("pdfmin")->mask;
    return;
  }
  if (chosen(code)) out += FindDocumentType(code)->mask;
}

std::vector<std::string_view> MakeSearchTypes() {
  // Stored types in table order, each once: the two PDF modes share "pdf".
  std::vector<std::string_view> types;
  for (const DocumentType& t : kTypes)
    if (std::find(types.begin(), types.end(), t.storedType) == types.end())
      types.push_back(t.storedType);
  return types;
}

}  // namespace

std::span<const DocumentType> DocumentTypes() {
  return kTypes;
}

const DocumentType* FindDocumentType(std::string_view code) {
  for (const DocumentType& t : kTypes)
    if (t.code == code) return &t;
  return nullptr;
}

const DocumentType* DocumentTypeForExtension(std::string_view extension, bool pdfFullText) {
  if (extension.empty()) return nullptr;
  for (const DocumentType& t : kTypes) {
    if (t.reader == (pdfFullText ? Reader::PdfHeader : Reader::PdfFullText)) continue;
    for (std::string_view e : t.extensions)
      if (e == extension) return &t;
  }
  return nullptr;
}

std::vector<const DocumentType*> TypeListEntries() {
  std::vector<const DocumentType*> out;
  for (const DocumentType& t : kTypes)
    if (t.code != "users") out.push_back(&t);
  return out;
}

std::span<const std::string_view> SearchTypes() {
  static const std::vector<std::string_view> types = MakeSearchTypes();
  return types;
}

std::string_view SearchTypeAt(int position) {
  const auto types = SearchTypes();
  if (position < 1 || position > static_cast<int>(types.size())) return {};
  return types[position - 1];
}

int SearchTypePosition(std::string_view storedType) {
  const auto types = SearchTypes();
  const auto it = std::find(types.begin(), types.end(), storedType);
  return it == types.end() ? 0 : static_cast<int>(it - types.begin()) + 1;
}

std::string DescriptorMaskList(const TypeChoice& chosen) {
  std::string out;
  for (std::string_view code : kDescriptorOrder) AppendChosenMask(out, code, chosen);
  return out;
}

std::string BuildMaskList(const TypeChoice& chosen, bool archives, std::string_view userMasks) {
  std::string out;
  for (std::string_view code : kBuildOrderBeforeArchives) AppendChosenMask(out, code, chosen);
  if (archives) out += kArchiveMasks;
  out += userMasks;
  AppendChosenMask(out, kEitherPdf, chosen);
  return out;
}

std::string NormalizeUserMasks(std::string_view typed) {
  std::string out(typed);
  std::replace(out.begin(), out.end(), ',', ';');
  if (!out.empty() && out.back() != ';') out += ';';
  return out;
}

std::vector<const DocumentType*> TypesInMaskList(std::string_view maskList) {
  std::vector<const DocumentType*> out;
  for (const DocumentType& t : kTypes) {
    if (t.testText.empty() || maskList.find(t.testText) == std::string_view::npos) continue;
    const bool labelled = std::any_of(out.begin(), out.end(), [&](const DocumentType* o) {
      return o->shortLabel == t.shortLabel;
    });
    if (!labelled) out.push_back(&t);
  }
  return out;
}

}  // namespace zyl::extract
