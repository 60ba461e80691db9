#include "ui/FolderTreeModel.h"

#include <QHeaderView>
#include <QTreeView>

#include "base/Paths.h"
#include "ui/ApplyTexts.h"

namespace zyl::ui {

FolderTreeModel::FolderTreeModel(QObject* parent) : QFileSystemModel(parent) {
  setFilter(QDir::AllDirs | QDir::NoDotAndDotDot | QDir::Drives);
  setReadOnly(true);
  setRootPath(QStringLiteral("/"));
}

Qt::ItemFlags FolderTreeModel::flags(const QModelIndex& index) const {
  Qt::ItemFlags f = QFileSystemModel::flags(index);
  if (index.isValid() && index.column() == 0) f |= Qt::ItemIsUserCheckable;
  return f;
}

std::string FolderTreeModel::FolderOf(const QModelIndex& index) const {
  return base::WithTrailingSlash(FromQt(filePath(index)));
}

QVariant FolderTreeModel::data(const QModelIndex& index, int role) const {
  if (role == Qt::CheckStateRole && index.isValid() && index.column() == 0)
    return checked_.contains(ToQt(FolderOf(index))) ? Qt::Checked : Qt::Unchecked;
  return QFileSystemModel::data(index, role);
}

bool FolderTreeModel::setData(const QModelIndex& index, const QVariant& value, int role) {
  if (role != Qt::CheckStateRole || !index.isValid())
    return QFileSystemModel::setData(index, value, role);
  const QString folder = ToQt(FolderOf(index));
  const bool on = value.toInt() == Qt::Checked;
  if (on == checked_.contains(folder)) return true;
  if (on)
    checked_.insert(folder);
  else
    checked_.remove(folder);
  emit dataChanged(index, index, {Qt::CheckStateRole});
  emit folderChecked(folder, on);
  return true;
}

void FolderTreeModel::MarkChecked(const std::string& folder) {
  checked_.insert(ToQt(base::WithTrailingSlash(folder)));
}

bool FolderTreeModel::SetFolderChecked(const std::string& folder, bool on) {
  std::string path = folder;
  if (path.size() > 1 && path.back() == '/') path.pop_back();
  const QModelIndex index = this->index(ToQt(path));
  if (!index.isValid()) return false;
  return setData(index, on ? Qt::Checked : Qt::Unchecked, Qt::CheckStateRole);
}

void FolderTreeModel::Attach(QTreeView& view) {
  view.setModel(this);
  for (int c = 1; c < columnCount(); ++c) view.hideColumn(c);
  view.setHeaderHidden(true);
  view.header()->setSectionResizeMode(0, QHeaderView::ResizeToContents);
  view.header()->setStretchLastSection(false);
  view.setUniformRowHeights(true);
  view.expand(index(QStringLiteral("/")));
}

}  // namespace zyl::ui
