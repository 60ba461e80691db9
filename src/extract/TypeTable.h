// The rows of the document-type table. A new format is a reader of its own and one row here
// (after the last one: positions, language keys and job numbers follow the row order), plus
// its labels in the language files.
#pragma once

#include "extract/DocumentType.h"
#include "extract/html/HtmlReader.h"
#include "extract/mp3/Mp3Reader.h"
#include "extract/office/OfficeReaders.h"
#include "extract/office/OoxmlReader.h"
#include "extract/office/OpenDocumentReader.h"
#include "extract/process/OfficeHelper.h"
#include "extract/process/ReaderJobs.h"
#include "extract/sheets/SheetReaders.h"
#include "extract/text/TextReader.h"

namespace zyl::extract {

// The types of the first releases: their order fixes the search positions 1..21 and the
// language keys 1..21 that saved searches, bookmarked server queries and language files hold.
inline constexpr int kSpecifiedTypeCount = 21;

// clang-format off
inline constexpr DocumentType kDocumentTypeTable[] = {
  // code       wizard label                                        mask                   extensions              read                        reader-process job     stored     test   short label             key
  {"txt",      "Текст (*.txt)",                                     "*.txt;",              {"txt"},                ReadPlainText,              nullptr,               "txt",     "txt", "Текстовые",            1},
  {"wri",      "Windows Write (*.wri)",                             "*.wri;",              {"wri"},                ReadWordProcessor,          WorksTextJob,          "wri",     "wri", "MS Write",             2},
  {"rtf",      "Расширенный текст (*.rtf)",                         "*.rtf;",              {"rtf"},                ReadWordProcessor,          nullptr,               "rtf",     "rtf", "RTF",                  3},
  {"doc",      "Файлы Win WORD (*.doc)",                            "*.doc;",              {"doc"},                ReadWordProcessor,          WordDocumentJob,       "doc",     "doc", "MS Word",              4},
  {"xls",      "Файлы Excel (*.xls)",                               "*.xls;",              {"xls"},                ReadInReaderProcess,        ExcelWorkbookJob,      "xls",     "xls", "MS Excel",             5},
  {"html",     "HTML-файл (*.htm; *.html)",                         "*.htm*;",             {"htm", "html"},        ReadHtmlPage,               nullptr,               "html",    "htm", "Веб-страницы",         6},
  {"pdfmin",   "Заголовки Adobe Acrobat (*.pdf)",                   "*.pdf;",              {"pdf"},                ReadByPath<GetPdfHeaderInfo>, nullptr,             "pdf",     "pdf", "Adobe PDF",            7, PdfMode::Headers},
  {"pdffull",  "Текст Adobe Acrobat полностью (*.pdf)",             "*.pdf;",              {"pdf"},                ReadInReaderProcess,        PdfTextJob,            "pdf",     "pdf", "Adobe PDF",            8, PdfMode::FullText},
  {"mp3",      "Информация MP3 TAG (*.mp3)",                        "*.mp3;",              {"mp3"},                ReadByPath<GetMp3Info>,     nullptr,               "mp3",     "mp3", "MP3-id",               9},
  {"wpd",      "Word Perfect 6.x (*.wpd)",                          "*.wpd;",              {"wpd"},                ReadWordProcessor,          WordPerfectJob,        "wpd",     "wpd", "Word Perfect",         10},
  {"wps",      "Microsoft Works (*.wps)",                           "*.wps;",              {"wps"},                ReadWordProcessor,          WorksTextJob,          "wps",     "wps", "MS Works",             11},
  {"lotus",    "Lotus 1-2-3 (*.wk1;*.wk3;*.wk4)",                   "*.wk1;*.wk3;*.wk4;",  {"wk1", "wk3", "wk4"},  ReadInReaderProcess,        LegacySheetJob,        "lotus",   "wk1", "Lotus 1-2-3",          12},
  {"dbf",      "dBase (*.dbf)",                                     "*.dbf;",              {"dbf"},                ReadInReaderProcess,        DbfTableJob,           "dbf",     "dbf", "dBase",                13},
  {"quattro",  "QuattroPro (*.wq1;*.wb1)",                          "*.wq1;*.wb1;",        {"wq1", "wb1"},         ReadInReaderProcess,        LegacySheetJob,        "quattro", "wq1", "Quattro",              14},
  {"dif",      "Data Interchange Format (*.dif)",                   "*.dif;",              {"dif"},                ReadTextTable,              nullptr,               "dif",     "dif", "DIF",                  15},
  {"csv",      "CSV файл (*.csv)",                                  "*.csv;",              {"csv"},                ReadTextTable,              nullptr,               "csv",     "csv", "CSV",                  16},
  {"dot",      "Шаблон Microsoft Word (*.dot)",                     "*.dot;",              {"dot"},                ReadWordProcessor,          WordDocumentJob,       "dot",     "dot", "Word шаблон",          17},
  {"xlt",      "Шаблон Microsoft Excel (*.xlt)",                    "*.xlt;",              {"xlt"},                ReadInReaderProcess,        ExcelWorkbookJob,      "xlt",     "xlt", "Excel шаблон",         18},
  {"excel2",   "Microsoft Excel прочие (*.xlw;*.xlc;*.xlm)",        "*.xlw;*.xlc;*.xlm;",  {"xlw", "xlc", "xlm"},  ReadInReaderProcess,        ExcelWorkbookJob,      "excel2",  "xlw", "Прочие excel",         19},
  {"users",    "Пользовательские",                                  "",                    {},                     ReadPlainText,              nullptr,               "users",   "",    "Пользовательские",     0},
  // The mailboxes are collections found by their folders, not files dispatched by extension.
  {"mail_oe",  "Почтовый ящик Microsoft Outlook Express",           "",                    {},                     nullptr,                    nullptr,               "mail_oe", "",    "Outlook Express",      20},
  {"mail_moz", "Почтовый ящик Netscape Messenger",                  "",                    {},                     nullptr,                    nullptr,               "mail_moz","",    "Netscape messenger",   21},
  // Today's documents, read inside the program: zip packages of XML parts, read with bounds.
  {"docx",     "Документы Word 2007 и новее (*.docx;*.docm;*.dotx)", "*.docx;*.docm;*.dotx;", {"docx", "docm", "dotx"}, ReadByPath<GetOoxmlInfo>, nullptr,     "docx",    "docx", "Word 2007+",          22},
  {"xlsx",     "Книги Excel 2007 и новее (*.xlsx;*.xlsm)",          "*.xlsx;*.xlsm;",      {"xlsx", "xlsm"},       ReadByPath<GetOoxmlInfo>,   nullptr,               "xlsx",    "xlsx", "Excel 2007+",         23},
  {"pptx",     "Презентации PowerPoint (*.pptx)",                   "*.pptx;",             {"pptx"},               ReadByPath<GetOoxmlInfo>,   nullptr,               "pptx",    "pptx", "PowerPoint",          24},
  {"odt",      "Текст OpenDocument (*.odt)",                        "*.odt;",              {"odt"},                ReadByPath<GetOpenDocumentInfo>, nullptr,          "odt",     "odt",  "OpenDocument текст",  25},
  {"ods",      "Таблицы OpenDocument (*.ods)",                      "*.ods;",              {"ods"},                ReadByPath<GetOpenDocumentInfo>, nullptr,          "ods",     "ods",  "OpenDocument таблицы", 26},
  {"odp",      "Презентации OpenDocument (*.odp)",                  "*.odp;",              {"odp"},                ReadByPath<GetOpenDocumentInfo>, nullptr,          "odp",     "odp",  "OpenDocument презентации", 27},
};
// clang-format on

}  // namespace zyl::extract
