#include "ui/QtHost.h"

#include <QApplication>
#include <QMessageBox>
#include <QPlainTextEdit>
#include <QScrollBar>
#include <QTextCursor>
#include <QThread>

#include "ui/ApplyTexts.h"
#include "ui/PlatformServices.h"

namespace zyl::ui {

QtHost::QtHost(QObject* parent) : QObject(parent) {}

void QtHost::AddLogText(std::string_view text) {
  std::lock_guard lock(logMutex_);
  pendingLog_ += text;
  if (flushQueued_) return;
  flushQueued_ = true;
  QMetaObject::invokeMethod(
      this, [this] { FlushLog(); }, Qt::QueuedConnection);
}

void QtHost::FlushLog() {
  std::string text;
  {
    std::lock_guard lock(logMutex_);
    text.swap(pendingLog_);
    flushQueued_ = false;
  }
  if (!text.empty()) emit logText(ToQt(text));
}

void QtHost::ShowMessage(const base::Message& message) {
  ShowMessageBox(nullptr, message);
}

void QtHost::SetStage(indexer::Stage stage) {
  emit stageChanged(ToQt(indexer::StageText(stage)));
}

void QtHost::SetCurrentItem(indexer::ItemKind kind, std::string_view item) {
  emit currentItemChanged(ToQt(indexer::ItemLabel(kind)), ToQt(item));
}

void QtHost::SetCounts(std::int64_t done, std::int64_t total) {
  emit countsChanged(done, total);
}

bool QtHost::ConfirmStop(std::string_view question, std::string_view title) {
  if (!ask_) return true;
  const QString q = ToQt(question);
  const QString t = ToQt(title.empty() ? kProgramTitle : title);
  bool yes = true;
  const auto ask = [&] {
    yes = QMessageBox::question(QApplication::activeWindow(), t, q,
                                QMessageBox::Yes | QMessageBox::No) == QMessageBox::Yes;
  };
  if (QThread::currentThread() == thread()) {
    ask();
  } else {
    // The engine waits for the answer; the window thread keeps running meanwhile.
    QMetaObject::invokeMethod(this, ask, Qt::BlockingQueuedConnection);
  }
  if (!yes) ClearStop();
  return yes;
}

void AppendToLog(QPlainTextEdit& log, const QString& text) {
  QTextCursor cursor = log.textCursor();
  cursor.movePosition(QTextCursor::End);
  cursor.insertText(text);
  log.setTextCursor(cursor);
  log.verticalScrollBar()->setValue(log.verticalScrollBar()->maximum());
}

void WaitForWorker(QThread& worker) {
  while (!worker.wait(20)) QCoreApplication::processEvents();
}

}  // namespace zyl::ui
