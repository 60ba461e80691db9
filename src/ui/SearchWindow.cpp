#include "ui/SearchWindow.h"

#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QDrag>
#include <QEventLoop>
#include <QFileDialog>
#include <QFileInfo>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QLocale>
#include <QMenuBar>
#include <QMessageBox>
#include <QMimeData>
#include <QPushButton>
#include <QScrollBar>
#include <QShortcut>
#include <QSplitter>
#include <QStatusBar>
#include <QTabWidget>
#include <QThread>
#include <QToolBar>
#include <QToolButton>
#include <QTreeWidget>
#include <QUrl>
#include <QVBoxLayout>

#include "base/DateTime.h"
#include "base/Strings.h"
#include "extract/DocumentTypes.h"
#include "search/Highlight.h"
#include "search/ResultContent.h"
#include "search/ResultList.h"
#include "search/SavedSearch.h"
#include "search/SearchRequest.h"
#include "search/TypePresets.h"
#include "settings/CommonFunctions.h"
#include "settings/Config.h"
#include "settings/LangKeys.h"
#include "settings/Settings.h"
#include "ui/ApplyTexts.h"
#include "ui/DocumentView.h"
#include "ui/Icons.h"
#include "ui/OptionsDialog.h"
#include "ui/PlatformServices.h"
#include "ui/QueryBuilderDialog.h"
#include "ui/ReportDialog.h"
#include "ui/SearchWindowTexts.h"
#include "ui/Twips.h"

namespace zyl::ui {

namespace {

constexpr int kColumns = 7;
constexpr int kMinWidth = 8300;
constexpr int kMinHeight = 6000;
// The splitter bar stays this far below the window's top and above its bottom (twips).
constexpr int kSplitterTopLimit = 1700;
constexpr int kSplitterBottomLimit = 2000;
constexpr std::string_view kTypeIcons[] = {
    "",          "type-txt",  "type-wri",   "type-rtf",  "type-doc", "type-xls", "type-html",
    "type-pdf",  "type-mp3",  "type-users", "type-mail", "type-xlt", "type-dot", "type-mail-moz",
    "type-docx", "type-xlsx", "type-pptx",  "type-odt",  "type-ods", "type-odp"};

QIcon TypeIcon(int number) {
  return number > 0 && number < static_cast<int>(std::size(kTypeIcons))
             ? LoadIcon(kTypeIcons[number])
             : QIcon();
}

// A colour of the settings: a number 0x00BBGGRR.
QColor SettingColor(std::int32_t value) {
  const auto v = static_cast<std::uint32_t>(value);
  return QColor(static_cast<int>(v & 0xff), static_cast<int>((v >> 8) & 0xff),
                static_cast<int>((v >> 16) & 0xff));
}

char DecimalSign() {
  const QString point = QLocale().decimalPoint();
  return point.size() == 1 && point[0].unicode() < 128 ? static_cast<char>(point[0].unicode())
                                                       : '.';
}

// The result list: dragging entries out offers their files.
class ResultList : public QTreeWidget {
 public:
  using QTreeWidget::QTreeWidget;

 protected:
  QStringList mimeTypes() const override { return {QStringLiteral("text/uri-list")}; }
  QMimeData* mimeData(const QList<QTreeWidgetItem*>& items) const override {
    // In the list's order, whatever order the view hands the entries over in.
    QList<QTreeWidgetItem*> ordered = items;
    std::sort(ordered.begin(), ordered.end(), [this](QTreeWidgetItem* a, QTreeWidgetItem* b) {
      return indexOfTopLevelItem(a) < indexOfTopLevelItem(b);
    });
    QList<QUrl> urls;
    for (const QTreeWidgetItem* item : ordered) {
      const QString path = item->text(6) + item->text(0);
      urls.push_back(path.startsWith('/') ? QUrl::fromLocalFile(path) : QUrl(path));
    }
    auto* data = new QMimeData;
    data->setUrls(urls);
    return data;
  }
  Qt::DropActions supportedDropActions() const override { return Qt::CopyAction; }
};

// Keeps the proportion of its two panes when it is resized.
class ProportionalSplitter : public QSplitter {
 public:
  using QSplitter::QSplitter;

