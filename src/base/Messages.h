// Messages for the user (the message boxes of the desktop program). Engines and the routines
// below them never show a message themselves: they hand it to the sink their owner gave them,
// and the windows, the command line and the tests decide how to show it.
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

// Where messages go. A sink may be called from any thread the engine runs on.
using MessageSink = std::function<void(const Message&)>;

// Hands `message` to `sink`; without a sink the message is written to stderr, so that a caller
// that forgot to give one still loses nothing. Never throws.
void Deliver(const MessageSink& sink, Message message);
inline void Deliver(const MessageSink& sink, std::string_view text, std::string_view title = {},
                    MessageIcon icon = MessageIcon::None) {
  Deliver(sink, Message{std::string(text), std::string(title), icon});
}

}  // namespace zyl::base
