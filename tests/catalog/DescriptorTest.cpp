#include "catalog/Descriptor.h"

#include <gtest/gtest.h>

#include "base/Paths.h"
#include "catalog/NewIndex.h"
#include "support/TestSupport.h"

namespace zyl::catalog {
namespace {

IndexDefinition DocsDefinition() {
  IndexDefinition def;
  def.title = "Docs";
  def.dbname = "/prog/index/Docs.mdb";
  def.ext = "*.txt;*.doc;";
  def.folders = {{"/data/", true}};
  return def;
}

TEST(Descriptor, LocalTextHasEveryLineInOrderWithCrLf) {
  EXPECT_EQ(LocalDescriptorText(DocsDefinition()),
            "[General]\r\nversion=0.99\r\ndbname=/prog/index/Docs.mdb\r\ntitle=Docs\r\ndesc=\r\n"
            "ext=*.txt;*.doc;\r\nUserFiles=\r\nIndexType=local\r\nFilesCount=0\r\nFilesSize=0\r\n"
            "Archive=0\r\n[Mail]\r\n[Folders]\r\n/data/,1\r\n");
}

TEST(Descriptor, OptionalLinesAppearOnlyWhenChosen) {
  IndexDefinition def = DocsDefinition();
  def.pdfFull = def.pdfMin = true;
  def.archive = true;
  def.mailOutlookExpress = def.mailNetscape = true;
  def.folders.push_back({"/more/", false});
  def.desc = "first\r\nsecond";
  const std::string text = LocalDescriptorText(def);
  EXPECT_NE(text.find("desc=first/nsecond\r\n"), std::string::npos);
  EXPECT_NE(text.find("PDF_Mode=Full\r\nPDF_Mode=Min\r\nArchive=1\r\n"), std::string::npos);
  EXPECT_NE(text.find("[Mail]\r\nOutlookExpress=1\r\nNetscapeMessenger=1\r\n[Folders]\r\n"
                      "/data/,1\r\n/more/,0\r\n"),
            std::string::npos);
}

TEST(Descriptor, WebTextAndTotalsPastTheSigned32BitRange) {
  IndexDefinition def = DocsDefinition();
  def.startUrl = "http://example.test/";
  def.depth = 2;
  def.FilesSize = 5'000'000'000LL;
  EXPECT_EQ(WebDescriptorText(def, 12),
            "[General]\r\nversion=0.99\r\ndbname=/prog/index/Docs.mdb\r\ntitle=Docs\r\ndesc=\r\n"
            "IndexType=WebFolder\r\nFilesCount=12\r\nFilesSize=5000000000\r\n"
            "StartURL=http://example.test/\r\nURLDept=2\r\n");
}

TEST(Descriptor, MultilineTextsRoundTrip) {
  EXPECT_EQ(EncodeMultiline("a\r\nb\nc"), "a/nb/nc");
  EXPECT_EQ(DecodeMultiline("a/nb"), "a\r\nb");
}

TEST(Descriptor, PathsOfANewIndex) {
  EXPECT_EQ(DescriptorPathFor("/p/index/", "Docs"), "/p/index/Docs.zyl");
  EXPECT_EQ(DatabasePathFor("/p/index/", "/elsewhere/Мои документы.zyl"),
            "/p/index/Мои документы.mdb");
}

TEST(Descriptor, WriteReplacesTheFileAndReportsFailures) {
  test::TempDir dir;
  IndexDefinition def = DocsDefinition();
  def.descriptorPath = dir.file("Docs.zyl");
  dir.write("Docs.zyl", "old");
  WriteLocalDescriptor(def);
  EXPECT_EQ(test::ReadFile(def.descriptorPath), LocalDescriptorText(def));
  def.descriptorPath = dir.file("missing/Docs.zyl");
  EXPECT_THROW(WriteLocalDescriptor(def), DescriptorWriteError);
}

TEST(CheckIndexFileName, WantsTheExtensionAndACreatableFile) {
  test::TempDir dir;
  EXPECT_TRUE(CheckIndexFileName(dir.file("New.ZYL")));
  EXPECT_TRUE(base::FileExists(dir.file("New.ZYL")));  // left behind, empty
  EXPECT_TRUE(CheckIndexFileName(dir.file("New.ZYL")));
  EXPECT_FALSE(CheckIndexFileName(dir.file("notes.txt")));
  EXPECT_FALSE(base::FileExists(dir.file("notes.txt")));
  EXPECT_FALSE(CheckIndexFileName(dir.file("no/such/folder/a.zyl")));
}

TEST(NewIndex, NameChecksAndPaths) {
  test::TempDir dir;
  const std::string folder = dir.path() + "/";
  IndexDefinition def;
  EXPECT_EQ(DefineNewIndex("", "", folder, def), "Необходимо задать имя индекса");
  EXPECT_EQ(DefineNewIndex("a/b", "", folder, def), "Имя файла неверно");
  EXPECT_EQ(DefineNewIndex("Docs", "my\r\ndocs", folder, def), "");
  EXPECT_EQ(def.descriptorPath, folder + "Docs.zyl");
  EXPECT_EQ(def.dbname, folder + "Docs.mdb");
  EXPECT_EQ(def.title, "Docs");
  EXPECT_TRUE(base::FileExists(def.descriptorPath));  // the empty descriptor is left behind
  IndexDefinition again;
  {
    // While its build runs, the name is taken.
    IndexBuildLock building(def.descriptorPath);
    EXPECT_FALSE(IsUnfinishedIndex(def.descriptorPath));
    EXPECT_EQ(DefineNewIndex("Docs", "", folder, again), "Индекс с таким именем уже существует");
  }
  // An empty descriptor that no build holds is what a killed build leaves: the name is free.
  EXPECT_TRUE(IsUnfinishedIndex(def.descriptorPath));
  EXPECT_EQ(DefineNewIndex("Docs", "", folder, again), "");
  // A finished index keeps its name.
  dir.write("Docs.zyl", "[General]\r\ntitle=Docs\r\n");
  EXPECT_FALSE(IsUnfinishedIndex(def.descriptorPath));
  EXPECT_EQ(DefineNewIndex("Docs", "", folder, again), "Индекс с таким именем уже существует");
  EXPECT_FALSE(IsUnfinishedIndex(folder + "Missing.zyl"));
}

TEST(NewIndex, NestedFoldersAreDropped) {
  const auto folders = NormalizeChosenFolders({"/data/docs", "/data", "/other/", "/data2"});
  ASSERT_EQ(folders.size(), 3u);
  EXPECT_EQ(folders[0].path, "/data/");
  EXPECT_EQ(folders[1].path, "/other/");
  EXPECT_EQ(folders[2].path, "/data2/");
  EXPECT_TRUE(folders[0].subfolders);
}

}  // namespace
}  // namespace zyl::catalog
