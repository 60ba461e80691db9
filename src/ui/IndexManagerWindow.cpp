#include "ui/IndexManagerWindow.h"

#include <QApplication>
#include <QCloseEvent>
#include <QFileDialog>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QKeyEvent>
#include <QLabel>
#include <QListWidget>
#include <QLocale>
#include <QMenuBar>
#include <QMessageBox>
#include <QPlainTextEdit>
#include <QSplitter>
#include <QStatusBar>
#include <QToolBar>
#include <QTreeWidget>
#include <QVBoxLayout>
#include <algorithm>

#include "extract/DocumentTypes.h"
#include "settings/Config.h"
#include "settings/IniFile.h"
#include "settings/LangKeys.h"
#include "settings/Settings.h"
#include "ui/ApplyTexts.h"
#include "ui/EditIndexDialog.h"
#include "ui/Icons.h"
#include "ui/IndexStore.h"
#include "ui/NewIndexWizards.h"
#include "ui/OptionsDialog.h"
#include "ui/PlatformServices.h"
#include "ui/SearchWindow.h"
#include "ui/Twips.h"
#include "ui/UpdateWindow.h"
#include "ui/WindowTexts.h"

namespace zyl::ui {

namespace {

constexpr int kRowRole = Qt::UserRole + 1;  // index of the row in rows_
// The splitter stays this far from the top and from the bottom of the window (twips).
constexpr int kSplitterTopLimit = 1200;
constexpr int kSplitterBottomLimit = 2200;
constexpr int kMinWidth = 5900;
constexpr int kMinHeight = 4000;

std::string LocaleNumber(double value) {
  return QLocale().toString(value, 'f', 2).toStdString();
}

std::vector<std::string> TypeLabels(std::string_view masks, bool pdfFullText) {
  std::vector<std::string> labels;
  for (const extract::DocumentType* type : extract::TypesInMaskList(masks)) {
    // One mask serves both PDF modes; the label names the mode that built the index.
    if (type->storedType == "pdf") {
      type = extract::FindDocumentType(pdfFullText ? "pdffull" : "pdfmin");
    }
    labels.push_back(settings::GetLangString(settings::kFileType, type->langKey, type->shortLabel));
  }
  return labels;
}

void FillList(QListWidget* box, const std::vector<std::string>& lines) {
  box->clear();
  for (const std::string& line : lines) box->addItem(ToQt(line));
}

}  // namespace

IndexManagerWindow::IndexManagerWindow(QWidget* parent) : QMainWindow(parent) {
  setObjectName(QStringLiteral("frmWelcome2"));
  BuildMenus();
  BuildToolbar();
  BuildCentralArea();
  setMinimumSize(Px(kMinWidth), Px(kMinHeight));
  ApplyTexts(*this, ManagerWindowTexts());
  LoadFormSize();
  ApplyColumnWidths(layout_.ColumnWidths());
  LoadIndexList();
  list_->setFocus();
}

IndexManagerWindow::~IndexManagerWindow() = default;

int IndexManagerWindow::Px(int twips) const {
  return TwipsToPixels(twips, logicalDpiY());
}

int IndexManagerWindow::Twips(int pixels) const {
  return PixelsToTwips(pixels, logicalDpiY());
}

QAction* IndexManagerWindow::AddCommand(QMenu* menu, const char* name,
                                        void (IndexManagerWindow::*command)()) {
  auto* action = new QAction(this);
  action->setObjectName(QString::fromLatin1(name));
  connect(action, &QAction::triggered, this, [this, command] { (this->*command)(); });
  if (menu) menu->addAction(action);
  return action;
}

void IndexManagerWindow::BuildMenus() {
  QMenuBar* bar = menuBar();
  auto* file = bar->addMenu(QString());
  file->setObjectName(QStringLiteral("file_menu"));
  AddCommand(file, "make_local_menu", &IndexManagerWindow::MakeLocalIndex);
  AddCommand(file, "make_web_menu", &IndexManagerWindow::MakeWebIndex);
  AddCommand(file, "open_menu", &IndexManagerWindow::OpenIndex);
  AddCommand(file, "edit_menu", &IndexManagerWindow::EditIndex);
  AddCommand(file, "delete_menu", &IndexManagerWindow::DeleteIndex);
  AddCommand(file, "update_menu", &IndexManagerWindow::UpdateIndex);
  file->addSeparator();
  AddCommand(file, "exit_menu", &IndexManagerWindow::Exit);

  auto* find = bar->addMenu(QString());
  find->setObjectName(QStringLiteral("find_menu"));
  AddCommand(find, "find_index_menu", &IndexManagerWindow::SearchIndex);

  bar->addAction(AddCommand(nullptr, "option_menu", &IndexManagerWindow::ShowOptions));

  auto* help = bar->addMenu(QString());
  help->setObjectName(QStringLiteral("help_menu"));
  AddCommand(help, "content_menu", &IndexManagerWindow::ShowHelpContents);
  AddCommand(help, "web_site_menu", &IndexManagerWindow::ShowWebSite);
  help->addSeparator();
  AddCommand(help, "about_menu", &IndexManagerWindow::ShowAbout);

  popup1_ = new QMenu(this);
  popup1_->setObjectName(QStringLiteral("popup1"));
  AddCommand(popup1_, "pIndexFinde_menu", &IndexManagerWindow::SearchIndex);
  AddCommand(popup1_, "pUpdateIndex_menu", &IndexManagerWindow::UpdateIndex);
  AddCommand(popup1_, "pEditIndex_menu", &IndexManagerWindow::EditIndex);
  AddCommand(popup1_, "pDeleteIndex_menu", &IndexManagerWindow::DeleteIndex);
}

void IndexManagerWindow::BuildToolbar() {
  QToolBar* bar = addToolBar(QString());
  bar->setObjectName(QStringLiteral("Toolbar1"));
  bar->setMovable(false);
  bar->setIconSize(QSize(24, 24));
  struct Button {
    const char* name;
    const char* icon;
    void (IndexManagerWindow::*command)();
  };
  const Button buttons[] = {
      {"Button1", "new-local", &IndexManagerWindow::MakeLocalIndex},
      {"Button2", "new-web", &IndexManagerWindow::MakeWebIndex},
      {"Button3", "open", &IndexManagerWindow::OpenIndex},
      {"Button4", "delete", &IndexManagerWindow::DeleteIndex},
      {"Button5", "update", &IndexManagerWindow::UpdateIndex},
      {"Button6", "search", &IndexManagerWindow::SearchIndex},
      {nullptr, nullptr, nullptr},  // button 7: a separator that does nothing
      {"Button8", "edit", &IndexManagerWindow::EditIndex},
      {"Button9", "help", &IndexManagerWindow::ShowHelpContents},
  };
  for (const Button& b : buttons) {
    if (!b.name) {
      bar->addSeparator();
      continue;
    }
    QAction* action = AddCommand(nullptr, b.name, b.command);
    action->setIcon(LoadIcon(b.icon));
    bar->addAction(action);
  }
}

void IndexManagerWindow::BuildCentralArea() {
  splitter_ = new QSplitter(Qt::Vertical, this);
  splitter_->setObjectName(QStringLiteral("Splitter1"));
  splitter_->setChildrenCollapsible(false);

  list_ = new QTreeWidget(splitter_);
  list_->setObjectName(QStringLiteral("ListView1"));
  list_->setColumnCount(catalog::kIndexListColumns);
  list_->setRootIsDecorated(false);
  list_->setUniformRowHeights(true);
  list_->setAllColumnsShowFocus(true);
  list_->setSelectionMode(QAbstractItemView::ExtendedSelection);
  list_->setContextMenuPolicy(Qt::CustomContextMenu);
  list_->header()->setSectionsClickable(true);
  list_->header()->setStretchLastSection(false);
  list_->installEventFilter(this);
  connect(list_->header(), &QHeaderView::sectionClicked, this,
          [this](int column) { SortByColumn(column); });
  connect(list_, &QTreeWidget::itemSelectionChanged, this, [this] { ShowIndexDetails(); });
  connect(list_, &QTreeWidget::currentItemChanged, this, [this] { ShowIndexDetails(); });
  connect(list_, &QTreeWidget::itemDoubleClicked, this, [this](QTreeWidgetItem* item) {
    if (const auto* row = RowOf(item)) currentIndexFile_ = row->descriptorPath;
    SearchIndex();
  });
  connect(list_, &QWidget::customContextMenuRequested, this, [this](const QPoint& at) {
    ShowIndexDetails();
    popup1_->popup(list_->viewport()->mapToGlobal(at));
  });

  frame3_ = new QWidget(splitter_);
  frame3_->setObjectName(QStringLiteral("Frame3"));
  auto* pane = new QHBoxLayout(frame3_);
  pane->setContentsMargins(0, 4, 0, 0);
  const auto column = [&](const char* labelName, QLabel*& label, QWidget* box, int stretch) {
    auto* v = new QVBoxLayout;
    label = new QLabel(frame3_);
    label->setObjectName(QString::fromLatin1(labelName));
    v->addWidget(label);
    v->addWidget(box, 1);
    pane->addLayout(v, stretch);
  };
  QLabel* label3 = nullptr;
  text3_ = new QPlainTextEdit(frame3_);
  text3_->setObjectName(QStringLiteral("Text3"));
  text3_->setReadOnly(true);
  list1_ = new QListWidget(frame3_);
  list1_->setObjectName(QStringLiteral("List1"));
  list2_ = new QListWidget(frame3_);
  list2_->setObjectName(QStringLiteral("List2"));
  for (QWidget* box : {static_cast<QWidget*>(text3_), static_cast<QWidget*>(list1_),
                       static_cast<QWidget*>(list2_)}) {
    box->setFocusPolicy(Qt::ClickFocus);  // Tab stays in the list, which drives everything
  }
  column("Label3", label3, text3_, 2);
  column("Label1", label1_, list1_, 3);
  column("Label2", label2_, list2_, 3);
  // The list keeps its height when the window grows; the details pane takes the rest.
  splitter_->setStretchFactor(0, 0);
  splitter_->setStretchFactor(1, 1);
  setCentralWidget(splitter_);

  QStatusBar* status = statusBar();
  status->setObjectName(QStringLiteral("StatusBar1"));
  panel1_ = new QLabel(status);
  panel1_->setObjectName(QStringLiteral("Panel1"));
  panel2_ = new QLabel(status);
  panel2_->setObjectName(QStringLiteral("Panel2"));
  status->addWidget(panel1_, 1);
  status->addWidget(panel2_, 2);
}

void IndexManagerWindow::ApplyLanguage() {
  ApplyTexts(*this, ManagerWindowTexts());
  LoadIndexList();
}

// --- Layout ------------------------------------------------------------------------------------

void IndexManagerWindow::LoadFormSize() {
  layout_ = settings::LoadMainWindowLayout(settings::ConfigIniPath());
  // The list shows the widths of the stored state from the start, so the state change below
  // does not swap them.
  layoutState_ = layout_.WindowState == settings::kWindowMaximized ? settings::kWindowMaximized
                                                                   : settings::kWindowNormal;
  resize(Px(layout_.Width), Px(layout_.Height));
  move(Px(layout_.Left), Px(layout_.Top));
  if (layout_.WindowState == settings::kWindowMaximized) {
    setWindowState(windowState() | Qt::WindowMaximized);
  } else if (layout_.WindowState == settings::kWindowNormal) {
    setWindowState(windowState() & ~(Qt::WindowMaximized | Qt::WindowMinimized));
  }
  // The splitter sits just below the list of the stored height; before the window is laid out
  // on screen, once it is.
  if (isVisible()) {
    SizeControls(Twips(splitter_->y()) + layout_.ListHeight + 10);
  } else {
    pendingListHeight_ = layout_.ListHeight;
  }
}

void IndexManagerWindow::showEvent(QShowEvent* event) {
  QMainWindow::showEvent(event);
  if (pendingListHeight_ > 0) {
    // The central area has its place now: the stored list height is measured from it.
    SizeControls(Twips(splitter_->y()) + pendingListHeight_ + 10);
    pendingListHeight_ = 0;
  }
}

void IndexManagerWindow::SizeControls(int y) {
  UpdateSplitterLimits();
  const int listTop = splitter_->y();
  const int total = splitter_->height();
  const int listHeight =
      std::clamp(Px(y - 10) - listTop, list_->minimumHeight(),
                 std::max(list_->minimumHeight(), total - frame3_->minimumHeight()));
  splitter_->setSizes({listHeight, std::max(total - listHeight, frame3_->minimumHeight())});
}

void IndexManagerWindow::UpdateSplitterLimits() {
  const int listTop = splitter_->y();
  list_->setMinimumHeight(std::max(Px(kSplitterTopLimit) - listTop, Px(300)));
  const int status = statusBar()->isVisible() ? statusBar()->height() : 0;
  frame3_->setMinimumHeight(std::max(Px(kSplitterBottomLimit) - status, Px(600)));
}

void IndexManagerWindow::resizeEvent(QResizeEvent* event) {
  QMainWindow::resizeEvent(event);
  UpdateSplitterLimits();
}

void IndexManagerWindow::ApplyColumnWidths(const std::vector<std::int32_t>& twips) {
  for (std::size_t i = 0; i < twips.size() && i < catalog::kIndexListColumns; ++i) {
    list_->setColumnWidth(static_cast<int>(i), Px(twips[i]));
  }
}

std::vector<std::int32_t> IndexManagerWindow::CurrentColumnWidths() const {
  std::vector<std::int32_t> widths;
  for (int i = 0; i < catalog::kIndexListColumns; ++i) {
    widths.push_back(Twips(list_->columnWidth(i)));
  }
  return widths;
}

void IndexManagerWindow::changeEvent(QEvent* event) {
  QMainWindow::changeEvent(event);
  if (event->type() != QEvent::WindowStateChange || isMinimized()) return;
  // The widths of the normal and the maximised window are kept apart: leaving a state keeps
  // its widths, entering one brings back the widths it had.
  const int state = isMaximized() ? settings::kWindowMaximized : settings::kWindowNormal;
  if (state == layoutState_) return;
  ApplyColumnWidths(layout_.SwitchColumnWidths(layoutState_, state, CurrentColumnWidths()));
  layoutState_ = state;
}

void IndexManagerWindow::closeEvent(QCloseEvent* event) {
  settings::WindowLayout l = layout_;
  l.WindowState = isMinimized()   ? settings::kWindowMinimized
                  : isMaximized() ? settings::kWindowMaximized
                                  : settings::kWindowNormal;
  if (l.WindowState == settings::kWindowNormal) {
    l.Width = Twips(width());
    l.Height = Twips(height());
    l.Top = Twips(y());
    l.Left = Twips(x());
    l.ListHeight = Twips(list_->height());
    l.ColumnNormalWidth = CurrentColumnWidths();
  } else if (l.WindowState == settings::kWindowMaximized) {
    l.ColumnMaxWidth = CurrentColumnWidths();
  }
  try {
    settings::SaveMainWindowLayout(l, settings::ConfigIniPath());
  } catch (const std::exception&) {
    // A read-only program folder must not keep the program from ending.
  }
  event->accept();
}

// --- The list ----------------------------------------------------------------------------------

const catalog::IndexListRow* IndexManagerWindow::RowOf(const QTreeWidgetItem* item) const {
  if (!item) return nullptr;
  const int at = item->data(0, kRowRole).toInt();
  return at >= 0 && at < static_cast<int>(rows_.size()) ? &rows_[static_cast<std::size_t>(at)]
                                                        : nullptr;
}

void IndexManagerWindow::LoadIndexList() {
  const QSignalBlocker block(list_);
  list_->clear();
  text3_->clear();
  list1_->clear();
  list2_->clear();
  panel1_->clear();
  panel2_->clear();
  sortColumn_ = -1;
  list_->header()->setSortIndicatorShown(false);
  rows_ = catalog::MakeIndexListRows(RecentIndexes(), LocaleNumber);
  if (rows_.empty()) return;
  const QIcon local = LoadIcon("index-local");
  const QIcon web = LoadIcon("index-web");
  const QIcon missing = LoadIcon("index-missing");
  for (std::size_t i = 0; i < rows_.size(); ++i) {
    const catalog::IndexListRow& row = rows_[i];
    auto* item = new QTreeWidgetItem(list_);
    for (int c = 0; c < catalog::kIndexListColumns; ++c) {
      item->setText(c, ToQt(row.columns[static_cast<std::size_t>(c)]));
    }
    item->setData(0, kRowRole, static_cast<int>(i));
    item->setTextAlignment(4, Qt::AlignRight | Qt::AlignVCenter);
    item->setTextAlignment(5, Qt::AlignRight | Qt::AlignVCenter);
    item->setToolTip(1, item->text(1));
    if (row.missing) {
      item->setIcon(0, missing);
      for (int c = 0; c < catalog::kIndexListColumns; ++c) {
        item->setForeground(c, palette().brush(QPalette::Disabled, QPalette::Text));
      }
    } else {
      item->setIcon(0, row.columns[2] == "local" ? local : web);
    }
    currentIndexFile_ = row.descriptorPath;
  }
  panel1_->setText(ToQt(catalog::IndexCountText(rows_.size())));
  // The first row is focused and selected, so the keyboard works at once.
  list_->setCurrentItem(list_->topLevelItem(0));
  ShowIndexDetails();
}

std::vector<QTreeWidgetItem*> IndexManagerWindow::SelectedItemsInListOrder() const {
  std::vector<QTreeWidgetItem*> items;
  for (int i = 0; i < list_->topLevelItemCount(); ++i) {
    QTreeWidgetItem* item = list_->topLevelItem(i);
    if (item->isSelected()) items.push_back(item);
  }
  return items;
}

void IndexManagerWindow::ShowIndexDetails() {
  if (list_->topLevelItemCount() == 0) return;
  std::vector<const catalog::IndexListRow*> selected;
  for (QTreeWidgetItem* item : SelectedItemsInListOrder()) {
    if (const auto* row = RowOf(item)) selected.push_back(row);
  }
  panel2_->setText(ToQt(catalog::SelectionSummary(selected)));
  QTreeWidgetItem* focused = list_->currentItem();
  if (!focused && !selected.empty()) focused = SelectedItemsInListOrder().front();
  const catalog::IndexListRow* row = RowOf(focused);
  if (!row) return;
  currentIndexFile_ = row->descriptorPath;
  const catalog::IndexDetails details = catalog::ReadIndexDetails(row->descriptorPath, TypeLabels);
  text3_->setPlainText(ToQt(details.description));
  if (!details.foldersLabel.empty()) label1_->setText(ToQt(details.foldersLabel));
  if (!details.typesLabel.empty()) label2_->setText(ToQt(details.typesLabel));
  FillList(list1_, details.folders);
  FillList(list2_, details.types);
}

void IndexManagerWindow::SortByColumn(int column) {
  sortOrder_ = column == sortColumn_ && sortOrder_ == Qt::AscendingOrder ? Qt::DescendingOrder
                                                                         : Qt::AscendingOrder;
  sortColumn_ = column;
  list_->sortItems(column, sortOrder_);
  list_->header()->setSortIndicatorShown(true);
  list_->header()->setSortIndicator(column, sortOrder_);
}

bool IndexManagerWindow::eventFilter(QObject* watched, QEvent* event) {
  if (watched == list_) {
    if (event->type() == QEvent::KeyPress) {
      const auto* key = static_cast<QKeyEvent*>(event);
      if (key->key() == Qt::Key_Return || key->key() == Qt::Key_Enter) {
        SearchIndex();
        return true;
      }
    } else if (event->type() == QEvent::KeyRelease) {
      const auto* key = static_cast<QKeyEvent*>(event);
      if (key->key() == Qt::Key_Delete && !key->isAutoRepeat()) {
        DeleteIndex();
        return true;
      }
    }
  }
  return QMainWindow::eventFilter(watched, event);
}

// --- Commands ----------------------------------------------------------------------------------

void IndexManagerWindow::MakeLocalIndex() {
  RunLocalIndexWizard(this);
  LoadIndexList();
}

void IndexManagerWindow::MakeWebIndex() {
  RunWebIndexWizard(this);
  LoadIndexList();
}

void IndexManagerWindow::OpenIndex() {
  QFileDialog dialog(this);
  dialog.setObjectName(QStringLiteral("CommonDialog1"));
  dialog.setWindowTitle(ToQt(CaptionText(ManagerText("open_menu"))));
  dialog.setFileMode(QFileDialog::ExistingFile);
  dialog.setNameFilter(ToQt(settings::LangString(settings::kManagerIndexFileFilter)) +
                       QStringLiteral(" (*.zyl)"));
  if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty()) return;
  try {
    AddRecentIndex(FromQt(dialog.selectedFiles().front()));
  } catch (const std::exception& e) {
    ShowMessageBox(this, {e.what(), {}, base::MessageIcon::Error});
  }
  LoadIndexList();
}

