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
  try {
    sink.AppendRow(row);
    return true;
  } catch (const ContentSinkError& e) {
    base::ShowMessage("Ошибка в процедуре SaveContentInfo " + base::StrNum(e.code()) +
                      "\r\nОбратитесь в службу поддержки");
  } catch (const std::exception&) {
    base::ShowMessage("Ошибка в процедуре SaveContentInfo " + base::StrNum(-1) +
                      "\r\nОбратитесь в службу поддержки");
  }
  return false;
}

}  // namespace zyl::extract
