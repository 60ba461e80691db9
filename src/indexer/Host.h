// What an indexing engine (build, update, crawl) needs from whoever runs it: a window on its
// worker thread, the command line, or a test. Engines call these from their own thread; the
// host decides how to show them.
#pragma once

#include <string_view>

namespace zyl::indexer {

class Host {
 public:
  virtual ~Host() = default;
  // Appends text at the end of the log.
  virtual void AddLogText(std::string_view text) = 0;
  // The current stage ("Поиск файлов", "Обработка файла", ...).
  virtual void SetStage(std::string_view stage) {}
  // The folder or file being worked on.
  virtual void SetCurrentItem(std::string_view label, std::string_view item) {}
  // The counter text and the progress (0..100).
  virtual void SetCounter(std::string_view text) {}
  virtual void SetProgress(int percent) {}
  // True once the user asked to stop; polled at the points where a stop may take effect.
  virtual bool StopRequested() { return false; }
  // Asks whether to stop; true to stop. A host that answers false must also clear its stop
  // request, so that the work goes on.
  virtual bool ConfirmStop(std::string_view question, std::string_view title) { return true; }
  // Lets a host run pending window events between items.
  virtual void Yield() {}
};

}  // namespace zyl::indexer
