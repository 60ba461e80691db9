#include "catalog/DescriptorReader.h"

#include <gtest/gtest.h>

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
