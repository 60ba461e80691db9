// The search window: the search form, the available indexes, the history, the document types,
// the result list and the document view with the hits marked. A search runs off the window
// thread behind the busy pointer; its rows are listed index after index.
#pragma once

#include <QDialog>
#include <memory>
#include <string>
#include <vector>

#include "search/SearchForm.h"
#include "search/SearchSession.h"
#include "settings/WindowLayout.h"

class QAction;
class QCheckBox;
class QComboBox;
class QLabel;
class QLineEdit;
class QListWidget;
class QMenu;
class QPushButton;
class QScrollBar;
class QSplitter;
class QTabWidget;
class QTreeWidget;
class QTreeWidgetItem;

namespace zyl::ui {

class DocumentView;

// One entry of the index manager's list as the search window takes it over.
struct IndexChoice {
  std::string title;
  std::string descriptorPath;
  bool selected = false;
};

class SearchWindow : public QDialog {
  Q_OBJECT

 public:
  explicit SearchWindow(std::vector<IndexChoice> indexes, QWidget* parent = nullptr);
  ~SearchWindow() override;

  // The search button: reads the form, searches every selected index and lists the rows.
  void RunSearch();
  // Shows the selected result's text with its hits marked.
  void ShowSelectedDocument();
  void SelNext();
  void SelPrev();
  void NextDocument();
  void PreviousDocument();
  // Opens the selected result with the desktop's program for it.
  void OpenSelectedDocument();
  // The find-again key: the whole search-box text after the selection start.
  void FindAgain();

  // Saved searches: the form into a query file and back (the search is not run).
  void SaveSearch(const std::string& fileName);
  void OpenSearch(const std::string& fileName);
  void SaveQueryDialog();
  void LoadQueryDialog();

  void ShowReport();
  void ShowQueryBuilder();
  void ShowOptions();

  // Restores the stored size, position and column widths (not with `onlyAppearance`), then
  // the view's font and colours and today's date in the date-to box.
  void LoadFormSize(bool onlyAppearance);
  void ApplyLanguage();

  search::SearchForm Form() const;
  void SetForm(const search::SearchForm& form);
  // The statement of the last search.
  const std::string& LastSearchSql() const { return lastSql_; }
  const std::vector<search::ResultRow>& Results() const { return results_; }
  // The result rows in the list's current order (what the report writes).
  std::vector<search::ResultRow> RowsInListOrder() const;

 signals:
  void searchFinished();

 protected:
  void done(int result) override;
  void changeEvent(QEvent* event) override;
  void resizeEvent(QResizeEvent* event) override;
  bool eventFilter(QObject* watched, QEvent* event) override;

 private:
  void BuildMenus();
  void BuildToolbar(QWidget* host);
  QWidget* BuildForm();
  QWidget* BuildListsPage();
  QWidget* BuildTypesPage();
  void FillListview();
  void FillIndexList();
  void FillHistoryList();
  void FillRecentCombos();
  void BuildInterface();
  void ShowResults();
  void RecallHistory(int row);
  void SortByColumn(int column);
  void ApplyPreset(int preset);
  void UpdateEnabling();
  void ApplyColumnWidths(const std::vector<std::int32_t>& twips);
  std::vector<std::int32_t> CurrentColumnWidths() const;
  void UpdateSplitterLimits();
  void SaveLayout();
  const search::ResultRow* SelectedRow() const;
  int Px(int twips) const;
  int Twips(int pixels) const;

  std::vector<IndexChoice> indexes_;
  std::vector<search::ResultRow> results_;
  std::string lastSql_;
  bool searching_ = false;
  bool layoutSaved_ = false;
  settings::WindowLayout layout_;
  int layoutState_ = settings::kWindowNormal;
  int sortColumn_ = -1;
  Qt::SortOrder sortOrder_ = Qt::AscendingOrder;

  QComboBox* combo3_ = nullptr;  // search box
  QComboBox* combo1_ = nullptr;  // search type
  QPushButton* command2_ = nullptr;
  QCheckBox* check2_ = nullptr;
  QCheckBox* check3_ = nullptr;
  QCheckBox* check1_ = nullptr;
  QComboBox* combo4_ = nullptr;
  QComboBox* combo5_ = nullptr;
  QComboBox* combo6_ = nullptr;
  QCheckBox* check4_[4] = {};
  QLineEdit* text6_ = nullptr;
  QLineEdit* text7_ = nullptr;
  QLineEdit* text3_ = nullptr;
  QScrollBar* vscroll2_ = nullptr;
  QComboBox* combo2_[3] = {};
  QLineEdit* text1_ = nullptr;
  QLineEdit* text2_ = nullptr;
  QLineEdit* text4_ = nullptr;
  QScrollBar* vscroll3_ = nullptr;
  QTreeWidget* listView3_ = nullptr;    // document types
  QListWidget* indexList_ = nullptr;    // ListView2 (1)
  QListWidget* historyList_ = nullptr;  // ListView2 (0)
  QTreeWidget* listView1_ = nullptr;    // results
  DocumentView* rtf1_ = nullptr;
  QSplitter* splitter_ = nullptr;
  QSplitter* mainSplitter_ = nullptr;
  QTabWidget* tabs_ = nullptr;
  QLabel* panel_[3] = {};
  QAction* button9_ = nullptr;
  QAction* button11_ = nullptr;
  QMenu* schemeMenu_ = nullptr;
};

// The search session of the program: its history and the rows "search within the found
// documents" works on live as long as the program.
search::SearchSession& ProgramSearchSession();

}  // namespace zyl::ui
