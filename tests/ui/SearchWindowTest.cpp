// The search window driven offscreen: searching, the result list, the document view with its
// marks and stepping, history, saved searches, the builder, the report and the layout.
#include <QAction>
#include <QCheckBox>
#include <QComboBox>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QMimeData>
#include <QPushButton>
#include <QScrollBar>
#include <QSplitter>
#include <QTest>
#include <QTimer>
#include <QUrl>
#include <cstdio>

#include "base/Paths.h"
#include "search/SavedSearch.h"
#include "settings/WindowLayout.h"
#include "support/ModalAnswers.h"
#include "support/SearchFixture.h"
#include "ui/DocumentView.h"
#include "ui/PlatformServices.h"
#include "ui/QueryBuilderDialog.h"
#include "ui/ReportDialog.h"
#include "ui/Twips.h"

namespace zyl::test {
namespace {

using ui::FromQt;
using ui::ToQt;

class SearchWindowTest : public SearchFixture {
 protected:
  void Search(const std::string& text) {
    auto* box = Find<QComboBox>("Combo3");
    box->setEditText(ToQt(text));
    QTest::mouseClick(Find<QPushButton>("Command2"), Qt::LeftButton);
  }
  std::string Status(int panel) {
    return FromQt(Find<QLabel>(("Panel" + std::to_string(panel)).c_str())->text());
  }
  ui::DocumentView* View() { return Find<ui::DocumentView>("Rtf1"); }
  std::string Selected() { return FromQt(View()->textCursor().selectedText()); }
  int CurrentRow() {
    auto* list = Find<QTreeWidget>("ListView1");
    return list->indexOfTopLevelItem(list->currentItem());
  }
};

TEST_F(SearchWindowTest, ListsTheRowsOfEachSelectedIndexInTurnWithTheirTexts) {
  Open();
  EXPECT_EQ(window_->focusWidget(), Find<QComboBox>("Combo3")) << "a person types at once";
  EXPECT_EQ(Status(1), "Найдено:0");
  // Enter in the search box runs the search.
  Find<QComboBox>("Combo3")->setEditText("отчет");
  QTest::keyClick(Find<QComboBox>("Combo3")->lineEdit(), Qt::Key_Return);
  EXPECT_EQ(Column(0), (std::vector<std::string>{"a.txt", "b.doc", "z.txt"}));
  EXPECT_EQ(Column(6), (std::vector<std::string>{"/docs/", "/docs/", "/mail/"}));
  EXPECT_EQ(Column(1), (std::vector<std::string>{"Отчет", "Планы", "Зет"}));
  EXPECT_EQ(Column(3), (std::vector<std::string>{"txt", "doc", "txt"}));
  EXPECT_EQ(Column(5).back(), "  1,50 KB") << "kilobytes in the user's locale, padded to 9";
  EXPECT_EQ(Status(1), "Найдено:3");
  // The first row is shown at once, with its title and location below.
  EXPECT_EQ(Status(2), "Отчет");
  EXPECT_EQ(Status(3), "/docs/a.txt");
  EXPECT_EQ(FromQt(View()->toPlainText()), "годовой отчет за год");
  auto* list = Find<QTreeWidget>("ListView1");
  EXPECT_FALSE(list->topLevelItem(0)->icon(0).isNull());
  // The search box text joined the recent list of config.ini.
  EXPECT_EQ(Config("General", "RecentSearch"), "отчет;");

  // Sorting by the file column: ascending first, the same column again reverses.
  list->header()->sectionClicked(0);
  list->header()->sectionClicked(0);
  EXPECT_EQ(Column(0), (std::vector<std::string>{"z.txt", "b.doc", "a.txt"}));
  // Another column keeps the direction.
  list->header()->sectionClicked(4);
  EXPECT_EQ(Column(4), (std::vector<std::string>{"2026-11-25", "2026-11-20", "2026-10-01"}));
}

TEST_F(SearchWindowTest, OpensAndDragsOutTheListedFiles) {
  std::vector<QUrl> opened;
  const ui::UrlOpener previous = ui::SetUrlOpener([&](const QUrl& url) { opened.push_back(url); });
  Open();
  Search("отчет");
  auto* list = Find<QTreeWidget>("ListView1");
  list->setCurrentItem(list->topLevelItem(1));
  QTest::keyClick(list, Qt::Key_Return);
  // A double click is a press followed by a double-click press on the same row.
  const QPoint third = list->visualItemRect(list->topLevelItem(2)).center();
  QTest::mousePress(list->viewport(), Qt::LeftButton, {}, third);
  QTest::mouseDClick(list->viewport(), Qt::LeftButton, {}, third);
  ui::SetUrlOpener(previous);
  ASSERT_EQ(opened.size(), 2u);
  EXPECT_EQ(opened[0].toLocalFile(), "/docs/b.doc");
  EXPECT_EQ(opened[1].toLocalFile(), "/mail/z.txt");

  // Dragging entries out offers their files.
  std::unique_ptr<QMimeData> data(
      list->model()->mimeData({list->model()->index(0, 0), list->model()->index(2, 0)}));
  ASSERT_TRUE(data);
  ASSERT_EQ(data->urls().size(), 2);
  EXPECT_EQ(data->urls()[0].toLocalFile(), "/docs/a.txt");
  EXPECT_EQ(data->urls()[1].toLocalFile(), "/mail/z.txt");
}

TEST_F(SearchWindowTest, NoIndexSelectedFindsNothingAndAMissingIndexIsReported) {
  Open(false, false);
  Search("отчет");
  EXPECT_TRUE(Column(0).empty());
  EXPECT_EQ(Status(1), "Найдено:0");

  // A selected index whose descriptor is gone is named, and the others are still searched.
  std::remove(first_.descriptorPath.c_str());
  Open(true, true);
  ModalAnswers answers;
  answers.Press(QMessageBox::Ok);
  Search("отчет");
  ASSERT_EQ(answers.Texts().size(), 1u);
  EXPECT_EQ(FromQt(answers.Texts()[0]), "Файл " + first_.descriptorPath + " не существует");
  EXPECT_EQ(Column(0), (std::vector<std::string>{"z.txt"}));
}

TEST_F(SearchWindowTest, SearchWithinTheFoundDocumentsWorksOnTheLastIndexSearched) {
  Open();
  Search("отчет");
  ASSERT_EQ(Column(0).size(), 3u);
  Find<QCheckBox>("Check3")->setChecked(true);
  Search("xxx");
  EXPECT_EQ(Column(0), (std::vector<std::string>{"z.txt"}));
  Search("годовой");
  EXPECT_TRUE(Column(0).empty()) << "a.txt lies in the first index, not the last one searched";
}

TEST_F(SearchWindowTest, HistoryRecallsAnEarlierSearchAndSurvivesTheWindow) {
  settings::Config().UseHistory = true;
  Open();
  Search("отчет");
  Search("ничего");
  EXPECT_EQ(Column(0), (std::vector<std::string>{"c.txt"}));
  auto* history = Find<QListWidget>("ListView2_0");
  ASSERT_EQ(history->count(), 2);
  EXPECT_EQ(FromQt(history->item(0)->text()), "\"отчет\" / 3 / Первый;Второй;");
  QTest::mouseClick(history->viewport(), Qt::LeftButton, {},
                    history->visualItemRect(history->item(0)).center());
  EXPECT_EQ(Column(0), (std::vector<std::string>{"a.txt", "b.doc", "z.txt"}));
  EXPECT_EQ(FromQt(Find<QComboBox>("Combo3")->currentText()), "отчет");
  EXPECT_EQ(Status(1), "Найдено:3");

  // A new window lists the history again (without the blank after the slash) and no rows.
  Open();
  history = Find<QListWidget>("ListView2_0");
  ASSERT_EQ(history->count(), 2);
  EXPECT_EQ(FromQt(history->item(1)->text()), "\"ничего\" /1 /Первый;Второй;");
  EXPECT_TRUE(Column(0).empty());
}

TEST_F(SearchWindowTest, SizeAndDateOptionsReachTheStatement) {
  Open();
  Find<QCheckBox>("Check4_3")->setChecked(true);
  Find<QComboBox>("Combo2_1")->setCurrentIndex(2);  // "="
  Find<QLineEdit>("Text4")->setText("5");
  EXPECT_EQ(Find<QScrollBar>("VScroll3")->value(), 5) << "the spin bar mirrors its box";
  Search("отчет");
  const std::string sql = window_->LastSearchSql();
  EXPECT_NE(sql.find("filesize <=5000"), std::string::npos) << sql;
  EXPECT_NE(sql.find("filesize >=5000"), std::string::npos) << sql;
  EXPECT_EQ(sql.find("modified >="), std::string::npos) << sql;

  Find<QCheckBox>("Check4_3")->setChecked(false);
  Find<QCheckBox>("Check4_0")->setChecked(true);
  EXPECT_TRUE(Find<QLineEdit>("Text6")->isEnabled());
  Find<QLineEdit>("Text6")->setText("01.11.2026");
  Search("отчет");
  EXPECT_NE(window_->LastSearchSql().find("modified >=#"), std::string::npos);
  EXPECT_NE(window_->LastSearchSql().find("modified <=#"), std::string::npos)
      << "the date-to box holds today's date";
  EXPECT_EQ(Column(0), (std::vector<std::string>{"a.txt", "z.txt"}));
}

TEST_F(SearchWindowTest, MarksEveryHitAndHonoursWholeWords) {
  Open();
  Search("отчет");
  auto* list = Find<QTreeWidget>("ListView1");
  list->setCurrentItem(list->topLevelItem(1));
  window_->ShowSelectedDocument();
  EXPECT_EQ(FromQt(View()->toPlainText()), "отчеты и планы, отчет");
  EXPECT_EQ(View()->MarkedCount(), 10u) << "отчет inside отчеты is marked too";
  // The marks carry the found-text format.
  const auto found = static_cast<std::uint32_t>(settings::Config().FoundTextColor);
  const QColor foundColor(found & 0xff, (found >> 8) & 0xff, (found >> 16) & 0xff);
  EXPECT_EQ(View()->MarkAt(17).foreground().color(), foundColor);
  EXPECT_EQ(View()->MarkAt(17).fontWeight(),
            settings::Config().FoundTextBold ? QFont::Bold : QFont::Normal);
  EXPECT_EQ(View()->MarkAt(2).foreground().color(), foundColor) << "inside отчеты";
  EXPECT_FALSE(View()->MarkAt(9).hasProperty(QTextFormat::ForegroundBrush));

  Find<QCheckBox>("Check2")->setChecked(true);
  window_->ShowSelectedDocument();
  EXPECT_EQ(View()->MarkedCount(), 5u);
  EXPECT_FALSE(View()->MarkAt(2).hasProperty(QTextFormat::ForegroundBrush))
      << "a new text drops the old marks";

  // With the marking button released nothing is marked.
  Find<QAction>("Button9")->setChecked(false);
  window_->ShowSelectedDocument();
  EXPECT_EQ(View()->MarkedCount(), 0u);
}

TEST_F(SearchWindowTest, StepsFromHitToHitAndFromDocumentToDocument) {
  Open();
  Search("отчет");
  ASSERT_EQ(CurrentRow(), 0);
  Find<QAction>("Button6")->trigger();  // next hit
  EXPECT_EQ(Selected(), "отчет");
  EXPECT_EQ(View()->SelectionStart(), 8u);
  Find<QAction>("Button6")->trigger();  // no more hits: the next document
  EXPECT_EQ(CurrentRow(), 1);
  EXPECT_EQ(Status(3), "/docs/b.doc");

  Find<QAction>("Button7")->trigger();  // previous document
  EXPECT_EQ(CurrentRow(), 0);
  Find<QAction>("Button7")->trigger();  // at the first: the same one again
  EXPECT_EQ(CurrentRow(), 0);
  EXPECT_EQ(Status(3), "/docs/a.txt");
  Find<QAction>("Button8")->trigger();
  Find<QAction>("Button8")->trigger();
  Find<QAction>("Button8")->trigger();  // at the last
  EXPECT_EQ(CurrentRow(), 2);

  // First-hit mode selects the first hit of each newly shown document.
  Find<QAction>("Button11")->setChecked(true);
  Find<QAction>("Button7")->trigger();
  EXPECT_EQ(CurrentRow(), 1);
  EXPECT_EQ(View()->SelectionStart(), 16u) << "the search starts after position 0";
  Find<QAction>("Button5")->trigger();  // previous hit: the last one within the selection start
  EXPECT_EQ(View()->SelectionStart(), 0u);

  // F3 finds the whole search text again after the selection.
  QTest::keyClick(window_.get(), Qt::Key_F3);
  EXPECT_EQ(View()->SelectionStart(), 16u);
}

TEST_F(SearchWindowTest, SavesAndLoadsEveryFieldOfTheForm) {
  Open();
  Find<QComboBox>("Combo3")->setEditText("кредит договор");
  Find<QCheckBox>("Check2")->setChecked(true);
  Find<QComboBox>("Combo5")->setEditText("Петров");
  Find<QComboBox>("Combo4")->setEditText("Тема");
  Find<QComboBox>("Combo6")->setEditText("*.doc");
  Find<QCheckBox>("Check4_1")->setChecked(true);
  Find<QLineEdit>("Text3")->setText("2");
  Find<QComboBox>("Combo2_0")->setCurrentIndex(3);
  Find<QLineEdit>("Text1")->setText("100");
  Find<QLineEdit>("Text2")->setText("200");
  Find<QComboBox>("Combo2_2")->setCurrentIndex(2);
  Find<QAction>("scheme_office")->trigger();
  const search::SearchForm saved = window_->Form();
  const std::string file = home_.file("index/q.zyq");
  window_->SaveSearch(file);

  Open();
  window_->OpenSearch(file);
  EXPECT_EQ(window_->Form(), saved);
  EXPECT_TRUE(Find<QLineEdit>("Text3")->isEnabled()) << "a loaded option enables its controls";
  EXPECT_FALSE(Find<QLineEdit>("Text1")->isEnabled());

  // A saved query-language search opens the builder on loading.
  settings::WriteIniValue("General", "SearchType", "3", file);
  ModalAnswers answers;
  bool builderOpened = false;
  answers.Then([&](QWidget* dialog) {
    builderOpened = dialog->objectName() == "frmQueryBuilder";
    static_cast<QDialog*>(dialog)->reject();
  });
  window_->OpenSearch(file);
  EXPECT_TRUE(builderOpened);
  EXPECT_EQ(Find<QComboBox>("Combo1")->currentIndex(), 3);
  EXPECT_EQ(FromQt(Find<QComboBox>("Combo3")->currentText()), "кредит договор")
      << "cancelling the builder changes nothing";
}

TEST_F(SearchWindowTest, AConditionBuiltByClickingFindsItsRows) {
  Open();
  Find<QComboBox>("Combo1")->setCurrentIndex(3);
  ModalAnswers answers;
  answers.Then([](QWidget* dialog) {
    // The type menu's "MS Word" entry, then OK.
    dialog->findChild<QAction*>(QStringLiteral("Field6_3"))->trigger();
    dialog->findChild<QPushButton*>(QStringLiteral("Command1"))->click();
  });
  window_->ShowQueryBuilder();
  EXPECT_EQ(FromQt(Find<QComboBox>("Combo3")->currentText()), "Type=\"doc\" ");
  QTest::mouseClick(Find<QPushButton>("Command2"), Qt::LeftButton);
  EXPECT_EQ(Column(0), (std::vector<std::string>{"b.doc"}));
  EXPECT_EQ(View()->MarkedCount(), 0u) << "query-language text is not marked";
}

TEST_F(SearchWindowTest, ReportWritesTheListInItsCurrentOrder) {
  Open();
  Search("отчет");
  auto* list = Find<QTreeWidget>("ListView1");
  list->header()->sectionClicked(0);
  list->header()->sectionClicked(0);  // z, b, a
  const std::vector<std::string> dates = Column(4);
  ModalAnswers answers;
  answers.Then([](QWidget* dialog) {
    for (const char* name : {"Check2", "Check1", "Check4", "Check6"}) {
      dialog->findChild<QCheckBox*>(QString::fromLatin1(name))->setChecked(false);
    }
    // Clicked once this answer has returned, so the question that follows gets its own.
    QTimer::singleShot(0, dialog, [dialog] {
      dialog->findChild<QPushButton*>(QStringLiteral("Command1"))->click();
    });
  });
  answers.Press(QMessageBox::No);
  Find<QAction>("Button10")->trigger();
  ASSERT_TRUE(answers.AllAnswered());
  EXPECT_EQ(FromQt(answers.Texts().value(0)), "Открыть отчет?");
  EXPECT_EQ(base::ReadFileBytes(home_.file("report.txt")).value_or(""),
            "\"z.txt\"\t\"" + dates[0] + "\"\t\r\n\"b.doc\"\t\"" + dates[1] +
                "\"\t\r\n\"a.txt\"\t\"" + dates[2] + "\"\t\r\n");
}

TEST_F(SearchWindowTest, LayoutIsWrittenOnCloseAndRestored) {
  // A first run opens at the defaults, enlarged to the minimum size.
  Open();
  const int dpi = window_->logicalDpiY();
  EXPECT_EQ(window_->width(), ui::TwipsToPixels(8300, dpi));
  EXPECT_EQ(window_->height(), ui::TwipsToPixels(6000, dpi));
  window_->resize(ui::TwipsToPixels(12000, dpi), ui::TwipsToPixels(9000, dpi));
  auto* list = Find<QTreeWidget>("ListView1");
  list->setColumnWidth(1, ui::TwipsToPixels(2400, dpi));
  window_->close();
  EXPECT_EQ(Config("Interface", "frmSearchWidth"), "12000");
  EXPECT_EQ(Config("Interface", "frmSearchHeight"), "9000");
  EXPECT_EQ(Config("Interface", "frmSearchWindowState"), "0");
  EXPECT_EQ(Config("SearchWindow", "ColumnNormalWidth2"), "2400");
  EXPECT_FALSE(Config("Interface", "frmSearchListHeight").empty());

  Open();
  EXPECT_EQ(window_->width(), ui::TwipsToPixels(12000, dpi));
  EXPECT_EQ(Find<QTreeWidget>("ListView1")->columnWidth(1), ui::TwipsToPixels(2400, dpi));
  // Maximised, the widths are kept under their own keys only.
  window_->showMaximized();
  Find<QTreeWidget>("ListView1")->setColumnWidth(1, ui::TwipsToPixels(3000, dpi));
  window_->close();
  EXPECT_EQ(Config("Interface", "frmSearchWindowState"), "2");
  EXPECT_EQ(Config("SearchWindow", "ColumnMaxWidth2"), "3000");
  EXPECT_EQ(Config("SearchWindow", "ColumnNormalWidth2"), "2400");
  EXPECT_EQ(Config("Interface", "frmSearchWidth"), "12000");

  Open();
  EXPECT_TRUE(window_->isMaximized() || window_->windowState() & Qt::WindowMaximized);
  EXPECT_EQ(Find<QTreeWidget>("ListView1")->columnWidth(1), ui::TwipsToPixels(3000, dpi));
}

}  // namespace
}  // namespace zyl::test
