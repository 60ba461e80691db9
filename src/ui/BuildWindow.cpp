#include "ui/BuildWindow.h"

#include <QCloseEvent>
#include <QCoreApplication>
#include <QFontMetrics>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QPlainTextEdit>
#include <QProgressBar>
#include <QPushButton>
#include <QScrollBar>
#include <QThread>
#include <QVBoxLayout>
#include <utility>

#include "base/Strings.h"
#include "settings/CommonFunctions.h"
#include "settings/LangKeys.h"
#include "ui/ApplyTexts.h"
#include "ui/PlatformServices.h"
#include "ui/QtHost.h"
#include "ui/Twips.h"
#include "ui/WizardTexts.h"

namespace zyl::ui {

namespace {
QLabel* NewLabel(QWidget* parent, const char* name) {
  auto* label = new QLabel(parent);
  label->setObjectName(QString::fromLatin1(name));
  return label;
}
}  // namespace

BuildWindow::BuildWindow(catalog::IndexDefinition def, QWidget* parent)
    : QDialog(parent), def_(std::move(def)), host_(std::make_unique<QtHost>()) {
  setObjectName(QStringLiteral("frmZYLwizard4"));
  setModal(true);
  auto* layout = new QVBoxLayout(this);
  auto* grid = new QGridLayout;
  indexLabel_ = NewLabel(this, "Label3");
  grid->addWidget(indexLabel_, 0, 0, 1, 2);
  grid->addWidget(NewLabel(this, "Label1"), 1, 0);
  stage_ = NewLabel(this, "Label2");
  grid->addWidget(stage_, 1, 1);
  itemLabel_ = NewLabel(this, "Label5");
  grid->addWidget(itemLabel_, 2, 0);
  item_ = NewLabel(this, "Label6");
  item_->setTextFormat(Qt::PlainText);
  grid->addWidget(item_, 2, 1);
  counter_ = NewLabel(this, "Label7");
  grid->addWidget(counter_, 3, 0, 1, 2);
  grid->setColumnStretch(1, 1);
  layout->addLayout(grid);

  log_ = new QPlainTextEdit(this);
  log_->setObjectName(QStringLiteral("Rtf1"));
  log_->setReadOnly(true);
  layout->addWidget(log_, 1);

  auto* bottom = new QHBoxLayout;
  progress_ = new QProgressBar(this);
  progress_->setObjectName(QStringLiteral("PrgBar1"));
  progress_->setRange(0, 100);
  progress_->setValue(0);
  button_ = new QPushButton(this);
  button_->setObjectName(QStringLiteral("Command2"));
  button_->setAutoDefault(false);
  bottom->addWidget(progress_, 1);
  bottom->addWidget(button_);
  layout->addLayout(bottom);

  ApplyTexts(*this, BuildWindowTexts());
  connect(button_, &QPushButton::clicked, this, [this] { Command2_Click(); });
  connect(host_.get(), &QtHost::logText, this, &BuildWindow::AddLogText);
  connect(host_.get(), &QtHost::stageChanged, this, &BuildWindow::OnStage);
  connect(host_.get(), &QtHost::currentItemChanged, this, &BuildWindow::OnCurrentItem);
  connect(host_.get(), &QtHost::countsChanged, this, &BuildWindow::OnCounts);
  const int dpi = logicalDpiX();
  resize(TwipsToPixels(8400, dpi), TwipsToPixels(6000, dpi));
}

BuildWindow::~BuildWindow() {
  if (!worker_) return;
  // Only reached when the window goes while a build runs (its owner ends): the build is
  // abandoned without a question, the way a confirmed stop ends it.
  QThread* worker = std::exchange(worker_, nullptr);
  destroying_ = true;
  host_->StopWithoutAsking();
  WaitForWorker(*worker);
  delete worker;
}

void BuildWindow::AddLogText(const QString& text) {
  AppendToLog(*log_, text);
}

QString BuildWindow::LogText() const {
  return log_->toPlainText();
}

void BuildWindow::showEvent(QShowEvent* event) {
  QDialog::showEvent(event);
  if (!started_) {
    started_ = true;
    QMetaObject::invokeMethod(
        this, [this] { StartIndex(); }, Qt::QueuedConnection);
  }
}

void BuildWindow::StartIndex() {
  // The counter texts are looked up once: every lookup reads the language file.
  counterPrefix_ = ToQt(settings::LangString(settings::kBuildCounterPrefix));
  of_ = ToQt(settings::LangString(settings::kBuildOf));
  indexLabel_->setText(indexLabel_->text() + QLatin1Char(' ') + ToQt(def_.title));
  counter_->setText(counterPrefix_);
  running_ = true;
  worker_ = QThread::create([this] {
    result_ = indexer::StartIndex(def_, *host_, options_);
    QMetaObject::invokeMethod(
        this, [this] { OnFinished(); }, Qt::QueuedConnection);
  });
  worker_->start();
}

void BuildWindow::OnStage(const QString& stage) {
  stage_->setText(stage);
}

void BuildWindow::OnCurrentItem(const QString& label, const QString& item) {
  itemLabel_->setText(label);
  std::string text = FromQt(item);
  const QFontMetrics metrics(item_->font());
  settings::FitLabelText(text, TwipsToPixels(3000, logicalDpiX()),
                         [&](std::string_view s) { return metrics.horizontalAdvance(ToQt(s)); });
  item_->setText(ToQt(text));
  item_->setToolTip(item);
}

void BuildWindow::OnCounts(qint64 done, qint64 total) {
  counter_->setText(counterPrefix_ + QLatin1Char(' ') + ToQt(base::StrNum(done)) +
                    QLatin1Char(' ') + of_ + QLatin1Char(' ') + ToQt(base::StrNum(total)));
  progress_->setValue(total > 0 ? static_cast<int>(done * 100 / total) : 100);
}

void BuildWindow::OnFinished() {
  if (destroying_) return;
  worker_->wait();
  delete worker_;
  worker_ = nullptr;
  running_ = false;
  finished_ = true;
  switch (result_.outcome) {
    case indexer::BuildResult::kFinished:
      ShowMessageBox(
          this,
          {settings::LangString(settings::kBuildFinishedOk), {}, base::MessageIcon::Information});
      break;
    case indexer::BuildResult::kFailed:
      ShowMessageBox(this, {result_.error, {}, base::MessageIcon::Error});
      break;
    default:
      // A confirmed stop leaves nothing to look at: the window closes.
      emit buildFinished();
      QDialog::reject();
      return;
  }
  button_->setEnabled(true);
  button_->setText(ToQt(CaptionText(settings::kBuildClose)));
  emit buildFinished();
}

void BuildWindow::Command2_Click() {
  // The state decides, not the caption's length: a translation may give "Stop" any length.
  // A press before the build has started is a stop as well.
  if (!finished_) {
    host_->RequestStop();
    return;
  }
  accept();
}

void BuildWindow::closeEvent(QCloseEvent* event) {
  if (!finished_) {
    host_->RequestStop();
    event->ignore();
    return;
  }
  QDialog::closeEvent(event);
}

void BuildWindow::reject() {
  if (!finished_) {
    host_->RequestStop();
    return;
  }
  QDialog::reject();
}

}  // namespace zyl::ui
