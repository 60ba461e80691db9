#include "extract/ContentStore.h"

#include "base/Messages.h"
#include "base/Strings.h"

namespace zyl::extract {

bool SaveContentInfo(ContentSink& sink, const FileInfo& info) {
  if (info.location.empty() || info.type.empty()) return false;
  // Rows are stored cut to the column lengths, in code points. Most records need no cut (a text
  // of no more bytes than the limit has no more code points either), and are then stored as they
  // are, without copying the document's text. The location is never cut: a cut one names no
  // file, can be neither opened nor served, and the update (which looks rows up by the whole
  // path) would delete and add its row again on every run.
  const bool fits = info.author.size() <= 50 && info.title.size() <= 255 && info.type.size() <= 10;
  FileInfo cut;
  if (!fits) {
    cut.author = base::Left(info.author, 50);
    cut.content = info.content;
    cut.location = info.location;
    cut.modified = info.modified;
    cut.title = base::Left(info.title, 255);
    cut.type = base::Left(info.type, 10);
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
  base::ShowMessage("Ошибка в процедуре SaveContentInfo " + base::StrNum(code) + "\r\n" +
                    "Обратитесь в службу поддержки");
  return false;
}

}  // namespace zyl::extract
