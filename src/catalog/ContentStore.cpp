#include "catalog/ContentStore.h"

#include <sqlite3.h>

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
    cut.trigramKeys = info.trigramKeys;
    cut.location = info.location;
    cut.modified = info.modified;
    cut.title = WithoutPadding(base::Left(info.title, kTitleLength));
    cut.type = base::Left(info.type, kTypeLength);
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
  base::Deliver(sink.onMessage, "Ошибка в процедуре SaveContentInfo " +
                                    base::StrNum(refusal->code) + "\r\n" +
                                    "Обратитесь в службу поддержки");
  return false;
}

}  // namespace zyl::catalog
