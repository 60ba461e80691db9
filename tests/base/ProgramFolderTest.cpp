#include "base/ProgramFolder.h"

#include <gtest/gtest.h>
#include <unistd.h>

#include "base/DefaultFiles.h"
#include "base/Paths.h"
#include "support/TestSupport.h"

namespace zyl::base {
namespace {

std::string EmbeddedCopy(std::string_view name) {
  for (const DefaultFile& f : DefaultFiles())
    if (f.name == name) return std::string(f.bytes);
  return "";
}

TEST(ProgramFolderTest, AnInstalledProgramFindsItsDefaultsBesideItsBinFolder) {
  test::TempDir root;  // stands for /usr, or wherever a package was unpacked
  const std::string exe = root.write("bin/zyl", "");
  EXPECT_EQ(InstalledDefaultsFolder(exe), "") << "no share/zyl: run from a build folder";
  root.write("share/zyl/english.lng", "x");
  EXPECT_EQ(InstalledDefaultsFolder(exe), "") << "a folder without config.ini is not ours";
  root.write("share/zyl/config.ini", "[General]\r\n");
  EXPECT_EQ(InstalledDefaultsFolder(exe), root.file("share/zyl"));
  // The running test binary is not installed.
  EXPECT_EQ(InstalledDefaultsFolder(), "");
}

TEST(ProgramFolderTest, SeedingPrefersTheInstalledDefaultsAndNeverOverwrites) {
  test::TempDir shared, user;
  shared.write("config.ini", "[General]\r\nQueryRecentLenght=7\r\n");
  shared.write("site/extra.txt", "site");
  const std::string folder = user.file("zyl");
  ASSERT_TRUE(MakeFolders(folder));
  user.write("zyl/server.ini", "mine");
  // A link in the shared folder is not followed into the user's folder.
  test::TempDir elsewhere;
  elsewhere.write("secret.txt", "secret");
  ASSERT_EQ(::symlink(elsewhere.file("secret.txt").c_str(), shared.file("link.txt").c_str()), 0);

  std::string why;
  ASSERT_TRUE(SeedProgramFolder(folder, &why, shared.path()));
  EXPECT_EQ(why, "");
  EXPECT_EQ(test::ReadFile(folder + "/config.ini"), "[General]\r\nQueryRecentLenght=7\r\n");
  EXPECT_EQ(test::ReadFile(folder + "/site/extra.txt"), "site");
  EXPECT_EQ(test::ReadFile(folder + "/server.ini"), "mine");
  EXPECT_FALSE(FileExists(folder + "/link.txt"));
  // What the installed folder lacks still comes from the copies built into the program.
  ASSERT_NE(EmbeddedCopy("russian.lng"), "");
  EXPECT_EQ(test::ReadFile(folder + "/russian.lng"), EmbeddedCopy("russian.lng"));

  // A second start changes nothing a user edited.
  user.write("zyl/config.ini", "edited");
  ASSERT_TRUE(SeedProgramFolder(folder, &why, shared.path()));
  EXPECT_EQ(test::ReadFile(folder + "/config.ini"), "edited");
}

TEST(ProgramFolderTest, TheSystemFilesAreNotDefaultsOfTheProgramFolder) {
  for (const DefaultFile& f : DefaultFiles()) {
    for (std::string_view system : {"desktop/", "man/", "completion/"})
      EXPECT_FALSE(f.name.starts_with(system)) << f.name;
  }
  EXPECT_NE(EmbeddedCopy("config.ini"), "");
}

}  // namespace
}  // namespace zyl::base
