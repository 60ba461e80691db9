#include "extract/office/OfficeReaders.h"

#include <gtest/gtest.h>
#include <signal.h>
#include <unistd.h>

#include <chrono>
#include <filesystem>
#include <random>
#include <thread>

#include "extract/process/OfficeHelper.h"
#include "extract/process/ReaderJobs.h"
#include "support/TestSupport.h"

namespace zyl::extract {
namespace {

// The state letter of /proc/PID/stat ('R', 'S', 'Z' for a zombie...).
char ProcessState(pid_t pid) {
  const std::string stat = test::ReadFile("/proc/" + std::to_string(pid) + "/stat");
  const std::size_t close = stat.rfind(')');
  return close != std::string::npos && close + 2 < stat.size() ? stat[close + 2] : '?';
}

const char* const kWordKinds[] = {"doc", "dot", "rtf", "wri", "wpd", "wps"};
const char* const kSheetKinds[] = {"xls", "xlt", "xlw", "xlc", "xlm", "dbf", "dif",
                                   "csv", "wk1", "wk3", "wk4", "wq1", "wb1"};

TEST(OfficeReadersTest, EmptyAndGarbageFilesOfEveryKindAreErrors) {
  test::TempDir dir;
  std::mt19937 rng(7);
  std::string noise(3000, '\0');
  for (char& c : noise) c = static_cast<char>(rng());
  for (const char* ext : kWordKinds) {
    EXPECT_EQ(GetWordInfo(dir.write(std::string("empty.") + ext, "")).type, "error") << ext;
    EXPECT_EQ(GetWordInfo(dir.write(std::string("noise.") + ext, noise)).type, "error") << ext;
  }
  for (const char* ext : kSheetKinds) {
    EXPECT_EQ(GetExcelInfo(dir.write(std::string("empty.") + ext, "")).type, "error") << ext;
    EXPECT_EQ(GetExcelInfo(dir.write(std::string("noise.") + ext, noise)).type, "error") << ext;
  }
  EXPECT_EQ(GetPdfTextInfo(dir.write("noise.pdf", noise)).type, "error");
  EXPECT_EQ(GetPdfHeaderInfo(dir.write("noise.pdf", noise)).type, "error");
  // Kinds that are not theirs are refused by both readers.
  EXPECT_EQ(GetWordInfo(dir.write("a.txt", "text")).type, "error");
  EXPECT_EQ(GetExcelInfo(dir.write("a.txt", "text")).type, "error");
}

TEST(OfficeReadersTest, ReleasingEndsTheReaderProcessAndIsSafeTwice) {
  const std::string pdf = test::FixturePath("office/outline.pdf");
  ASSERT_EQ(GetPdfTextInfo(pdf).type, "pdf");
  std::optional<pid_t> first = HelperPid();
  ASSERT_TRUE(first);
  // The reader process is kept for the next file.
  ASSERT_EQ(GetExcelInfo(test::FixturePath("office/sample.xls")).type, "xls");
  EXPECT_EQ(HelperPid(), first);

  ReleaseAutomationServers();
  EXPECT_FALSE(HelperPid());
  EXPECT_NE(::kill(*first, 0), 0);  // gone, not a zombie left running
  ReleaseAutomationServers();
  EXPECT_FALSE(HelperPid());

  // A file read after a release starts a new reader process.
  EXPECT_EQ(GetPdfTextInfo(pdf).title, "Annual report");
  ASSERT_TRUE(HelperPid());
  EXPECT_NE(*HelperPid(), *first);
  ReleaseAutomationServers();
}

TEST(OfficeReadersTest, TheReaderIsAProgramOfItsOwnStartedAfresh) {
  // Forked from this multi-threaded program, the reader would run this program's image with
  // whatever locks other threads held; started as zyl-reader it has one thread, in a process
  // group of its own (a Ctrl-C at the terminal is not its to handle).
  std::thread busy([] { GetPdfTextInfo(test::FixturePath("office/outline.pdf")); });
  busy.join();
  ASSERT_EQ(GetPdfTextInfo(test::FixturePath("office/outline.pdf")).type, "pdf");
  const std::optional<pid_t> pid = HelperPid();
  ASSERT_TRUE(pid);
  const std::string proc = "/proc/" + std::to_string(*pid);
  const std::string exe = std::filesystem::read_symlink(proc + "/exe").filename().string();
  EXPECT_EQ(exe, "zyl-reader");
  EXPECT_NE(test::ReadFile(proc + "/status").find("\nThreads:\t1\n"), std::string::npos);
  EXPECT_EQ(::getpgid(*pid), *pid);
  ReleaseAutomationServers();
}

TEST(OfficeReadersTest, AReaderProcessThatDiedIsReplaced) {
  const std::string doc = test::FixturePath("office/sample.doc");
  ASSERT_EQ(GetWordInfo(doc).type, "doc");
  std::optional<pid_t> pid = HelperPid();
  ASSERT_TRUE(pid);
  ASSERT_EQ(::kill(*pid, SIGKILL), 0);
  // Wait until it has died (become a zombie), as a process that crashed between files has.
  for (int i = 0; i < 500 && ProcessState(*pid) != 'Z'; ++i) ::usleep(2000);
  ASSERT_EQ(ProcessState(*pid), 'Z');
  // The death is noticed before the next file is handed over, so that file is still read.
  FileInfo info = GetWordInfo(doc);
  EXPECT_EQ(info.type, "doc");
  EXPECT_EQ(info.author, "Иван Петров");
  ReleaseAutomationServers();
}

TEST(OfficeReadersTest, EachDocumentIsReadByAProcessOfItsOwn) {
  // A document that fails leaves the reader process in place: only the process forked for
  // that document is gone.
  test::TempDir dir;
  ASSERT_EQ(GetWordInfo(test::FixturePath("office/sample.wri")).type, "wri");
  const std::optional<pid_t> helper = HelperPid();
  ASSERT_TRUE(helper);
  const std::string doc = test::ReadFile(test::FixturePath("office/sample.doc"));
  EXPECT_EQ(GetWordInfo(dir.write("broken.doc", doc.substr(0, doc.size() / 2))).type, "error");
  EXPECT_EQ(GetPdfTextInfo(dir.write("broken.pdf", "%PDF-1.7\n%%EOF\n")).type, "error");
  EXPECT_EQ(HelperPid(), helper);
  EXPECT_EQ(WorksTextJob(test::FixturePath("office/sample.wri"))->content,
            GetWordInfo(test::FixturePath("office/sample.wri")).content);
  ReleaseAutomationServers();
}

TEST(OfficeReadersTest, ReadersKeepWorkingAfterDamagedFiles) {
  // Damaged files make wv crash or loop for ever now and then; such a file fails (a loop
  // after the time limit) and the files after it are unaffected.
  SetHelperTimeLimit(std::chrono::milliseconds(1500));
  test::TempDir dir;
  const std::string doc = test::ReadFile(test::FixturePath("office/sample.doc"));
  ASSERT_FALSE(doc.empty());
  std::mt19937 rng(11);
  for (int i = 0; i < 40; ++i) {
    std::string damaged = doc;
    for (int k = 0; k < 30; ++k) damaged[rng() % damaged.size()] = static_cast<char>(rng());
    const std::string type = GetWordInfo(dir.write("damaged.doc", damaged)).type;
    EXPECT_TRUE(type == "doc" || type == "error") << type;
  }
  FileInfo info = GetWordInfo(test::FixturePath("office/sample.doc"));
  EXPECT_EQ(info.type, "doc");
  EXPECT_EQ(info.title, "Отчёт о работе");
  EXPECT_EQ(GetExcelInfo(test::FixturePath("office/sample.xls")).author, "Anna Smith");
  SetHelperTimeLimit(std::chrono::seconds(20));
  ReleaseAutomationServers();
}

}  // namespace
}  // namespace zyl::extract
