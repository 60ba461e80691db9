#include "ui/OptionsDialog.h"

#include <QApplication>
#include <QCheckBox>
#include <QColorDialog>
#include <QComboBox>
#include <QDialogButtonBox>
#include <QFileDialog>
#include <QFontDatabase>
#include <QFrame>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPainter>
#include <QPushButton>
#include <QScrollBar>
#include <QTabWidget>
#include <QTreeWidget>
#include <QVBoxLayout>
#include <algorithm>

#include "base/ProgramFolder.h"
#include "settings/Config.h"
#include "settings/IniFile.h"
#include "settings/Settings.h"
#include "ui/ApplyTexts.h"
#include "ui/IndexManagerWindow.h"
#include "ui/OptionWindowTexts.h"
#include "ui/PlatformServices.h"
#include "ui/Twips.h"

namespace zyl::ui {

namespace {

// Size of the dialog (twips).
constexpr int kWidth = 7800;
constexpr int kHeight = 6000;
// Range of the list length's scroll bar.
constexpr int kMinListLength = 1;
constexpr int kMaxListLength = 99;
constexpr int kFontSizes[] = {8, 9, 10, 11, 12, 14, 16, 18, 20, 22, 24, 26, 28, 36, 48, 72};

// Stored colours are red + green * 256 + blue * 65536.
QColor ToColor(std::int32_t value) {
  return QColor(value & 0xFF, (value >> 8) & 0xFF, (value >> 16) & 0xFF);
}
std::int32_t FromColor(const QColor& color) {
  return color.red() | (color.green() << 8) | (color.blue() << 16);
}

template <typename W>
W* Named(W* widget, const char* name) {
  widget->setObjectName(QString::fromLatin1(name));
  return widget;
}

QPushButton* BrowseButton(const char* name) {
  auto* button = Named(new QPushButton(QStringLiteral("...")), name);
  button->setFixedWidth(button->fontMetrics().horizontalAdvance(QStringLiteral("....")) + 16);
  return button;
}

void SetTextColor(QLabel* label, const QColor& text, const QColor& background) {
  QPalette palette = label->palette();
  palette.setColor(QPalette::WindowText, text);
  palette.setColor(QPalette::Window, background);
  label->setPalette(palette);
  label->setAutoFillBackground(true);
}

}  // namespace

OptionsDialog::OptionsDialog(QWidget* parent) : QDialog(parent) {
  setObjectName(QStringLiteral("frmOption"));
  setModal(true);
  auto* layout = new QVBoxLayout(this);
  tabs_ = Named(new QTabWidget, "SSTab1");
  layout->addWidget(tabs_);
  for (int i = 0; i < 4; ++i) tabs_->addTab(new QWidget, QString());
  BuildGeneralPage(tabs_->widget(0));
  BuildLanguagePage(tabs_->widget(1));
  BuildViewPage(tabs_->widget(2));
  BuildArchiverPage(tabs_->widget(3));

  auto* buttons = new QHBoxLayout;
  auto* help = Named(new QPushButton, "Command7");
  auto* ok = Named(new QPushButton, "Command1");
  auto* cancel = Named(new QPushButton, "Command2");
  ok->setDefault(true);
  buttons->addWidget(help);
  buttons->addStretch();
  buttons->addWidget(ok);
  buttons->addWidget(cancel);
  layout->addLayout(buttons);
  connect(ok, &QPushButton::clicked, this, &OptionsDialog::Confirm);
  connect(cancel, &QPushButton::clicked, this, &OptionsDialog::reject);
  connect(help, &QPushButton::clicked, this, [this] { ShowHelp(this, kHelpOptionsDialog); });

  setMinimumSize(Px(kWidth), Px(kHeight));
  ApplyLanguage();
  LoadValues();
}

OptionsDialog::~OptionsDialog() = default;

int OptionsDialog::Px(int twips) const {
  return TwipsToPixels(twips, logicalDpiY());
}

// --- Pages ---------------------------------------------------------------------------------------

void OptionsDialog::BuildGeneralPage(QWidget* page) {
  auto* grid = new QGridLayout(page);
  text1_ = Named(new QLineEdit, "Text1");
  text2_ = Named(new QLineEdit, "Text2");
  text4_ = Named(new QLineEdit, "Text4");
  text3_ = Named(new QLineEdit, "Text3");
  text5_ = Named(new QLineEdit, "Text5");
  auto* command3 = BrowseButton("Command3");
  auto* command8 = BrowseButton("Command8");
  auto* command6 = BrowseButton("Command6");
  grid->addWidget(Named(new QLabel, "Label1"), 0, 0);
  grid->addWidget(text1_, 0, 1, 1, 3);
  grid->addWidget(command3, 0, 4);
  grid->addWidget(Named(new QLabel, "Label2"), 1, 0);
  grid->addWidget(text2_, 1, 1, 1, 3);
  grid->addWidget(command8, 1, 4);
  grid->addWidget(Named(new QLabel, "Label4"), 2, 0);
  grid->addWidget(text4_, 2, 1, 1, 3);
  grid->addWidget(command6, 2, 4);
  grid->addWidget(Named(new QLabel, "Label5"), 3, 0);
  text3_->setMaximumWidth(Px(1000));
  grid->addWidget(text3_, 3, 1);

  auto* length = new QHBoxLayout;
  text5_->setMaximumWidth(Px(600));
  scroll1_ = Named(new QScrollBar(Qt::Vertical), "VScroll1");
  scroll1_->setRange(kMinListLength, kMaxListLength);
  // Up raises the number, as on a spin box.
  scroll1_->setInvertedControls(false);
  scroll1_->setInvertedAppearance(true);
  scroll1_->setFixedHeight(text5_->sizeHint().height());
  length->addWidget(text5_);
  length->addWidget(scroll1_);
  length->addWidget(Named(new QLabel, "Label7"));
  length->addStretch();
  grid->addWidget(Named(new QLabel, "Label6"), 4, 0);
  grid->addLayout(length, 4, 1, 1, 4);
  for (int i = 0; i < 4; ++i) {
    check_[i] = Named(new QCheckBox, ("Check" + std::to_string(i + 1)).c_str());
    grid->addWidget(check_[i], 5 + i, 0, 1, 5);
  }
  grid->setRowStretch(9, 1);
  grid->setColumnStretch(3, 1);

  connect(command3, &QPushButton::clicked, this, &OptionsDialog::ChooseIndexFolder);
  connect(command8, &QPushButton::clicked, this, [this] { ChooseTemplate(text2_); });
  connect(command6, &QPushButton::clicked, this, [this] { ChooseTemplate(text4_); });
  connect(scroll1_, &QScrollBar::valueChanged, this, [this](int value) {
    if (settings::WholeNumber(FromQt(text5_->text())) != value) {
      text5_->setText(QString::number(value));
    }
  });
  // A text that is no number, or one out of the bar's range, leaves the bar where it is.
  connect(text5_, &QLineEdit::textChanged, this, [this](const QString& text) {
    const auto value = settings::WholeNumber(FromQt(text));
    if (value && *value >= scroll1_->minimum() && *value <= scroll1_->maximum()) {
      scroll1_->setValue(*value);
    }
  });
}

void OptionsDialog::BuildLanguagePage(QWidget* page) {
  auto* layout = new QVBoxLayout(page);
  list1_ = Named(new QListWidget, "List1");
  auto* apply = Named(new QPushButton, "Command10");
  layout->addWidget(Named(new QLabel, "Label13"));
  layout->addWidget(list1_);
  auto* row = new QHBoxLayout;
  row->addStretch();
  row->addWidget(apply);
  layout->addLayout(row);
  connect(apply, &QPushButton::clicked, this, &OptionsDialog::ApplySelectedLanguage);
}

void OptionsDialog::BuildViewPage(QWidget* page) {
  auto* layout = new QGridLayout(page);
  list2_ = Named(new QListWidget, "List2");
  list2_->addItem(QString());
  list2_->addItem(QString());
  list2_->setMaximumWidth(Px(2200));
  layout->addWidget(list2_, 0, 0, 2, 1);

  auto* controls = new QGridLayout;
  combo1_ = Named(new QComboBox, "Combo1");
  combo2_ = Named(new QComboBox, "Combo2");
  label10_ = Named(new QLabel, "Label10");
  picker1_ = Named(new QPushButton, "ColorPicker1");
  picker2_ = Named(new QPushButton, "ColorPicker2");
  check_[4] = Named(new QCheckBox, "Check5");
  check_[5] = Named(new QCheckBox, "Check6");
  controls->addWidget(Named(new QLabel, "Label8"), 0, 0);
  controls->addWidget(combo1_, 0, 1, 1, 3);
  controls->addWidget(Named(new QLabel, "Label9"), 1, 0);
  controls->addWidget(combo2_, 1, 1);
  controls->addWidget(label10_, 2, 0);
  controls->addWidget(picker1_, 2, 1);
  controls->addWidget(Named(new QLabel, "Label12"), 3, 0);
  controls->addWidget(picker2_, 3, 1);
  controls->addWidget(check_[4], 4, 0, 1, 2);
  controls->addWidget(check_[5], 5, 0, 1, 2);
  controls->setColumnStretch(3, 1);
  layout->addLayout(controls, 0, 1);

  auto* frame = Named(new QGroupBox, "Frame1");
  auto* frameLayout = new QVBoxLayout(frame);
  picture3_ = Named(new QFrame, "Picture3");
  picture3_->setFrameShape(QFrame::StyledPanel);
  picture3_->setAutoFillBackground(true);
  picture3_->setMinimumHeight(Px(900));
  auto* sample = new QVBoxLayout(picture3_);
  label11_ = Named(new QLabel, "Label11");
  label3_ = Named(new QLabel, "Label3");
  sample->addWidget(label11_);
  sample->addWidget(label3_);
  sample->addStretch();
  frameLayout->addWidget(picture3_);
  layout->addWidget(frame, 1, 1);
  layout->setColumnStretch(1, 1);
  layout->setRowStretch(1, 1);

  connect(list2_, &QListWidget::currentRowChanged, this, &OptionsDialog::SelectStyle);
  connect(combo1_, &QComboBox::currentTextChanged, this, [this](const QString& name) {
    style_.simpleTextFontName = FromQt(name);
    ApplyChanges();
  });
  connect(combo2_, &QComboBox::currentTextChanged, this, [this](const QString& size) {
    if (const auto value = settings::WholeNumber(FromQt(size)); value && *value > 0) {
      style_.simpleTextFontSize = *value;
    }
    ApplyChanges();
  });
  connect(picker1_, &QPushButton::clicked, this, [this] { PickColor(true); });
  connect(picker2_, &QPushButton::clicked, this, [this] { PickColor(false); });
  for (QCheckBox* box : {check_[4], check_[5]}) {
    connect(box, &QCheckBox::toggled, this, [this] {
      style_.foundTextBold = check_[4]->isChecked();
      style_.foundTextUnderLine = check_[5]->isChecked();
      ApplyChanges();
    });
  }
}

void OptionsDialog::BuildArchiverPage(QWidget* page) {
  auto* layout = new QGridLayout(page);
  listView1_ = Named(new QTreeWidget, "ListView1");
  listView1_->setColumnCount(3);
  listView1_->setRootIsDecorated(false);
  listView1_->setAllColumnsShowFocus(true);
  listView1_->header()->setStretchLastSection(true);
  listView1_->setColumnWidth(0, Px(1600));
  listView1_->setColumnWidth(1, Px(2400));
  text6_ = Named(new QLineEdit, "Text6");
  text7_ = Named(new QLineEdit, "Text7");
  auto* command4 = BrowseButton("Command4");
  layout->addWidget(listView1_, 0, 0, 1, 3);
  layout->addWidget(Named(new QLabel, "Label14"), 1, 0);
  layout->addWidget(text6_, 1, 1);
  layout->addWidget(command4, 1, 2);
  layout->addWidget(Named(new QLabel, "Label15"), 2, 0);
  layout->addWidget(text7_, 2, 1, 1, 2);
  layout->setColumnStretch(1, 1);

  connect(listView1_, &QTreeWidget::currentItemChanged, this, &OptionsDialog::SelectArchiver);
  // Edits go straight into the selected row.
  connect(text6_, &QLineEdit::textEdited, this, [this](const QString& text) {
    if (QTreeWidgetItem* item = listView1_->currentItem()) item->setText(1, text);
  });
  connect(text7_, &QLineEdit::textEdited, this, [this](const QString& text) {
    if (QTreeWidgetItem* item = listView1_->currentItem()) item->setText(2, text);
  });
  connect(command4, &QPushButton::clicked, this, &OptionsDialog::ChooseArchiverProgram);
}

// --- Loading -------------------------------------------------------------------------------------

void OptionsDialog::ApplyLanguage() {
  ApplyTexts(*this, OptionWindowTexts());
}

void OptionsDialog::LoadValues() {
  const settings::Settings& config = settings::Config();
  style_ = settings::EntriesFromSettings(config);
  text1_->setText(ToQt(style_.indexFolder));
  text2_->setText(ToQt(style_.htmlTemplate));
  text3_->setText(ToQt(style_.port));
  text4_->setText(ToQt(style_.searchIndexFile));
  text5_->setText(ToQt(style_.listLength));
  check_[0]->setChecked(style_.forceCodePage);
  check_[1]->setChecked(style_.htmlOptimization);
  check_[2]->setChecked(style_.useHistory);
  check_[3]->setChecked(style_.useInternalHtmlParser);
  check_[4]->setChecked(style_.foundTextBold);
  check_[5]->setChecked(style_.foundTextUnderLine);
  LoadLanguageList();
  LoadFonts();
  list2_->setCurrentRow(0);
  SelectStyle(0);
  DrawViewInterface();
  LoadArcProp();
}

void OptionsDialog::LoadLanguageList() {
  list1_->clear();
  const std::string current(settings::FileNamePart(settings::Config().Lang));
  for (const std::string& name : settings::LanguageFiles(base::ProgramFolder())) {
    list1_->addItem(ToQt(name));
    if (name == current) list1_->setCurrentRow(list1_->count() - 1);
  }
}

void OptionsDialog::LoadFonts() {
  const QSignalBlocker block1(combo1_);
  const QSignalBlocker block2(combo2_);
  QStringList families = QFontDatabase::families();
  const QString font = ToQt(style_.simpleTextFontName);
  // The font in force stays choosable even when this screen lacks it.
  if (!font.isEmpty() && !families.contains(font)) families.append(font);
  families.sort(Qt::CaseInsensitive);
  combo1_->addItems(families);
  combo1_->setCurrentText(font);
  std::vector<int> sizes(std::begin(kFontSizes), std::end(kFontSizes));
  if (style_.simpleTextFontSize > 0 &&
      std::find(sizes.begin(), sizes.end(), style_.simpleTextFontSize) == sizes.end()) {
    sizes.insert(std::upper_bound(sizes.begin(), sizes.end(), style_.simpleTextFontSize),
                 style_.simpleTextFontSize);
  }
  for (int size : sizes) combo2_->addItem(QString::number(size));
  combo2_->setCurrentText(QString::number(style_.simpleTextFontSize));
}

void OptionsDialog::LoadArcProp() {
  listView1_->clear();
  const auto rows = settings::ArchiverRows();
  for (std::size_t i = 0; i < rows.size(); ++i) {
    auto* item = new QTreeWidgetItem(listView1_);
    item->setText(0, ToQt(rows[i].label));
    item->setText(1, ToQt(style_.archiverPaths[i]));
    item->setText(2, ToQt(style_.archiverCommands[i]));
    item->setData(0, Qt::UserRole, ToQt(rows[i].key));
  }
  listView1_->setCurrentItem(listView1_->topLevelItem(0));
}

// --- The view page -------------------------------------------------------------------------------

void OptionsDialog::SelectStyle(int row) {
  const bool plain = row != 1;
  label10_->setVisible(plain);
  picker1_->setEnabled(plain);
  combo1_->setEnabled(plain);
  combo2_->setEnabled(plain);
  check_[4]->setEnabled(!plain);
  check_[5]->setEnabled(!plain);
  ShowColor(picker1_, style_.simpleTextBackColor);
  ShowColor(picker2_, plain ? style_.simpleTextColor : style_.foundTextColor);
  DrawViewInterface();
}

void OptionsDialog::ApplyChanges() {
  DrawViewInterface();
}

void OptionsDialog::DrawViewInterface() {
  const QColor background = ToColor(style_.simpleTextBackColor);
  QPalette palette = picture3_->palette();
  palette.setColor(QPalette::Window, background);
  picture3_->setPalette(palette);
  QFont font(ToQt(style_.simpleTextFontName));
  if (style_.simpleTextFontSize > 0) font.setPointSize(style_.simpleTextFontSize);
  label11_->setFont(font);
  SetTextColor(label11_, ToColor(style_.simpleTextColor), background);
  font.setBold(style_.foundTextBold);
  font.setUnderline(style_.foundTextUnderLine);
  label3_->setFont(font);
  SetTextColor(label3_, ToColor(style_.foundTextColor), background);
}

void OptionsDialog::ShowColor(QPushButton* picker, std::int32_t color) {
  QPixmap swatch(Px(900), Px(200));
  swatch.fill(ToColor(color));
  // A frame keeps a white swatch visible on a light button.
  QPainter painter(&swatch);
  painter.setPen(palette().color(QPalette::Mid));
  painter.drawRect(swatch.rect().adjusted(0, 0, -1, -1));
  picker->setIcon(QIcon(swatch));
  picker->setIconSize(swatch.size());
}

void OptionsDialog::PickColor(bool background) {
  const bool plain = list2_->currentRow() != 1;
  std::int32_t& field = background ? style_.simpleTextBackColor
                        : plain    ? style_.simpleTextColor
                                   : style_.foundTextColor;
  QColorDialog dialog(ToColor(field), this);
  dialog.setObjectName(QStringLiteral("ColorDialog"));
  if (dialog.exec() != QDialog::Accepted) return;
  field = FromColor(dialog.selectedColor());
  ShowColor(background ? picker1_ : picker2_, field);
  ApplyChanges();
}

// --- Browsers ------------------------------------------------------------------------------------

void OptionsDialog::ChooseIndexFolder() {
  const std::string folder = BrowseForFolder(this, settings::LangString(kOptionFolderPrompt));
  if (!folder.empty()) text1_->setText(ToQt(folder));
  if (!text1_->text().endsWith(QLatin1Char('/'))) text1_->setText(text1_->text() + '/');
}

void OptionsDialog::ChooseTemplate(QLineEdit* box) {
  QFileDialog dialog(this);
  dialog.setObjectName(QStringLiteral("CommonDialog1"));
  dialog.setFileMode(QFileDialog::ExistingFile);
  dialog.setNameFilters({ToQt(settings::LangString(kOptionWebPagesFilter)) + " (*.htm*)",
                         ToQt(settings::LangString(kOptionAllFilesFilter)) + " (*)"});
  if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty()) return;
  box->setText(dialog.selectedFiles().front());
}

