#include "extract/DocumentTypes.h"

#include <gtest/gtest.h>

#include <set>
#include <string>

namespace zyl::extract {
namespace {

TypeChoice Chosen(std::set<std::string> codes) {
  return [codes = std::move(codes)](std::string_view c) { return codes.count(std::string(c)) > 0; };
}
TypeChoice AllChosen() {
  return [](std::string_view) { return true; };
}

TEST(DocumentTypes, SearchPositionsAreTheStoredTypesInTheirFixedOrder) {
  const std::vector<std::string_view> expected = {
      "txt", "wri", "rtf", "doc",    "xls",   "html",    "pdf",
      "mp3", "wpd", "wps", "lotus",  "dbf",   "quattro", "dif",
      "csv", "dot", "xlt", "excel2", "users", "mail_oe", "mail_moz"};
  const auto types = SearchTypes();
  ASSERT_EQ(static_cast<int>(types.size()), kSearchTypeCount);
  EXPECT_TRUE(std::equal(types.begin(), types.end(), expected.begin()));
  EXPECT_EQ(SearchTypeAt(7), "pdf");
  EXPECT_EQ(SearchTypeAt(0), "");
  EXPECT_EQ(SearchTypeAt(22), "");
  EXPECT_EQ(SearchTypePosition("mail_moz"), 21);
  EXPECT_EQ(SearchTypePosition("error"), 0);
  // Every stored type a reader writes can be searched for.
  for (const DocumentType& t : DocumentTypes()) EXPECT_GT(SearchTypePosition(t.storedType), 0);
}

TEST(DocumentTypes, TypeListHasTwentyOneEntriesKeyedOneToTwentyOne) {
  const auto entries = TypeListEntries();
  ASSERT_EQ(entries.size(), 21u);
  for (std::size_t i = 0; i < entries.size(); ++i)
    EXPECT_EQ(entries[i]->langKey, static_cast<int>(i) + 1) << entries[i]->code;
  EXPECT_EQ(entries[3]->code, "doc");
  EXPECT_EQ(entries[6]->code, "pdfmin");
  EXPECT_EQ(entries[20]->code, "mail_moz");
  EXPECT_EQ(FindDocumentType("users")->langKey, 0);
}

TEST(DocumentTypes, EveryDispatchedExtensionHasOneTypeAndItsMaskCoversIt) {
  std::set<std::string_view> seen;
  for (const DocumentType& t : DocumentTypes()) {
    for (std::string_view e : t.extensions) {
      if (e.empty()) continue;
      if (t.reader != Reader::PdfFullText) {
        EXPECT_TRUE(seen.insert(e).second) << e;
      }
      const std::string exact = "*." + std::string(e) + ";";
      EXPECT_TRUE(t.mask.find(exact) != std::string_view::npos || t.mask == "*.htm*;") << e;
    }
    if (!t.testText.empty()) {
      EXPECT_NE(t.mask.find(t.testText), std::string_view::npos);
    }
  }
  EXPECT_EQ(DocumentTypeForExtension("htm", false)->code, "html");
  EXPECT_EQ(DocumentTypeForExtension("wk4", false)->storedType, "lotus");
  EXPECT_EQ(DocumentTypeForExtension("pdf", false)->reader, Reader::PdfHeader);
  EXPECT_EQ(DocumentTypeForExtension("pdf", true)->reader, Reader::PdfFullText);
  EXPECT_EQ(DocumentTypeForExtension("cpp", false), nullptr);
  EXPECT_EQ(DocumentTypeForExtension("", false), nullptr);
}

TEST(MaskLists, DescriptorOrderPutsPdfLastOnce) {
  EXPECT_EQ(DescriptorMaskList(Chosen({"doc", "txt"})), "*.txt;*.doc;");
  EXPECT_EQ(DescriptorMaskList(Chosen({})), "");
  EXPECT_EQ(DescriptorMaskList(Chosen({"pdffull", "pdfmin", "mail_oe", "users"})), "*.pdf;");
  EXPECT_EQ(DescriptorMaskList(AllChosen()),
            "*.txt;*.doc;*.rtf;*.wri;*.htm*;*.mp3;*.xls;*.csv;*.dbf;*.dif;*.dot;"
            "*.xlw;*.xlc;*.xlm;*.wk1;*.wk3;*.wk4;*.wq1;*.wb1;*.wps;*.wpd;*.xlt;*.pdf;");
}

TEST(MaskLists, BuildOrderPutsArchivesAndUserMasksBeforePdf) {
  EXPECT_EQ(BuildMaskList(AllChosen(), true, "*.cpp;*.h;"),
            "*.txt;*.doc;*.rtf;*.wri;*.wpd;*.wps;*.dot;*.htm*;*.xls;*.wk1;*.wk3;*.wk4;*.dbf;"
            "*.wq1;*.wb1;*.dif;*.csv;*.xlt;*.xlw;*.xlc;*.xlm;*.mp3;"
            "*.arj;*.cab;*.uc2;*.lzh;*.rar;*.zip;*.cpp;*.h;*.pdf;");
  EXPECT_EQ(BuildMaskList(Chosen({"html"}), false, ""), "*.htm*;");
  EXPECT_EQ(NormalizeUserMasks("*.cpp,*.pas,*.java"), "*.cpp;*.pas;*.java;");
  EXPECT_EQ(NormalizeUserMasks("*.h;"), "*.h;");
  EXPECT_EQ(NormalizeUserMasks(""), "");
}

TEST(MaskLists, ManagerFindsTypesByTestTextAndListsPdfOnce) {
  std::vector<std::string_view> labels;
  for (const DocumentType* t : TypesInMaskList("*.txt;*.htm*;*.wk1;*.wk3;*.wk4;*.pdf;"))
    labels.push_back(t->shortLabel);
  EXPECT_EQ(labels, (std::vector<std::string_view>{"Текстовые", "Веб-страницы", "Adobe PDF",
                                                   "Lotus 1-2-3"}));
  EXPECT_TRUE(TypesInMaskList("").empty());
  // The test is case-sensitive, as the stored masks are lower case.
  EXPECT_TRUE(TypesInMaskList("*.TXT;").empty());
}

}  // namespace
}  // namespace zyl::extract
