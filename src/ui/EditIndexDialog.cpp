#include "ui/EditIndexDialog.h"

#include <QCheckBox>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QTreeView>
#include <QVBoxLayout>

#include "base/Paths.h"
#include "settings/LangKeys.h"
#include "ui/ApplyTexts.h"
#include "ui/FolderTreeModel.h"
#include "ui/PlatformServices.h"
#include "ui/Twips.h"
#include "ui/TypeList.h"
#include "ui/WizardTexts.h"

namespace zyl::ui {

namespace {
QLabel* BoldLabel(QWidget* parent, const char* name) {
  auto* label = new QLabel(parent);
  label->setObjectName(QString::fromLatin1(name));
  QFont bold = label->font();
  bold.setBold(true);
  label->setFont(bold);
  return label;
}
}  // namespace

EditIndexDialog::EditIndexDialog(std::string descriptorPath, QWidget* parent)
    : QDialog(parent), descriptorPath_(std::move(descriptorPath)) {
  setObjectName(QStringLiteral("frmEditIndex"));
  setModal(true);
  auto* layout = new QVBoxLayout(this);
  auto* descLabel = BoldLabel(this, "Label1");
  layout->addWidget(descLabel);
  desc_ = new QPlainTextEdit(this);
  desc_->setObjectName(QStringLiteral("Text3"));
  desc_->setMaximumHeight(TwipsToPixels(1200, logicalDpiX()));
  descLabel->setBuddy(desc_);
  layout->addWidget(desc_);

  auto* grid = new QGridLayout;
  auto* foldersLabel = BoldLabel(this, "Label2");
  auto* typesLabel = BoldLabel(this, "Label3");
  grid->addWidget(foldersLabel, 0, 0);
  grid->addWidget(typesLabel, 0, 1);
  model_ = new FolderTreeModel(this);
  tree_ = new QTreeView(this);
  tree_->setObjectName(QStringLiteral("ft1"));
  model_->Attach(*tree_);
  grid->addWidget(tree_, 1, 0);
  types_ = new QListWidget(this);
  types_->setObjectName(QStringLiteral("ListView1"));
  types_->setIconSize(QSize(20, 20));
  types_->setUniformItemSizes(true);
  grid->addWidget(types_, 1, 1);
  grid->setColumnStretch(0, 1);
  grid->setColumnStretch(1, 1);
  grid->setRowStretch(1, 1);
  layout->addLayout(grid, 1);

  archives_ = new QCheckBox(this);
  archives_->setObjectName(QStringLiteral("Check1"));
  layout->addWidget(archives_);
  auto* userRow = new QHBoxLayout;
  users_ = new QCheckBox(this);
  users_->setObjectName(QStringLiteral("Check2"));
  masks_ = new QLineEdit(this);
  masks_->setObjectName(QStringLiteral("Text1"));
  userRow->addWidget(users_);
  userRow->addWidget(masks_, 1);
  layout->addLayout(userRow);

  auto* buttons = new QHBoxLayout;
  buttons->addStretch(1);
  save_ = new QPushButton(this);
  save_->setObjectName(QStringLiteral("Command3"));
  save_->setDefault(true);
  auto* cancel = new QPushButton(this);
  cancel->setObjectName(QStringLiteral("Command4"));
  buttons->addWidget(save_);
  buttons->addWidget(cancel);
  layout->addLayout(buttons);

  ApplyTexts(*this, EditWindowTexts());
  FillTypeList(*types_);
  Form_Load();

  connect(model_, &FolderTreeModel::folderChecked, this, [this](const QString& f, bool on) {
    if (on)
      indexer::AddChosenFolder(folderList_, FromQt(f));
    else
      indexer::RemoveChosenFolder(folderList_, FromQt(f));
    UpdateSaveButton();
  });
  connect(types_, &QListWidget::itemChanged, this, &EditIndexDialog::ListView1_ItemCheck);
  connect(users_, &QCheckBox::toggled, this, [this] { UpdateSaveButton(); });
  connect(masks_, &QLineEdit::textChanged, this, [this] { UpdateSaveButton(); });
  connect(save_, &QPushButton::clicked, this, [this] { Command3_Click(); });
  connect(cancel, &QPushButton::clicked, this, &QDialog::reject);
  const int dpi = logicalDpiX();
  resize(TwipsToPixels(11400, dpi), TwipsToPixels(7200, dpi));
}

void EditIndexDialog::Form_Load() {
  if (descriptorPath_.empty()) return;
  loaded_ = indexer::LoadEditableIndex(descriptorPath_);
  setWindowTitle(ToQt(settings::LangString(settings::kEditCaption) + " " + loaded_.title));
  desc_->setPlainText(ToQt(loaded_.desc));
  if (loaded_.local) {
    folderList_ = loaded_.folderList;
    for (const std::string& folder : indexer::ChosenFolders(folderList_))
      model_->MarkChecked(folder);
    RevealCheckedFolders();
    // The tree reads folders as they are opened; each folder read may reveal more marks.
    connect(model_, &FolderTreeModel::directoryLoaded, this, [this](const QString& loaded) {
      const std::string path = base::WithTrailingSlash(FromQt(loaded));
      for (const std::string& folder : indexer::ChosenFolders(folderList_)) {
        if (folder.size() > path.size() && folder.starts_with(path)) {
          RevealCheckedFolders();
          return;
        }
      }
    });
    SetCheckedTypes(*types_, loaded_.types);
    archives_->setChecked(loaded_.archive);
    if (!loaded_.userFiles.empty()) {
      users_->setChecked(true);
      masks_->setText(ToQt(loaded_.userFiles));
    }
  } else {
    for (QWidget* w :
         std::initializer_list<QWidget*>{tree_, types_, archives_, users_, masks_,
                                         findChild<QWidget*>(QStringLiteral("Label2")),
                                         findChild<QWidget*>(QStringLiteral("Label3"))})
      w->hide();
  }
  UpdateSaveButton();
}

void EditIndexDialog::RevealCheckedFolders() {
  const std::vector<std::string> folders = indexer::ChosenFolders(folderList_);
  for (const std::string& folder : folders) {
    std::string path = folder;
    if (path.size() > 1) path.pop_back();
    for (QModelIndex i = model_->index(ToQt(path)).parent(); i.isValid(); i = i.parent())
      tree_->expand(i);
  }
  if (!folders.empty()) {
    std::string first = folders.front();
    if (first.size() > 1) first.pop_back();
    // After the view has laid out the rows the expansions added.
    QMetaObject::invokeMethod(
        this,
        [this, first] {
          const QModelIndex index = model_->index(ToQt(first));
          tree_->setCurrentIndex(index);
          tree_->scrollTo(index, QAbstractItemView::PositionAtCenter);
        },
        Qt::QueuedConnection);
  }
}

indexer::EditableIndex EditIndexDialog::Current() const {
  indexer::EditableIndex e = loaded_;
  e.desc = FromQt(desc_->toPlainText());
  e.folderList = folderList_;
  e.types = CheckedTypes(*types_);
  e.archive = archives_->isChecked();
  e.userFiles = users_->isChecked() ? FromQt(masks_->text()) : std::string();
  return e;
}

void EditIndexDialog::UpdateSaveButton() {
  save_->setEnabled(!descriptorPath_.empty() && indexer::CanSaveEditedIndex(Current()));
}

void EditIndexDialog::ListView1_ItemCheck(QListWidgetItem* item) {
  KeepPdfExclusive(*types_, FromQt(item->data(Qt::UserRole).toString()));
  UpdateSaveButton();
}

void EditIndexDialog::Command3_Click() {
  try {
    indexer::SaveEditedIndex(descriptorPath_, Current());
  } catch (const std::exception& e) {
    ShowMessageBox(this, {e.what(), {}, base::MessageIcon::Error});
    return;
  }
  ShowMessageBox(this, {settings::LangString(kEditSaved), {}, base::MessageIcon::Information});
  accept();
}

}  // namespace zyl::ui