void OptionsDialog::ChooseArchiverProgram() {
  // Programs here carry no extension; any file may be one.
  QFileDialog dialog(this);
  dialog.setObjectName(QStringLiteral("CommonDialog1"));
  dialog.setFileMode(QFileDialog::ExistingFile);
  dialog.setNameFilter(ToQt(settings::LangString(kOptionProgramsFilter)) + " (*)");
  if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty()) return;
  text6_->setText(dialog.selectedFiles().front());
  if (QTreeWidgetItem* item = listView1_->currentItem()) item->setText(1, text6_->text());
}

void OptionsDialog::SelectArchiver() {
  QTreeWidgetItem* item = listView1_->currentItem();
  text6_->setText(item ? item->text(1) : QString());
  text7_->setText(item ? item->text(2) : QString());
}

// --- Confirm and cancel --------------------------------------------------------------------------

settings::OptionEntries OptionsDialog::Entries() const {
  settings::OptionEntries e = style_;
  e.indexFolder = FromQt(text1_->text());
  e.htmlTemplate = FromQt(text2_->text());
  e.port = FromQt(text3_->text());
  e.searchIndexFile = FromQt(text4_->text());
  e.listLength = FromQt(text5_->text());
  e.forceCodePage = check_[0]->isChecked();
  e.htmlOptimization = check_[1]->isChecked();
  e.useHistory = check_[2]->isChecked();
  e.useInternalHtmlParser = check_[3]->isChecked();
  e.foundTextBold = check_[4]->isChecked();
  e.foundTextUnderLine = check_[5]->isChecked();
  const QListWidgetItem* language = list1_->currentItem();
  e.language = language && language->isSelected() ? FromQt(language->text()) : std::string();
  for (int i = 0; i < listView1_->topLevelItemCount(); ++i) {
    e.archiverPaths[i] = FromQt(listView1_->topLevelItem(i)->text(1));
    e.archiverCommands[i] = FromQt(listView1_->topLevelItem(i)->text(2));
  }
  return e;
}

