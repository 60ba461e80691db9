#include "app/MessageLine.h"

#include <ostream>

#include "base/Strings.h"

namespace zyl::app {

void WriteMessage(std::ostream& err, const base::Message& m) {
  err << "zyl: " << (m.title.empty() ? "" : m.title + ": ") << base::Replace(m.text, "\r\n", " ")
      << "\n";
}

base::MessageSink StderrMessages(std::ostream& err) {
  return [&err](const base::Message& m) { WriteMessage(err, m); };
}

}  // namespace zyl::app