 protected:
  void resizeEvent(QResizeEvent* event) override {
    const QList<int> before = sizes();
    QSplitter::resizeEvent(event);
    if (before.size() != 2 || before[0] + before[1] <= 0 || before[1] <= 0) return;
    const int total = sizes()[0] + sizes()[1];
    const double r = static_cast<double>(before[0]) / before[1];
    const int list = static_cast<int>(r * total / (r + 1));
    setSizes({list, total - list});
  }
};

QLineEdit* SmallBox(QWidget* parent, const char* name, int width) {
  auto* box = new QLineEdit(parent);
  box->setObjectName(QString::fromLatin1(name));
  box->setMaximumWidth(width);
  return box;
}

QComboBox* Combo(QWidget* parent, const char* name, int items, bool editable) {
  auto* combo = new QComboBox(parent);
  combo->setObjectName(QString::fromLatin1(name));
  combo->setEditable(editable);
  if (editable) combo->setInsertPolicy(QComboBox::NoInsert);
  for (int i = 0; i < items; ++i) combo->addItem(QString());
  combo->setSizeAdjustPolicy(QComboBox::AdjustToContents);
  return combo;
}

}  // namespace

search::SearchSession& ProgramSearchSession() {
  static search::SearchSession session;
  return session;
}

SearchWindow::SearchWindow(std::vector<IndexChoice> indexes, QWidget* parent)
    : QDialog(parent), indexes_(std::move(indexes)) {
  setObjectName(QStringLiteral("frmSearch"));
  setWindowIcon(LoadIcon("search"));
  setWindowFlags(windowFlags() | Qt::WindowMinMaxButtonsHint);
  setSizeGripEnabled(false);

  auto* outer = new QVBoxLayout(this);
  outer->setContentsMargins(0, 0, 0, 0);
  outer->setSpacing(0);
  BuildMenus();
  outer->setMenuBar(findChild<QMenuBar*>(QStringLiteral("MenuBar1")));

  // The toolbar runs along the top; the search box with its button below it.
  auto* tools = new QWidget(this);
  auto* toolsRow = new QHBoxLayout(tools);
  toolsRow->setContentsMargins(4, 0, 4, 0);
  BuildToolbar(tools);
  outer->addWidget(tools);
  auto* top = new QWidget(this);
  auto* topRow = new QHBoxLayout(top);
  topRow->setContentsMargins(6, 2, 6, 4);
  auto* label3 = new QLabel(top);
  label3->setObjectName(QStringLiteral("Label3"));
  combo3_ = Combo(top, "Combo3", 0, true);
  combo3_->setSizePolicy(QSizePolicy::Expanding, QSizePolicy::Fixed);
  combo3_->setMinimumWidth(200);
  command2_ = new QPushButton(top);
  command2_->setObjectName(QStringLiteral("Command2"));
  command2_->setIcon(LoadIcon("search"));
  command2_->setAutoDefault(false);
  topRow->addWidget(label3);
  topRow->addWidget(combo3_, 1);
  topRow->addWidget(command2_);
  outer->addWidget(top);

  mainSplitter_ = new QSplitter(Qt::Horizontal, this);
  mainSplitter_->setObjectName(QStringLiteral("Splitter2"));
  mainSplitter_->setChildrenCollapsible(false);
  tabs_ = new QTabWidget(mainSplitter_);
  tabs_->setObjectName(QStringLiteral("TabStrip1"));
  tabs_->addTab(BuildForm(), QString());
  tabs_->addTab(BuildListsPage(), QString());
  tabs_->addTab(BuildTypesPage(), QString());

  splitter_ = new ProportionalSplitter(Qt::Vertical, mainSplitter_);
  splitter_->setObjectName(QStringLiteral("Splitter1"));
  splitter_->setChildrenCollapsible(false);
  listView1_ = new ResultList(splitter_);
  listView1_->setObjectName(QStringLiteral("ListView1"));
  listView1_->setColumnCount(kColumns);
  listView1_->setRootIsDecorated(false);
  listView1_->setUniformRowHeights(true);
  listView1_->setAllColumnsShowFocus(true);
  listView1_->setSelectionMode(QAbstractItemView::ExtendedSelection);
  listView1_->setDragEnabled(true);
  listView1_->setDragDropMode(QAbstractItemView::DragOnly);
  listView1_->header()->setSectionsClickable(true);
  listView1_->header()->setStretchLastSection(true);
  listView1_->installEventFilter(this);
  rtf1_ = new DocumentView(splitter_);
  rtf1_->setObjectName(QStringLiteral("Rtf1"));
  mainSplitter_->setStretchFactor(0, 0);
  mainSplitter_->setStretchFactor(1, 1);
  outer->addWidget(mainSplitter_, 1);

  auto* status = new QStatusBar(this);
  status->setObjectName(QStringLiteral("StatusBar1"));
  status->setSizeGripEnabled(true);
  for (int i = 0; i < 3; ++i) {
    panel_[i] = new QLabel(status);
    panel_[i]->setObjectName(QStringLiteral("Panel%1").arg(i + 1));
    panel_[i]->setTextInteractionFlags(Qt::TextSelectableByMouse);
    status->addWidget(panel_[i], i == 0 ? 0 : (i == 1 ? 2 : 3));
  }
  panel_[0]->setMinimumWidth(110);
  outer->addWidget(status);

  connect(command2_, &QPushButton::clicked, this, [this] { RunSearch(); });
  connect(combo3_->lineEdit(), &QLineEdit::returnPressed, this, [this] { RunSearch(); });
  connect(combo1_, &QComboBox::activated, this, [this](int index) {
    if (index == search::kQueryLanguage) ShowQueryBuilder();
  });
  connect(listView1_->header(), &QHeaderView::sectionClicked, this,
          [this](int column) { SortByColumn(column); });
  connect(listView1_, &QTreeWidget::itemClicked, this, [this] { ShowSelectedDocument(); });
  connect(listView1_, &QTreeWidget::itemDoubleClicked, this, [this] { OpenSelectedDocument(); });
  connect(historyList_, &QListWidget::itemClicked, this,
          [this](QListWidgetItem* item) { RecallHistory(historyList_->row(item)); });
  auto* f3 = new QShortcut(QKeySequence(Qt::Key_F3), this);
  connect(f3, &QShortcut::activated, this, [this] { FindAgain(); });

  // Window load: the lists, the texts, the recent entries and the default positions.
  FillListview();
  ApplyLanguage();
  FillRecentCombos();
  combo1_->setCurrentIndex(0);
  combo2_[0]->setCurrentIndex(search::kDays);
  combo2_[1]->setCurrentIndex(search::kGreater);
  combo2_[2]->setCurrentIndex(search::kKilobytes);
  UpdateEnabling();
  BuildInterface();
  FillHistoryList();
  FillIndexList();
  setMinimumSize(Px(kMinWidth), Px(kMinHeight));
  LoadFormSize(false);
  // A person types at once and presses Enter.
  combo3_->setFocus();
}

SearchWindow::~SearchWindow() = default;

int SearchWindow::Px(int twips) const {
  return TwipsToPixels(twips, logicalDpiY());
}

int SearchWindow::Twips(int pixels) const {
  return PixelsToTwips(pixels, logicalDpiY());
}

// --- Building the window -------------------------------------------------------------------------

void SearchWindow::BuildMenus() {
  auto* bar = new QMenuBar(this);
  bar->setObjectName(QStringLiteral("MenuBar1"));
  const auto add = [this](QMenu* menu, const char* name, auto command) {
    auto* action = new QAction(this);
    action->setObjectName(QString::fromLatin1(name));
    connect(action, &QAction::triggered, this, command);
    if (menu) menu->addAction(action);
    return action;
  };
  auto* file = bar->addMenu(QString());
  file->setObjectName(QStringLiteral("file_menu"));
  add(file, "open_menu", [this] { OpenSelectedDocument(); });
  add(file, "load_menu", [this] { LoadQueryDialog(); });
  add(file, "save_menu", [this] { SaveQueryDialog(); });
  file->addSeparator();
  add(file, "close_menu", [this] { close(); });
  bar->addAction(add(nullptr, "option_menu", [this] { ShowOptions(); }));
  auto* help = bar->addMenu(QString());
  help->setObjectName(QStringLiteral("help_menu"));
  add(help, "content_menu", [this] { ShowHelp(this, kHelpSearchWindow); });
  add(help, "about_menu", [this] {
    QMessageBox box(
        QMessageBox::Information, ToQt(CaptionText(SearchText("about_menu"))),
        QStringLiteral("<b>ZYL</b><br>%1 %2<br><br>%3")
            .arg(ToQt(settings::LangString(settings::kManagerVersion)),
                 QCoreApplication::applicationVersion().toHtmlEscaped(),
                 ToQt(settings::LangString(settings::kManagerAboutText)).toHtmlEscaped()),
        QMessageBox::Ok, this);
    box.setObjectName(QStringLiteral("frmAbout"));
    box.setIconPixmap(LoadIcon("search").pixmap(48, 48));
    box.exec();
  });
  schemeMenu_ = bar->addMenu(QString());
  schemeMenu_->setObjectName(QStringLiteral("scheme_menu"));
  const char* names[] = {"scheme_all", "scheme_none", "scheme_invert", "scheme_mail",
                         "scheme_office"};
  for (int i = 0; i < 5; ++i) add(schemeMenu_, names[i], [this, i] { ApplyPreset(i); });
}

void SearchWindow::BuildToolbar(QWidget* host) {
  auto* bar = new QToolBar(host);
  bar->setObjectName(QStringLiteral("Toolbar1"));
  bar->setIconSize(QSize(20, 20));
  struct Button {
    const char* name;
    const char* icon;
    void (SearchWindow::*command)();
  };
  const Button buttons[] = {
      {"Button2", "open", &SearchWindow::OpenSelectedDocument},
      {nullptr, nullptr, nullptr},
      {"Button5", "hit-previous", &SearchWindow::SelPrev},
      {"Button6", "hit-next", &SearchWindow::SelNext},
      {"Button7", "document-previous", &SearchWindow::PreviousDocument},
      {"Button8", "document-next", &SearchWindow::NextDocument},
      {nullptr, nullptr, nullptr},
      {"Button9", "highlight", nullptr},
      {"Button10", "report", &SearchWindow::ShowReport},
      {"Button11", "first-hit", nullptr},
  };
  for (const Button& b : buttons) {
    if (!b.name) {
      bar->addSeparator();
      continue;
    }
    auto* action = new QAction(LoadIcon(b.icon), QString(), this);
    action->setObjectName(QString::fromLatin1(b.name));
    if (b.command) {
      connect(action, &QAction::triggered, this, [this, c = b.command] { (this->*c)(); });
    } else {
      action->setCheckable(true);
    }
    bar->addAction(action);
  }
  button9_ = findChild<QAction*>(QStringLiteral("Button9"));
  button11_ = findChild<QAction*>(QStringLiteral("Button11"));
  // Marking is on from the start; going to the first hit is a choice.
  button9_->setChecked(true);
  host->layout()->addWidget(bar);
  static_cast<QHBoxLayout*>(host->layout())->addStretch(1);
}

QWidget* SearchWindow::BuildForm() {
  auto* page = new QWidget;
  auto* grid = new QGridLayout(page);
  grid->setColumnStretch(1, 1);
  int row = 0;
  combo1_ = Combo(page, "Combo1", 4, false);
  grid->addWidget(combo1_, row++, 0, 1, 4);
  check2_ = new QCheckBox(page);
  check2_->setObjectName(QStringLiteral("Check2"));
  check3_ = new QCheckBox(page);
  check3_->setObjectName(QStringLiteral("Check3"));
  check1_ = new QCheckBox(page);
  check1_->setObjectName(QStringLiteral("Check1"));
  for (QCheckBox* c : {check2_, check3_, check1_}) grid->addWidget(c, row++, 0, 1, 4);

  const auto attribute = [&](const char* label, const char* name) {
    auto* l = new QLabel(page);
    l->setObjectName(QString::fromLatin1(label));
    QComboBox* box = Combo(page, name, 0, true);
    grid->addWidget(l, row, 0);
    grid->addWidget(box, row++, 1, 1, 3);
    return box;
  };
  combo4_ = attribute("Label4", "Combo4");
  combo5_ = attribute("Label5", "Combo5");
  combo6_ = attribute("Label6", "Combo6");

  for (int i = 0; i < 4; ++i) {
    check4_[i] = new QCheckBox(page);
    check4_[i]->setObjectName(QStringLiteral("Check4_%1").arg(i));
    connect(check4_[i], &QCheckBox::toggled, this, [this] { UpdateEnabling(); });
  }
  combo2_[0] = Combo(page, "Combo2_0", 6, false);
  combo2_[1] = Combo(page, "Combo2_1", 0, false);
  combo2_[1]->addItems({QStringLiteral(">"), QStringLiteral("<"), QStringLiteral("=")});
  combo2_[2] = Combo(page, "Combo2_2", 3, false);

  const auto range = [&](QCheckBox* option, const char* from, const char* and_, const char* to,
                         QLineEdit*& fromBox, QLineEdit*& toBox) {
    grid->addWidget(option, row++, 0, 1, 4);
    auto* line = new QHBoxLayout;
    line->setContentsMargins(16, 0, 0, 0);
    fromBox = SmallBox(page, from, 110);
    toBox = SmallBox(page, to, 110);
    auto* l = new QLabel(page);
    l->setObjectName(QString::fromLatin1(and_));
    line->addWidget(fromBox);
    line->addWidget(l);
    line->addWidget(toBox);
    line->addStretch(1);
    grid->addLayout(line, row++, 0, 1, 4);
  };
  const auto spin = [&](const char* name, QLineEdit* box) {
    auto* bar = new QScrollBar(Qt::Vertical, page);
    bar->setObjectName(QString::fromLatin1(name));
    bar->setRange(0, 32767);
    bar->setInvertedAppearance(true);  // the upper arrow counts up
    bar->setFixedHeight(box->sizeHint().height());
    // The box and its bar mirror each other; a text that is no number leaves the bar alone.
    connect(box, &QLineEdit::textChanged, bar, [bar](const QString& text) {
      bool ok = false;
      const int v = text.trimmed().toInt(&ok);
      if (ok && v >= bar->minimum() && v <= bar->maximum()) {
        const QSignalBlocker block(bar);
        bar->setValue(v);
      }
    });
    connect(bar, &QScrollBar::valueChanged, box,
            [box](int v) { box->setText(QString::number(v)); });
    return bar;
  };

  range(check4_[0], "Text6", "Label7", "Text7", text6_, text7_);
  grid->addWidget(check4_[1], row++, 0, 1, 4);
  {
    auto* line = new QHBoxLayout;
    line->setContentsMargins(16, 0, 0, 0);
    text3_ = SmallBox(page, "Text3", 50);
    vscroll2_ = spin("VScroll2", text3_);
    line->addWidget(text3_);
    line->addWidget(vscroll2_);
    line->addWidget(combo2_[0]);
    line->addStretch(1);
    grid->addLayout(line, row++, 0, 1, 4);
  }
  range(check4_[2], "Text1", "Label8", "Text2", text1_, text2_);
  grid->addWidget(check4_[3], row++, 0, 1, 4);
  {
    auto* line = new QHBoxLayout;
    line->setContentsMargins(16, 0, 0, 0);
    text4_ = SmallBox(page, "Text4", 50);
    vscroll3_ = spin("VScroll3", text4_);
    line->addWidget(combo2_[1]);
    line->addWidget(text4_);
    line->addWidget(vscroll3_);
    line->addWidget(combo2_[2]);
    line->addStretch(1);
    grid->addLayout(line, row++, 0, 1, 4);
  }
  grid->setRowStretch(row, 1);
  return page;
}

QWidget* SearchWindow::BuildListsPage() {
  auto* page = new QWidget;
  auto* v = new QVBoxLayout(page);
  const auto list = [&](const char* label, const char* name) {
    auto* l = new QLabel(page);
    l->setObjectName(QString::fromLatin1(label));
    auto* box = new QListWidget(page);
    box->setObjectName(QString::fromLatin1(name));
    v->addWidget(l);
    v->addWidget(box, 1);
    return box;
  };
  indexList_ = list("Label2_1", "ListView2_1");
  indexList_->setSelectionMode(QAbstractItemView::MultiSelection);
  historyList_ = list("Label2_0", "ListView2_0");
  return page;
}

QWidget* SearchWindow::BuildTypesPage() {
  auto* page = new QWidget;
  auto* v = new QVBoxLayout(page);
  listView3_ = new QTreeWidget(page);
  listView3_->setObjectName(QStringLiteral("ListView3"));
  listView3_->setHeaderHidden(true);
  listView3_->setRootIsDecorated(false);
  listView3_->setContextMenuPolicy(Qt::CustomContextMenu);
  connect(listView3_, &QWidget::customContextMenuRequested, this, [this](const QPoint& at) {
    schemeMenu_->popup(listView3_->viewport()->mapToGlobal(at));
  });
  auto* scheme = new QToolButton(page);
  scheme->setObjectName(QStringLiteral("SchemeButton"));
  scheme->setMenu(schemeMenu_);
  scheme->setPopupMode(QToolButton::InstantPopup);
  scheme->setToolButtonStyle(Qt::ToolButtonTextOnly);
  v->addWidget(listView3_, 1);
  v->addWidget(scheme, 0, Qt::AlignLeft);
  return page;
}

void SearchWindow::FillListview() {
  listView3_->clear();
  for (int position = 1; position <= search::kTypePositions; ++position) {
    // Each position is keyed and labelled by the type that names it (the full-text PDF for
    // "pdf").
    const std::string_view key = extract::SearchTypeLabelAt(position)->code;
    auto* item = new QTreeWidgetItem(listView3_);
    item->setData(0, Qt::UserRole, ToQt(key));
    item->setFlags(item->flags() | Qt::ItemIsUserCheckable);
    item->setCheckState(0, Qt::Unchecked);
    item->setIcon(0, TypeIcon(search::IconOfType(key == "pdffull" ? "pdf" : key)));
  }
}

void SearchWindow::ApplyLanguage() {
  ApplyTexts(*this, SearchWindowTexts());
  if (auto* scheme = findChild<QToolButton*>(QStringLiteral("SchemeButton"))) {
    scheme->setText(schemeMenu_->title());
  }
  for (int i = 0; i < listView3_->topLevelItemCount(); ++i) {
    QTreeWidgetItem* item = listView3_->topLevelItem(i);
    const std::string key = FromQt(item->data(0, Qt::UserRole).toString());
    if (const extract::DocumentType* type = extract::FindDocumentType(key)) {
      item->setText(
          0, ToQt(settings::GetLangString(settings::kFileType, type->langKey, type->wizardLabel)));
    } else {
      item->setText(0, ToQt(key));
    }
  }
}

// --- Lists -------------------------------------------------------------------------------------

void SearchWindow::FillIndexList() {
  indexList_->clear();
  for (const IndexChoice& index : indexes_) {
    auto* item = new QListWidgetItem(ToQt(index.title), indexList_);
    item->setIcon(LoadIcon("index-local"));
    item->setToolTip(ToQt(index.descriptorPath));
    item->setSelected(index.selected);
  }
}

void SearchWindow::FillHistoryList() {
  historyList_->clear();
  for (const search::HistoryEntry& entry : ProgramSearchSession().History()) {
    historyList_->addItem(ToQt(search::HistoryItemText(entry, false)));
  }
}

void SearchWindow::FillRecentCombos() {
  const settings::Settings& c = settings::Config();
  const auto fill = [](QComboBox* box, const std::string& list) {
    const QString current = box->currentText();
    box->clear();
    for (const std::string& item : settings::SplitRecentList(list)) box->addItem(ToQt(item));
    box->setEditText(current);
  };
  fill(combo3_, c.RecentSearch);
  fill(combo4_, c.RecentTitle);
  fill(combo5_, c.RecentAuthor);
  fill(combo6_, c.RecentFileName);
}

void SearchWindow::BuildInterface() {
  listView1_->clear();
  rtf1_->ClearDocument();
  for (QLabel* p : panel_) p->clear();
  ShowResults();
  panel_[0]->setText(ToQt(settings::LangString(settings::kSearchFound)) +
                     QString::number(listView1_->topLevelItemCount()));
}

void SearchWindow::ShowResults() {
  listView1_->setSortingEnabled(false);
  listView1_->clear();
  rtf1_->ClearDocument();
  const char sign = DecimalSign();
  QIcon icon;
  QList<QTreeWidgetItem*> items;
  items.reserve(static_cast<qsizetype>(results_.size()));
  for (const search::ResultRow& row : results_) {
    const search::LocationParts parts = search::SplitLocation(row.location, row.type);
    auto* item = new QTreeWidgetItem;
    item->setText(0, ToQt(parts.file));
    item->setText(1, ToQt(row.title));
    item->setText(2, ToQt(row.author));
    item->setText(3, ToQt(row.type));
    item->setText(4, ToQt(row.modified));
    item->setText(5, ToQt(search::SizeText(row.filesize, sign)));
    item->setText(6, ToQt(parts.folder));
    item->setTextAlignment(5, Qt::AlignRight | Qt::AlignVCenter);
    // A type without an icon of its own keeps the icon of the entry before it.
    if (const int n = search::IconOfType(row.type)) icon = TypeIcon(n);
    item->setIcon(0, icon);
    items.push_back(item);
  }
  listView1_->addTopLevelItems(items);
  if (!items.isEmpty()) listView1_->setCurrentItem(items.front());
}

void SearchWindow::RecallHistory(int row) {
  const auto& history = ProgramSearchSession().History();
  if (row < 0 || row >= static_cast<int>(history.size())) return;
  const search::HistoryEntry& entry = history[static_cast<std::size_t>(row)];
  results_ = entry.results;
  combo3_->setEditText(ToQt(entry.text));
  BuildInterface();
  ShowSelectedDocument();
}

void SearchWindow::SortByColumn(int column) {
  // The same column again reverses the order; another column keeps it.
  if (column == sortColumn_) {
    sortOrder_ = sortOrder_ == Qt::AscendingOrder ? Qt::DescendingOrder : Qt::AscendingOrder;
  }
  sortColumn_ = column;
  listView1_->sortItems(column, sortOrder_);
  listView1_->header()->setSortIndicatorShown(true);
  listView1_->header()->setSortIndicator(column, sortOrder_);
}

void SearchWindow::ApplyPreset(int preset) {
  std::array<bool, search::kTypePositions> checks{};
  for (int i = 0; i < search::kTypePositions; ++i) {
    checks[static_cast<std::size_t>(i)] = listView3_->topLevelItem(i)->checkState(0) == Qt::Checked;
  }
  search::ApplyTypePreset(checks, static_cast<search::TypePreset>(preset));
  for (int i = 0; i < search::kTypePositions; ++i) {
    listView3_->topLevelItem(i)->setCheckState(
        0, checks[static_cast<std::size_t>(i)] ? Qt::Checked : Qt::Unchecked);
  }
}

void SearchWindow::UpdateEnabling() {
  text6_->setEnabled(check4_[0]->isChecked());
  text7_->setEnabled(check4_[0]->isChecked());
  for (QWidget* w : {static_cast<QWidget*>(text3_), static_cast<QWidget*>(vscroll2_),
                     static_cast<QWidget*>(combo2_[0])}) {
    w->setEnabled(check4_[1]->isChecked());
  }
  text1_->setEnabled(check4_[2]->isChecked());
  text2_->setEnabled(check4_[2]->isChecked());
  for (QWidget* w : {static_cast<QWidget*>(combo2_[1]), static_cast<QWidget*>(text4_),
                     static_cast<QWidget*>(vscroll3_), static_cast<QWidget*>(combo2_[2])}) {
    w->setEnabled(check4_[3]->isChecked());
  }
}

// --- The form ----------------------------------------------------------------------------------

search::SearchForm SearchWindow::Form() const {
  search::SearchForm f;
  f.searchText = FromQt(combo3_->currentText());
  f.searchType = combo1_->currentIndex();
  f.wholeWord = check2_->isChecked();
  f.searchInFound = check3_->isChecked();
  f.archiveOnly = check1_->isChecked();
  f.title = FromQt(combo4_->currentText());
  f.author = FromQt(combo5_->currentText());
  f.fileName = FromQt(combo6_->currentText());
  f.dateBetween = check4_[0]->isChecked();
  f.dateFrom = FromQt(text6_->text());
  f.dateTo = FromQt(text7_->text());
  f.notEarlier = check4_[1]->isChecked();
  f.notEarlierCount = FromQt(text3_->text());
  f.dateUnit = combo2_[0]->currentIndex();
  f.sizeBetween = check4_[2]->isChecked();
  f.sizeFrom = FromQt(text1_->text());
  f.sizeTo = FromQt(text2_->text());
  f.sizeByCondition = check4_[3]->isChecked();
  f.sizeRelation = combo2_[1]->currentIndex();
  f.sizeValue = FromQt(text4_->text());
  f.sizeUnit = combo2_[2]->currentIndex();
  for (int i = 0; i < search::kTypePositions; ++i) {
    f.types[static_cast<std::size_t>(i)] =
        listView3_->topLevelItem(i)->checkState(0) == Qt::Checked;
  }
  return f;
}

void SearchWindow::SetForm(const search::SearchForm& f) {
  combo3_->setEditText(ToQt(f.searchText));
  check2_->setChecked(f.wholeWord);
  combo1_->setCurrentIndex(std::clamp(f.searchType, 0, 3));
  combo5_->setEditText(ToQt(f.author));
  text6_->setText(ToQt(f.dateFrom));
  text7_->setText(ToQt(f.dateTo));
  text1_->setText(ToQt(f.sizeFrom));
  text2_->setText(ToQt(f.sizeTo));
  combo4_->setEditText(ToQt(f.title));
  combo6_->setEditText(ToQt(f.fileName));
  text3_->setText(ToQt(f.notEarlierCount));
  text4_->setText(ToQt(f.sizeValue));
  combo2_[0]->setCurrentIndex(std::clamp(f.dateUnit, 0, 5));
  combo2_[1]->setCurrentIndex(std::clamp(f.sizeRelation, 0, 2));
  combo2_[2]->setCurrentIndex(std::clamp(f.sizeUnit, 0, 2));
  check4_[0]->setChecked(f.dateBetween);
  check4_[1]->setChecked(f.notEarlier);
  check4_[2]->setChecked(f.sizeBetween);
  check4_[3]->setChecked(f.sizeByCondition);
  for (int i = 0; i < search::kTypePositions; ++i) {
    listView3_->topLevelItem(i)->setCheckState(
        0, f.types[static_cast<std::size_t>(i)] ? Qt::Checked : Qt::Unchecked);
  }
  UpdateEnabling();
}

// --- Searching ---------------------------------------------------------------------------------

void SearchWindow::RunSearch() {
  if (searching_) return;
  const QString cleaned =
      ToQt(search::CleanSearchBox(FromQt(combo3_->currentText()), combo1_->currentIndex()));
  combo3_->setEditText(cleaned);
  listView1_->clear();
  rtf1_->ClearDocument();

  const search::SearchForm form = Form();
  std::vector<search::IndexEntry> selected;
  std::string names;
  for (int i = 0; i < indexList_->count() && i < static_cast<int>(indexes_.size()); ++i) {
    if (!indexList_->item(i)->isSelected()) continue;
    selected.push_back({indexes_[static_cast<std::size_t>(i)].title,
                        indexes_[static_cast<std::size_t>(i)].descriptorPath});
  }

  search::SearchSession& session = ProgramSearchSession();
  session.onMessage = [this](const base::Message& m) { ShowMessageBox(this, m); };
  searching_ = true;
  command2_->setEnabled(false);
  QApplication::setOverrideCursor(Qt::WaitCursor);
  // The search runs on a worker thread; the window keeps painting and moving meanwhile.
  bool ok = false;
  std::string sql;
  const base::DateTimeParts now = base::LocalParts(base::Now());
  std::unique_ptr<QThread> worker(QThread::create([&] {
    ok = session.RunSearch(form, selected, now);
    sql = session.LastSearchSql();
  }));
  QEventLoop loop;
  connect(worker.get(), &QThread::finished, &loop, &QEventLoop::quit);
  worker->start();
  loop.exec(QEventLoop::ExcludeUserInputEvents);
  worker->wait();
  lastSql_ = sql;

  results_ = session.Results();
  sortColumn_ = -1;
  listView1_->header()->setSortIndicatorShown(false);
  ShowResults();
  if (ok && settings::Config().UseHistory && !session.History().empty()) {
    const search::HistoryEntry& entry = session.History().back();
    auto* item = new QListWidgetItem(ToQt(search::HistoryItemText(entry, true)), historyList_);
    historyList_->setCurrentItem(item);
  }
  // The count always tells what the list shows, also after a refused statement.
  panel_[0]->setText(ToQt(settings::LangString(settings::kSearchFound)) +
                     QString::number(listView1_->topLevelItemCount()));
  if (ok) ShowSelectedDocument();
  QApplication::restoreOverrideCursor();
  command2_->setEnabled(true);
  searching_ = false;
  if (ok) FillRecentCombos();
  emit searchFinished();
}

// --- The document view -------------------------------------------------------------------------

const search::ResultRow* SearchWindow::SelectedRow() const {
  QTreeWidgetItem* item = listView1_->currentItem();
  if (!item) {
    const QList<QTreeWidgetItem*> selected = listView1_->selectedItems();
    if (selected.isEmpty()) return nullptr;
    item = selected.front();
  }
  const std::size_t n = search::FindNum(results_, FromQt(item->text(6) + item->text(0)));
  return n == 0 ? nullptr : &results_[n - 1];
}

void SearchWindow::ShowSelectedDocument() {
  if (listView1_->topLevelItemCount() == 0) return;
  const search::ResultRow* row = SelectedRow();
  if (!row) {
    rtf1_->ClearDocument();
    return;
  }
  // The list holds no texts; the selected document's is read from its index now.
  panel_[1]->setText(ToQt(row->title));
  panel_[2]->setText(ToQt(row->location));
  rtf1_->SetDocumentText(search::NormaliseContent(search::ReadContent(*row)));
  const std::string text = FromQt(combo3_->currentText());
  if (!base::TrimView(text).empty() && button9_->isChecked() &&
      combo1_->currentIndex() != search::kQueryLanguage) {
    rtf1_->HiLightText(search::SearchWords(text), check2_->isChecked());
  }
  if (button11_->isChecked()) SelNext();
}

void SearchWindow::SelNext() {
  const std::vector<std::string> words = search::SearchWords(FromQt(combo3_->currentText()));
  if (words.empty()) return;
  const auto hit =
      search::SelNext(rtf1_->Found(), words, rtf1_->SelectionStart(), check2_->isChecked());
  if (hit) {
    rtf1_->Select(*hit);
  } else {
    NextDocument();
  }
}

void SearchWindow::SelPrev() {
  const std::vector<std::string> words = search::SearchWords(FromQt(combo3_->currentText()));
  if (words.empty()) return;
  const auto hit = search::SelPrev(rtf1_->Found(), words, rtf1_->SelectionStart());
  if (hit) {
    rtf1_->Select(*hit);
  } else {
    PreviousDocument();
  }
}

void SearchWindow::NextDocument() {
  const int count = listView1_->topLevelItemCount();
  if (count == 0) return;
  const int i = listView1_->indexOfTopLevelItem(listView1_->currentItem());
  const auto next = search::NextDocumentIndex(static_cast<std::size_t>(std::max(i, 0) + 1),
                                              static_cast<std::size_t>(count));
  listView1_->clearSelection();
  listView1_->setCurrentItem(listView1_->topLevelItem(static_cast<int>(next) - 1));
  ShowSelectedDocument();
}

void SearchWindow::PreviousDocument() {
  const int count = listView1_->topLevelItemCount();
  if (count == 0) return;
  const int i = listView1_->indexOfTopLevelItem(listView1_->currentItem());
  const auto previous = search::PreviousDocumentIndex(static_cast<std::size_t>(std::max(i, 0) + 1),
                                                      static_cast<std::size_t>(count));
  listView1_->clearSelection();
  listView1_->setCurrentItem(listView1_->topLevelItem(static_cast<int>(previous) - 1));
  ShowSelectedDocument();
}

void SearchWindow::FindAgain() {
  const std::string text = FromQt(combo3_->currentText());
  if (text.empty()) return;
  const auto at = rtf1_->Found().Find(text, rtf1_->SelectionStart() + 1, false);
  if (!at) return;
  rtf1_->Select({*at, search::FoundText(text).size()});
  rtf1_->setFocus();
}

void SearchWindow::OpenSelectedDocument() {
  if (listView1_->topLevelItemCount() == 0) return;
  QTreeWidgetItem* item = listView1_->currentItem();
  if (!item) return;
  const std::string location = FromQt(item->text(6) + item->text(0));
  const search::OpenTarget target = search::OpenTargetOf(location, FromQt(item->text(3)));
  if (target.kind == search::OpenTarget::kMailProgram) {
    // No mail program can be pointed at one message: the mailbox's folder is opened.
    const std::size_t cut = location.find("/<");
    const std::string mailbox = cut == std::string::npos
                                    ? search::SplitLocation(location, target.type).folder
                                    : location.substr(0, cut);
    ShellOpen(this, FromQt(QFileInfo(ToQt(mailbox)).absolutePath()));
    return;
  }
  ShellOpen(this, target.path);
}

std::vector<search::ResultRow> SearchWindow::RowsInListOrder() const {
  std::vector<search::ResultRow> rows;
  for (int i = 0; i < listView1_->topLevelItemCount(); ++i) {
    const QTreeWidgetItem* item = listView1_->topLevelItem(i);
    const std::size_t n = search::FindNum(results_, FromQt(item->text(6) + item->text(0)));
    if (n > 0) rows.push_back(results_[n - 1]);
  }
  return rows;
}

// --- Saved searches, report, builder, options -----------------------------------------------

void SearchWindow::SaveSearch(const std::string& fileName) {
  try {
    search::SaveSearch(fileName, Form());
  } catch (const std::exception& e) {
    ShowMessageBox(this, {e.what(), {}, base::MessageIcon::Error});
  }
}

void SearchWindow::OpenSearch(const std::string& fileName) {
  search::SearchForm loaded = search::OpenSearch(fileName);
  // The options this file does not keep stay as they are.
  const search::SearchForm current = Form();
  loaded.searchInFound = current.searchInFound;
  loaded.archiveOnly = current.archiveOnly;
  SetForm(loaded);
  // Choosing the query language in the list opens the builder, also when a file chooses it.
  if (loaded.searchType == search::kQueryLanguage) ShowQueryBuilder();
}

namespace {

QString QueryFilter() {
  return ToQt(settings::LangString(settings::kSearchQueryFileFilter)) + QStringLiteral(" (*.zyq)");
}

}  // namespace

void SearchWindow::SaveQueryDialog() {
  QFileDialog dialog(this, ToQt(CaptionText(SearchText("save_menu"))),
                     ToQt(settings::Config().IndexFolder), QueryFilter());
  dialog.setObjectName(QStringLiteral("CommonDialog1"));
  dialog.setAcceptMode(QFileDialog::AcceptSave);
  if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty()) return;
  SaveSearch(FromQt(dialog.selectedFiles().front()));
}

