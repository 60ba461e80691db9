#include "ui/CrawlWindow.h"

#include <QCloseEvent>
#include <QCoreApplication>
#include <QHBoxLayout>
#include <QLabel>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QScrollBar>
#include <QThread>
#include <QVBoxLayout>
#include <utility>

#include "indexer/WebBuild.h"
#include "ui/ApplyTexts.h"
#include "ui/PlatformServices.h"
#include "ui/QtHost.h"
#include "ui/Twips.h"
#include "ui/WizardTexts.h"

namespace zyl::ui {

CrawlWindow::CrawlWindow(catalog::IndexDefinition def, QWidget* parent)
    : QDialog(parent), def_(std::move(def)), host_(std::make_unique<QtHost>()) {
  setObjectName(QStringLiteral("frmWebB3"));
  setModal(true);
  auto* layout = new QVBoxLayout(this);
  indexLabel_ = new QLabel(this);
  indexLabel_->setObjectName(QStringLiteral("Label1"));
  layout->addWidget(indexLabel_);
  log_ = new QPlainTextEdit(this);
  log_->setObjectName(QStringLiteral("Rtf1"));
  log_->setReadOnly(true);
  layout->addWidget(log_, 1);
  auto* bottom = new QHBoxLayout;
  bottom->addStretch(1);
  button_ = new QPushButton(this);
  button_->setObjectName(QStringLiteral("Command1"));
  button_->setAutoDefault(false);
  bottom->addWidget(button_);
  layout->addLayout(bottom);

  ApplyTexts(*this, CrawlWindowTexts());
  indexLabel_->setText(indexLabel_->text() + QLatin1Char(' ') + ToQt(def_.title) +
                       QStringLiteral("  (") + ToQt(def_.startUrl) + QLatin1Char(')'));
  connect(button_, &QPushButton::clicked, this, [this] { Command1_Click(); });
  connect(host_.get(), &QtHost::logText, this, &CrawlWindow::AddLogText);
  const int dpi = logicalDpiX();
  resize(TwipsToPixels(8400, dpi), TwipsToPixels(5400, dpi));
}

CrawlWindow::~CrawlWindow() {
  if (!worker_) return;
  QThread* worker = std::exchange(worker_, nullptr);
  destroying_ = true;
  host_->StopWithoutAsking();
  WaitForWorker(*worker);
  delete worker;
}

void CrawlWindow::AddLogText(const QString& text) {
  AppendToLog(*log_, text);
}

QString CrawlWindow::LogText() const {
  return log_->toPlainText();
}

void CrawlWindow::showEvent(QShowEvent* event) {
  QDialog::showEvent(event);
  if (!started_) {
    started_ = true;  // a window activated again does not crawl again
    QMetaObject::invokeMethod(
        this, [this] { StartBuild(); }, Qt::QueuedConnection);
  }
}

void CrawlWindow::StartBuild() {
  running_ = true;
  worker_ = QThread::create([this] {
    result_ = indexer::StartWebIndex(def_, *host_);
    QMetaObject::invokeMethod(
        this, [this] { OnFinished(); }, Qt::QueuedConnection);
  });
  worker_->start();
}

void CrawlWindow::OnFinished() {
  if (destroying_) return;
  worker_->wait();
  delete worker_;
  worker_ = nullptr;
  running_ = false;
  if (result_.outcome == indexer::BuildResult::kFailed && !result_.error.empty())
    ShowMessageBox(this, {result_.error, {}, base::MessageIcon::Error});
  button_->setEnabled(true);
  button_->setText(ToQt(CaptionText(kCrawlClose)));
  emit crawlFinished();
}

void CrawlWindow::Command1_Click() {
  if (running_) {
    host_->RequestStop();
    button_->setEnabled(false);
    return;
  }
  accept();
}

void CrawlWindow::closeEvent(QCloseEvent* event) {
  if (running_) {
    host_->RequestStop();
    event->ignore();
    return;
  }
  QDialog::closeEvent(event);
}

void CrawlWindow::reject() {
  if (running_) {
    host_->RequestStop();
    return;
  }
  QDialog::reject();
}

}  // namespace zyl::ui
