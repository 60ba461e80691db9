#include "catalog/DescriptorReader.h"

#include <gtest/gtest.h>

#include "base/Paths.h"
#include "catalog/Descriptor.h"
#include "support/TestSupport.h"

namespace zyl::catalog {
namespace {

TEST(DescriptorReader, FoldersFlagsAndTheWriterRoundTrip) {
  test::TempDir dir;
  IndexDefinition def;
  def.descriptorPath = dir.file("a.zyl");
  def.title = "Мои документы";
  def.desc = "line one\r\nline two";
  def.ext = "*.txt;";
  def.UserFiles = "*.cpp;";
  def.folders = {{"/data/", true}, {"/home/ann/My Docs/", false}};
  WriteLocalDescriptor(def);
  const auto folders = ReadFolders(def.descriptorPath);
  ASSERT_EQ(folders.size(), 2u);
  EXPECT_EQ(folders[0].path, "/data/");
  EXPECT_TRUE(folders[0].subfolders);
  EXPECT_EQ(folders[1].path, "/home/ann/My Docs/");
  EXPECT_FALSE(folders[1].subfolders);
  EXPECT_EQ(ReadGeneral(def.descriptorPath, "TITLE"), "Мои документы");
  EXPECT_EQ(DecodeMultiline(ReadGeneral(def.descriptorPath, "desc")), "line one\r\nline two");
  EXPECT_EQ(ReadMaskList(def.descriptorPath), "*.txt;*.cpp;");
  EXPECT_EQ(ReadGeneral(def.descriptorPath, "IndexType", "local"), "local");
  EXPECT_EQ(ReadGeneral(def.descriptorPath, "StartURL", "none"), "none");
}

TEST(DescriptorReader, ShortFolderLinesAreSkipped) {
  test::TempDir dir;
  const std::string path = dir.write("b.zyl", "[Folders]\r\n/x,1\r\n1\r\n\r\n/y/,0");
  const auto folders = ReadFolders(path);
  ASSERT_EQ(folders.size(), 2u);
  EXPECT_EQ(folders[0].path, "/x");
  EXPECT_EQ(folders[1].path, "/y/");
  EXPECT_TRUE(ReadFolders(dir.write("c.zyl", "[General]\r\ntitle=x")).empty());
}

}  // namespace
}  // namespace zyl::catalog

namespace zyl::catalog {
namespace {

// Everything a descriptor stores comes back as it was written.
void ExpectSameStoredFields(const IndexDefinition& a, const IndexDefinition& b) {
  EXPECT_EQ(a.descriptorPath, b.descriptorPath);
  EXPECT_EQ(a.dbname, b.dbname);
  EXPECT_EQ(a.title, b.title);
  EXPECT_EQ(a.desc, b.desc);
  EXPECT_EQ(a.ext, b.ext);
  EXPECT_EQ(a.UserFiles, b.UserFiles);
  EXPECT_EQ(a.IndexType, b.IndexType);
  EXPECT_EQ(a.FilesCount, b.FilesCount);
  EXPECT_EQ(a.FilesSize, b.FilesSize);
  EXPECT_EQ(a.pdfFull, b.pdfFull);
  EXPECT_EQ(a.pdfMin, b.pdfMin);
  EXPECT_EQ(a.archive, b.archive);
  EXPECT_EQ(a.mailOutlookExpress, b.mailOutlookExpress);
  EXPECT_EQ(a.mailNetscape, b.mailNetscape);
  EXPECT_EQ(a.startUrl, b.startUrl);
  EXPECT_EQ(a.depth, b.depth);
  ASSERT_EQ(a.folders.size(), b.folders.size());
  for (std::size_t i = 0; i < a.folders.size(); ++i) {
    EXPECT_EQ(a.folders[i].path, b.folders[i].path);
    EXPECT_EQ(a.folders[i].subfolders, b.folders[i].subfolders);
  }
}

TEST(ReadIndexDefinition, IsTheMirrorOfWritingLocalAndWebDescriptors) {
  test::TempDir dir;
  IndexDefinition local;
  local.descriptorPath = dir.file("l.zyl");
  local.dbname = dir.file("l.mdb");
  local.title = "Отчёты";
  local.desc = "first\r\nsecond";
  local.ext = "*.txt;*.pdf;";
  local.UserFiles = "*.cpp;";
  local.FilesCount = 3000000000;  // past 32 bits
  local.FilesSize = 5;
  local.pdfFull = true;
  local.archive = true;
  local.mailNetscape = true;
  local.folders = {{"/data/", true}, {"/home/ann/My Docs/", false}};
  WriteLocalDescriptor(local);
  ExpectSameStoredFields(ReadIndexDefinition(local.descriptorPath), local);

  local.pdfFull = false;
  local.pdfMin = true;
  local.mailNetscape = false;
  local.mailOutlookExpress = true;
  WriteLocalDescriptor(local);
  ExpectSameStoredFields(ReadIndexDefinition(local.descriptorPath), local);

  IndexDefinition web;
  web.descriptorPath = dir.file("w.zyl");
  web.dbname = dir.file("w.mdb");
  web.title = "Site";
  web.IndexType = "WebFolder";
  web.startUrl = "http://example.test/a/";
  web.depth = 3;
  web.FilesSize = 42;
  WriteWebDescriptor(web, 7);
  web.FilesCount = 7;
  ExpectSameStoredFields(ReadIndexDefinition(web.descriptorPath), web);

  WriteIndexTotals(web.descriptorPath, 9, 10);
  EXPECT_EQ(ReadIndexDefinition(web.descriptorPath).FilesCount, 9);
  EXPECT_EQ(ReadIndexDefinition(web.descriptorPath).FilesSize, 10);
}

TEST(ReadIndexDefinition, AMissingDescriptorIsNotCreated) {
  test::TempDir dir;
  const IndexDefinition def = ReadIndexDefinition(dir.file("gone.zyl"));
  EXPECT_EQ(def.descriptorPath, dir.file("gone.zyl"));
  EXPECT_EQ(def.dbname, "");
  EXPECT_FALSE(base::FileExists(dir.file("gone.zyl")));
}

}  // namespace
}  // namespace zyl::catalog
