// The host of an indexing engine that runs on a worker thread behind a window: what the engine
// reports is forwarded to the window thread with queued signals, so the window repaints and
// answers input throughout; the stop button only raises a flag that the engine polls.
#pragma once

#include <QObject>
#include <QString>
#include <atomic>

#include "indexer/Host.h"

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
  void ShowMessage(const base::Message& message) override;
  void SetStage(indexer::Stage stage) override;
  void SetCurrentItem(indexer::ItemKind kind, std::string_view item) override;
  void SetCounts(std::int64_t done, std::int64_t total) override;
  bool StopRequested() override { return stop_; }
  bool ConfirmStop(std::string_view question, std::string_view title) override;

 signals:
  void logText(const QString& text);
  void stageChanged(int stage);  // an indexer::Stage
  void currentItemChanged(int kind, const QString& item);  // an indexer::ItemKind
  void countsChanged(qint64 done, qint64 total);

 private:
  std::atomic<bool> stop_{false};
  std::atomic<bool> ask_{true};
};

}  // namespace zyl::ui
