#include "ui/WizardTypesStep.h"

#include <QCheckBox>
#include <QComboBox>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QMenu>
#include <QPushButton>
#include <QVBoxLayout>

#include "extract/DocumentTypes.h"
#include "indexer/IndexChoices.h"
#include "settings/CommonFunctions.h"
#include "settings/Config.h"
#include "settings/Settings.h"
#include "ui/ApplyTexts.h"
#include "ui/PlatformServices.h"
#include "ui/Twips.h"
#include "ui/TypeList.h"
#include "ui/WizardFoldersStep.h"
#include "ui/WizardTexts.h"

namespace zyl::ui {

namespace {
constexpr char kInitialMasks[] = "*.cpp,*.pas,*.java";
}

WizardTypesStep::WizardTypesStep(catalog::IndexDefinition def, QWidget* parent)
    : QDialog(parent), def_(std::move(def)) {
  setObjectName(QStringLiteral("frmZYLwizard3"));
  setModal(true);
  auto* layout = new QVBoxLayout(this);
  auto* label = new QLabel(this);
  label->setObjectName(QStringLiteral("Label1"));
  QFont bold = label->font();
  bold.setBold(true);
  label->setFont(bold);
  layout->addWidget(label);
  types_ = new QListWidget(this);
  types_->setObjectName(QStringLiteral("ListView1"));
  types_->setIconSize(QSize(20, 20));
  types_->setUniformItemSizes(true);
  label->setBuddy(types_);
  layout->addWidget(types_, 1);

  archives_ = new QCheckBox(this);
  archives_->setObjectName(QStringLiteral("Check1"));
  layout->addWidget(archives_);
  auto* userRow = new QHBoxLayout;
  users_ = new QCheckBox(this);
  users_->setObjectName(QStringLiteral("Check2"));
  masks_ = new QComboBox(this);
  masks_->setObjectName(QStringLiteral("Combo1"));
  masks_->setEditable(true);
  masks_->setInsertPolicy(QComboBox::NoInsert);
  userRow->addWidget(users_);
  userRow->addWidget(masks_, 1);
  layout->addLayout(userRow);

  auto* buttons = new QHBoxLayout;
  auto* scheme = new QPushButton(this);
  scheme->setObjectName(QStringLiteral("Command3"));
  schemes_ = new QMenu(this);
  schemes_->setObjectName(QStringLiteral("mnuMainScheme"));
  for (int i = 1; i <= 5; ++i) {
    QAction* action = schemes_->addAction(QString());
    action->setObjectName(QStringLiteral("mnuScheme%1").arg(i));
    connect(action, &QAction::triggered, this, [this, i] { mnuScheme_Click(i); });
  }
  scheme->setMenu(schemes_);
  buttons->addWidget(scheme);
  buttons->addStretch(1);
  next_ = new QPushButton(this);
  next_->setObjectName(QStringLiteral("Command1"));
  next_->setDefault(true);
  auto* cancel = new QPushButton(this);
  cancel->setObjectName(QStringLiteral("Command2"));
  buttons->addWidget(next_);
  buttons->addWidget(cancel);
  layout->addLayout(buttons);

  ApplyTexts(*this, WizardStep3Texts());
  FillTypeList(*types_);
  for (const std::string& entry : settings::SplitRecentList(settings::Config().RecentUserTypes))
    masks_->addItem(ToQt(entry));
  masks_->setEditText(QString::fromLatin1(kInitialMasks));

  connect(types_, &QListWidget::itemChanged, this, &WizardTypesStep::ListView1_ItemCheck);
  connect(users_, &QCheckBox::toggled, this, [this] { UpdateNextButton(); });
  connect(next_, &QPushButton::clicked, this, [this] { Command1_Click(); });
  connect(cancel, &QPushButton::clicked, this, &WizardTypesStep::reject);
  UpdateNextButton();
  const int dpi = logicalDpiX();
  resize(TwipsToPixels(6600, dpi), TwipsToPixels(7400, dpi));
}

void WizardTypesStep::ListView1_ItemCheck(QListWidgetItem* item) {
  KeepPdfExclusive(*types_, FromQt(item->data(Qt::UserRole).toString()));
  UpdateNextButton();
}

void WizardTypesStep::mnuScheme_Click(int scheme) {
  std::set<std::string> checked = CheckedTypes(*types_);
  indexer::ApplyPresetScheme(scheme, checked);
  SetCheckedTypes(*types_, checked);
  UpdateNextButton();
}

void WizardTypesStep::UpdateNextButton() {
  next_->setEnabled(!CheckedTypes(*types_).empty() || users_->isChecked());
  masks_->setEnabled(users_->isChecked());
}

void WizardTypesStep::Command1_Click() {
  // The typed masks are remembered whether or not they are used this time.
  std::string recent = settings::Config().RecentUserTypes;
  settings::AddToRecentList(FromQt(masks_->currentText()), recent);
  settings::Config().RecentUserTypes = recent;
  try {
    settings::SaveGeneralSetting("RecentUserTypes", recent);
  } catch (const std::exception& e) {
    ShowMessageBox(this, {e.what(), {}, base::MessageIcon::Error});
  }
  indexer::SetTypeChoices(def_, CheckedTypes(*types_));
  def_.archive = archives_->isChecked();
  if (users_->isChecked() && !masks_->currentText().isEmpty()) {
    def_.UserFiles = extract::NormalizeUserMasks(FromQt(masks_->currentText()));
    masks_->setEditText(ToQt(def_.UserFiles));
  }
  accept();
}

void WizardTypesStep::reject() {
  DeleteEmptyDescriptor(def_);
  QDialog::reject();
}

}  // namespace zyl::ui
