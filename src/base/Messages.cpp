#include "base/Messages.h"

#include <iostream>
#include <mutex>

namespace zyl::base {

namespace {
std::mutex& HandlerMutex() {
  static std::mutex m;
  return m;
}
MessageHandler& Handler() {
  static MessageHandler handler;
  return handler;
}
}  // namespace

MessageHandler SetMessageHandler(MessageHandler handler) {
  std::lock_guard lock(HandlerMutex());
  MessageHandler previous = std::move(Handler());
  Handler() = std::move(handler);
  return previous;
}

void ShowMessage(std::string_view text, std::string_view title, MessageIcon icon) {
  MessageHandler handler;
  {
    std::lock_guard lock(HandlerMutex());
    handler = Handler();
  }
  Message m{std::string(text), std::string(title), icon};
  if (handler) {
    handler(m);
  } else {
    std::cerr << (m.title.empty() ? "" : m.title + ": ") << m.text << '\n';
  }
}

}  // namespace zyl::base
