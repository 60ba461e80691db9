#include "ui/OptionsDialog.h"

#include <gtest/gtest.h>

#include <QCheckBox>
#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QMenu>
#include <QPushButton>
#include <QScrollBar>
#include <QTabWidget>
#include <QTest>
#include <QTreeWidget>
#include <filesystem>

#include "base/Strings.h"
#include "settings/OptionEntries.h"
#include "support/ManagerFixture.h"
#include "support/Widgets.h"
#include "ui/IndexManagerWindow.h"
#include "ui/OptionWindowTexts.h"

namespace zyl::ui {
namespace {

using test::Find;

class OptionsDialogTest : public test::ManagerFixture {
 protected:
  static void Type(QWidget& dialog, const char* name, const QString& text) {
    auto* box = Find<QLineEdit>(dialog, name);
    box->setFocus();
    box->selectAll();
    // The test library types ASCII keys only.
    bool ascii = true;
    for (const QChar c : text) ascii = ascii && c.unicode() < 128;
    if (ascii) {
      QTest::keyClicks(box, text);
    } else {
      box->setText(text);
    }
  }
  static void Click(QWidget& dialog, const char* name) { Find<QPushButton>(dialog, name)->click(); }
  std::string Server(std::string_view key) const {
    return settings::ReadIniValue("General", key, "", settings::ServerIniPath());
  }
};

// The captions come from the dialog's text table (checked against the language files with every
// window's texts); the controls show the settings in force.
TEST_F(OptionsDialogTest, ShowsTheSettingsOnItsPages) {
  settings::Config().Lang = home_.file("russian.lng");
  OptionsDialog dialog;
  EXPECT_EQ(Find<QTabWidget>(dialog, "SSTab1")->count(), 4);

  const settings::Settings& s = settings::Config();
  EXPECT_EQ(Find<QLineEdit>(dialog, "Text1")->text().toStdString(), s.IndexFolder);
  EXPECT_EQ(Find<QLineEdit>(dialog, "Text3")->text(), QString::number(s.localport));
  EXPECT_EQ(Find<QLineEdit>(dialog, "Text5")->text(), QString::number(s.QueryRecentLenght));
  EXPECT_EQ(Find<QScrollBar>(dialog, "VScroll1")->value(), s.QueryRecentLenght);
  EXPECT_EQ(Find<QCheckBox>(dialog, "Check4")->isChecked(), s.UseInternalHtmlParser);
  // Both shipped language files are offered, the one in use selected.
  auto* list1 = Find<QListWidget>(dialog, "List1");
  ASSERT_EQ(list1->count(), 2);
  EXPECT_EQ(list1->item(0)->text(), "english.lng");
  EXPECT_EQ(list1->currentItem()->text(), "russian.lng");
  EXPECT_EQ(Find<QComboBox>(dialog, "Combo1")->currentText().toStdString(), s.SimpleTextFontName);
  auto* archivers = Find<QTreeWidget>(dialog, "ListView1");
  ASSERT_EQ(archivers->topLevelItemCount(), 6);
  EXPECT_EQ(archivers->topLevelItem(2)->text(0), "LHA (*.lzh)");
  EXPECT_EQ(archivers->topLevelItem(0)->text(1).toStdString(), s.ArjPath);
}

// The rules of the entries are tested with them; here the boxes reach them, and both files and
// the record follow what was confirmed.
TEST_F(OptionsDialogTest, ConfirmWritesWhatWasTypedByTheEntriesRules) {
  settings::WriteIniValue("General", "LocalPort", "8080", settings::ServerIniPath());
  settings::WriteIniValue("Interface:FontsAndColors", "TextCharSet", "204",
                          settings::ConfigIniPath());
  settings::LoadConfig();
  settings::Config().Lang = home_.file("russian.lng");
  bool forced = false;
  {
    OptionsDialog dialog;
    Type(dialog, "Text1", QStringLiteral("Мои индексы"));  // bare: under the program folder
    Type(dialog, "Text3", QStringLiteral("80a"));          // no whole number: the port stays
    Type(dialog, "Text5", QStringLiteral("7"));
    auto* check1 = Find<QCheckBox>(dialog, "Check1");
    forced = !check1->isChecked();
    check1->click();
    Find<QListWidget>(dialog, "List2")->setCurrentRow(1);
    Find<QCheckBox>(dialog, "Check6")->click();
    Click(dialog, "Command1");
    EXPECT_EQ(dialog.result(), QDialog::Accepted);
  }
  const std::string folder = home_.file("Мои индексы") + "/";
  EXPECT_EQ(Config("General", "IndexFolderName"), folder);
  EXPECT_EQ(settings::Config().IndexFolder, folder);
  EXPECT_EQ(Server("LocalPort"), "8080");
  EXPECT_EQ(settings::Config().localport, 8080);
  EXPECT_EQ(Config("General", "QueryRecentLenght"), "7");
  EXPECT_EQ(Config("General", "ForceCodePage"), forced ? "1" : "0");
  EXPECT_EQ(settings::Config().ForceCodePage, forced);
  EXPECT_EQ(Config("Interface:FontsAndColors", "FoundTextUnderLine"), "1");
  EXPECT_TRUE(settings::Config().FoundTextUnderLine);
  EXPECT_EQ(Config("Interface:FontsAndColors", "TextCharSet"), "204");  // not the dialog's
  {
    OptionsDialog dialog;
    Type(dialog, "Text3", QStringLiteral(" 9090 "));
    Click(dialog, "Command1");
  }
  EXPECT_EQ(Server("LocalPort"), "9090");
  settings::LoadConfig();
  EXPECT_EQ(settings::Config().localport, 9090);
}

TEST_F(OptionsDialogTest, CancelLeavesBothFilesByteForByte) {
  const std::string config = test::ReadFile(settings::ConfigIniPath());
  const std::string server = test::ReadFile(settings::ServerIniPath());
  const std::string lang = settings::Config().Lang;
  {
    OptionsDialog dialog;
    Type(dialog, "Text1", QStringLiteral("/elsewhere"));
    Type(dialog, "Text3", QStringLiteral("1234"));
    Find<QCheckBox>(dialog, "Check3")->click();
    auto* archivers = Find<QTreeWidget>(dialog, "ListView1");
    archivers->setCurrentItem(archivers->topLevelItem(5));
    Type(dialog, "Text6", QStringLiteral("/usr/bin/unzip"));
    // A language tried with "Применить" is taken back by Cancel.
    auto* list1 = Find<QListWidget>(dialog, "List1");
    list1->setCurrentRow(0);
    Click(dialog, "Command10");
    EXPECT_EQ(settings::Config().Lang, home_.file("english.lng"));
    Click(dialog, "Command2");
    EXPECT_EQ(dialog.result(), QDialog::Rejected);
  }
  EXPECT_EQ(test::ReadFile(settings::ConfigIniPath()), config);
  EXPECT_EQ(test::ReadFile(settings::ServerIniPath()), server);
  EXPECT_EQ(settings::Config().Lang, lang);
}

TEST_F(OptionsDialogTest, WithoutLanguageFilesTheListIsEmptyAndTheLanguageIsNotTouched) {
  std::filesystem::remove(home_.file("russian.lng"));
  std::filesystem::remove(home_.file("english.lng"));
  settings::WriteIniValue("Interface", "Lang", "russian.lng", settings::ConfigIniPath());
  const std::string lang = settings::Config().Lang;
  {
    OptionsDialog dialog;
    EXPECT_EQ(Find<QListWidget>(dialog, "List1")->count(), 0);
    Click(dialog, "Command10");
    Click(dialog, "Command1");
  }
  EXPECT_EQ(Config("Interface", "Lang"), "russian.lng");
  EXPECT_EQ(settings::Config().Lang, lang);
}

TEST_F(OptionsDialogTest, ALanguageSwitchRecaptionsTheOpenManagerAndTheHelpFollows) {
  IndexManagerWindow manager;
  manager.show();
  auto* menu = manager.findChild<QMenu*>(QStringLiteral("find_menu"));
  ASSERT_NE(menu, nullptr);
  EXPECT_EQ(menu->title(), "&Поиск");
  settings::WriteIniValue("General", "Help", "help/index-en.html", home_.file("english.lng"));
  OptionsDialog dialog(&manager);
  dialog.show();
  Find<QListWidget>(dialog, "List1")->setCurrentRow(0);  // english.lng
  // "Применить" re-captions the open windows at once, the dialog among them.
  Click(dialog, "Command10");
  EXPECT_NE(menu->title(), "&Поиск");
  EXPECT_EQ(dialog.windowTitle(), "ZYL settings");
  Click(dialog, "Command1");
  EXPECT_EQ(Config("Interface", "Lang"), "english.lng");
  EXPECT_EQ(settings::Config().Lang, home_.file("english.lng"));
  EXPECT_EQ(settings::Config().Help, home_.file("help/index-en.html"));
  EXPECT_EQ(menu->title().toStdString(),
            settings::GetProfileValue("ManagerWindow", "18", "", home_.file("english.lng")));
}

TEST_F(OptionsDialogTest, ArchiverRowsAreEditedInPlaceAndReadBack) {
  {
    OptionsDialog dialog;
    auto* archivers = Find<QTreeWidget>(dialog, "ListView1");
    archivers->setCurrentItem(archivers->topLevelItem(3));
    EXPECT_EQ(archivers->topLevelItem(3)->text(0), "RAR (*.rar)");
    Type(dialog, "Text6", QStringLiteral("/usr/bin/unrar"));
    Type(dialog, "Text7", QStringLiteral("x -y %arc%"));
    EXPECT_EQ(archivers->topLevelItem(3)->text(1), "/usr/bin/unrar");
    // Moving to another row shows that row's values and leaves the edited one alone.
    archivers->setCurrentItem(archivers->topLevelItem(4));
    EXPECT_EQ(Find<QLineEdit>(dialog, "Text6")->text(), archivers->topLevelItem(4)->text(1));
    Type(dialog, "Text7", QStringLiteral("e %arc%"));
    Click(dialog, "Command1");
  }
  EXPECT_EQ(Config("Archiver", "RarPath"), "/usr/bin/unrar");
  EXPECT_EQ(Config("Archiver", "RarCmd"), "x -y %arc%");
  EXPECT_EQ(Config("Archiver", "UcCmd"), "e %arc%");
  EXPECT_EQ(settings::Config().RarCmd, "x -y %arc%");
  settings::LoadConfig();
  OptionsDialog again;
  auto* archivers = Find<QTreeWidget>(again, "ListView1");
  EXPECT_EQ(archivers->topLevelItem(3)->text(1), "/usr/bin/unrar");
  EXPECT_EQ(archivers->topLevelItem(4)->text(2), "e %arc%");
}

TEST_F(OptionsDialogTest, ListLengthBoxAndScrollBarMirrorEachOther) {
  OptionsDialog dialog;
  auto* text5 = Find<QLineEdit>(dialog, "Text5");
  auto* scroll = Find<QScrollBar>(dialog, "VScroll1");
  scroll->setValue(20);
  EXPECT_EQ(text5->text(), "20");
  Type(dialog, "Text5", QStringLiteral("33"));
  EXPECT_EQ(scroll->value(), 33) << text5->text().toStdString();
  // Neither a word nor a number beyond the bar moves it.
  Type(dialog, "Text5", QStringLiteral("abc"));
  EXPECT_EQ(scroll->value(), 33);
  text5->setText(QStringLiteral("5000"));  // pasted whole
  EXPECT_EQ(scroll->value(), 33);
  EXPECT_EQ(text5->text(), "5000");
}

TEST_F(OptionsDialogTest, StyleSelectionSwitchesTheControlsAndTheSampleFollows) {
  OptionsDialog dialog;
  dialog.show();
  auto* list2 = Find<QListWidget>(dialog, "List2");
  auto* bold = Find<QCheckBox>(dialog, "Check5");
  EXPECT_FALSE(bold->isEnabled());
  EXPECT_TRUE(Find<QComboBox>(dialog, "Combo1")->isEnabled());
  EXPECT_FALSE(Find<QLabel>(dialog, "Label10")->isHidden());
  list2->setCurrentRow(1);
  EXPECT_TRUE(bold->isEnabled());
  EXPECT_FALSE(Find<QComboBox>(dialog, "Combo1")->isEnabled());
  EXPECT_FALSE(Find<QPushButton>(dialog, "ColorPicker1")->isEnabled());
  EXPECT_TRUE(Find<QLabel>(dialog, "Label10")->isHidden());
  auto* found = Find<QLabel>(dialog, "Label3");
  bold->setChecked(false);
  EXPECT_FALSE(found->font().bold());
  bold->setChecked(true);
  EXPECT_TRUE(found->font().bold());
  list2->setCurrentRow(0);
  auto* size = Find<QComboBox>(dialog, "Combo2");
  size->setCurrentText(QStringLiteral("14"));
  EXPECT_EQ(Find<QLabel>(dialog, "Label11")->font().pointSize(), 14);
  EXPECT_EQ(found->font().pointSize(), 14);
}

}  // namespace
}  // namespace zyl::ui
