// The content of found rows, read from their index databases when it is shown (the document
// view, an excerpt on a result page, the command line's JSON) rather than kept in the result
// list.
#pragma once

#include <map>
#include <string>

#include "db/Database.h"
#include "search/ResultList.h"

namespace zyl::search {

// Reads the content of rows, keeping each database it opened until it goes, so a page of
// excerpts costs one connection per index. Databases are opened read-only. Not for use on
// several threads at once; each thread takes its own reader.
class ContentReader {
 public:
  // The row's content as its index holds it now: "" when the database, or the row, is gone
  // or cannot be read. Never throws.
  std::string Read(const ResultRow& row);

 private:
  std::map<std::string, db::Database, std::less<>> open_;
};

// One row's content, through a reader of its own.
std::string ReadContent(const ResultRow& row);

}  // namespace zyl::search
