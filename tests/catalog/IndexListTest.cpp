#include "catalog/IndexList.h"

#include <gtest/gtest.h>

#include <thread>

#include "base/Paths.h"
#include "base/ProgramFolder.h"
#include "catalog/Descriptor.h"
#include "settings/Config.h"
#include "settings/IniFile.h"
#include "settings/Settings.h"
#include "support/TestSupport.h"

namespace zyl::catalog {
namespace {

class IndexListTest : public ::testing::Test {
 protected:
  IndexListTest() { settings::LoadConfig(); }
  ~IndexListTest() override { settings::Config().RecentIndex.clear(); }
  std::string Saved() {
    return settings::ReadIniValue("General", "RecentIndex", "",
                                  base::InProgramFolder("config.ini"));
  }
  test::ProgramFolderScope home;
};

TEST_F(IndexListTest, AddAndRemoveKeepTheListInMemoryAndInConfigIni) {
  AddToRecentIndexList("/i/a.zyl");
  AddToRecentIndexList("/i/b.zyl");
  AddToRecentIndexList("/i/A.zyl");  // the same index, another spelling: moves to the head
  EXPECT_EQ(ReadRecentIndexList(), (std::vector<std::string>{"/i/A.zyl", "/i/b.zyl"}));
  EXPECT_EQ(Saved(), settings::Config().RecentIndex);

  RemoveFromRecentIndexList("/I/a.ZYL");
  EXPECT_EQ(ReadRecentIndexList(), (std::vector<std::string>{"/i/b.zyl"}));
  EXPECT_EQ(Saved(), settings::Config().RecentIndex);
  RemoveFromRecentIndexList("/i/b.zyl");
  EXPECT_TRUE(ReadRecentIndexList().empty());
  EXPECT_EQ(Saved(), "");
}

TEST_F(IndexListTest, ConcurrentAddsLoseNoEntry) {
  const std::int32_t limit = settings::Config().QueryRecentLenght;
  settings::Config().QueryRecentLenght = 100;
  std::thread other([] {
    for (int i = 0; i < 20; ++i) AddToRecentIndexList("/t/x" + std::to_string(i) + ".zyl");
  });
  for (int i = 0; i < 20; ++i) AddToRecentIndexList("/t/y" + std::to_string(i) + ".zyl");
  other.join();
  EXPECT_EQ(ReadRecentIndexList().size(), 40u);
  settings::Config().QueryRecentLenght = limit;
}

TEST_F(IndexListTest, DeleteIndexRemovesDatabaseDescriptorAndListEntry) {
  IndexDefinition def;
  def.descriptorPath = home.file("a.zyl");
  def.dbname = home.write("a.mdb", "db");
  home.write("a.mdb-wal", "journal");
  WriteLocalDescriptor(def);
  AddToRecentIndexList(def.descriptorPath);
  std::vector<base::Message> shown;
  const base::MessageSink record = [&](const base::Message& m) { shown.push_back(m); };

  EXPECT_TRUE(DeleteIndex(def.descriptorPath, record));
  EXPECT_TRUE(shown.empty());
  EXPECT_FALSE(base::FileExists(def.dbname));
  EXPECT_FALSE(base::FileExists(def.dbname + "-wal"));
  EXPECT_FALSE(base::FileExists(def.descriptorPath));
  EXPECT_TRUE(ReadRecentIndexList().empty());

  // Without a dbname nothing but the descriptor goes, and the user is told.
  const std::string other = home.write("keep.mdb", "db");
  def.dbname.clear();
  WriteLocalDescriptor(def);
  AddToRecentIndexList(def.descriptorPath);
  EXPECT_FALSE(DeleteIndex(def.descriptorPath, record));
  ASSERT_EQ(shown.size(), 1u);
  EXPECT_EQ(shown[0].text, "Ошибка в файле индекса");
  EXPECT_EQ(shown[0].icon, base::MessageIcon::Error);
  EXPECT_TRUE(base::FileExists(other));
  EXPECT_FALSE(base::FileExists(def.descriptorPath));
  EXPECT_TRUE(ReadRecentIndexList().empty());
}

}  // namespace
}  // namespace zyl::catalog
