#include "catalog/ContentStore.h"

#include "base/Messages.h"
#include "base/Strings.h"
#include "catalog/IndexTable.h"

namespace zyl::catalog {

bool SaveContentInfo(ContentSink& sink, const FileInfo& info) {
  if (info.location.empty() || info.type.empty()) return false;
  // Rows are stored cut to the column lengths, in code points. Most records need no cut (a text
  // of no more bytes than the limit has no more code points either), and are then stored as they
  // are, without copying the document's text.
  const bool fits = info.author.size() <= kAuthorLength &&
                    info.location.size() <= kLocationLength && info.title.size() <= kTitleLength &&
                    info.type.size() <= kTypeLength;
  FileInfo cut;
  if (!fits) {
    cut.author = base::Left(info.author, kAuthorLength);
    cut.content = info.content;
    cut.location = base::Left(info.location, kLocationLength);
    cut.modified = info.modified;
    cut.title = base::Left(info.title, kTitleLength);
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
