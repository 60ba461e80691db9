#include "extract/mail/EmlReader.h"

#include "base/Paths.h"
#include "extract/TextLimit.h"
#include "extract/mail/Mail.h"

namespace zyl::extract {

namespace {

FileInfo ReadMessageFile(std::string_view path, const char* type) {
  try {
    bool cut = false;
    const auto bytes = base::ReadFileBytes(path, MaxMarkupBytes(), &cut);
    if (!bytes) return ErrorInfo();
    FileInfo info = MailMessageText(*bytes, true);
    info.textCut = info.textCut || cut;
    info.type = type;
    return info;
  } catch (...) {
    // Out of memory on a hostile file is a failed document, never a failed run.
    return ErrorInfo();
  }
}

}  // namespace

FileInfo GetEmlInfo(std::string_view path) {
  return ReadMessageFile(path, "eml");
}

FileInfo GetMaildirInfo(std::string_view path) {
  return ReadMessageFile(path, "maildir");
}

}  // namespace zyl::extract
