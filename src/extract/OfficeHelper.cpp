#include "extract/OfficeHelper.h"

#include <fcntl.h>
#include <poll.h>
#include <signal.h>
#include <sys/socket.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <chrono>
#include <cstdint>
#include <cstring>
#include <exception>
#include <mutex>

#include "base/Paths.h"
#include "extract/DbfReader.h"
#include "extract/ExcelReader.h"
#include "extract/LotusReader.h"
#include "extract/OleProperties.h"
#include "extract/PdfReader.h"
#include "extract/WordReader.h"
#include "extract/WpReader.h"

namespace zyl::extract {

namespace {

// A document the libraries have not finished after this long (plus a little per megabyte) is
// taken for a hang. wv loops for ever on some damaged files.
constexpr std::chrono::milliseconds kDefaultJobTimeLimit{20'000};
constexpr std::chrono::milliseconds kExtraTimePerMegabyte{5'000};
constexpr std::chrono::milliseconds kMaxJobTimeLimit{3'600'000};
constexpr std::chrono::milliseconds kHelperGrace{5'000};
// Each job runs in a fresh process, so the helper itself holds little; it is renewed now and
// then all the same.
constexpr int kJobsPerHelper = 10000;
// Sanity bound for one answer field; no document's text comes near it.
constexpr std::uint64_t kMaxFieldBytes = std::uint64_t{1} << 32;

using Clock = std::chrono::steady_clock;

void PutU32(std::string& out, std::uint32_t v) {
  for (int i = 0; i < 4; ++i) out.push_back(static_cast<char>((v >> (8 * i)) & 0xFF));
}
void PutU64(std::string& out, std::uint64_t v) {
  for (int i = 0; i < 8; ++i) out.push_back(static_cast<char>((v >> (8 * i)) & 0xFF));
}
std::uint64_t GetLe(const unsigned char* p, int bytes) {
  std::uint64_t v = 0;
  for (int i = 0; i < bytes; ++i) v |= std::uint64_t{p[i]} << (8 * i);
  return v;
}

bool SendAll(int fd, const char* data, std::size_t size) {
  while (size > 0) {
    const ssize_t n = ::send(fd, data, size, MSG_NOSIGNAL);
    if (n < 0) {
      if (errno == EINTR) continue;
      return false;
    }
    data += n;
    size -= static_cast<std::size_t>(n);
  }
  return true;
}

// Reads exactly `size` bytes; with a deadline, gives up when it passes.
bool ReceiveAll(int fd, char* data, std::size_t size, const Clock::time_point* deadline) {
  while (size > 0) {
    if (deadline) {
      const auto left =
          std::chrono::duration_cast<std::chrono::milliseconds>(*deadline - Clock::now());
      if (left.count() <= 0) return false;
      pollfd p{fd, POLLIN, 0};
      const int r = ::poll(&p, 1, static_cast<int>(left.count()));
      if (r < 0 && errno == EINTR) continue;
      if (r <= 0) return false;
    }
    const ssize_t n = ::recv(fd, data, size, 0);
    if (n < 0) {
      if (errno == EINTR) continue;
      return false;
    }
    if (n == 0) return false;  // the other side is gone
    data += n;
    size -= static_cast<std::size_t>(n);
  }
  return true;
}

// Serialises a job's result: a status byte (0 failed, 1 read, 2 needs a password), then for a
// document read the three fields with their lengths.
constexpr char kAnswerFailed = 0, kAnswerRead = 1, kAnswerPassword = 2;

std::string EncodeAnswer(const std::optional<HelperDocument>& doc) {
  std::string answer;
  if (doc && doc->passwordRequired) return std::string(1, kAnswerPassword);
  answer.push_back(doc ? kAnswerRead : kAnswerFailed);
  if (doc) {
    for (const std::string* field : {&doc->content, &doc->author, &doc->title}) {
      PutU64(answer, field->size());
      answer += *field;
    }
  }
  return answer;
}

// True when `answer` is one complete answer and nothing more.
bool WellFormedAnswer(std::string_view answer) {
  if (answer.empty()) return false;
  if (answer[0] == kAnswerFailed || answer[0] == kAnswerPassword) return answer.size() == 1;
  if (answer[0] != kAnswerRead) return false;
  std::size_t pos = 1;
  for (int field = 0; field < 3; ++field) {
    if (answer.size() - pos < 8) return false;
    const std::uint64_t n = GetLe(reinterpret_cast<const unsigned char*>(answer.data() + pos), 8);
    pos += 8;
    if (n > answer.size() - pos) return false;
    pos += static_cast<std::size_t>(n);
  }
  return pos == answer.size();
}

// Runs one job in a process of its own, forked from the helper, so that every document starts
// from the same clean state: a damaged file that corrupts a library's memory cannot harm the
// files after it. Returns the job's answer, or the failure answer when the job's process
// crashed, stopped early or ran past the time limit.
std::string RunJobProcess(HelperJob job, const std::string& path, std::chrono::milliseconds limit) {
  static const std::string kFailed(1, '\0');
  int sv[2];
  if (::socketpair(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC, 0, sv) != 0) return kFailed;
  const pid_t pid = ::fork();
  if (pid < 0) {
    ::close(sv[0]);
    ::close(sv[1]);
    return kFailed;
  }
  if (pid == 0) {
    ::close(sv[0]);
    std::optional<HelperDocument> doc;
    try {
      doc = RunHelperJob(job, path);
    } catch (...) {
      doc.reset();
    }
    const std::string answer = EncodeAnswer(doc);
    ::_exit(SendAll(sv[1], answer.data(), answer.size()) ? 0 : 1);
  }
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
  int status = 0;
  while (::waitpid(pid, &status, 0) < 0 && errno == EINTR) {
  }
  const bool clean = !timedOut && WIFEXITED(status) && WEXITSTATUS(status) == 0;
  return clean && WellFormedAnswer(answer) ? answer : kFailed;
}

// The helper's side: answer jobs until the program closes its end.
[[noreturn]] void HelperMain(int socket) {
  // Keep only what the helper needs: its socket, and the standard streams pointed at nothing,
  // so that library chatter never reaches the program's terminal or log.
  const int devnull = ::open("/dev/null", O_RDWR);
  if (devnull >= 0) {
    ::dup2(devnull, 0);
    ::dup2(devnull, 1);
    ::dup2(devnull, 2);
  }
  ::dup2(socket, 3);
  ::close_range(4, ~0U, 0);
  socket = 3;
  // Fresh C streams: a thread of the program may have held the old ones' locks when the helper
  // was forked, and a library writing to a stream locked for ever would hang every job.
  stdout = ::fdopen(1, "w");
  stderr = ::fdopen(2, "w");
  ::signal(SIGINT, SIG_IGN);  // a Ctrl-C is the program's to handle
  ::signal(SIGPIPE, SIG_IGN);
  ::signal(SIGCHLD, SIG_DFL);  // the jobs' processes are waited for

  for (;;) {
    unsigned char header[12];
    if (!ReceiveAll(socket, reinterpret_cast<char*>(header), sizeof header, nullptr)) ::_exit(0);
    const auto job = static_cast<HelperJob>(GetLe(header, 4));
    const std::chrono::milliseconds limit(GetLe(header + 4, 4));
    const std::size_t pathSize = static_cast<std::size_t>(GetLe(header + 8, 4));
    std::string path(pathSize, '\0');
    if (!ReceiveAll(socket, path.data(), pathSize, nullptr)) ::_exit(0);
    const std::string answer = RunJobProcess(job, path, limit);
    if (!SendAll(socket, answer.data(), answer.size())) ::_exit(0);
  }
}

class Helper {
 public:
  ~Helper() { Stop(); }

  std::optional<HelperDocument> Read(HelperJob job, std::string_view path) {
    std::lock_guard<std::mutex> lock(mutex_);
    if (jobs_ >= kJobsPerHelper) Stop();
    // Big documents take longer: the limit grows with the file's size.
    const std::uint64_t megabytes = base::FileSize(path).value_or(0) >> 20;
    const std::chrono::milliseconds limit =
        std::min(limit_ + kExtraTimePerMegabyte *
                              static_cast<long>(std::min<std::uint64_t>(megabytes, 1u << 20)),
                 kMaxJobTimeLimit);
    std::string request;
    PutU32(request, static_cast<std::uint32_t>(job));
    PutU32(request, static_cast<std::uint32_t>(limit.count()));
    PutU32(request, static_cast<std::uint32_t>(path.size()));
    request += path;
    // A helper that died while idle (killed from outside, say) is replaced once; a helper that
    // dies while reading fails only the file it was reading.
    bool sent = false;
    for (int attempt = 0; attempt < 2 && !sent; ++attempt) {
      if (!Running() && !Start()) return std::nullopt;
      sent = SendAll(fd_, request.data(), request.size());
      if (!sent) Stop();
    }
    if (!sent) return std::nullopt;
    ++jobs_;
    std::optional<HelperDocument> doc;
    if (!ReadAnswer(doc, limit)) {
      Stop();
      return std::nullopt;
    }
    return doc;
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

  bool Start() {
    int sv[2];
    if (::socketpair(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC, 0, sv) != 0) return false;
    const pid_t pid = ::fork();
    if (pid < 0) {
      ::close(sv[0]);
      ::close(sv[1]);
      return false;
    }
    if (pid == 0) HelperMain(sv[1]);
    ::close(sv[1]);
    pid_ = pid;
    fd_ = sv[0];
    jobs_ = 0;
    return true;
  }

  bool ReadAnswer(std::optional<HelperDocument>& doc, std::chrono::milliseconds limit) {
    // The helper enforces the limit on the job; this one only guards against the helper
    // itself no longer answering.
    const Clock::time_point deadline = Clock::now() + limit + kHelperGrace;
    char status = 0;
    if (!ReceiveAll(fd_, &status, 1, &deadline)) return false;
    if (status == kAnswerFailed) return true;
    HelperDocument d;
    if (status == kAnswerPassword) {
      d.passwordRequired = true;
      doc = std::move(d);
      return true;
    }
    for (std::string* field : {&d.content, &d.author, &d.title}) {
      unsigned char size[8];
      if (!ReceiveAll(fd_, reinterpret_cast<char*>(size), sizeof size, &deadline)) return false;
      const std::uint64_t n = GetLe(size, 8);
      if (n > kMaxFieldBytes) return false;
      field->resize(static_cast<std::size_t>(n));
      if (!ReceiveAll(fd_, field->data(), field->size(), &deadline)) return false;
    }
    doc = std::move(d);
    return true;
  }

  std::mutex mutex_;
  std::chrono::milliseconds limit_ = kDefaultJobTimeLimit;
  pid_t pid_ = -1;
  int fd_ = -1;
  int jobs_ = 0;
};

Helper& TheHelper() {
  static Helper helper;
  return helper;
}

HelperDocument FromSheets(const std::vector<SheetGrid>& sheets, std::string author = {},
                          std::string title = {}) {
  return HelperDocument{WorkbookContent(sheets), std::move(author), std::move(title)};
}

HelperDocument PasswordRequired() {
  HelperDocument doc;
  doc.passwordRequired = true;
  return doc;
}

std::optional<HelperDocument> WorksText(const std::string& path) {
  std::optional<WpDocument> doc = ReadWorksText(path);
  if (!doc) return std::nullopt;
  // Works 4 and later keep their properties in the OLE2 SummaryInformation stream, which the
  // text library does not report.
  if (doc->author.empty() && doc->title.empty()) {
    if (std::optional<OleSummary> summary = ReadOleSummary(path)) {
      doc->author = std::move(summary->author);
      doc->title = std::move(summary->title);
    }
  }
  return HelperDocument{std::move(doc->text), std::move(doc->author), std::move(doc->title)};
}

}  // namespace

std::optional<HelperDocument> RunHelperJob(HelperJob job, const std::string& path) {
  switch (job) {
    case HelperJob::WordDocument: {
      std::optional<WordDocument> doc = ReadWordDocument(path);
      if (!doc) return std::nullopt;
      if (doc->encrypted) return PasswordRequired();
      return HelperDocument{std::move(doc->text), std::move(doc->author), std::move(doc->title)};
    }
    case HelperJob::ExcelWorkbook: {
      std::optional<Workbook> book = ReadExcelWorkbook(path);
      if (!book) return std::nullopt;
      if (book->encrypted) return PasswordRequired();
      return FromSheets(book->sheets, std::move(book->author), std::move(book->title));
    }
    case HelperJob::DbfTable: {
      std::optional<SheetGrid> grid = ReadDbfTable(path);
      if (!grid) return std::nullopt;
      return FromSheets({std::move(*grid)});
    }
    case HelperJob::WordPerfect: {
      std::optional<WpDocument> doc = ReadWordPerfect(path);
      if (!doc) return std::nullopt;
      return HelperDocument{std::move(doc->text), std::move(doc->author), std::move(doc->title)};
    }
    case HelperJob::WorksText:
      return WorksText(path);
    case HelperJob::LotusDos:
    case HelperJob::LotusWindows: {
      const auto origin =
          job == HelperJob::LotusDos ? LegacySheetOrigin::Dos : LegacySheetOrigin::Windows;
      std::optional<std::vector<SheetGrid>> sheets = ReadLotusWorkbook(path, origin);
      if (!sheets) return std::nullopt;
      return FromSheets(*sheets);
    }
    case HelperJob::PdfText: {
      std::optional<PdfInfo> info = ReadPdfText(path);
      if (!info) return std::nullopt;
      return HelperDocument{std::move(info->content), std::move(info->author),
                            std::move(info->title)};
    }
  }
  return std::nullopt;
}

std::optional<HelperDocument> ReadInHelper(HelperJob job, std::string_view path) {
  return TheHelper().Read(job, path);
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
