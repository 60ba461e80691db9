#include "ui/WebWizardStep2.h"

#include <QFormLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QVBoxLayout>

#include "base/Strings.h"
#include "catalog/IndexList.h"
#include "ui/ApplyTexts.h"
#include "ui/PlatformServices.h"
#include "ui/Twips.h"
#include "ui/WizardFoldersStep.h"
#include "ui/WizardTexts.h"

namespace zyl::ui {

WebWizardStep2::WebWizardStep2(catalog::IndexDefinition def, QWidget* parent)
    : QDialog(parent), def_(std::move(def)) {
  setObjectName(QStringLiteral("frmWebB2"));
  setModal(true);
  auto* layout = new QVBoxLayout(this);
  auto* heading = new QLabel(this);
  heading->setObjectName(QStringLiteral("Label1"));
  QFont bold = heading->font();
  bold.setBold(true);
  heading->setFont(bold);
  layout->addWidget(heading);
  layout->addSpacing(8);

  auto* form = new QFormLayout;
  auto* urlLabel = new QLabel(this);
  urlLabel->setObjectName(QStringLiteral("Label2"));
  url_ = new QLineEdit(this);
  url_->setObjectName(QStringLiteral("Text1"));
  url_->setText(QStringLiteral("http://"));
  urlLabel->setBuddy(url_);
  form->addRow(urlLabel, url_);
  auto* depthLabel = new QLabel(this);
  depthLabel->setObjectName(QStringLiteral("Label3"));
  depth_ = new QLineEdit(this);
  depth_->setObjectName(QStringLiteral("Text2"));
  depth_->setText(QStringLiteral("2"));
  depth_->setMaximumWidth(TwipsToPixels(900, logicalDpiX()));
  depthLabel->setBuddy(depth_);
  form->addRow(depthLabel, depth_);
  layout->addLayout(form);
  layout->addStretch(1);

  auto* buttons = new QHBoxLayout;
  buttons->addStretch(1);
  auto* next = new QPushButton(this);
  next->setObjectName(QStringLiteral("Command1"));
  next->setDefault(true);
  auto* cancel = new QPushButton(this);
  cancel->setObjectName(QStringLiteral("Command3"));
  buttons->addWidget(next);
  buttons->addWidget(cancel);
  layout->addLayout(buttons);

  ApplyTexts(*this, WebWizardStep2Texts());
  connect(next, &QPushButton::clicked, this, [this] { Command1_Click(); });
  connect(cancel, &QPushButton::clicked, this, &WebWizardStep2::reject);
  const int dpi = logicalDpiX();
  resize(TwipsToPixels(6600, dpi), TwipsToPixels(3000, dpi));
}

void WebWizardStep2::Command1_Click() {
  try {
    catalog::AddToRecentIndexList(def_.descriptorPath);
  } catch (const std::exception& e) {
    ShowMessageBox(this, {e.what(), {}, base::MessageIcon::Error});
  }
  def_.startUrl = FromQt(url_->text().trimmed());
  // The leading number of the text; 0 when there is none, and kept within 32 bits.
  const std::int64_t depth = base::ValInt(FromQt(depth_->text()));
  def_.depth = static_cast<std::int32_t>(std::clamp<std::int64_t>(depth, 0, INT32_MAX));
  accept();
}

void WebWizardStep2::reject() {
  DeleteEmptyDescriptor(def_);
  QDialog::reject();
}

}  // namespace zyl::ui
