// The host of an indexing engine that runs on a worker thread behind a window: what the engine
// reports is forwarded to the window thread with queued signals, so the window repaints and
// answers input throughout; the stop button only raises a flag that the engine polls.
#pragma once

#include <QObject>
#include <QString>
#include <atomic>
#include <mutex>
#include <string>

#include "indexer/Host.h"

class QPlainTextEdit;
class QThread;

namespace zyl::ui {

class QtHost : public QObject, public indexer::Host {
  Q_OBJECT

 public:
  explicit QtHost(QObject* parent = nullptr);

  // Called on the window thread.
  void RequestStop() { stop_ = true; }
  void ClearStop() { stop_ = false; }
  // From now on a stop is taken without a question (the window is going away).
  void StopWithoutAsking() {
    ask_ = false;
    stop_ = true;
  }

  // indexer::Host, called on the worker thread.
  void AddLogText(std::string_view text) override;
  // Shown as a message box; the engine waits until it is answered.
  void ShowMessage(const base::Message& message) override;
  void SetStage(indexer::Stage stage) override;
  void SetCurrentItem(indexer::ItemKind kind, std::string_view item) override;
  void SetCounts(std::int64_t done, std::int64_t total) override;
  bool StopRequested() override { return stop_; }
  bool ConfirmStop(std::string_view question, std::string_view title) override;

 signals:
  void logText(const QString& text);
  void stageChanged(const QString& stage);
  void currentItemChanged(const QString& label, const QString& item);
  void countsChanged(qint64 done, qint64 total);

 private:
  void FlushLog();

  std::atomic<bool> stop_{false};
  std::atomic<bool> ask_{true};
  // Log text waiting for the window thread. An update logs a line per file; handing the window
  // one piece per turn of its event loop instead of one per line keeps it answering.
  std::mutex logMutex_;
  std::string pendingLog_;
  bool flushQueued_ = false;
};

// Appends engine log text at the end of a window's read-only log and keeps the end in view.
void AppendToLog(QPlainTextEdit& log, const QString& text);

// Waits for a window's worker thread to end while answering the window thread's events: the
// engine may be waiting for a question or a message box to be answered.
void WaitForWorker(QThread& worker);

}  // namespace zyl::ui
