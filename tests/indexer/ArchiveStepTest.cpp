#include "indexer/ArchiveStep.h"

#include <signal.h>

#include <gmock/gmock.h>
#include <gtest/gtest.h>
#include <filesystem>

#include "base/Paths.h"
#include "extract/ArchiveSamples.h"
#include "support/TestSupport.h"

namespace zyl::indexer {
namespace {

using test::ArchiveFormat;
using ::testing::ElementsAre;
using ::testing::IsEmpty;

struct Seen {
  std::string file, location, content;
  std::vector<std::string> folderHolds;  // every file in the run folder at that moment
};

std::vector<std::string> FilesBelow(const std::string& folder) {
  std::vector<std::string> out;
  std::error_code ec;
  for (std::filesystem::recursive_directory_iterator it(folder, ec), end; !ec && it != end;
       it.increment(ec))
    if (it->is_regular_file()) out.push_back(std::filesystem::relative(it->path(), folder));
  std::sort(out.begin(), out.end());
  return out;
}

class ArchiveStepTest : public ::testing::Test {
 protected:
  test::ProgramFolderScope home;
  test::TempDir docs;
};

TEST_F(ArchiveStepTest, MembersGetArcLocationsAndArchivesNeverMix) {
  const std::string first = docs.file("one.zip");
  const std::string second = docs.file("deep/two.7z");
  base::MakeFolders(docs.file("deep"));
  WriteArchive(first, ArchiveFormat::Zip,
               {{"same.txt", "from one"}, {"letters/may.doc", "may"}, {"inner.zip", "PK fake"}});
  WriteArchive(second, ArchiveFormat::SevenZip, {{"same.txt", "from two"}});

  std::vector<Seen> seen;
  std::string runFolder;
  {
    ArchiveRun run;
    runFolder = run.folder();
    EXPECT_EQ(runFolder.rfind(home.file("TMP/run-"), 0), 0u);
    const auto handler = [&](const std::string& file, const std::string& location) {
      seen.push_back({file, location, test::ReadFile(file), FilesBelow(run.folder())});
    };
    EXPECT_EQ(run.Process(first, handler), 3u);
    EXPECT_THAT(FilesBelow(run.folder()), IsEmpty());
    EXPECT_EQ(run.Process(second, handler), 1u);
    EXPECT_EQ(run.Process(docs.file("missing.zip"), handler), 0u);
  }
  ASSERT_EQ(seen.size(), 4u);
  // Subfolder members first, then the folder's own files by name; an archive inside an
  // archive is handed on as a file, not unpacked.
  EXPECT_EQ(seen[0].location, "arc:" + first + "//letters/may.doc");
  EXPECT_EQ(seen[1].location, "arc:" + first + "//inner.zip");
  EXPECT_EQ(seen[2].location, "arc:" + first + "//same.txt");
  EXPECT_EQ(seen[3].location, "arc:" + second + "//same.txt");
  EXPECT_EQ(seen[0].file, runFolder + "/letters/may.doc");
  EXPECT_EQ(seen[1].content, "PK fake");
  EXPECT_EQ(seen[3].content, "from two");
  // When the second archive is listed, nothing of the first is left.
  EXPECT_THAT(seen[3].folderHolds, ElementsAre("same.txt"));
  // The run's folder is gone at the end; TMP itself stays.
  EXPECT_FALSE(std::filesystem::exists(runFolder));
  EXPECT_TRUE(base::IsFolder(home.file("TMP")));
}

TEST_F(ArchiveStepTest, EachRunHasItsOwnFolderAndAbandonedOnesAreRemoved) {
  // A pid that no process has: the folder was left by a run that crashed.
  pid_t gone = 4000000;
  while (::kill(gone, 0) == 0 || errno != ESRCH) --gone;
  const std::string abandoned = home.file("TMP/run-" + std::to_string(gone) + "-0");
  const std::string other = home.file("TMP/keep-me");
  base::MakeFolders(abandoned + "/sub");
  base::MakeFolders(other);
  ArchiveRun a, b;
  EXPECT_NE(a.folder(), b.folder());
  EXPECT_TRUE(base::IsFolder(a.folder()));
  EXPECT_TRUE(base::IsFolder(b.folder()));
  EXPECT_FALSE(std::filesystem::exists(abandoned));
  EXPECT_TRUE(base::IsFolder(other));
}

TEST_F(ArchiveStepTest, RefusalsReachTheLog) {
  const std::string archive = docs.file("bad.tar");
  WriteArchive(archive, ArchiveFormat::Tar, {{"../../escape.txt", "x"}, {"ok.txt", "fine"}});
  std::vector<std::string> log;
  std::vector<std::string> locations;
  const std::size_t n = ProcessArchive(
      archive, [&](const std::string&, const std::string& loc) { locations.push_back(loc); },
      [&](std::string_view line) { log.emplace_back(line); });
  EXPECT_EQ(n, 1u);
  EXPECT_THAT(locations, ElementsAre("arc:" + archive + "//ok.txt"));
  ASSERT_EQ(log.size(), 1u);
  EXPECT_NE(log[0].find("../../escape.txt"), std::string::npos);
  EXPECT_FALSE(std::filesystem::exists(home.file("escape.txt")));
  EXPECT_FALSE(std::filesystem::exists(home.file("TMP/escape.txt")));
}

TEST_F(ArchiveStepTest, MembersWithoutAReaderAreStoredOnlyWhenTheyLookLikeText) {
  const std::string archive = docs.file("mixed.zip");
  std::string program = "MZ";
  program += std::string(5000, 'x');
  program[100] = '\0';
  std::string lateNul(5000, 'y');
  lateNul[4500] = '\0';  // beyond the part looked at
  WriteArchive(archive, ArchiveFormat::Zip,
               {{"setup.exe", program},
                {"inner.zip", std::string("PK\x03\x04\0\0", 6)},
                {"readme", "plain words"},
                {"late.dat", lateNul},
                {"notes.txt", std::string("has\0nul", 7)}});  // has a reader of its own
  std::vector<std::string> log, locations;
  ProcessArchive(
      archive, [&](const std::string&, const std::string& loc) { locations.push_back(loc); },
      [&](std::string_view line) { log.emplace_back(line); });
  EXPECT_THAT(locations,
              ElementsAre("arc:" + archive + "//late.dat", "arc:" + archive + "//notes.txt",
                          "arc:" + archive + "//readme"));
  ASSERT_EQ(log.size(), 2u);
  EXPECT_NE(log[0].find("arc:" + archive + "//inner.zip"), std::string::npos);
  EXPECT_NE(log[1].find("arc:" + archive + "//setup.exe"), std::string::npos);
}

}  // namespace
}  // namespace zyl::indexer
