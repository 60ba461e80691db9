// A forward-only pass over the rows of a SELECT of the dialect, in database order, holding one
// row at a time: for passes that look at every row once (the update's checks, counts), where a
// recordset would fetch each row again by its number.
#pragma once

#include <memory>
#include <string_view>

#include "db/Database.h"
#include "db/Value.h"

namespace zyl::db {

class Stmt;
class StoredContent;

class RowReader {
 public:
  enum class Order {
    kDatabase,  // rowid order
    kAny,       // whatever order is cheapest (an index holding every column read, say)
  };
  enum class Content {
    kRead,  // the content column is read as the statement selects it
    // Field() of the content column is Null, and the condition's LIKE tests of it read each
    // row's text only as far as they need: for callers that show rows without their text.
    kLeftStored,
  };
  // Throws SqlError for a refused statement (a DELETE or an aggregate included).
  RowReader(Database& db, std::string_view select, Order order = Order::kDatabase,
            Content content = Content::kRead);
  ~RowReader();
  RowReader(const RowReader&) = delete;
  RowReader& operator=(const RowReader&) = delete;

  // Moves to the next row; false after the last one.
  bool Next();
  // Field i of the current row, in the order of the statement's select list.
  Value Field(int i) const;
  // The current row's place in database order.
  std::int64_t RowId() const;

 private:
  std::shared_ptr<class Connection> conn_;
  std::unique_ptr<StoredContent> stored_;  // for Content::kLeftStored
  std::unique_ptr<Stmt> stmt_;
  int fields_ = 0;
};

}  // namespace zyl::db
