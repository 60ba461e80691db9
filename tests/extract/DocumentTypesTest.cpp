#include "extract/DocumentTypes.h"

#include <gtest/gtest.h>

#include <set>
#include <string>
#include <vector>

#include "settings/LangKeys.h"
#include "settings/Language.h"
#include "settings/Settings.h"
#include "support/TestSupport.h"

namespace zyl::extract {
namespace {

TypeChoice Chosen(std::set<std::string> codes) {
  return [codes = std::move(codes)](std::string_view c) { return codes.count(std::string(c)) > 0; };
}

// The codes of the first releases' types: what old descriptors and saved lists were made of.
TypeChoice SpecifiedChosen() {
  return [](std::string_view c) {
    const DocumentType* t = FindDocumentType(c);
    return t && t->langKey <= kSpecifiedTypeCount;
  };
}

// The first releases' positions: saved searches and bookmarked server queries hold them.
const std::vector<std::string_view> kSpecifiedPositions = {
    "txt", "wri",     "rtf", "doc", "xls", "html", "pdf",    "mp3",   "wpd",     "wps",     "lotus",
    "dbf", "quattro", "dif", "csv", "dot", "xlt",  "excel2", "users", "mail_oe", "mail_moz"};

TEST(DocumentTypes, SpecifiedPositionsStayAndLaterOnesFollowDensely) {
  const auto types = SearchTypes();
  ASSERT_EQ(static_cast<int>(types.size()), kSearchTypeCount);
  ASSERT_GE(types.size(), kSpecifiedPositions.size());
  EXPECT_TRUE(std::equal(kSpecifiedPositions.begin(), kSpecifiedPositions.end(), types.begin()));
  for (int p = 1; p <= kSearchTypeCount; ++p) {
    EXPECT_EQ(SearchTypePosition(SearchTypeAt(p)), p);
    ASSERT_NE(SearchTypeLabelAt(p), nullptr) << p;
    EXPECT_EQ(SearchTypeLabelAt(p)->storedType, SearchTypeAt(p));
  }
  EXPECT_EQ(SearchTypeAt(0), "");
  EXPECT_EQ(SearchTypeAt(kSearchTypeCount + 1), "");
  EXPECT_EQ(SearchTypeLabelAt(kSearchTypeCount + 1), nullptr);
  EXPECT_EQ(SearchTypeLabelAt(7)->code, "pdffull");  // the search window's label of "pdf"
  EXPECT_EQ(SearchTypePosition("error"), 0);
  // Every stored type a reader writes can be searched for.
  for (const DocumentType& t : DocumentTypes()) EXPECT_GT(SearchTypePosition(t.storedType), 0);
}

TEST(DocumentTypes, TypeListIsKeyedDenselyFromOneWithUsersOnZero) {
  const auto entries = TypeListEntries();
  ASSERT_GE(entries.size(), static_cast<std::size_t>(kSpecifiedTypeCount));
  for (std::size_t i = 0; i < entries.size(); ++i)
    EXPECT_EQ(entries[i]->langKey, static_cast<int>(i) + 1) << entries[i]->code;
  EXPECT_EQ(entries[3]->code, "doc");
  EXPECT_EQ(entries[6]->code, "pdfmin");
  EXPECT_EQ(entries[kSpecifiedTypeCount - 1]->code, "mail_moz");
  EXPECT_EQ(FindDocumentType("users")->langKey, 0);
}

TEST(DocumentTypes, EveryExtensionDispatchesToItsRowWhoseMaskCoversIt) {
  for (const DocumentType& t : DocumentTypes()) {
    for (std::string_view e : t.extensions) {
      if (e.empty()) continue;
      const bool fullText = t.pdfMode == PdfMode::FullText;
      EXPECT_EQ(DocumentTypeForPath("/d/file." + std::string(e), fullText), &t) << e;
      EXPECT_NE(t.read, nullptr) << t.code;
      const std::string exact = "*." + std::string(e) + ";";
      EXPECT_TRUE(t.mask.find(exact) != std::string_view::npos || t.mask == "*.htm*;") << e;
    }
    // A type that the reader process serves is known there by its number.
    if (t.job) EXPECT_EQ(DocumentTypeOfJob(ReaderJobNumber(t)), &t) << t.code;
  }
  EXPECT_EQ(DocumentTypeOfJob(0), nullptr);  // the archive job's number
  EXPECT_EQ(DocumentTypeOfJob(static_cast<unsigned>(DocumentTypes().size()) + 1), nullptr);
}

TEST(DocumentTypes, DispatchGoesByTheFileNameCaseAside) {
  EXPECT_EQ(DocumentTypeForPath("a/B.HTM", false)->code, "html");
  EXPECT_EQ(DocumentTypeForPath("sheet.Wk4", false)->storedType, "lotus");
  EXPECT_EQ(DocumentTypeForPath("x.pdf", false)->code, "pdfmin");
  EXPECT_EQ(DocumentTypeForPath("x.pdf", true)->code, "pdffull");
  EXPECT_EQ(DocumentTypeForPath("x.cpp", false), nullptr);
  EXPECT_EQ(DocumentTypeForPath("", false), nullptr);
  // The dot of a folder is not the file's: "notes.txt/readme" has no extension.
  EXPECT_EQ(DocumentTypeForPath("/home/notes.txt/readme", false), nullptr);
  // A name that is only the extension has none ("txt"), a hidden file's name may (".txt").
  EXPECT_EQ(DocumentTypeForPath("/d/txt", false), nullptr);
  EXPECT_EQ(DocumentTypeForPath("/d/.txt", false)->code, "txt");
}

TEST(MaskLists, SpecifiedTypesKeepTheirDescriptorAndBuildOrders) {
  EXPECT_EQ(DescriptorMaskList(Chosen({"doc", "txt"})), "*.txt;*.doc;");
  EXPECT_EQ(DescriptorMaskList(Chosen({})), "");
  EXPECT_EQ(DescriptorMaskList(Chosen({"pdffull", "pdfmin", "mail_oe", "users"})), "*.pdf;");
  EXPECT_EQ(DescriptorMaskList(SpecifiedChosen()),
            "*.txt;*.doc;*.rtf;*.wri;*.htm*;*.mp3;*.xls;*.csv;*.dbf;*.dif;*.dot;"
            "*.xlw;*.xlc;*.xlm;*.wk1;*.wk3;*.wk4;*.wq1;*.wb1;*.wps;*.wpd;*.xlt;*.pdf;");
  EXPECT_EQ(BuildMaskList(SpecifiedChosen(), true, "*.cpp;*.h;"),
            "*.txt;*.doc;*.rtf;*.wri;*.wpd;*.wps;*.dot;*.htm*;*.xls;*.wk1;*.wk3;*.wk4;*.dbf;"
            "*.wq1;*.wb1;*.dif;*.csv;*.xlt;*.xlw;*.xlc;*.xlm;*.mp3;"
            "*.arj;*.cab;*.uc2;*.lzh;*.rar;*.zip;*.cpp;*.h;*.pdf;");
  EXPECT_EQ(BuildMaskList(Chosen({"html"}), false, ""), "*.htm*;");
  EXPECT_EQ(NormalizeUserMasks("*.cpp,*.pas,*.java"), "*.cpp;*.pas;*.java;");
  EXPECT_EQ(NormalizeUserMasks("*.h;"), "*.h;");
  EXPECT_EQ(NormalizeUserMasks(""), "");
}

TEST(MaskLists, EveryMaskRoundTripsThroughTheDescriptorAndTheManagersLabels) {
  for (const DocumentType* t : TypeListEntries()) {
    const std::string masks = DescriptorMaskList(Chosen({std::string(t->code)}));
    if (t->mask.empty()) {
      EXPECT_EQ(masks, "") << t->code;
      continue;
    }
    EXPECT_EQ(masks, t->mask) << t->code;
    std::vector<std::string_view> labels;
    for (const DocumentType* found : TypesInMaskList(masks)) labels.push_back(found->shortLabel);
    EXPECT_EQ(labels, std::vector<std::string_view>{t->shortLabel}) << t->code;
  }
}

TEST(MaskLists, ManagerFindsWholeMasksAndListsPdfOnce) {
  std::vector<std::string_view> labels;
  for (const DocumentType* t : TypesInMaskList("*.txt;*.htm*;*.wk1;*.wk3;*.wk4;*.pdf;"))
    labels.push_back(t->shortLabel);
  EXPECT_EQ(labels, (std::vector<std::string_view>{"Текстовые", "Веб-страницы", "Adobe PDF",
                                                   "Lotus 1-2-3"}));
  EXPECT_TRUE(TypesInMaskList("").empty());
  // The test is case-sensitive, as the stored masks are lower case.
  EXPECT_TRUE(TypesInMaskList("*.TXT;").empty());
  // Masks that merely contain a type's letters are someone else's: an index of .docx files is
  // no "MS Word" index.
  labels.clear();
  for (const DocumentType* t : TypesInMaskList("*.docx;*.xlsx;*.dotx;*.txt2;"))
    labels.push_back(t->shortLabel);
  EXPECT_EQ(labels, (std::vector<std::string_view>{"Word 2007+", "Excel 2007+"}));
  EXPECT_TRUE(MaskListHas("*.txt; *.doc;", "*.doc;"));
  EXPECT_FALSE(MaskListHas("*.docx;", "*.doc"));
  EXPECT_FALSE(MaskListHas("*.doc;", ""));
}

TEST(DocumentTypes, EveryTypeListEntryHasLabelsInBothShippedLanguages) {
  for (const char* file : {"russian.lng", "english.lng"}) {
    test::ProgramFolderScope home;
    settings::Config().Lang = home.file(file);
    for (const DocumentType* t : TypeListEntries()) {
      const std::string label = settings::GetLangString(settings::kFileType, t->langKey, "");
      EXPECT_FALSE(label.empty()) << file << " " << t->code;
      if (std::string_view(file) == "russian.lng") EXPECT_EQ(label, t->wizardLabel) << t->code;
    }
    settings::Config() = settings::Settings();
  }
}

// Rows after the specified ones, as a reader would add them, on the specified rows alone: the
// real table's later rows come and go with their readers.
FileInfo NoReader(std::string_view) {
  return ErrorInfo();
}

std::vector<DocumentType> SpecifiedRows() {
  std::vector<DocumentType> table;
  for (const DocumentType& t : kDocumentTypeTable)
    if (t.langKey <= kSpecifiedTypeCount) table.push_back(t);
  return table;
}

std::vector<DocumentType> TableWithLaterRows() {
  std::vector<DocumentType> table = SpecifiedRows();
  int key = kSpecifiedTypeCount;
  const auto add = [&](std::string_view code, std::string_view mask,
                       std::array<std::string_view, 3> extensions, std::string_view test) {
    table.push_back(
        {code, code, mask, extensions, ReadByPath<NoReader>, nullptr, code, test, code, ++key});
  };
  add("docx", "*.docx;*.docm;*.dotx;", {"docx", "docm", "dotx"}, "docx");
  add("fb2", "*.fb2;*.fb2.zip;", {"fb2", "fb2.zip"}, "fb2");
  add("packed", "*.zip;", {"zip"}, "zip");
  add("maildir", "", {}, "");
  return table;
}

TEST(LaterRows, TakePositionsKeysAndMasksAfterTheSpecifiedOnes) {
  const std::vector<DocumentType> table = TableWithLaterRows();
  const std::vector<std::string_view> types = rules::SearchTypes(table);
  const std::size_t before = kSpecifiedPositions.size();
  ASSERT_EQ(types.size(), before + 4);
  EXPECT_TRUE(std::equal(kSpecifiedPositions.begin(), kSpecifiedPositions.end(), types.begin()));
  EXPECT_EQ(types[before], "docx");
  EXPECT_EQ(types[before + 3], "maildir");
  EXPECT_EQ(rules::SearchTypeLabelAt(table, static_cast<int>(before) + 2)->code, "fb2");

  const auto entries = rules::TypeListEntries(table);
  for (std::size_t i = 0; i < entries.size(); ++i)
    EXPECT_EQ(entries[i]->langKey, static_cast<int>(i) + 1) << entries[i]->code;

  // Later masks go after the specified ones in table order, before the PDF mask; in a build,
  // before the archives.
  const TypeChoice some = Chosen({"pdfmin", "fb2", "txt", "docx", "maildir"});
  EXPECT_EQ(rules::DescriptorMaskList(table, some),
            "*.txt;*.docx;*.docm;*.dotx;*.fb2;*.fb2.zip;*.pdf;");
  EXPECT_EQ(
      rules::BuildMaskList(table, some, true, "*.c;"),
      "*.txt;*.docx;*.docm;*.dotx;*.fb2;*.fb2.zip;" + std::string(kArchiveMasks) + "*.c;*.pdf;");
}

TEST(LaterRows, LongestExtensionWinsAndWholeMasksLabelTheIndex) {
  const std::vector<DocumentType> table = TableWithLaterRows();
  EXPECT_EQ(rules::TypeForPath(table, "/books/War.FB2.zip", false)->code, "fb2");
  EXPECT_EQ(rules::TypeForPath(table, "/books/war.fb2", false)->code, "fb2");
  EXPECT_EQ(rules::TypeForPath(table, "/books/war.zip", false)->code, "packed");
  // "fb2.zip" alone is a file named "fb2" with the extension "zip".
  EXPECT_EQ(rules::TypeForPath(table, "/books/fb2.zip", false)->code, "packed");
  EXPECT_EQ(rules::TypeForPath(table, "/books/x.docx", false)->code, "docx");
  EXPECT_EQ(rules::TypeForPath(table, "/books/x.doc", false)->code, "doc");

  std::vector<std::string_view> codes;
  for (const DocumentType* t : rules::TypesInMaskList(table, "*.docx;*.docm;*.dotx;*.fb2.zip;"))
    codes.push_back(t->code);
  EXPECT_EQ(codes, std::vector<std::string_view>{"docx"});
  codes.clear();
  for (const DocumentType* t : rules::TypesInMaskList(table, "*.doc;*.docx;*.fb2;"))
    codes.push_back(t->code);
  EXPECT_EQ(codes, (std::vector<std::string_view>{"doc", "docx", "fb2"}));
}

}  // namespace
}  // namespace zyl::extract
