// The local wizard's second step (frmZYLwizard2): the folders to index, checked in a folder
// tree. Folders inside another checked folder are dropped when the step is left; every folder
// is indexed with its whole tree.
#pragma once

#include <QDialog>
#include <string>

#include "catalog/IndexDefinition.h"

class QPushButton;
class QTreeView;

namespace zyl::ui {

class FolderTreeModel;

class WizardFoldersStep : public QDialog {
  Q_OBJECT

 public:
  WizardFoldersStep(catalog::IndexDefinition def, QWidget* parent = nullptr);

  const catalog::IndexDefinition& Definition() const { return def_; }
  // The working list of checked folders ("/a/;/b/;").
  const std::string& FolderList() const { return folderList_; }
  FolderTreeModel& Tree() { return *model_; }

  // Cancel, Escape and the window's close button: the empty descriptor goes.
  void reject() override;

 private:
  void FolderTreeview1_NodeCheck(const QString& folder, bool checked);
  void Command2_Click();

  catalog::IndexDefinition def_;
  std::string folderList_;
  FolderTreeModel* model_ = nullptr;
  QTreeView* tree_ = nullptr;
  QPushButton* next_ = nullptr;
};

// Deletes the empty descriptor a cancelled wizard leaves behind.
void DeleteEmptyDescriptor(const catalog::IndexDefinition& def);

}  // namespace zyl::ui