void SearchWindow::LoadQueryDialog() {
  QFileDialog dialog(this, ToQt(CaptionText(SearchText("load_menu"))),
                     ToQt(settings::Config().IndexFolder), QueryFilter());
  dialog.setObjectName(QStringLiteral("CommonDialog1"));
  dialog.setFileMode(QFileDialog::ExistingFile);
  if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty()) return;
  OpenSearch(FromQt(dialog.selectedFiles().front()));
}

void SearchWindow::ShowReport() {
  ReportDialog dialog(RowsInListOrder(), this);
  dialog.exec();
}

void SearchWindow::ShowQueryBuilder() {
  QueryBuilderDialog dialog(FromQt(combo3_->currentText()), this);
  if (dialog.exec() == QDialog::Accepted) combo3_->setEditText(ToQt(dialog.HandedOver()));
}

void SearchWindow::ShowOptions() {
  {
    OptionsDialog dialog(this);
    dialog.exec();
  }
  // A new language and new colours show at once; size and columns stay as they are.
  ApplyLanguage();
  LoadFormSize(true);
}

// --- Layout ------------------------------------------------------------------------------------

void SearchWindow::LoadFormSize(bool onlyAppearance) {
  if (!onlyAppearance) {
    layout_ = settings::LoadSearchWindowLayout(settings::ConfigIniPath());
    layoutState_ = layout_.WindowState == settings::kWindowMaximized ? settings::kWindowMaximized
                                                                     : settings::kWindowNormal;
    resize(std::max(Px(layout_.Width), minimumWidth()),
           std::max(Px(layout_.Height), minimumHeight()));
    move(Px(layout_.Left), Px(layout_.Top));
    if (layout_.WindowState == settings::kWindowMaximized) {
      setWindowState(windowState() | Qt::WindowMaximized);
    } else if (layout_.WindowState == settings::kWindowNormal) {
      setWindowState(windowState() & ~(Qt::WindowMaximized | Qt::WindowMinimized));
    }
    if (layout_.WindowState == settings::kWindowMaximized ||
        layout_.WindowState == settings::kWindowNormal) {
      ApplyColumnWidths(layout_.ColumnWidths());
    }
    mainSplitter_->setSizes({Px(3900), std::max(width() - Px(3900), Px(2000))});
    layout()->activate();
    UpdateSplitterLimits();
    const int total = splitter_->height() > 0 ? splitter_->height() : Px(layout_.Height);
    const int list = std::max(Px(layout_.ListHeight), 1);
    splitter_->setSizes({list, std::max(total - list, 1)});
  }
  const settings::Settings& c = settings::Config();
  ViewAppearance a;
  a.font = QFont(ToQt(c.SimpleTextFontName), std::max(c.SimpleTextFontSize, 1));
  a.background = SettingColor(c.SimpleTextBackColor);
  a.text = SettingColor(c.SimpleTextColor);
  a.found = SettingColor(c.FoundTextColor);
  a.foundBold = c.FoundTextBold;
  a.foundUnderline = c.FoundTextUnderLine;
  rtf1_->SetAppearance(a);
  QPalette p = listView1_->palette();
  p.setColor(QPalette::Base, a.background);
  p.setColor(QPalette::Text, a.text);
  listView1_->setPalette(p);
  text7_->setText(ToQt(base::FormatUserDate(base::LocalParts(base::Now()))));
}