void OptionsDialog::Confirm() {
  settings::Settings confirmed = settings::ApplyEntries(settings::Config(), Entries());
  if (confirmed.Lang.empty() && languageApplied_) {
    // "Применить" switched the language in use; with nothing selected the stored one stays.
    settings::Config().Lang = languageInForce_;
  }
  try {
    settings::SaveConfig(confirmed);
  } catch (const settings::IniWriteError& error) {
    ShowMessageBox(this, {error.what(), {}, base::MessageIcon::Error});
    return;
  }
  languageApplied_ = false;
  ApplyLanguageToOpenWindows();
  accept();
}

void OptionsDialog::ApplySelectedLanguage() {
  const QListWidgetItem* language = list1_->currentItem();
  if (!language || !language->isSelected()) return;
  if (!languageApplied_) languageInForce_ = settings::Config().Lang;
  languageApplied_ = true;
  settings::Config().Lang = base::InProgramFolder(FromQt(language->text()));
  ApplyLanguageToOpenWindows();
}

void OptionsDialog::reject() {
  if (languageApplied_) {
    settings::Config().Lang = languageInForce_;
    languageApplied_ = false;
    ApplyLanguageToOpenWindows();
  }
  QDialog::reject();
}

void ApplyLanguageToOpenWindows() {
  for (QWidget* window : QApplication::topLevelWidgets()) {
    const QString name = window->objectName().toLower();
    if (name == QLatin1String("frmwelcome2")) {
      if (auto* manager = qobject_cast<IndexManagerWindow*>(window)) manager->ApplyLanguage();
    } else if (name == QLatin1String("frmoption") || name == QLatin1String("frmsearch")) {
      // The search window offers the same invokable ApplyLanguage.
      QMetaObject::invokeMethod(window, "ApplyLanguage", Qt::DirectConnection);
    }
  }
}

}  // namespace zyl::ui
