// What an indexing engine (build, update, crawl) needs from whoever runs it: a window on its
// worker thread, the command line, or a test. Engines call these from their own thread and
// report numbers and messages as data; the host decides how to show them.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>

#include "base/Messages.h"

namespace zyl::indexer {

// The stage a build is in.
enum class Stage { kSearchingFiles, kProcessingFiles, kReady };
// What the current item is.
enum class ItemKind { kFolder, kFile };

class Host {
 public:
  virtual ~Host() = default;
  // Appends text at the end of the log.
  virtual void AddLogText(std::string_view text) = 0;
  // A message for the user (a message box in a window).
  virtual void ShowMessage(const base::Message& message) = 0;
  virtual void SetStage(Stage stage) {}
  // The folder or file being worked on; an empty item clears it.
  virtual void SetCurrentItem(ItemKind kind, std::string_view item) {}
  // Files done and files in total; called after every file of the processing stage.
  virtual void SetCounts(std::int64_t done, std::int64_t total) {}
  // True once the user asked to stop; polled at the points where a stop may take effect.
  virtual bool StopRequested() { return false; }
  // Asks whether to stop; true to stop. A host that answers false must also clear its stop
  // request, so that the work goes on.
  virtual bool ConfirmStop(std::string_view question, std::string_view title) { return true; }
  // Lets a host run pending window events between items.
  virtual void Yield() {}

  // A sink that hands messages to this host, for the routines below the engines.
  base::MessageSink Messages() {
    return [this](const base::Message& m) { ShowMessage(m); };
  }
};

// The texts a window shows for a stage and for the label of the current item, in the
// language of the settings ("Поиск файлов", "Папка:", ...).
std::string StageText(Stage stage);
std::string ItemLabel(ItemKind kind);

}  // namespace zyl::indexer
