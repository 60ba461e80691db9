#include "extract/archive/Archive.h"

#include <signal.h>
#include <sys/stat.h>
#include <unistd.h>

#include <gmock/gmock.h>
#include <gtest/gtest.h>
#include <chrono>
#include <filesystem>
#include <thread>

#include "base/DateTime.h"
#include "base/Paths.h"
#include "extract/ArchiveSamples.h"
#include "extract/process/OfficeHelper.h"
#include "settings/Settings.h"
#include "support/ScopedConfig.h"
#include "support/TestSupport.h"

namespace zyl::extract {
namespace {

using test::ArchiveFormat;
using test::Member;
using ::testing::ElementsAre;
using ::testing::HasSubstr;
using ::testing::IsEmpty;

// Every file below a folder, relative, sorted; links and special files included as "name@".
std::vector<std::string> Tree(const std::string& folder) {
  namespace fs = std::filesystem;
  std::vector<std::string> out;
  std::error_code ec;
  for (fs::recursive_directory_iterator it(folder, ec), end; !ec && it != end; it.increment(ec)) {
    const auto st = it->symlink_status();
    const std::string rel = fs::relative(it->path(), folder).string();
    if (fs::is_symlink(st))
      out.push_back(rel + "@");
    else if (fs::is_regular_file(st))
      out.push_back(rel);
  }
  std::sort(out.begin(), out.end());
  return out;
}

class ArchiveTest : public ::testing::Test {
 protected:
  std::string Unpack(const std::string& archive, const std::string& filespec = "*.*") {
    const std::string target = tmp.file("out" + std::to_string(++outs_));
    base::MakeFolders(target);
    // The options are taken when the run starts, as an engine takes them.
    outcome = ExtractArchive(
        archive, target, filespec, [this](std::string_view l) { log.emplace_back(l); },
        ExtractOptions::FromSettings(settings::Config()).archives);
    return target;
  }

  test::TempDir tmp;
  std::vector<std::string> log;
  ArchiveOutcome outcome;

