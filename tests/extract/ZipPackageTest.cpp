#include "extract/container/ZipPackage.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <string>

#include "support/TestSupport.h"
#include "support/ZipWriter.h"

namespace zyl::extract {
namespace {

using ::testing::ElementsAre;
using ::testing::IsEmpty;

TEST(ZipPackageTest, ListsFilesInOrderAndFindsThemByName) {
  test::TempDir dir;
  const std::string path = dir.file("p.zip");
  test::WriteZip(path, {{"mimetype", "application/x-test"},
                        {"word/", ""},
                        {"word/document.xml", "<doc/>"},
                        {"Текст/глава.xml", "глава"}});
  ZipPackage zip = ZipPackage::OpenFile(path);
  ASSERT_TRUE(zip.ok());
  EXPECT_THAT(zip.Members(), ElementsAre("mimetype", "word/document.xml", "Текст/глава.xml"));
  EXPECT_FALSE(zip.HasEncryptedMembers());

  std::string out;
  EXPECT_EQ(zip.ReadMember("word/document.xml", out), ZipError::None);
  EXPECT_EQ(out, "<doc/>");
  // Part names are looked up as office packages name them: a leading "/" and any case.
  EXPECT_EQ(zip.ReadMember("/WORD/Document.XML", out), ZipError::None);
  EXPECT_EQ(out, "<doc/>");
  EXPECT_EQ(zip.ReadMember("Текст/глава.xml", out), ZipError::None);
  EXPECT_EQ(out, "глава");
  EXPECT_EQ(zip.ReadMember("word/missing.xml", out), ZipError::NotFound);
  EXPECT_EQ(zip.ReadMember("word", out), ZipError::NotFound);
  EXPECT_EQ(zip.bytesRead(), 2 * std::string("<doc/>").size() + std::string("глава").size());
  // Members read in any order, back and forth, give their own bytes.
  for (const auto& [name, bytes] :
       {std::pair{"Текст/глава.xml", "глава"}, std::pair{"mimetype", "application/x-test"},
        std::pair{"word/document.xml", "<doc/>"}, std::pair{"Текст/глава.xml", "глава"}}) {
    EXPECT_EQ(zip.ReadMember(name, out), ZipError::None) << name;
    EXPECT_EQ(out, bytes) << name;
  }

  // The same bytes held in memory give the same package.
  ZipPackage inMemory = ZipPackage::OpenMemory(test::ReadFile(path));
  ASSERT_TRUE(inMemory.ok());
  EXPECT_EQ(inMemory.Members(), zip.Members());
  EXPECT_EQ(inMemory.ReadMember("mimetype", out), ZipError::None);
  EXPECT_EQ(out, "application/x-test");
}

TEST(ZipPackageTest, DamagedOrMissingPackagesFailCleanly) {
  test::TempDir dir;
  const std::string path = dir.file("p.zip");
  test::WriteZip(path, {{"a.xml", std::string(5000, 'a')}, {"b.xml", std::string(5000, 'b')}});
  const std::string whole = test::ReadFile(path);

  for (const std::string& bytes :
       {whole.substr(0, whole.size() / 2), whole.substr(0, whole.size() - 10), std::string(),
        std::string("PK\x03\x04 not really a zip"), std::string(4096, '\0')}) {
    ZipPackage zip = ZipPackage::OpenMemory(bytes);
    EXPECT_EQ(zip.error(), ZipError::Unreadable) << bytes.size();
    EXPECT_THAT(zip.Members(), IsEmpty());
    std::string out;
    EXPECT_EQ(zip.ReadMember("a.xml", out), ZipError::Unreadable);
  }
  EXPECT_EQ(ZipPackage::OpenFile(dir.file("absent.zip")).error(), ZipError::Unreadable);

  // Compressed data damaged behind an intact directory: the read fails, nothing crashes.
  std::string damaged = whole;
  const auto at = damaged.find("a.xml") + 5;
  for (std::size_t i = at; i < at + 8 && i < damaged.size(); ++i) damaged[i] ^= 0x5A;
  ZipPackage zip = ZipPackage::OpenMemory(damaged);
  if (zip.ok()) {
    std::string out;
    const ZipError e = zip.ReadMember("a.xml", out);
    EXPECT_TRUE(e == ZipError::Unreadable || (e == ZipError::None && out != whole)) << int(e);
  }
}

TEST(ZipPackageTest, RefusesPackagesPastTheLimits) {
  test::TempDir dir;
  const std::string many = dir.file("many.zip");
  std::vector<std::pair<std::string, std::string>> members;
  for (int i = 0; i < 30; ++i) members.emplace_back("m" + std::to_string(i), "x");
  test::WriteZip(many, members);
  EXPECT_EQ(ZipPackage::OpenFile(many, {.maxMembers = 29}).error(), ZipError::TooManyMembers);
  EXPECT_TRUE(ZipPackage::OpenFile(many, {.maxMembers = 30}).ok());

  // Zeros compress a thousandfold: the bound is on what they unpack to.
  const std::string bomb = dir.file("bomb.zip");
  test::WriteZip(bomb, {{"small.xml", std::string(600, 's')},
                        {"big.xml", std::string(3 << 20, '\0')},
                        {"other.xml", std::string(600, 'o')}});
  EXPECT_LT(test::ReadFile(bomb).size(), 64u << 10);
  ZipPackage zip = ZipPackage::OpenFile(bomb, {.maxMemberBytes = 1 << 20, .maxTotalBytes = 1000});
  ASSERT_TRUE(zip.ok());
  std::string out;
  EXPECT_EQ(zip.ReadMember("big.xml", out), ZipError::TooLarge);
  EXPECT_LE(out.size(), 1u << 20);
  EXPECT_EQ(zip.ReadMember("small.xml", out), ZipError::None);
  // The package's total counts every read: the second member passes it.
  EXPECT_EQ(zip.ReadMember("other.xml", out), ZipError::TooLarge);
  // The caller's own bound is kept too.
  ZipPackage again = ZipPackage::OpenFile(bomb);
  EXPECT_EQ(again.ReadMember("small.xml", out, 599), ZipError::TooLarge);
  EXPECT_EQ(again.ReadMember("small.xml", out, 600), ZipError::None);
}

TEST(ZipPackageTest, SinkStopsReadingEarly) {
  test::TempDir dir;
  const std::string path = dir.file("p.zip");
  test::WriteZip(path, {{"long.txt", std::string(1 << 20, 'z')}});
  ZipPackage zip = ZipPackage::OpenFile(path);
  int pieces = 0;
  EXPECT_EQ(zip.ReadMember("long.txt", [&](std::string_view) { return ++pieces < 2; }),
            ZipError::None);
  EXPECT_EQ(pieces, 2);
  EXPECT_LT(zip.bytesRead(), 1u << 20);
  // A member stopped early is read whole the next time.
  std::string whole;
  EXPECT_EQ(zip.ReadMember("long.txt", whole), ZipError::None);
  EXPECT_EQ(whole, std::string(1 << 20, 'z'));
}

TEST(ZipPackageTest, EncryptedMembersNeedAPassword) {
  test::TempDir dir;
  const std::string path = dir.file("secret.zip");
  test::WriteZip(path, {{"content.xml", "<secret/>"}}, "пароль");
  ZipPackage zip = ZipPackage::OpenFile(path);
  ASSERT_TRUE(zip.ok());
  EXPECT_TRUE(zip.HasEncryptedMembers());
  std::string out;
  EXPECT_EQ(zip.ReadMember("content.xml", out), ZipError::Encrypted);
  EXPECT_THAT(out, IsEmpty());
}

}  // namespace
}  // namespace zyl::extract
