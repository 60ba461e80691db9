#include "base/Messages.h"

#include <iostream>

namespace zyl::base {

void Deliver(const MessageSink& sink, Message message) {
  if (sink) {
    sink(message);
    return;
  }
  std::cerr << (message.title.empty() ? "" : message.title + ": ") << message.text << '\n';
}

}  // namespace zyl::base
