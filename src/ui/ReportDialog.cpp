#include "ui/ReportDialog.h"

#include <QCheckBox>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QMessageBox>
#include <QPushButton>
#include <QVBoxLayout>

#include "base/ProgramFolder.h"
#include "search/Report.h"
#include "settings/LangKeys.h"
#include "ui/ApplyTexts.h"
#include "ui/Icons.h"
#include "ui/PlatformServices.h"
#include "ui/SearchWindowTexts.h"

namespace zyl::ui {

ReportDialog::ReportDialog(std::vector<search::ResultRow> rows, QWidget* parent)
    : QDialog(parent), rows_(std::move(rows)) {
  setObjectName(QStringLiteral("frmReportOption"));
  setWindowIcon(LoadIcon("report"));
  auto* v = new QVBoxLayout(this);
  auto* fileRow = new QHBoxLayout;
  auto* label1 = new QLabel(this);
  label1->setObjectName(QStringLiteral("Label1"));
  text1_ = new QLineEdit(QStringLiteral("report.txt"), this);
  text1_->setObjectName(QStringLiteral("Text1"));
  text1_->setMinimumWidth(220);
  fileRow->addWidget(label1);
  fileRow->addWidget(text1_, 1);
  v->addLayout(fileRow);

  auto* frame = new QGroupBox(this);
  frame->setObjectName(QStringLiteral("Frame1"));
  auto* grid = new QGridLayout(frame);
  // In the order of the report's columns; the totals last.
  const char* names[] = {"Check3", "Check2", "Check1", "Check4", "Check5", "Check6"};
  for (int i = 0; i < 6; ++i) {
    checks_[i] = new QCheckBox(frame);
    checks_[i]->setObjectName(QString::fromLatin1(names[i]));
    checks_[i]->setChecked(true);
    grid->addWidget(checks_[i], i % 3, i / 3);
  }
  v->addWidget(frame);

  auto* buttons = new QHBoxLayout;
  auto* report = new QPushButton(this);
  report->setObjectName(QStringLiteral("Command1"));
  report->setDefault(true);
  auto* exit = new QPushButton(this);
  exit->setObjectName(QStringLiteral("Command2"));
  buttons->addStretch(1);
  buttons->addWidget(report);
  buttons->addWidget(exit);
  v->addLayout(buttons);
  connect(report, &QPushButton::clicked, this, [this] { WriteReport(); });
  connect(exit, &QPushButton::clicked, this, &QDialog::reject);
  ApplyTexts(*this, ReportWindowTexts());
}

std::string ReportDialog::ReportPath() const {
  return base::InProgramFolder(FromQt(text1_->text()));
}

void ReportDialog::WriteReport() {
  search::ReportColumns columns;
  columns.fileName = checks_[0]->isChecked();
  columns.title = checks_[1]->isChecked();
  columns.author = checks_[2]->isChecked();
  columns.type = checks_[3]->isChecked();
  columns.date = checks_[4]->isChecked();
  columns.totals = checks_[5]->isChecked();
  const std::string path = ReportPath();
  const std::string error =
      search::WriteReport(path, rows_, columns, settings::LangString(kReportTotal));
  if (!error.empty()) {
    // Nothing was written, so there is nothing to open; the dialog stays for another name.
    ShowMessageBox(this, {error, {}, base::MessageIcon::Error});
    return;
  }
  QMessageBox box(QMessageBox::NoIcon, ToQt(kProgramTitle),
                  ToQt(settings::LangString(kReportOpenQuestion)),
                  QMessageBox::Yes | QMessageBox::No, this);
  box.setObjectName(QStringLiteral("OpenReportQuestion"));
  if (box.exec() == QMessageBox::Yes) ShellOpen(this, path);
  accept();
}

}  // namespace zyl::ui
