#include "extract/process/OfficeHelper.h"

#include <fcntl.h>
#include <signal.h>
#include <spawn.h>
#include <sys/socket.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <chrono>
#include <cstdint>
#include <cstdlib>
#include <filesystem>
#include <mutex>
#include <vector>

#include "base/Paths.h"
#include "extract/DocumentTypes.h"
#include "extract/TextLimit.h"

namespace zyl::extract {

namespace {

// A document the libraries have not finished after this long (plus a little per megabyte) is
// taken for a hang. wv loops for ever on some damaged files.
constexpr std::chrono::milliseconds kDefaultJobTimeLimit{20'000};
constexpr std::chrono::milliseconds kExtraTimePerMegabyte{5'000};
constexpr std::chrono::milliseconds kMaxJobTimeLimit{3'600'000};
constexpr std::chrono::milliseconds kHelperGrace{5'000};
// Each job runs in a fresh process, so the reader itself holds little; it is renewed now and
// then all the same.
constexpr int kJobsPerHelper = 10000;

using Clock = std::chrono::steady_clock;

std::string FindReaderProgram() {
  if (const char* set = std::getenv("ZYL_READER"); set && *set) return set;
  std::error_code ec;
  const std::filesystem::path self = std::filesystem::read_symlink("/proc/self/exe", ec);
  if (!ec) {
    // Beside the program (the build tree, a portable folder), or where an installation puts
    // helper programs (bin/zyl, libexec/zyl/zyl-reader).
    for (const std::filesystem::path& candidate :
         {self.parent_path() / "zyl-reader",
          self.parent_path().parent_path() / "libexec" / "zyl" / "zyl-reader"}) {
      if (::access(candidate.c_str(), X_OK) == 0) return candidate.string();
    }
  }
#ifdef ZYL_READER_BUILD_PATH
  return ZYL_READER_BUILD_PATH;
#else
  return "zyl-reader";
#endif
}

class Helper {
 public:
  ~Helper() { Stop(); }

  std::optional<ReaderMessage> Run(unsigned job, std::string_view sizedPath,
                                   const ReaderMessage& args) {
    std::lock_guard<std::mutex> lock(mutex_);
    if (jobs_ >= kJobsPerHelper) Stop();
    // Big documents take longer: the limit grows with the file's size.
    const std::uint64_t megabytes = base::FileSize(sizedPath).value_or(0) >> 20;
    const std::chrono::milliseconds limit =
        std::min(limit_ + kExtraTimePerMegabyte *
                              static_cast<long>(std::min<std::uint64_t>(megabytes, 1u << 20)),
                 kMaxJobTimeLimit);
    ReaderMessage request{std::to_string(job), std::to_string(limit.count())};
    request.insert(request.end(), args.begin(), args.end());
    const std::string bytes = EncodeReaderMessage(request);
    // A reader that died while idle (killed from outside, say) is replaced once; a reader that
    // dies while working fails only the file it was working on.
    bool sent = false;
    for (int attempt = 0; attempt < 2 && !sent; ++attempt) {
      if (!Running() && !Start()) return std::nullopt;
      sent = SendReaderBytes(fd_, bytes);
      if (!sent) Stop();
    }
    if (!sent) return std::nullopt;
    ++jobs_;
    // The reader enforces the limit on the job; this one only guards against the reader
    // itself no longer answering.
    const Clock::time_point deadline = Clock::now() + limit + kHelperGrace;
    std::optional<ReaderMessage> answer = ReceiveReaderMessage(fd_, &deadline);
    if (!answer) {
      Stop();
      return std::nullopt;
    }
    if (answer->empty()) return std::nullopt;
    return answer;
  }

  void Stop() {
    if (fd_ >= 0) ::close(fd_);
    fd_ = -1;
    if (pid_ > 0) {
      ::kill(pid_, SIGKILL);
      while (::waitpid(pid_, nullptr, 0) < 0 && errno == EINTR) {
      }
    }
    pid_ = -1;
    jobs_ = 0;
  }

  void Prepare() {
    std::lock_guard<std::mutex> lock(mutex_);
    if (!Running()) Start();
  }

  void StopLocked() {
    std::lock_guard<std::mutex> lock(mutex_);
    Stop();
  }

  void SetLimit(std::chrono::milliseconds limit) {
    std::lock_guard<std::mutex> lock(mutex_);
    limit_ = std::clamp(limit, std::chrono::milliseconds(1), kMaxJobTimeLimit);
  }

  std::optional<pid_t> Pid() {
    std::lock_guard<std::mutex> lock(mutex_);
    if (!Running()) return std::nullopt;
    return pid_;
  }

 private:
  bool Running() {
    if (pid_ <= 0) return false;
    const pid_t r = ::waitpid(pid_, nullptr, WNOHANG);
    // ECHILD: the program lets the system reap its children, so ask whether it still exists.
    const bool dead = r == pid_ || (r < 0 && errno == ECHILD && ::kill(pid_, 0) != 0);
    if (dead) {
      pid_ = -1;
      Stop();
      return false;
    }
    return true;
  }

  // Starts the reader program with its end of the socket as descriptor 3, the standard streams
  // on /dev/null, in a process group of its own (a Ctrl-C at the terminal is the program's; an
  // archiver that reads the terminal for a password is stopped, and ended at the time limit)
  // and with default signal handling. Not in a session of its own: where the system schedules
  // sessions as groups, every job would wait its turn apart from the program, which made
  // small documents three times slower on a busy machine.
  bool Start() {
    if (program_.empty()) program_ = FindReaderProgram();
    int sv[2];
    if (::socketpair(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC, 0, sv) != 0) return false;
    // Descriptor 3 itself could not be passed on: duplicating a descriptor onto itself keeps
    // its close-on-exec flag on some systems.
    if (sv[1] <= 3) {
      const int moved = ::fcntl(sv[1], F_DUPFD_CLOEXEC, 10);
      ::close(sv[1]);
      sv[1] = moved;
    }
    if (sv[1] < 0) {
      ::close(sv[0]);
      return false;
    }
    posix_spawn_file_actions_t actions;
    posix_spawnattr_t attr;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_adddup2(&actions, sv[1], 3);
    posix_spawn_file_actions_addopen(&actions, 0, "/dev/null", O_RDWR, 0);
    posix_spawn_file_actions_adddup2(&actions, 0, 1);
    posix_spawn_file_actions_adddup2(&actions, 0, 2);
    posix_spawnattr_init(&attr);
    sigset_t none, all;
    sigemptyset(&none);
    sigfillset(&all);
    posix_spawnattr_setsigmask(&attr, &none);
    posix_spawnattr_setsigdefault(&attr, &all);
    posix_spawnattr_setflags(
        &attr, POSIX_SPAWN_SETPGROUP | POSIX_SPAWN_SETSIGMASK | POSIX_SPAWN_SETSIGDEF);
    std::string arg0 = program_;
    char* const argv[] = {arg0.data(), nullptr};
    // The reader binds every library symbol when it starts rather than on first call, so that
    // the process it forks for each job finds them bound.
    std::vector<std::string> env{"LD_BIND_NOW=1"};
    for (char** e = environ; *e; ++e)
      if (std::string_view(*e).substr(0, 12) != "LD_BIND_NOW=") env.emplace_back(*e);
    std::vector<char*> envp;
    for (std::string& e : env) envp.push_back(e.data());
    envp.push_back(nullptr);
    pid_t pid = -1;
    const int rc = ::posix_spawn(&pid, program_.c_str(), &actions, &attr, argv, envp.data());
    posix_spawn_file_actions_destroy(&actions);
    posix_spawnattr_destroy(&attr);
    ::close(sv[1]);
    if (rc != 0) {
      ::close(sv[0]);
      return false;
    }
    pid_ = pid;
    fd_ = sv[0];
    jobs_ = 0;
    return true;
  }

  std::mutex mutex_;
  std::chrono::milliseconds limit_ = kDefaultJobTimeLimit;
  std::string program_;
  pid_t pid_ = -1;
  int fd_ = -1;
  int jobs_ = 0;
};

Helper& TheHelper() {
  static Helper helper;
  return helper;
}

}  // namespace

std::optional<HelperDocument> ReadInHelper(const DocumentType& type, std::string_view path) {
  if (!type.job) return std::nullopt;
  // The text is cut where it is made, so that a huge document never crosses the socket whole.
  std::optional<ReaderMessage> answer = TheHelper().Run(
      ReaderJobNumber(type), path, {std::string(path), std::to_string(MaxTextBytes())});
  // content, author, title, "1" when the text was cut, "1" when the document is encrypted.
  if (!answer || answer->size() != 5) return std::nullopt;
  HelperDocument doc{std::move((*answer)[0]), std::move((*answer)[1]), std::move((*answer)[2])};
  doc.textCut = (*answer)[3] == "1";
  doc.passwordRequired = (*answer)[4] == "1";
  return doc;
}

FileInfo ReadInReaderProcess(std::string_view path, const DocumentType& type,
                             const ExtractOptions&) {
  if (!base::FileExists(path)) return ErrorInfo();
  std::optional<HelperDocument> doc = ReadInHelper(type, path);
  if (!doc) return ErrorInfo();
  if (doc->passwordRequired) return ErrorInfo(true);
  FileInfo info;
  info.content = std::move(doc->content);
  info.author = std::move(doc->author);
  info.title = std::move(doc->title);
  info.type = std::string(type.storedType);
  info.textCut = doc->textCut;
  return info;
}

std::optional<ReaderMessage> RunInReader(unsigned job, std::string_view sizedPath,
                                         const ReaderMessage& args) {
  return TheHelper().Run(job, sizedPath, args);
}

void PrepareHelper() {
  TheHelper().Prepare();
}

void StopHelper() {
  TheHelper().StopLocked();
}

std::optional<pid_t> HelperPid() {
  return TheHelper().Pid();
}

void SetHelperTimeLimit(std::chrono::milliseconds limit) {
  TheHelper().SetLimit(limit);
}

}  // namespace zyl::extract