void IndexManagerWindow::EditIndex() {
  if (rows_.empty() || currentIndexFile_.empty()) return;
  EditIndexDialog dialog(currentIndexFile_, this);
  dialog.exec();
  LoadIndexList();
}

void IndexManagerWindow::DeleteIndex() {
  if (rows_.empty()) return;
  const QString question = ToQt(settings::LangString(settings::kManagerConfirmDelete));
  for (QTreeWidgetItem* item : SelectedItemsInListOrder()) {
    const catalog::IndexListRow* row = RowOf(item);
    if (!row) continue;
    currentIndexFile_ = row->descriptorPath;
    QMessageBox box(QMessageBox::Information, ToQt(kProgramTitle),
                    question + QStringLiteral("\n") + ToQt(row->descriptorPath),
                    QMessageBox::Yes | QMessageBox::No, this);
    box.setObjectName(QStringLiteral("DeleteQuestion"));
    if (box.exec() == QMessageBox::No) continue;
    DeleteIndexFiles(row->descriptorPath,
                     [this](const base::Message& m) { ShowMessageBox(this, m); });
  }
  LoadIndexList();
}

void IndexManagerWindow::UpdateIndex() {
  if (rows_.empty()) return;
  std::vector<std::string> paths;
  for (QTreeWidgetItem* item : SelectedItemsInListOrder()) paths.push_back(FromQt(item->text(1)));
  {
    UpdateWindow window(std::move(paths), this);
    window.exec();
  }
  LoadIndexList();
}

