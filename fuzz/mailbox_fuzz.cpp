// Mailbox readers: a message or a whole mailbox file of any bytes is cut, read and decoded
// without a crash or a hang, and every row it gives has the fields a row must have.
#include <sys/mman.h>
#include <unistd.h>

#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string>

#include "base/Utf8.h"
#include "extract/mail/Mail.h"
#include "extract/mail/MimeDecode.h"

namespace {

class CheckingSink : public zyl::catalog::ContentSink {
 public:
  void AppendRow(const zyl::extract::FileInfo& row) override {
    if (row.location.empty() || row.type.empty()) std::abort();
    if (!zyl::base::IsValidUtf8(row.content) || !zyl::base::IsValidUtf8(row.title)) std::abort();
  }
};

// The input is handed to the file readers through a file in memory, so that thousands of runs
// cost no disk writes.
class MemoryFile {
 public:
  MemoryFile() : fd_(::memfd_create("mailbox", MFD_CLOEXEC)) {
    if (fd_ < 0) std::abort();
    path_ = "/proc/self/fd/" + std::to_string(fd_);
  }
  const std::string& Fill(const std::string& bytes) {
    if (::ftruncate(fd_, 0) != 0 || ::pwrite(fd_, bytes.data(), bytes.size(), 0) < 0) std::abort();
    return path_;
  }

 private:
  int fd_;
  std::string path_;
};

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  using namespace zyl::extract;
  const std::string input(reinterpret_cast<const char*>(data), size);

  GetMailFrom(input);
  GetMailSubject(input);
  GetMessageId(input);
  const auto date = GetMailDate(input);
  if (date.month < 1 || date.month > 12 || date.day < 1 || date.day > 31) std::abort();
  GetMailBody(input);
  DecodeEncodedWords(input);
  DecodeQuotedPrintable(input, "koi8r");
  MailMessageInfo(input, "Inbox", true);

  CheckingSink sink;
  static MemoryFile file;
  const std::string& path = file.Fill(input);
  ReadOutlookExpressFile(path, sink);
  ReadNetscapeFile(path, sink);
  return 0;
}
