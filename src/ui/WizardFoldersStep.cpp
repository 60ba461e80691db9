#include "ui/WizardFoldersStep.h"

#include <QDir>
#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QTreeView>
#include <QVBoxLayout>
#include <filesystem>

#include "catalog/NewIndex.h"
#include "indexer/IndexChoices.h"
#include "ui/ApplyTexts.h"
#include "ui/FolderTreeModel.h"
#include "ui/Twips.h"
#include "ui/WizardTexts.h"

namespace zyl::ui {

void DeleteEmptyDescriptor(const catalog::IndexDefinition& def) {
  std::error_code ec;
  if (!def.descriptorPath.empty()) std::filesystem::remove(def.descriptorPath, ec);
}

WizardFoldersStep::WizardFoldersStep(catalog::IndexDefinition def, QWidget* parent)
    : QDialog(parent), def_(std::move(def)) {
  setObjectName(QStringLiteral("frmZYLwizard2"));
  setModal(true);
  auto* layout = new QVBoxLayout(this);
  auto* heading = new QLabel(this);
  heading->setObjectName(QStringLiteral("Label1"));
  QFont bold = heading->font();
  bold.setBold(true);
  heading->setFont(bold);
  layout->addWidget(heading);

  model_ = new FolderTreeModel(this);
  tree_ = new QTreeView(this);
  tree_->setObjectName(QStringLiteral("FolderTreeview1"));
  model_->Attach(*tree_);
  layout->addWidget(tree_, 1);

  auto* buttons = new QHBoxLayout;
  buttons->addStretch(1);
  next_ = new QPushButton(this);
  next_->setObjectName(QStringLiteral("Command2"));
  next_->setDefault(true);
  auto* cancel = new QPushButton(this);
  cancel->setObjectName(QStringLiteral("Command4"));
  buttons->addWidget(next_);
  buttons->addWidget(cancel);
  layout->addLayout(buttons);

  ApplyTexts(*this, WizardStep2Texts());
  heading->setText(ToQt(settings::LangString(settings::kWizard2Heading)));
  connect(model_, &FolderTreeModel::folderChecked, this,
          &WizardFoldersStep::FolderTreeview1_NodeCheck);
  connect(next_, &QPushButton::clicked, this, [this] { Command2_Click(); });
  connect(cancel, &QPushButton::clicked, this, &WizardFoldersStep::reject);
  next_->setEnabled(false);
  // Open at the user's home folder, where documents usually are.
  const QModelIndex home = model_->index(QDir::homePath());
  tree_->setCurrentIndex(home);
  tree_->expand(home);
  tree_->scrollTo(home, QAbstractItemView::PositionAtTop);
  const int dpi = logicalDpiX();
  resize(TwipsToPixels(6600, dpi), TwipsToPixels(6000, dpi));
}

void WizardFoldersStep::FolderTreeview1_NodeCheck(const QString& folder, bool checked) {
  if (checked)
    indexer::AddChosenFolder(folderList_, FromQt(folder));
  else
    indexer::RemoveChosenFolder(folderList_, FromQt(folder));
  next_->setEnabled(!folderList_.empty());
}

void WizardFoldersStep::Command2_Click() {
  def_.folders = catalog::NormalizeChosenFolders(indexer::ChosenFolders(folderList_));
  accept();
}

void WizardFoldersStep::reject() {
  DeleteEmptyDescriptor(def_);
  QDialog::reject();
}

}  // namespace zyl::ui
