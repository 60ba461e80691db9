#include "search/ResultList.h"

#include <gtest/gtest.h>

#include "base/Strings.h"
#include "extract/DocumentTypes.h"
#include "search/QueryBuilder.h"

namespace zyl::search {
namespace {

TEST(SplitLocation, FilesArchiveMembersMailAndWeb) {
  auto p = SplitLocation("/home/ann/My Docs/a.txt", "txt");
  EXPECT_EQ(p.folder, "/home/ann/My Docs/");
  EXPECT_EQ(p.file, "a.txt");
  p = SplitLocation("arc:/home/ann/old.zip//letters/may.doc", "doc");
  EXPECT_EQ(p.folder + p.file, "arc:/home/ann/old.zip//letters/may.doc");
  EXPECT_EQ(p.file, "may.doc");
  p = SplitLocation("Inbox/<a/b@example.test>", "mail_oe");
  EXPECT_EQ(p.folder, "Inbox/");
  EXPECT_EQ(p.file, "<a/b@example.test>");
  p = SplitLocation("http://example.test/docs/page.html", "html");
  EXPECT_EQ(p.folder, "");
  EXPECT_EQ(p.file, "http://example.test/docs/page.html");
}

// Every type a search can ask for (the query builder's type menu names them all) shows an
// icon, in any letter case; a type the list does not know shows none.
TEST(IconOfType, EveryTypeASearchCanAskForHasAnIcon) {
  for (int entry = 0; entry < static_cast<int>(QueryFieldMenu(6).size()); ++entry) {
    const std::string fragment = QueryFieldFragment(6, entry, {2026, 1, 1, 0, 0, 0});
    const std::string type = fragment.substr(6, fragment.rfind('"') - 6);  // Type="..."
    EXPECT_GT(IconOfType(type), 0) << type;
    EXPECT_EQ(IconOfType(base::UCase(type)), IconOfType(type)) << type;
  }
  EXPECT_EQ(IconOfType("error"), 0);
  EXPECT_EQ(IconOfType(""), 0);
  // No stored type of the table is left without an icon of its own.
  for (const extract::DocumentType& t : extract::DocumentTypes())
    EXPECT_GT(IconOfType(t.storedType), 0) << t.storedType;
}

TEST(SizeText, KilobytesWithTwoDecimalsPaddedToNine) {
  EXPECT_EQ(SizeText("1536", ','), "  1,50 KB");
  EXPECT_EQ(SizeText("1536"), "  1.50 KB");
  EXPECT_EQ(SizeText("104857600"), "102400.00 KB");
  EXPECT_EQ(SizeText("n/a"), "n/a");
  EXPECT_EQ(SizeText(""), "n/a");
}

TEST(OpenTarget, ArchivesOpenTheArchiveAndMailOpensTheMailProgram) {
  EXPECT_EQ(OpenTargetOf("arc:/d/a.zip//sub/x.txt", "txt").path, "/d/a.zip");
  EXPECT_EQ(OpenTargetOf("/d/x.txt", "txt").path, "/d/x.txt");
  EXPECT_EQ(OpenTargetOf("Inbox/<id>", "mail_moz").kind, OpenTarget::kMailProgram);
}

TEST(FindNum, FirstRowWithTheLocation) {
  std::vector<ResultRow> rows(3);
  rows[0].location = "/a";
  rows[1].location = "/b";
  rows[2].location = "/b";
  EXPECT_EQ(FindNum(rows, "/b"), 2u);
  EXPECT_EQ(FindNum(rows, "/B"), 0u);
}

}  // namespace
}  // namespace zyl::search
