#include "extract/ContentStore.h"

#include "base/Messages.h"
#include "base/Strings.h"

namespace zyl::extract {

bool SaveContentInfo(ContentSink& sink, const FileInfo& info) {
  if (info.location.empty() || info.type.empty()) return false;
  FileInfo row;
  row.author = base::Left(info.author, 50);
  row.content = info.content;
  row.location = base::Left(info.location, 255);
  row.modified = info.modified;
  row.title = base::Left(info.title, 255);
  row.type = base::Left(info.type, 10);
  row.filesize = info.filesize;
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