 private:
  test::ScopedConfig config_;
  int outs_ = 0;
};

TEST_F(ArchiveTest, KindsAndLocations) {
  EXPECT_EQ(ArchiveKindOf("/a/B.ZIP"), ArchiveKind::Zip);
  EXPECT_EQ(ArchiveKindOf("/a.zip/b"), ArchiveKind::None);

  const std::string loc = ArchiveLocation("/home/ann/old.zip", "letters/may.doc");
  EXPECT_EQ(loc, "arc:/home/ann/old.zip//letters/may.doc");
  const auto parts = SplitArchiveLocation(loc);
  ASSERT_TRUE(parts);
  EXPECT_EQ(parts->first, "/home/ann/old.zip");
  EXPECT_EQ(parts->second, "letters/may.doc");
  EXPECT_FALSE(SplitArchiveLocation("/home/ann/old.zip"));
  EXPECT_FALSE(SplitArchiveLocation("arc:/no/member"));
}

TEST_F(ArchiveTest, MemberPathsMustStayInside) {
  EXPECT_EQ(SafeMemberPath("a/b.txt"), "a/b.txt");
  EXPECT_EQ(SafeMemberPath("./a//b.txt"), "a/b.txt");
  EXPECT_EQ(SafeMemberPath("dos\\sub\\x.txt"), "dos/sub/x.txt");
  EXPECT_EQ(SafeMemberPath("a..b/..c"), "a..b/..c");
  EXPECT_FALSE(SafeMemberPath("/etc/passwd"));
  EXPECT_FALSE(SafeMemberPath("\\windows\\x"));
  EXPECT_FALSE(SafeMemberPath("../x"));
  EXPECT_FALSE(SafeMemberPath("a/../../x"));
  EXPECT_FALSE(SafeMemberPath("a\\..\\..\\x"));
  EXPECT_FALSE(SafeMemberPath(""));
  EXPECT_FALSE(SafeMemberPath("./"));
}

TEST_F(ArchiveTest, ZipAnd7zAndCabUnpackWithTheBuiltInReader) {
  const std::vector<Member> members = {{"a.txt", "alpha"},
                                       {"sub/", "", Member::Folder},
                                       {"sub/b.doc", "beta"},
                                       {"Письма/май.txt", "гамма"},
                                       {"empty.txt", ""}};
  WriteArchive(tmp.file("x.zip"), ArchiveFormat::Zip, members);
  WriteArchive(tmp.file("x.7z"), ArchiveFormat::SevenZip, members);
  const std::vector<std::string> expected = {"a.txt", "empty.txt", "sub/b.doc", "Письма/май.txt"};
  for (const char* name : {"x.zip", "x.7z"}) {
    const std::string out = Unpack(tmp.file(name));
    EXPECT_EQ(Tree(out), expected) << name;
    EXPECT_EQ(test::ReadFile(out + "/Письма/май.txt"), "гамма");
  }

  // Names stored in the DOS code page, as old Russian archives have them.
  WriteArchive(tmp.file("dos.zip"), ArchiveFormat::Zip, {{"ОТЧЁТ.TXT", "x"}},
               "zip:hdrcharset=CP866");
  EXPECT_NE(test::ReadFile(tmp.file("dos.zip")).find("\x8E\x92\x97\xF0\x92"), std::string::npos);
  EXPECT_THAT(Tree(Unpack(tmp.file("dos.zip"))), ElementsAre("ОТЧЁТ.TXT"));

  tmp.write("x.cab", test::CabinetBytes({{"one.txt", "first"}, {"dir\\two.txt", "second"}}));
  const std::string out = Unpack(tmp.file("x.cab"));
  EXPECT_THAT(Tree(out), ElementsAre("dir/two.txt", "one.txt"));
  EXPECT_EQ(test::ReadFile(out + "/dir/two.txt"), "second");
  // The member keeps the time the archive gives it (cabinets store local time).
  EXPECT_EQ(base::FileModifiedText(out + "/one.txt"), "2002-12-02 10:20:30");
  EXPECT_THAT(log, IsEmpty());
}

TEST_F(ArchiveTest, FilespecChoosesMembers) {
  WriteArchive(tmp.file("m.zip"), ArchiveFormat::Zip,
               {{"a.txt", "1"}, {"b.DOC", "2"}, {"c.pdf", "3"}, {"README", "4"}});
  EXPECT_THAT(Tree(Unpack(tmp.file("m.zip"), "*.txt;*.doc;")), ElementsAre("a.txt", "b.DOC"));
  EXPECT_EQ(Tree(Unpack(tmp.file("m.zip"), "*.pdf;*.*")).size(), 4u);
}

TEST_F(ArchiveTest, UnsafeMembersAreRefusedAndNothingLandsOutside) {
  const std::string outside = tmp.file("victim.txt");
  WriteArchive(tmp.file("evil.tar"), ArchiveFormat::Tar,
               {{"good.txt", "ok"},
                {"../victim.txt", "overwritten"},
                {outside, "overwritten"},
                {"link", "", Member::Symlink, "/etc/passwd"},
                {"hard", "", Member::Hardlink, "good.txt"},
                {"link/escape.txt", "through the link"},
                {"after.txt", "still read"}});
  tmp.write("victim.txt", "safe");
  const std::string out = Unpack(tmp.file("evil.tar"));
  EXPECT_THAT(Tree(out), ElementsAre("after.txt", "good.txt", "link/escape.txt"));
  EXPECT_EQ(test::ReadFile(outside), "safe");
  EXPECT_EQ(log.size(), 4u);
  EXPECT_THAT(log[0], HasSubstr("../victim.txt"));
  EXPECT_THAT(log[1], HasSubstr(outside));
  EXPECT_THAT(log[2], HasSubstr("link"));
}

TEST_F(ArchiveTest, ArchivesPastTheLimitsAreRefusedWhole) {
  std::vector<Member> many;
  for (int i = 0; i < 6; ++i) many.push_back({"f" + std::to_string(i) + ".txt", "12345"});
  WriteArchive(tmp.file("many.zip"), ArchiveFormat::Zip, many);

  settings::Config().MaxMembers = 5;
  EXPECT_THAT(Tree(Unpack(tmp.file("many.zip"))), IsEmpty());
  ASSERT_EQ(log.size(), 1u);
  EXPECT_THAT(log[0], HasSubstr("many.zip"));

  settings::Config().MaxMembers = 6;
  settings::Config().MaxUnpackedBytes = 29;
  EXPECT_THAT(Tree(Unpack(tmp.file("many.zip"))), IsEmpty());
  ASSERT_EQ(log.size(), 2u);

  settings::Config().MaxUnpackedBytes = 30;
  EXPECT_EQ(Tree(Unpack(tmp.file("many.zip"))).size(), 6u);
  EXPECT_EQ(log.size(), 2u);

  // A size the header does not declare is counted as the data comes (a 7z stream of one
  // large member declares its size; a tar entry is checked the same way while writing).
  const std::string big(1000, 'z');
  WriteArchive(tmp.file("big.7z"), ArchiveFormat::SevenZip, {{"big.txt", big}});
  settings::Config().MaxUnpackedBytes = 999;
  EXPECT_THAT(Tree(Unpack(tmp.file("big.7z"))), IsEmpty());
  EXPECT_EQ(log.size(), 3u);
}

TEST_F(ArchiveTest, DamagedArchivesGiveWhatCouldBeReadSilently) {
  WriteArchive(tmp.file("ok.tar"), ArchiveFormat::Tar,
               {{"first.txt", std::string(2000, 'a')}, {"second.txt", std::string(2000, 'b')}});
  std::string bytes = test::ReadFile(tmp.file("ok.tar"));
  bytes.resize(512 + 2048 + 512 + 1000);  // cut inside the second member's data
  tmp.write("cut.tar", bytes);
  EXPECT_THAT(Tree(Unpack(tmp.file("cut.tar"))), ElementsAre("first.txt"));
  // The member that was listed but could not be read is said, not silently dropped.
  ASSERT_EQ(log.size(), 1u);
  EXPECT_THAT(log[0], HasSubstr("cut.tar"));
  log.clear();

  tmp.write("junk.zip", "this is not an archive at all");
  EXPECT_THAT(Tree(Unpack(tmp.file("junk.zip"))), IsEmpty());
  tmp.write("x.uc2", "UC2 data we cannot read");
  EXPECT_THAT(Tree(Unpack(tmp.file("x.uc2"))), IsEmpty());
  EXPECT_THAT(Tree(Unpack(tmp.file("missing.zip"))), IsEmpty());
  EXPECT_THAT(log, IsEmpty());
}

// A stand-in archiver: records its working folder and arguments, one per line, and leaves a
// file, a link and a file in a subfolder behind.
std::string FakeArchiver(const test::TempDir& tmp) {
  const std::string script = tmp.write("bin/fake arc",
                                       "#!/bin/sh\n"
                                       "pwd > args.txt\n"
                                       "for a in \"$@\"; do echo \"$a\" >> args.txt; done\n"
                                       "mkdir -p sub && echo inner > sub/inner.txt\n"
                                       "ln -s /etc/passwd passwd.txt\n");
  ::chmod(script.c_str(), 0755);
  return script;
}

TEST_F(ArchiveTest, ConfiguredArchiverGetsQuotedArgumentsInTheTargetFolder) {
  settings::Config().ArjPath = FakeArchiver(tmp);
  settings::Config().ArjCmd = "x -y %arc% %filespec%";
  const std::string archive = tmp.write("it's a \"test\".arj", "data");
  const std::string out = Unpack(archive, "*.txt;*.doc;");
  EXPECT_THAT(Tree(out), ElementsAre("args.txt", "sub/inner.txt"));
  EXPECT_EQ(test::ReadFile(out + "/args.txt"), out + "\nx\n-y\n" + archive + "\n*.txt\n*.doc\n");
  ASSERT_EQ(log.size(), 1u);
  EXPECT_THAT(log[0], HasSubstr("passwd.txt"));

  // A template without %filespec% is used as it is.
  settings::Config().ArjCmd = "e %arc%";
  EXPECT_EQ(test::ReadFile(Unpack(archive) + "/args.txt").substr(out.size()),
            "\ne\n" + archive + "\n");

  // The limits hold for what an outside program unpacked, too.
  settings::Config().MaxMembers = 1;
  EXPECT_THAT(Tree(Unpack(archive)), IsEmpty());
}

TEST_F(ArchiveTest, ArchiverThatIsNotInstalledFallsBackToTheBuiltInReader) {
  settings::Config().ZipPath = tmp.file("no/such/unzip");
  settings::Config().ZipCmd = "%arc%";
  WriteArchive(tmp.file("z.zip"), ArchiveFormat::Zip, {{"z.txt", "zz"}});
  EXPECT_THAT(Tree(Unpack(tmp.file("z.zip"))), ElementsAre("z.txt"));
  EXPECT_EQ(ResolveArchiverProgram(settings::Config().ZipPath), "");
  EXPECT_EQ(ResolveArchiverProgram("sh"), "/usr/bin/sh");
  EXPECT_EQ(ResolveArchiverProgram(""), "");
}

TEST_F(ArchiveTest, RunArchiverReportsWhetherTheProgramStarted) {
  EXPECT_TRUE(RunArchiver("/bin/false", "", tmp.path(), 0));  // exit status is not looked at
  EXPECT_FALSE(RunArchiver(tmp.file("missing"), "a b", tmp.path(), 0));
  EXPECT_FALSE(RunArchiver("/bin/true", "unbalanced 'quote", tmp.path(), 0));
  EXPECT_TRUE(RunArchiver("/bin/sh", "-c 'echo \"$0\" > made.txt' 'two words'", tmp.path(), 1));
  EXPECT_EQ(test::ReadFile(tmp.file("made.txt")), "two words\n");
  EXPECT_EQ(BuildArchiverArguments("x %arc% %filespec% -o", "/a b/c.zip", "*.txt;;*.d c;"),
            "x '/a b/c.zip' '*.txt' '*.d c' -o");
  // The placeholders are replaced in one pass: a path holding "%filespec%" stays as it is.
  EXPECT_EQ(BuildArchiverArguments("%arc% %filespec%", "/p/%filespec%.zip", "*.*"),
            "'/p/%filespec%.zip' '*.*'");
}

TEST_F(ArchiveTest, MembersListedButNotExtractableAreSaidAndCounted) {
  tmp.write("old.zip", test::ImplodedZip({"ONE.TXT", "TWO.DOC"}, {{"plain.txt", "stored"}}));
  EXPECT_THAT(Tree(Unpack(tmp.file("old.zip"))), ElementsAre("plain.txt"));
  EXPECT_EQ(outcome.unreadable, 2);
  EXPECT_FALSE(outcome.complete());
  ASSERT_EQ(log.size(), 1u);
  EXPECT_THAT(log[0], HasSubstr("не удалось извлечь файлов: 2: " + tmp.file("old.zip")));

  // With an archiver configured for the kind, that archiver unpacks it.
  log.clear();
  settings::Config().ZipPath = FakeArchiver(tmp);
  settings::Config().ZipCmd = "x %arc%";
  EXPECT_THAT(Tree(Unpack(tmp.file("old.zip"))), ElementsAre("args.txt", "sub/inner.txt"));
  EXPECT_TRUE(outcome.complete());
}

// The pid of the process that started the stand-in archiver, once it has written it.
pid_t WaitForParent(const std::string& file) {
  for (int i = 0; i < 2000; ++i) {
    const std::string text = base::FileExists(file) ? test::ReadFile(file) : "";
    if (!text.empty() && text.back() == '\n') return static_cast<pid_t>(std::stol(text));
    ::usleep(5000);
  }
  return -1;
}

bool Gone(pid_t pid) {
  // A process that has ended may stay a zombie a moment, or for good without an init that reaps.
  for (int i = 0; i < 400; ++i) {
    const std::string stat = "/proc/" + std::to_string(pid) + "/stat";
    if (!base::FileExists(stat)) return true;
    const std::string text = test::ReadFile(stat);
    const std::size_t close = text.rfind(')');
    if (close != std::string::npos && close + 2 < text.size() && text[close + 2] == 'Z')
      return true;
    ::usleep(5000);
  }
  return false;
}

// A stand-in archiver that says who started it and then never ends.
std::string HangingArchiver(const test::TempDir& tmp) {
  const std::string script =
      tmp.write("bin/hang", "#!/bin/sh\necho $$ > '" + tmp.file("self") + "'\necho $PPID > '" +
                                tmp.file("parent") + "'\nsleep 30\n");
  ::chmod(script.c_str(), 0755);
  return script;
}

TEST_F(ArchiveTest, UnpackingIsAJobOfTheReaderProcessWithTheDocumentTimeLimit) {
  settings::Config().CabPath = HangingArchiver(tmp);
  settings::Config().CabCmd = "%arc%";
  const std::string cab = tmp.write("slow.cab", "whatever");
  SetHelperTimeLimit(std::chrono::milliseconds(800));
  const std::string out = Unpack(cab);
  SetHelperTimeLimit(std::chrono::seconds(20));
  EXPECT_TRUE(outcome.failed);
  EXPECT_THAT(Tree(out), IsEmpty());
  ASSERT_EQ(log.size(), 1u);
  EXPECT_THAT(log[0], HasSubstr("не удалось распаковать"));
  EXPECT_THAT(log[0], HasSubstr(cab));
  // The archiver ran below the reader process, not below this one, and was stopped with its job.
  const pid_t parent = WaitForParent(tmp.file("parent"));
  EXPECT_NE(parent, ::getpid());
  ASSERT_TRUE(HelperPid());
  EXPECT_NE(parent, *HelperPid());
  EXPECT_TRUE(Gone(WaitForParent(tmp.file("self"))));
}

TEST_F(ArchiveTest, AnUnpackingThatCrashesFailsThatArchiveOnly) {
  // The unpacking process is made to crash (SIGSEGV) while it waits for its archiver, as the
  // archive library's own defects make it crash on some damaged archives.
  settings::Config().CabPath = HangingArchiver(tmp);
  settings::Config().CabCmd = "%arc%";
  const std::string cab = tmp.write("crash.cab", "whatever");
  std::thread crasher([&] {
    const pid_t unpacking = WaitForParent(tmp.file("parent"));
    if (unpacking > 0) ::kill(unpacking, SIGSEGV);
  });
  const auto started = std::chrono::steady_clock::now();
  const std::string out = Unpack(cab);
  crasher.join();
  EXPECT_LT(std::chrono::steady_clock::now() - started, std::chrono::seconds(15));
  EXPECT_TRUE(outcome.failed);
  EXPECT_THAT(Tree(out), IsEmpty());
  EXPECT_TRUE(Gone(WaitForParent(tmp.file("self"))));
  // The reader goes on with the next archive.
  const std::optional<pid_t> reader = HelperPid();
  log.clear();
  WriteArchive(tmp.file("fine.zip"), ArchiveFormat::Zip, {{"fine.txt", "ok"}});
  EXPECT_THAT(Tree(Unpack(tmp.file("fine.zip"))), ElementsAre("fine.txt"));
  EXPECT_TRUE(outcome.complete());
  EXPECT_EQ(HelperPid(), reader);
  EXPECT_THAT(log, IsEmpty());
}

TEST_F(ArchiveTest, ClearFolderRemovesSubfoldersButNotLinkTargets) {
  tmp.write("keep/precious.txt", "x");
  tmp.write("c/a.txt", "1");
  tmp.write("c/deep/er/b.txt", "2");
  std::filesystem::create_directory_symlink(tmp.file("keep"), tmp.file("c/link"));
  ::chmod(tmp.file("c/deep").c_str(), 0);
  ClearFolder(tmp.file("c"));
  EXPECT_TRUE(base::IsFolder(tmp.file("c")));
  EXPECT_THAT(Tree(tmp.file("c")), IsEmpty());
  EXPECT_TRUE(base::FileExists(tmp.file("keep/precious.txt")));
}

}  // namespace
}  // namespace zyl::extract
