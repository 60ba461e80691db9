#include "indexer/FilesRetClass.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <gmock/gmock.h>
#include <gtest/gtest.h>
#include <filesystem>

#include "base/Messages.h"
#include "support/TestSupport.h"

namespace zyl::indexer {
namespace {

using ::testing::ElementsAre;
using ::testing::IsEmpty;

class FilesRetClassTest : public ::testing::Test {
 protected:
  std::string Dir(const std::string& name) {
    const std::string p = tmp.file(name);
    std::filesystem::create_directories(p);
    return p;
  }
  std::string File(const std::string& name) { return tmp.write(name, "x"); }
  std::string P(const std::string& name) const { return tmp.file(name); }

  // Collects the messages a finder reports during the test.
  std::vector<std::string> messages;
  base::MessageSink Record() {
    return [this](const base::Message& m) { messages.push_back(m.text); };
  }
  test::TempDir tmp;
};

TEST_F(FilesRetClassTest, SubDirsArePostOrderWithEventsInTheSameOrder) {
  Dir("A/B/C");
  Dir("A/D");
  FilesRetClass f;
  f.onMessage = Record();
  std::vector<std::string> events;
  f.onFolderProceed = [&](const std::string& folder) { events.push_back(folder); };
  const auto list = f.GetSubDirs(P("A"));
  EXPECT_THAT(list, ElementsAre("", P("A/B/C"), P("A/B"), P("A/D"), P("A")));
  EXPECT_THAT(events, ElementsAre(P("A/B/C"), P("A/B"), P("A/D"), P("A")));

  // An empty folder is its own only entry and has no files.
  EXPECT_THAT(f.GetSubDirs(P("A/D")), ElementsAre("", P("A/D")));
  EXPECT_THAT(f.GetSubFiles("*.*", P("A/D")), ElementsAre(""));
}

TEST_F(FilesRetClassTest, ResultsAreGroupedByMaskWithSubfolderFilesFirst) {
  File("Docs/a.txt");
  File("Docs/b.doc");
  File("Docs/S/c.txt");
  FilesRetClass f;
  f.onMessage = Record();
  EXPECT_THAT(f.GetFilesMultiExt("*.txt;", P("Docs")), ElementsAre("", P("Docs/a.txt")));
  EXPECT_THAT(f.GetSubFilesMultiExt("*.txt;*.doc;", P("Docs")),
              ElementsAre("", P("Docs/S/c.txt"), P("Docs/a.txt"), P("Docs/b.doc")));
  // One mask without the closing ";" and empty pieces change nothing.
  EXPECT_EQ(f.GetSubFilesMultiExt("*.txt", P("Docs")),
            f.GetSubFilesMultiExt(";*.txt;;", P("Docs")));
  // A trailing "/" on the folder does not double the separator.
  EXPECT_THAT(f.GetFilesMultiExt("*.doc", P("Docs") + "/"), ElementsAre("", P("Docs/b.doc")));
  EXPECT_THAT(f.GetDirs(P("Docs") + "/"), ElementsAre("", P("Docs/S")));
  EXPECT_THAT(f.GetFilesByExt("*.txt", P("Docs")), ElementsAre("", "a.txt"));
}

TEST_F(FilesRetClassTest, MasksMatchWithoutCaseAndKeepDuplicates) {
  File("W/Page.HTM");
  File("W/page.html");
  File("W/page.bak");
  File("W/README");
  File("W/Письмо.TXT");
  FilesRetClass f;
  f.onMessage = Record();
  EXPECT_THAT(f.GetFilesMultiExt("*.htm*;*.html;", P("W")),
              ElementsAre("", P("W/Page.HTM"), P("W/page.html"), P("W/page.html")));
  EXPECT_THAT(f.GetFilesByExt("письмо.txt", P("W")), ElementsAre("", "Письмо.TXT"));
  EXPECT_THAT(f.GetFilesByExt("?????о.*", P("W")), ElementsAre("", "Письмо.TXT"));
  // "*.*" is every file, "*." only the files without an extension, "name.*" the name with any
  // extension or none.
  EXPECT_EQ(f.GetFilesByExt("*.*", P("W")).size(), 6u);
  EXPECT_THAT(f.GetFilesByExt("*.", P("W")), ElementsAre("", "README"));
  EXPECT_THAT(f.GetFilesByExt("readme.*", P("W")), ElementsAre("", "README"));
  EXPECT_THAT(f.GetFilesByExt("p*e.*", P("W")),
              ElementsAre("", "Page.HTM", "page.bak", "page.html"));
  // "?" is one character however many bytes it takes, a malformed byte included.
  File("W/\xFFx.dat");
  EXPECT_THAT(f.GetFilesByExt("??.dat", P("W")), ElementsAre("", "\xFFx.dat"));
}

TEST_F(FilesRetClassTest, HiddenEntriesAreIncludedAndNamesAreInByteOrder) {
  File("H/b.txt");
  File("H/B.txt");
  File("H/.hidden.txt");
  File("H/.cache/x.txt");
  File("H/a/y.txt");
  FilesRetClass f;
  f.onMessage = Record();
  EXPECT_THAT(f.GetFilesByExt("*.txt", P("H")), ElementsAre("", ".hidden.txt", "B.txt", "b.txt"));
  EXPECT_THAT(f.GetSubFilesMultiExt("*.txt", P("H")),
              ElementsAre("", P("H/.cache/x.txt"), P("H/a/y.txt"), P("H/.hidden.txt"), P("H/B.txt"),
                          P("H/b.txt")));
}

TEST_F(FilesRetClassTest, LinksToFoldersAreNotFollowedLinksToFilesAreFiles) {
  File("L/real/f.txt");
  File("outside/o.txt");
  std::filesystem::create_directory_symlink(P("outside"), P("L/linkdir"));
  std::filesystem::create_directory_symlink(P("L"), P("L/real/loop"));  // a cycle
  std::filesystem::create_symlink(P("outside/o.txt"), P("L/linkfile.txt"));
  std::filesystem::create_symlink(P("missing.txt"), P("L/broken.txt"));
  ASSERT_EQ(::mkfifo(P("L/pipe.txt").c_str(), 0600), 0);
  FilesRetClass f;
  f.onMessage = Record();
  EXPECT_THAT(f.GetDirs(P("L")), ElementsAre("", P("L/real")));
  EXPECT_THAT(f.GetSubFilesMultiExt("*.txt", P("L")),
              ElementsAre("", P("L/real/f.txt"), P("L/linkfile.txt")));
  // A link given as the starting folder is followed: the user chose it.
  EXPECT_THAT(f.GetFilesMultiExt("*.txt", P("L/linkdir")), ElementsAre("", P("L/linkdir/o.txt")));
  EXPECT_TRUE(FilesRetClass::IsFolder(P("L/linkdir")));
  EXPECT_FALSE(FilesRetClass::IsFolder(P("L/linkfile.txt")));
  EXPECT_FALSE(FilesRetClass::IsFolder(P("nothing")));
}

TEST_F(FilesRetClassTest, MissingFolderGivesEmptyListsSilently) {
  FilesRetClass f;
  f.onMessage = Record();
  int events = 0;
  f.onFolderProceed = [&](const std::string&) { ++events; };
  EXPECT_THAT(f.GetDirs(P("none")), ElementsAre(""));
  EXPECT_THAT(f.GetFilesByExt("*.*", P("none")), ElementsAre(""));
  EXPECT_THAT(f.GetSubDirs(P("none")), ElementsAre(""));
  EXPECT_THAT(f.GetSubFilesMultiExt("*.txt;*.doc;", P("none")), ElementsAre(""));
  EXPECT_EQ(events, 0);
  EXPECT_THAT(messages, IsEmpty());
}

// The multi-mask search must give exactly what walking the tree once per mask gives: the
// concatenated lists and, per mask, the whole post-order sequence of folder events.
TEST_F(FilesRetClassTest, MultiMaskSearchEqualsOneWalkPerMask) {
  for (const char* name : {"r/a.txt", "r/b.doc", "r/c.htm", "r/x/d.TXT", "r/x/y/e.doc",
                           "r/x/y/f.html", "r/z/g.txt", "r/.h/i.doc", "r/z/q/j.htm"})
    File(name);
  Dir("r/empty");
  const std::string masks = "*.txt;*.doc;*.htm*;*.html;";

  std::vector<std::string> expectedEvents;
  FilesRetClass::List expected(1);
  for (const char* mask : {"*.txt", "*.doc", "*.htm*", "*.html"}) {
    FilesRetClass single;
    single.onFolderProceed = [&](const std::string& d) { expectedEvents.push_back(d); };
    const auto part = single.GetSubFiles(mask, P("r"));
    expected.insert(expected.end(), part.begin() + 1, part.end());
  }

  FilesRetClass f;
  f.onMessage = Record();
  std::vector<std::string> events;
  f.onFolderProceed = [&](const std::string& d) { events.push_back(d); };
  EXPECT_EQ(f.GetSubFilesMultiExt(masks, P("r")), expected);
  EXPECT_EQ(events, expectedEvents);
  EXPECT_EQ(events.size(), 4u * 7u);  // 7 folders, once per mask
  EXPECT_EQ(expected.size(), 1u + 3 + 3 + 3 + 1);
}

TEST_F(FilesRetClassTest, MultiMaskSearchReadsTheTreeOnce) {
  File("t/a.txt");
  File("t/s/b.txt");
  FilesRetClass f;
  f.onMessage = Record();
  // A file appearing after the first mask's walk belongs to a later listing of the tree; the
  // search works from the one listing it took.
  f.onFolderProceed = [&](const std::string& d) {
    if (d == P("t")) File("t/s/late.doc");
  };
  EXPECT_THAT(f.GetSubFilesMultiExt("*.txt;*.doc;", P("t")),
              ElementsAre("", P("t/s/b.txt"), P("t/a.txt")));
  // The next call lists afresh.
  f.onFolderProceed = nullptr;
  EXPECT_THAT(f.GetSubFilesMultiExt("*.doc;", P("t")), ElementsAre("", P("t/s/late.doc")));
}

TEST_F(FilesRetClassTest, CancelInRecursiveModeKeepsTheFinishedMasks) {
  File("c/a.txt");
  File("c/b.doc");
  File("c/s1/c.txt");
  File("c/s2/d.doc");
  FilesRetClass f;
  f.onMessage = Record();
  std::vector<std::string> events;
  int yields = 0;
  f.onYield = [&] { ++yields; };
  f.onFolderProceed = [&](const std::string& d) {
    events.push_back(d);
    // The second mask's walk is stopped at its first folder.
    if (events.size() == 4) f.CancelSearch = true;
  };
  EXPECT_THAT(f.GetSubFilesMultiExt("*.txt;*.doc;*.*;", P("c")),
              ElementsAre("", P("c/s1/c.txt"), P("c/a.txt")));
  EXPECT_THAT(events, ElementsAre(P("c/s1"), P("c/s2"), P("c"), P("c/s1")));
  EXPECT_GT(yields, 0);

  // Stopped before it starts, a search gives nothing and reports no folder.
  events.clear();
  EXPECT_THAT(f.GetSubFilesMultiExt("*.*", P("c")), ElementsAre(""));
  EXPECT_THAT(events, IsEmpty());
  EXPECT_THAT(messages, IsEmpty());
}

TEST_F(FilesRetClassTest, CancelOutsideRecursiveModeEmptiesEachFolderListing) {
  File("n/s1/t/a.txt");
  File("n/s2/b.txt");
  File("n/s2/deep/e.txt");
  File("n/c.txt");
  FilesRetClass f;
  f.onMessage = Record();
  f.onFolderProceed = [&](const std::string& d) {
    if (d == P("n/s1/t")) f.CancelSearch = true;
  };
  // The stop only empties the listings taken after it: s2 is still collected, but what lies
  // below it is never visited; the files of every collected folder are listed.
  EXPECT_THAT(f.GetSubFiles("*.txt", P("n")),
              ElementsAre("", P("n/s1/t/a.txt"), P("n/s2/b.txt"), P("n/c.txt")));
  EXPECT_THAT(f.GetDirs(P("n")), ElementsAre(""));
  // GetFilesByExt does not look at the flag.
  EXPECT_THAT(f.GetFilesByExt("*.txt", P("n")), ElementsAre("", "c.txt"));
}

// A folder whose full path is longer than the system accepts cannot be listed, whoever runs
// the test, which makes it a reliable listing failure.
class UnlistableFolderTest : public FilesRetClassTest {
 protected:
  void SetUp() override {
    File("u/a.txt");
    File("u/m/b.txt");
    const std::string name(200, 'd');
    int fd = ::open(Dir("u/m").c_str(), O_RDONLY | O_DIRECTORY);
    ASSERT_GE(fd, 0);
    for (int depth = 0; depth < 24; ++depth) {
      ASSERT_EQ(::mkdirat(fd, name.c_str(), 0755), 0);
      const int next = ::openat(fd, name.c_str(), O_RDONLY | O_DIRECTORY);
      ::close(fd);
      ASSERT_GE(next, 0);
      fd = next;
    }
    ::close(fd);
    deep = P("u/m");
    for (int depth = 0; depth < 24; ++depth) deep += "/" + name;
  }
  void TearDown() override {
    // Remove the deep chain through descriptors; path-based removal would hit the same limit.
    const std::string name(200, 'd');
    std::vector<int> fds{::open(P("u/m").c_str(), O_RDONLY | O_DIRECTORY)};
    for (int depth = 0; depth < 23; ++depth)
      fds.push_back(::openat(fds.back(), name.c_str(), O_RDONLY | O_DIRECTORY));
    for (auto it = fds.rbegin(); it != fds.rend(); ++it) {
      ::unlinkat(*it, name.c_str(), AT_REMOVEDIR);
      ::close(*it);
    }
  }
  std::string deep;
};

TEST_F(UnlistableFolderTest, RecursiveSearchPassesOverTheFolderSilently) {
  FilesRetClass f;
  f.onMessage = Record();
  EXPECT_THAT(f.GetSubFilesMultiExt("*.txt;", P("u")),
              ElementsAre("", P("u/m/b.txt"), P("u/a.txt")));
  EXPECT_THAT(messages, IsEmpty());
}

TEST_F(UnlistableFolderTest, OtherMethodsReportTheRoutineAndGoOn) {
  FilesRetClass f;
  f.onMessage = Record();
  EXPECT_THAT(f.GetDirs(deep), ElementsAre(""));
  ASSERT_EQ(messages.size(), 1u);
  EXPECT_EQ(messages[0], "Ошибка в подпрограмме GetDirs:  36\r\nОбратитесь в службу поддержки");
  EXPECT_THAT(f.GetFilesMultiExt("*.txt;*.doc;", deep), ElementsAre(""));
  ASSERT_EQ(messages.size(), 3u);
  EXPECT_EQ(messages[2].rfind("Ошибка в подпрограмме GetFilesByExt:  36\r\n", 0), 0u);
  // Outside recursive mode the walk goes on past the folder it could not list.
  messages.clear();
  const auto files = f.GetSubFiles("*.txt", P("u"));
  EXPECT_THAT(files, ElementsAre("", P("u/m/b.txt"), P("u/a.txt")));
  EXPECT_FALSE(messages.empty());
}

}  // namespace
}  // namespace zyl::indexer
