#include "ui/QtHost.h"

#include <QApplication>
#include <QMessageBox>
#include <QThread>

#include "ui/ApplyTexts.h"
#include "ui/PlatformServices.h"

namespace zyl::ui {

QtHost::QtHost(QObject* parent) : QObject(parent) {}

void QtHost::AddLogText(std::string_view text) {
  emit logText(ToQt(text));
}

void QtHost::ShowMessage(const base::Message& message) {
  ShowMessageBox(QApplication::activeWindow(), message);
}

void QtHost::SetStage(indexer::Stage stage) {
  emit stageChanged(static_cast<int>(stage));
}

void QtHost::SetCurrentItem(indexer::ItemKind kind, std::string_view item) {
  emit currentItemChanged(static_cast<int>(kind), ToQt(item));
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

}  // namespace zyl::ui
