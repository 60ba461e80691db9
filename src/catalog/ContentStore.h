// Appending extracted documents as rows of an index database.
#pragma once

#include <stdexcept>
#include <string>

#include "base/Messages.h"
#include "catalog/FileInfo.h"

namespace zyl::catalog {

// Where rows go: the index database's ContentIndex table, or anything a test provides.
class ContentSink {
 public:
  virtual ~ContentSink() = default;
  // Appends one row, already cut to the stored lengths. Throws ContentSinkError on failure.
  virtual void AppendRow(const FileInfo& row) = 0;

  // Where SaveContentInfo reports a failed append; set by whoever runs the sink.
  base::MessageSink onMessage;
};

class ContentSinkError : public std::runtime_error {
 public:
  ContentSinkError(int code, const std::string& what) : std::runtime_error(what), code_(code) {}
  int code() const { return code_; }

 private:
  int code_;
};

// Appends `info` as one row: author and title without trailing zero bytes, blanks and line
// breaks, author, title and type cut to their stored lengths (in code points,
// catalog/IndexTable.h), the location and the content whole. A record with an empty location or
// type is skipped (returns false). A failure of the sink is reported through the sink's
// onMessage with the program's "Ошибка в процедуре SaveContentInfo" text and returns false; the
// row is not added.
bool SaveContentInfo(ContentSink& sink, const FileInfo& info);

}  // namespace zyl::catalog
