#include "ui/UpdateWindow.h"

#include <QCloseEvent>
#include <QCoreApplication>
#include <QHBoxLayout>
#include <QLabel>
#include <QPlainTextEdit>
#include <QProgressBar>
#include <QPushButton>
#include <QScrollBar>
#include <QThread>
#include <QVBoxLayout>

#include "indexer/IndexUpdate.h"
#include "settings/LangKeys.h"
#include "settings/Settings.h"
#include "ui/ApplyTexts.h"
#include "ui/QtHost.h"
#include "ui/Twips.h"
#include "ui/WindowTexts.h"

namespace zyl::ui {

UpdateWindow::UpdateWindow(std::vector<std::string> descriptors, QWidget* parent)
    : QDialog(parent), descriptors_(std::move(descriptors)), host_(std::make_unique<QtHost>()) {
  setObjectName(QStringLiteral("frmUpdate"));
  setModal(true);
  auto* layout = new QVBoxLayout(this);
  auto* top = new QHBoxLayout;
  indexLabel_ = new QLabel(this);
  indexLabel_->setObjectName(QStringLiteral("Label1"));
  indexPath_ = new QLabel(this);
  indexPath_->setObjectName(QStringLiteral("Label2"));
  indexPath_->setTextInteractionFlags(Qt::TextSelectableByMouse);
  top->addWidget(indexLabel_);
  top->addWidget(indexPath_, 1);
  layout->addLayout(top);

  log_ = new QPlainTextEdit(this);
  log_->setObjectName(QStringLiteral("Rtf1"));
  log_->setReadOnly(true);
  log_->setLineWrapMode(QPlainTextEdit::WidgetWidth);
  layout->addWidget(log_, 1);

  auto* bottom = new QHBoxLayout;
  progress_ = new QProgressBar(this);
  progress_->setObjectName(QStringLiteral("ProgressBar1"));
  progress_->setRange(0, static_cast<int>(descriptors_.size()));
  progress_->setValue(0);
  stopButton_ = new QPushButton(this);
  stopButton_->setObjectName(QStringLiteral("Command3"));
  stopButton_->setAutoDefault(false);
  bottom->addWidget(progress_, 1);
  bottom->addWidget(stopButton_);
  layout->addLayout(bottom);

  connect(stopButton_, &QPushButton::clicked, this, [this] { Command3_Click(); });
  connect(host_.get(), &QtHost::logText, this, &UpdateWindow::AddRTF1Text);
  ApplyLanguage();
  const int dpi = logicalDpiX();
  resize(TwipsToPixels(8400, dpi), TwipsToPixels(6600, dpi));
}

UpdateWindow::~UpdateWindow() {
  if (worker_) {
    host_->RequestStop();
    WaitForWorker(*worker_);
    delete worker_;
  }
}

void UpdateWindow::ApplyLanguage() {
  ApplyTexts(*this, UpdateWindowTexts());
  if (started_ && !running_)
    stopButton_->setText(ToQt(settings::LangString(settings::kUpdateClose)));
}

void UpdateWindow::AddRTF1Text(const QString& text) {
  QString piece = text;
  piece.replace(QStringLiteral("\r\n"), QStringLiteral("\n"));
  AppendToLog(*log_, piece);
}

QString UpdateWindow::LogText() const {
  return log_->toPlainText();
}

void UpdateWindow::showEvent(QShowEvent* event) {
  QDialog::showEvent(event);
  if (!started_) {
    started_ = true;
    // Started from the event loop, once the window is on screen.
    QMetaObject::invokeMethod(
        this, [this] { Command2_Click(); }, Qt::QueuedConnection);
  }
}

void UpdateWindow::Command2_Click() {
  running_ = true;
  // The settings are taken here, on the window thread, once for the whole run.
  worker_ = QThread::create([this,
                             options = indexer::UpdateOptions::FromSettings(settings::Config())] {
    for (std::size_t i = 0; i < descriptors_.size(); ++i) {
      if (host_->StopRequested()) break;
      QMetaObject::invokeMethod(
          this, [this, i] { OnIndexStarted(static_cast<int>(i)); }, Qt::BlockingQueuedConnection);
      if (host_->StopRequested()) break;
      indexer::UpdateIndex(descriptors_[i], *host_, options);
    }
    QMetaObject::invokeMethod(
        this, [this] { OnRunFinished(); }, Qt::QueuedConnection);
  });
  worker_->start();
}

void UpdateWindow::StartLine() {
  // Each index and the closing line begin on a line of their own, whatever the previous text
  // ended with.
  const QString text = log_->toPlainText();
  if (!text.isEmpty() && !text.endsWith('\n')) AddRTF1Text(QStringLiteral("\n"));
}

void UpdateWindow::OnIndexStarted(int number) {
  StartLine();
  progress_->setValue(number);
  indexPath_->setText(ToQt(descriptors_[static_cast<std::size_t>(number)]));
  emit indexStarted(number);
}

void UpdateWindow::OnRunFinished() {
  worker_->wait();
  running_ = false;
  progress_->setValue(progress_->maximum());
  StartLine();
  AddRTF1Text(ToQt(settings::LangString(settings::kUpdateAllFinished) + "\r\n"));
  stopButton_->setEnabled(true);
  stopButton_->setText(ToQt(settings::LangString(settings::kUpdateClose)));
  emit runFinished();
}

void UpdateWindow::Command3_Click() {
  if (running_) {
    // The index being updated is finished; the ones after it are skipped.
    host_->RequestStop();
    stopButton_->setEnabled(false);
    return;
  }
  accept();
}

void UpdateWindow::closeEvent(QCloseEvent* event) {
  if (running_) {
    host_->RequestStop();
    event->ignore();
    return;
  }
  QDialog::closeEvent(event);
}

void UpdateWindow::reject() {
  if (running_) {
    host_->RequestStop();
    return;
  }
  QDialog::reject();
}

}  // namespace zyl::ui
