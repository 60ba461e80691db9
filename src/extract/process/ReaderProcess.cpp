#include "extract/process/ReaderProcess.h"

#include <fcntl.h>
#include <iconv.h>
#include <poll.h>
#include <signal.h>
#include <sys/socket.h>
#include <sys/wait.h>
#include <unicode/ucnv.h>
#include <unistd.h>

#include <cerrno>
#include <chrono>
#include <cstdlib>
#include <exception>

#include "extract/DocumentTypes.h"
#include "extract/TextLimit.h"
#include "extract/archive/Archive.h"
#include "extract/office/OleProperties.h"
#include "extract/process/OfficeHelper.h"
#include "extract/process/ReaderProtocol.h"

namespace zyl::extract {

namespace {

using Clock = std::chrono::steady_clock;

// What one job answers; no field when it failed. A document's job is the one its type names in
// the table, which this program shares with the one that sends the jobs.
ReaderMessage AnswerJob(unsigned job, const ReaderMessage& args) {
  if (job == kUnpackArchiveJob) return UnpackArchiveJob(args);
  const DocumentType* type = DocumentTypeOfJob(job);
  if (!type || !type->job || args.size() != 2) return {};
  std::optional<HelperDocument> doc = type->job(args[0]);
  if (!doc) return {};
  const bool cut = CutText(doc->content, std::strtoull(args[1].c_str(), nullptr, 10));
  return {std::move(doc->content), std::move(doc->author), std::move(doc->title), cut ? "1" : "0",
          doc->passwordRequired ? "1" : "0"};
}

// Runs one job in a process of its own, forked from this single-threaded reader, so that every
// document starts from the same clean state. The job's process leads a process group, so that
// an archiver it started goes with it. Returns the encoded answer, or the failure answer when
// the job's process crashed, stopped early or ran past the time limit.
std::string RunJobProcess(unsigned job, const ReaderMessage& args,
                          std::chrono::milliseconds limit) {
  const std::string failed = EncodeReaderMessage({});
  int sv[2];
  if (::socketpair(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC, 0, sv) != 0) return failed;
  const pid_t pid = ::fork();
  if (pid < 0) {
    ::close(sv[0]);
    ::close(sv[1]);
    return failed;
  }
  if (pid == 0) {
    ::close(sv[0]);
    ::setpgid(0, 0);
    ReaderMessage answer;
    try {
      answer = AnswerJob(job, args);
    } catch (...) {
      answer.clear();
    }
    ::_exit(SendReaderBytes(sv[1], EncodeReaderMessage(answer)) ? 0 : 1);
  }
  ::setpgid(pid, pid);  // also from this side, so the group exists whichever runs first
  ::close(sv[1]);
  const Clock::time_point deadline = Clock::now() + limit;
  std::string answer;
  bool timedOut = false;
  char buffer[1 << 16];
  for (;;) {
    const auto left =
        std::chrono::duration_cast<std::chrono::milliseconds>(deadline - Clock::now());
    if (left.count() <= 0) {
      timedOut = true;
      break;
    }
    pollfd p{sv[0], POLLIN, 0};
    const int r = ::poll(&p, 1, static_cast<int>(left.count()));
    if (r < 0 && errno == EINTR) continue;
    if (r < 0) break;
    if (r == 0) continue;  // the loop notices the deadline
    const ssize_t n = ::recv(sv[0], buffer, sizeof buffer, 0);
    if (n < 0 && errno == EINTR) continue;
    if (n <= 0) break;  // the job's process finished (or died)
    answer.append(buffer, static_cast<std::size_t>(n));
  }
  ::close(sv[0]);
  if (timedOut) ::kill(pid, SIGKILL);
  // Wait for the end without reaping, so that the group's number cannot be reused while what
  // is left of the group (an archiver the job started) is stopped.
  siginfo_t info{};
  while (::waitid(P_PID, static_cast<id_t>(pid), &info, WEXITED | WNOWAIT) < 0 && errno == EINTR) {
  }
  ::kill(-pid, SIGKILL);
  while (::waitpid(pid, nullptr, 0) < 0 && errno == EINTR) {
  }
  const bool clean = !timedOut && info.si_code == CLD_EXITED && info.si_status == 0;
  return clean && DecodeReaderMessage(answer) ? answer : failed;
}

// What every job would otherwise do again in its fresh process: the libraries' one-time set-up,
// the character set modules they load on first use. Done once here, it is inherited by every
// job's process.
void PrepareLibraries() {
  EnsureGsfReady();
  for (const char* name : {"CP866", "CP1251", "KOI8-R", "UTF-16LE", "UTF-16BE", "UTF-16"}) {
    const iconv_t cd = ::iconv_open("UTF-8", name);
    if (cd != reinterpret_cast<iconv_t>(-1)) ::iconv_close(cd);
  }
  for (const char* name : {"utf-8", "windows-1251", "windows-1252", "ibm-866", "koi8-r"}) {
    UErrorCode status = U_ZERO_ERROR;
    if (UConverter* conv = ucnv_open(name, &status)) ucnv_close(conv);
  }
}

}  // namespace

int ServeReaderJobs(int socket) {
  // Keep only what the reader needs: its socket, and the standard streams pointed at nothing,
  // so that library chatter never reaches the program's terminal or log.
  const int devnull = ::open("/dev/null", O_RDWR);
  if (devnull >= 0) {
    ::dup2(devnull, 0);
    ::dup2(devnull, 1);
    ::dup2(devnull, 2);
  }
  if (socket != 3) {
    if (::dup2(socket, 3) < 0) return 1;
    socket = 3;
  }
  ::close_range(4, ~0U, 0);
  ::signal(SIGINT, SIG_IGN);  // a Ctrl-C is the program's to handle
  ::signal(SIGPIPE, SIG_IGN);
  ::signal(SIGCHLD, SIG_DFL);  // the jobs' processes are waited for
  PrepareLibraries();

  for (;;) {
    std::optional<ReaderMessage> request = ReceiveReaderMessage(socket);
    if (!request) return 0;  // the program has gone
    // The job number is digits only: anything else is not this program talking.
    if (request->size() < 2 || (*request)[0].empty() ||
        (*request)[0].find_first_not_of("0123456789") != std::string::npos)
      return 1;
    const auto job = static_cast<unsigned>(std::strtoul((*request)[0].c_str(), nullptr, 10));
    const std::chrono::milliseconds limit(std::strtoul((*request)[1].c_str(), nullptr, 10));
    request->erase(request->begin(), request->begin() + 2);
    if (!SendReaderBytes(socket, RunJobProcess(job, *request, limit))) return 0;
  }
}

}  // namespace zyl::extract
