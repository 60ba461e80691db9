#include "catalog/ContentStore.h"

#include "base/Messages.h"
#include "base/Strings.h"
#include "catalog/IndexTable.h"

namespace zyl::catalog {

namespace {

// Properties read from fixed-width fields (ID3 tags, document property sets, PDF strings) often
// end in the zero bytes or blanks that padded them; those are no part of a title or a name.
std::string_view WithoutPadding(std::string_view property) {
  const std::size_t end = property.find_last_not_of(std::string_view(" \t\r\n\0", 5));
  return end == std::string_view::npos ? std::string_view() : property.substr(0, end + 1);
}

}  // namespace

bool SaveContentInfo(ContentSink& sink, const FileInfo& info) {
  if (info.location.empty() || info.type.empty()) return false;
  // Rows are stored cut to the column lengths, in code points. Most records need no cut (a text
  // of no more bytes than the limit has no more code points either), and are then stored as they
  // are, without copying the document's text. The location is never cut: a cut one names no
  // file, can be neither opened nor served, and the update (which looks rows up by the whole
  // path) would delete and add its row again on every run.
  const std::string_view author = WithoutPadding(info.author);
  const std::string_view title = WithoutPadding(info.title);
  const bool fits = author.size() == info.author.size() && title.size() == info.title.size() &&
                    author.size() <= kAuthorLength && title.size() <= kTitleLength &&
                    info.type.size() <= kTypeLength;
  FileInfo cut;
  if (!fits) {
    // Cut first: the cut may end the text in blanks of its own.
    cut.author = WithoutPadding(base::Left(info.author, kAuthorLength));
    cut.content = info.content;
    cut.location = info.location;
    cut.modified = info.modified;
    cut.title = WithoutPadding(base::Left(info.title, kTitleLength));
    cut.type = base::Left(info.type, kTypeLength);
    cut.filesize = info.filesize;
  }
  const FileInfo& row = fits ? info : cut;
  int code = 0;
  try {
    sink.AppendRow(row);
    return true;
  } catch (const ContentSinkError& e) {
    code = e.code();
  } catch (const std::exception&) {
    // A failure without a database error number still must not stop the run.
  }
  base::Deliver(sink.onMessage, "Ошибка в процедуре SaveContentInfo " + base::StrNum(code) +
                                    "\r\n" + "Обратитесь в службу поддержки");
  return false;
}

}  // namespace zyl::catalog
