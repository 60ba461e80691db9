// The index manager: the main window of the desktop program. It lists the indexes of the
// recent index list with their statistics, shows the details of the selected one, and starts
// every command: create, open, edit, delete, update and search indexes, settings, help, about.
#pragma once

#include <QMainWindow>
#include <string>
#include <vector>

#include "catalog/IndexListRow.h"
#include "settings/WindowLayout.h"

class QAction;
class QLabel;
class QListWidget;
class QMenu;
class QPlainTextEdit;
class QSplitter;
class QTreeWidget;
class QTreeWidgetItem;

namespace zyl::ui {

class IndexManagerWindow : public QMainWindow {
  Q_OBJECT

 public:
  explicit IndexManagerWindow(QWidget* parent = nullptr);
  ~IndexManagerWindow() override;

  // Restores size, position, state and list height from [MainWindow] of config.ini.
  void LoadFormSize();
  // Puts the splitter at `y` twips from the top of the window, within its limits.
  void SizeControls(int y);
  // Fills the list from the recent index list.
  void LoadIndexList();
  // Fills the details pane and the selection summary.
  void ShowIndexDetails();
  // Sets every caption from the language file and reloads the list.
  void ApplyLanguage();

  // The descriptor of the index last visited (the focused row).
  const std::string& CurrentIndexFile() const { return currentIndexFile_; }

  // Commands of the menus, the toolbar and the pop-up menu.
  void MakeLocalIndex();
  void MakeWebIndex();
  void OpenIndex();
  void EditIndex();
  void DeleteIndex();
  void UpdateIndex();
  void SearchIndex();
  void ShowOptions();
  void ShowHelpContents();
  void ShowWebSite();
  void ShowAbout();
  void Exit();

 signals:
  // Exit: the program ends at once, without the window's closing (the layout is not saved).
  void exitRequested();

 protected:
  void closeEvent(QCloseEvent* event) override;
  void changeEvent(QEvent* event) override;
  void resizeEvent(QResizeEvent* event) override;
  void showEvent(QShowEvent* event) override;
  bool eventFilter(QObject* watched, QEvent* event) override;

 private:
  void BuildMenus();
  void BuildToolbar();
  void BuildCentralArea();
  QAction* AddCommand(QMenu* menu, const char* name, void (IndexManagerWindow::*command)());
  void ApplyColumnWidths(const std::vector<std::int32_t>& twips);
  std::vector<std::int32_t> CurrentColumnWidths() const;
  void UpdateSplitterLimits();
  void SortByColumn(int column);
  std::vector<QTreeWidgetItem*> SelectedItemsInListOrder() const;
  const catalog::IndexListRow* RowOf(const QTreeWidgetItem* item) const;
  int Px(int twips) const;
  int Twips(int pixels) const;

  settings::WindowLayout layout_;
  int layoutState_ = settings::kWindowNormal;
  int pendingListHeight_ = 0;  // list height (twips) waiting for the window's first layout  // the
                               // state whose widths the list shows
  std::vector<catalog::IndexListRow> rows_;
  std::string currentIndexFile_;
  int sortColumn_ = -1;
  Qt::SortOrder sortOrder_ = Qt::AscendingOrder;

  QTreeWidget* list_ = nullptr;
  QSplitter* splitter_ = nullptr;
  QWidget* frame3_ = nullptr;
  QPlainTextEdit* text3_ = nullptr;
  QListWidget* list1_ = nullptr;
  QListWidget* list2_ = nullptr;
  QLabel* label1_ = nullptr;
  QLabel* label2_ = nullptr;
  QLabel* panel1_ = nullptr;
  QLabel* panel2_ = nullptr;
  QMenu* popup1_ = nullptr;
};

}  // namespace zyl::ui
