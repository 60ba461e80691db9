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

void QtHost::SetStage(std::string_view stage) {
  emit stageChanged(ToQt(stage));
}

void QtHost::SetCurrentItem(std::string_view label, std::string_view item) {
  emit currentItemChanged(ToQt(label), ToQt(item));
}

void QtHost::SetCounter(std::string_view text) {
  emit counterChanged(ToQt(text));
}

void QtHost::SetProgress(int percent) {
  emit progressChanged(percent);
}

bool QtHost::ConfirmStop(std::string_view question, std::string_view title) {
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
