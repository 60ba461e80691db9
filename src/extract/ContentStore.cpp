#include "extract/ContentStore.h"

#include <sqlite3.h>

#include "base/Messages.h"
#include "base/Strings.h"

namespace zyl::extract {

namespace {

// Why the sink refused, and the database's error number (0 when it gave none).
struct Refusal {
  std::string reason;
  int code = 0;
};

std::optional<Refusal> Append(ContentSink& sink, const FileInfo& info) {
  if (info.location.empty() || info.type.empty())
    return Refusal{"у записи нет адреса или типа документа", 0};
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
  try {
    sink.AppendRow(row);
    return std::nullopt;
  } catch (const ContentSinkError& e) {
    if ((e.code() & 0xFF) == SQLITE_TOOBIG)
      return Refusal{"текст документа слишком велик для базы данных", e.code()};
    return Refusal{e.what(), e.code()};
  } catch (const std::exception& e) {
    // A failure without a database error number still must not stop the run.
    return Refusal{e.what(), 0};
  }
}

}  // namespace

std::optional<std::string> StoreContentInfo(ContentSink& sink, const FileInfo& info) {
  std::optional<Refusal> refusal = Append(sink, info);
  if (!refusal) return std::nullopt;
  return std::move(refusal->reason);
}

bool SaveContentInfo(ContentSink& sink, const FileInfo& info) {
  if (info.location.empty() || info.type.empty()) return false;
  const std::optional<Refusal> refusal = Append(sink, info);
  if (!refusal) return true;
  base::ShowMessage("Ошибка в процедуре SaveContentInfo " + base::StrNum(refusal->code) + "\r\n" +
                    "Обратитесь в службу поддержки");
  return false;
}

}  // namespace zyl::extract
