// The edit dialog (frmEditIndex): changes the description, folders, types, archive choice and
// user masks of a built local index in its descriptor. A web index shows its title and
// description only, and cannot be saved.
#pragma once

#include <QDialog>
#include <string>

#include "indexer/IndexChoices.h"

class QCheckBox;
class QLineEdit;
class QListWidget;
class QListWidgetItem;
class QPlainTextEdit;
class QPushButton;
class QTreeView;

namespace zyl::ui {

class FolderTreeModel;

class EditIndexDialog : public QDialog {
  Q_OBJECT

 public:
  EditIndexDialog(std::string descriptorPath, QWidget* parent = nullptr);

  // What the controls hold now, as it would be saved.
  indexer::EditableIndex Current() const;
  FolderTreeModel& Tree() { return *model_; }

 private:
  void Form_Load();
  void UpdateSaveButton();
  // Opens the tree down to the checked folders, so their marks can be seen.
  void RevealCheckedFolders();
  void ListView1_ItemCheck(QListWidgetItem* item);
  void Command3_Click();

  std::string descriptorPath_;
  indexer::EditableIndex loaded_;
  std::string folderList_;
  QPlainTextEdit* desc_ = nullptr;
  FolderTreeModel* model_ = nullptr;
  QTreeView* tree_ = nullptr;
  QListWidget* types_ = nullptr;
  QCheckBox* archives_ = nullptr;
  QCheckBox* users_ = nullptr;
  QLineEdit* masks_ = nullptr;
  QPushButton* save_ = nullptr;
};

}  // namespace zyl::ui