void SearchWindow::UpdateSplitterLimits() {
  const int listTop = splitter_->mapTo(this, QPoint(0, 0)).y();
  listView1_->setMinimumHeight(std::max(Px(kSplitterTopLimit) - listTop, Px(300)));
  const int splitterBottom = listTop + splitter_->height();
  rtf1_->setMinimumHeight(
      std::max(splitterBottom - (height() - Px(kSplitterBottomLimit)), Px(300)));
}

void SearchWindow::resizeEvent(QResizeEvent* event) {
  QDialog::resizeEvent(event);
  UpdateSplitterLimits();
}

void SearchWindow::ApplyColumnWidths(const std::vector<std::int32_t>& twips) {
  for (std::size_t i = 0; i < twips.size() && i < kColumns; ++i) {
    listView1_->setColumnWidth(static_cast<int>(i), Px(twips[i]));
  }
}

std::vector<std::int32_t> SearchWindow::CurrentColumnWidths() const {
  std::vector<std::int32_t> widths;
  for (int i = 0; i < kColumns; ++i) widths.push_back(Twips(listView1_->columnWidth(i)));
  return widths;
}

void SearchWindow::changeEvent(QEvent* event) {
  QDialog::changeEvent(event);
  if (event->type() != QEvent::WindowStateChange || isMinimized()) return;
  // Normal and maximised windows keep their own column widths.
  const int state = isMaximized() ? settings::kWindowMaximized : settings::kWindowNormal;
  if (state == layoutState_) return;
  ApplyColumnWidths(layout_.SwitchColumnWidths(layoutState_, state, CurrentColumnWidths()));
  layoutState_ = state;
}

