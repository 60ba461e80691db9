// Mailbox readers: a message or a whole mailbox file of any bytes is cut, read and decoded
// without a crash or a hang, and every row it gives has the fields a row must have.
#include <unistd.h>

#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string>

#include "base/Paths.h"
#include "base/Utf8.h"
#include "extract/Mail.h"

namespace {

class CheckingSink : public zyl::extract::ContentSink {
 public:
  void AppendRow(const zyl::extract::FileInfo& row) override {
    if (row.location.empty() || row.type.empty()) std::abort();
    if (!zyl::base::IsValidUtf8(row.content) || !zyl::base::IsValidUtf8(row.title)) std::abort();
  }
};

const std::string& ScratchFile() {
  static const std::string path = [] {
    std::string tmpl = "/tmp/zyl-mailbox-fuzz-XXXXXX";
    const int fd = ::mkstemp(tmpl.data());
    if (fd >= 0) ::close(fd);
    std::atexit([] { ::unlink(ScratchFile().c_str()); });
    return tmpl;
  }();
  return path;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  using namespace zyl::extract;
  const std::string input(reinterpret_cast<const char*>(data), size);

  GetMailFrom(input);
  GetMailSubject(input);
  GetMessageId(input);
  const auto date = GetMailDate(input);
  if (date.month < 1 || date.month > 12 || date.day < 1 || date.day > 31) std::abort();
  GetMailBody(input, "------");
  GetMailBody(input, "\n--------");
  DecodeQuotedPrintable(input, "koi8r");
  MailMessageInfo(input, "Inbox", true);

  CheckingSink sink;
  if (!zyl::base::WriteFileAtomic(ScratchFile(), input)) return 0;
  ReadOutlookExpressFile(ScratchFile(), sink);
  ReadNetscapeFile(ScratchFile(), sink);
  return 0;
}
