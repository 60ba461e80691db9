#include "ui/WizardNameStep.h"

#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QVBoxLayout>

#include "base/Paths.h"
#include "catalog/NewIndex.h"
#include "settings/Config.h"
#include "settings/Settings.h"
#include "ui/ApplyTexts.h"
#include "ui/PlatformServices.h"
#include "ui/Twips.h"
#include "ui/WizardTexts.h"

namespace zyl::ui {

WizardNameStep::WizardNameStep(bool web, QWidget* parent) : QDialog(parent), web_(web) {
  setObjectName(web ? QStringLiteral("frmWebB1") : QStringLiteral("frmZYLwizard1"));
  setModal(true);
  auto* layout = new QVBoxLayout(this);
  auto* heading = new QLabel(this);
  heading->setObjectName(QStringLiteral("Label1"));
  QFont bold = heading->font();
  bold.setBold(true);
  heading->setFont(bold);
  layout->addWidget(heading);
  layout->addSpacing(8);

  auto* nameLabel = new QLabel(this);
  nameLabel->setObjectName(QStringLiteral("Label2"));
  name_ = new QLineEdit(this);
  name_->setObjectName(QStringLiteral("Text2"));
  nameLabel->setBuddy(name_);
  layout->addWidget(nameLabel);
  layout->addWidget(name_);

  auto* descLabel = new QLabel(this);
  descLabel->setObjectName(QStringLiteral("Label3"));
  desc_ = new QPlainTextEdit(this);
  desc_->setObjectName(QStringLiteral("Text3"));
  descLabel->setBuddy(desc_);
  layout->addWidget(descLabel);
  layout->addWidget(desc_, 1);

  auto* buttons = new QHBoxLayout;
  buttons->addStretch(1);
  next_ = new QPushButton(this);
  next_->setObjectName(QStringLiteral("Command1"));
  next_->setDefault(true);
  auto* cancel = new QPushButton(this);
  cancel->setObjectName(QStringLiteral("Command3"));
  buttons->addWidget(next_);
  buttons->addWidget(cancel);
  layout->addLayout(buttons);

  ApplyTexts(*this, WizardStep1Texts(web));
  name_->setText(ToQt(CaptionText(web ? kWebWizard1Untitled : kWizard1Untitled)));
  name_->selectAll();
  connect(name_, &QLineEdit::textChanged, this, [this] { Text2_Change(); });
  connect(next_, &QPushButton::clicked, this, [this] { Command1_Click(); });
  connect(cancel, &QPushButton::clicked, this, &QDialog::reject);
  Text2_Change();
  const int dpi = logicalDpiX();
  resize(TwipsToPixels(6600, dpi), TwipsToPixels(4800, dpi));
}

void WizardNameStep::Text2_Change() {
  next_->setEnabled(!name_->text().isEmpty());
}

void WizardNameStep::Command1_Click() {
  const std::string& indexFolder = settings::Config().IndexFolder;
  base::MakeFolders(indexFolder);
  catalog::IndexDefinition def;
  const std::string refused = catalog::DefineNewIndex(
      FromQt(name_->text()), FromQt(desc_->toPlainText()), indexFolder, def);
  if (!refused.empty()) {
    // The invalid-name message is the one shown without an icon.
    const bool invalid = refused == "Имя файла неверно";
    ShowMessageBox(
        this, {refused, {}, invalid ? base::MessageIcon::None : base::MessageIcon::Information});
    return;
  }
  def_ = std::move(def);
  accept();
}

}  // namespace zyl::ui