void IndexManagerWindow::SearchIndex() {
  if (rows_.empty()) return;
  std::vector<IndexChoice> indexes;
  for (int i = 0; i < list_->topLevelItemCount(); ++i) {
    const QTreeWidgetItem* item = list_->topLevelItem(i);
    indexes.push_back({FromQt(item->text(0)), FromQt(item->text(1)), item->isSelected()});
  }
  SearchWindow window(std::move(indexes), this);
  window.exec();
}

void IndexManagerWindow::ShowOptions() {
  {
    OptionsDialog dialog(this);
    dialog.exec();
  }
  LoadIndexList();
}

void IndexManagerWindow::ShowHelpContents() {
  ShowHelp(this, kHelpContents);
}

void IndexManagerWindow::ShowWebSite() {
  ShellOpen(this, kWebSite);
}

void IndexManagerWindow::ShowAbout() {
  QMessageBox box(QMessageBox::Information, ToQt(CaptionText(ManagerText("about_menu"))),
                  QStringLiteral("<b>ZYL</b><br>%1 %2<br><br>%3")
                      .arg(ToQt(settings::LangString(settings::kManagerVersion)),
                           QCoreApplication::applicationVersion().toHtmlEscaped(),
                           ToQt(settings::LangString(settings::kManagerAboutText)).toHtmlEscaped()),
                  QMessageBox::Ok, this);
  box.setObjectName(QStringLiteral("frmAbout"));
  box.setIconPixmap(LoadIcon("zyl").pixmap(48, 48));
  box.exec();
}

void IndexManagerWindow::Exit() {
  // The layout is saved only by closing the window; whoever runs the program ends it.
  emit exitRequested();
}

}  // namespace zyl::ui
