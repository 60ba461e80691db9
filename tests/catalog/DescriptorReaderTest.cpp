#include "catalog/DescriptorReader.h"

#include <gtest/gtest.h>

#include "base/Paths.h"
#include "catalog/Descriptor.h"
#include "support/TestSupport.h"

namespace zyl::catalog {
namespace {

TEST(DescriptorReader, KeysInAnyCaseMasksAndDefaults) {
  test::TempDir dir;
  IndexDefinition def;
  def.descriptorPath = dir.file("a.zyl");
  def.title = "Мои документы";
  def.ext = "*.txt;";
  def.UserFiles = "*.cpp;";
  WriteLocalDescriptor(def);
  EXPECT_EQ(ReadGeneral(def.descriptorPath, "TITLE"), "Мои документы");
  EXPECT_EQ(ReadMaskList(def.descriptorPath), "*.txt;*.cpp;");
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

// Everything a descriptor stores comes back as it was written.
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
  EXPECT_EQ(ReadIndexDefinition(local.descriptorPath), local);

  local.pdfFull = false;
  local.pdfMin = true;
  local.mailNetscape = false;
  local.mailOutlookExpress = true;
  WriteLocalDescriptor(local);
  EXPECT_EQ(ReadIndexDefinition(local.descriptorPath), local);

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
  EXPECT_EQ(ReadIndexDefinition(web.descriptorPath), web);

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
