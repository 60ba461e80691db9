// The folder tree with check boxes of the wizard and the edit dialog: the file system's folders
// (loaded lazily), each with a check box. The top item is "/", which stands for every folder of
// the machine, as the list of drive roots does.
#pragma once

#include <QFileSystemModel>
#include <QSet>
#include <string>

class QTreeView;

namespace zyl::ui {

class FolderTreeModel : public QFileSystemModel {
  Q_OBJECT

 public:
  explicit FolderTreeModel(QObject* parent = nullptr);

  Qt::ItemFlags flags(const QModelIndex& index) const override;
  QVariant data(const QModelIndex& index, int role) const override;
  bool setData(const QModelIndex& index, const QVariant& value, int role) override;

  // The folder of an item with its trailing "/" ("/" for the top item).
  std::string FolderOf(const QModelIndex& index) const;
  // Marks a folder checked without reporting it (the edit dialog's loading).
  void MarkChecked(const std::string& folder);
  // Checks or unchecks the folder as a click on its box does; false when it is not in the tree.
  bool SetFolderChecked(const std::string& folder, bool on);

  // Puts the model into `view`: folder names only, "/" as the top item.
  void Attach(QTreeView& view);

 signals:
  // A check box changed by the user; `folder` ends in "/".
  void folderChecked(const QString& folder, bool checked);

 private:
  QSet<QString> checked_;
};

}  // namespace zyl::ui