void SearchWindow::SaveLayout() {
  settings::WindowLayout l = layout_;
  l.WindowState = isMinimized()   ? settings::kWindowMinimized
                  : isMaximized() ? settings::kWindowMaximized
                                  : settings::kWindowNormal;
  l.ListHeight = Twips(listView1_->height());
  if (l.WindowState == settings::kWindowNormal) {
    l.Width = Twips(width());
    l.Height = Twips(height());
    l.Top = Twips(y());
    l.Left = Twips(x());
    l.ColumnNormalWidth = CurrentColumnWidths();
  } else if (l.WindowState == settings::kWindowMaximized) {
    l.ColumnMaxWidth = CurrentColumnWidths();
  }
  try {
    settings::SaveSearchWindowLayout(l, settings::ConfigIniPath());
  } catch (const std::exception&) {
    // A read-only program folder must not keep the window from closing.
  }
}

void SearchWindow::done(int result) {
  if (searching_) return;  // the search finishes first; its rows would have nowhere to go
  if (!layoutSaved_) {
    SaveLayout();
    layoutSaved_ = true;
  }
  rtf1_->ClearDocument();
  QDialog::done(result);
}

bool SearchWindow::eventFilter(QObject* watched, QEvent* event) {
  if (watched == listView1_) {
    if (event->type() == QEvent::KeyPress) {
      const auto* key = static_cast<QKeyEvent*>(event);
      if (key->key() == Qt::Key_Return || key->key() == Qt::Key_Enter) {
        OpenSelectedDocument();
        return true;
      }
    } else if (event->type() == QEvent::KeyRelease) {
      const auto* key = static_cast<QKeyEvent*>(event);
      if ((key->key() == Qt::Key_Up || key->key() == Qt::Key_Down) && !key->isAutoRepeat()) {
        ShowSelectedDocument();
      }
    }
  }
  return QDialog::eventFilter(watched, event);
}

}  // namespace zyl::ui
