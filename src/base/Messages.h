// Messages for the user (the message boxes of the desktop program). Engines report through
// this one sink; the windows, the command line and the tests decide how to show them.
#pragma once

#include <functional>
#include <string>
#include <string_view>

namespace zyl::base {

enum class MessageIcon { None, Information, Warning, Error };

struct Message {
  std::string text;
  std::string title;
  MessageIcon icon = MessageIcon::None;
};

using MessageHandler = std::function<void(const Message&)>;

// Installs the process-wide handler and returns the previous one. Without a handler,
// messages are written to stderr.
MessageHandler SetMessageHandler(MessageHandler handler);
void ShowMessage(std::string_view text, std::string_view title = {},
                 MessageIcon icon = MessageIcon::None);

// Installs a handler for the lifetime of the object (tests, a window's modal run).
class ScopedMessageHandler {
 public:
  explicit ScopedMessageHandler(MessageHandler handler)
      : previous_(SetMessageHandler(std::move(handler))) {}
  ~ScopedMessageHandler() { SetMessageHandler(std::move(previous_)); }
  ScopedMessageHandler(const ScopedMessageHandler&) = delete;
  ScopedMessageHandler& operator=(const ScopedMessageHandler&) = delete;

 private:
  MessageHandler previous_;
};

}  // namespace zyl::base
