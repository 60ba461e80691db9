#include "ui/IndexManagerWindow.h"

#include <QAction>
#include <QContextMenuEvent>
#include <QFileDialog>
#include <QHeaderView>
#include <QLabel>
#include <QListWidget>
#include <QMenu>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QSignalSpy>
#include <QTest>
#include <QToolBar>
#include <QTreeWidget>

#include "settings/WindowLayout.h"
#include "support/ManagerFixture.h"
#include "support/ModalAnswers.h"
#include "support/Widgets.h"
#include "ui/PlatformServices.h"
#include "ui/Twips.h"
#include "ui/UpdateWindow.h"
#include "ui/WindowTexts.h"

namespace zyl::ui {
namespace {

using test::Column;
using test::Find;
using test::ModalAnswers;
using test::Q;

class IndexManagerWindowTest : public test::ManagerFixture {
 protected:
  static QTreeWidget* List(QWidget& w) { return Find<QTreeWidget>(w, "ListView1"); }
  static QString Text(QWidget& w, const char* label) { return Find<QLabel>(w, label)->text(); }
  static QStringList Lines(QWidget& w, const char* name) {
    return test::Lines(Find<QListWidget>(w, name));
  }
  static void Trigger(QWidget& w, const char* action) { Find<QAction>(w, action)->trigger(); }
};

TEST_F(IndexManagerWindowTest, ListsTheRecentIndexesWithTheirStatistics) {
  IndexManagerWindow window;
  window.show();
  QTreeWidget* list = List(window);
  ASSERT_EQ(list->topLevelItemCount(), 3);
  // The rows' texts are those of the catalogue, sizes in the user's number format.
  QTreeWidgetItem* local = list->topLevelItem(0);
  EXPECT_EQ(Column(list, 0), QStringList({"Документы", "Сайт", "Gone"}));
  EXPECT_EQ(local->text(1), Q(local_));
  EXPECT_EQ(local->text(5), "     900,00 KB");
  EXPECT_NE(list->topLevelItem(2)->foreground(0).color(), local->foreground(0).color());

  const QStringList headers = {"Название", "Файл", "Тип", "Дата", "Файлов", "Объем файлов"};
  for (int c = 0; c < 6; ++c) EXPECT_EQ(list->headerItem()->text(c), headers[c]);
  EXPECT_EQ(Text(window, "Panel1"), "Всего индексов: 3");

  // At start the list has the focus and the first row is selected and shown.
  EXPECT_EQ(window.focusWidget(), list);
  EXPECT_EQ(list->currentItem(), local);
  EXPECT_TRUE(local->isSelected());
  EXPECT_EQ(Text(window, "Panel2"), "Выбрано  1, файлов:  1234,  900 KB");
  EXPECT_EQ(Find<QPlainTextEdit>(window, "Text3")->toPlainText(), "Рабочие\nбумаги");
  EXPECT_EQ(Text(window, "Label1"), "Каталоги");
  EXPECT_EQ(Lines(window, "List1"), QStringList({Q(docs_ + "/"), "/srv/old/"}));
  EXPECT_EQ(Text(window, "Label2"), "Типы файлов");
  EXPECT_EQ(Lines(window, "List2"),
            QStringList({"Текст (*.txt)", "HTML-файл (*.htm; *.html)", "Пользовательские *.cpp;"}));
  EXPECT_EQ(Q(window.CurrentIndexFile()), Q(local_));

  // The arrow moves to the web index; Shift extends the selection to both.
  QTest::keyClick(list, Qt::Key_Down);
  EXPECT_EQ(Text(window, "Label1"), "Стартовый URL");
  EXPECT_EQ(Lines(window, "List1"), QStringList({"http://intranet/"}));
  EXPECT_EQ(Text(window, "Label2"), "Глубина перебора ");
  EXPECT_EQ(Lines(window, "List2"), QStringList({"2"}));
  EXPECT_EQ(Q(window.CurrentIndexFile()), Q(web_));
  QTest::keyClick(list, Qt::Key_Up, Qt::ShiftModifier);
  EXPECT_EQ(Text(window, "Panel2"), "Выбрано  2, файлов:  1254,  1 MB");
}

TEST_F(IndexManagerWindowTest, TypeLinesNameThePdfModeMailAndArchives) {
  const std::string pdf =
      home_.write("index/Pdf.zyl",
                  "[General]\r\ntitle=P\r\next=*.doc;*.pdf;\r\nPDF_Mode=Full\r\nArchive=1\r\n"
                  "[Mail]\r\nOutlookExpress=1\r\n[Folders]\r\n/a/,1\r\n");
  SetRecent(pdf + ";");
  IndexManagerWindow window;
  EXPECT_EQ(Lines(window, "List2"),
            QStringList({"Файлы Win WORD (*.doc)", "Текст Adobe Acrobat полностью (*.pdf)",
                         "Outlook Express", "Архивы"}));
}

// Every toolbar button shows an icon and the tip of its control in the window's text table.
TEST_F(IndexManagerWindowTest, ToolbarButtonsHaveIconsAndTheirOwnTips) {
  IndexManagerWindow window;
  int buttons = 0;
  for (QAction* a : Find<QToolBar>(window, "Toolbar1")->actions()) {
    if (a->isSeparator()) continue;
    ++buttons;
    const std::string name = a->objectName().toStdString();
    EXPECT_FALSE(a->icon().isNull()) << name;
    EXPECT_EQ(a->toolTip().toStdString(), CaptionText(ManagerText(name))) << name;
  }
  EXPECT_EQ(buttons, 8);
}

TEST_F(IndexManagerWindowTest, DeleteAsksForEachSelectedRow) {
  IndexManagerWindow window;
  window.show();
  QTreeWidget* list = List(window);
  list->selectAll();
  ModalAnswers answers;
  answers.Press(QMessageBox::Yes);  // the local index goes
  answers.Press(QMessageBox::No);   // the web index stays
  answers.Press(QMessageBox::Yes);  // the gone entry leaves the list without an error
  QTest::keyClick(list, Qt::Key_Delete);
  EXPECT_TRUE(answers.AllAnswered());
  ASSERT_EQ(answers.Texts().size(), 3);
  EXPECT_EQ(answers.Texts()[0], "Вы уверены что хотите удалить файлы индекса?\n" + Q(local_));
  EXPECT_EQ(answers.Icons()[0], QMessageBox::Information);
  EXPECT_EQ(answers.Texts()[1], "Вы уверены что хотите удалить файлы индекса?\n" + Q(web_));
  EXPECT_FALSE(base::FileExists(local_));
  EXPECT_FALSE(base::FileExists(home_.file("index/Local.mdb")));
  EXPECT_TRUE(base::FileExists(web_));
  EXPECT_TRUE(base::FileExists(home_.file("index/Web.mdb")));
  EXPECT_EQ(Recent(), web_ + ";");
  EXPECT_EQ(Column(list, 1), QStringList({Q(web_)}));
  EXPECT_EQ(Text(window, "Panel1"), "Всего индексов: 1");
}

TEST_F(IndexManagerWindowTest, ADescriptorWithoutDatabaseNameIsReportedAndStillDeleted) {
  const std::string broken = home_.write("index/Broken.zyl", "[General]\r\ntitle=Сломанный\r\n");
  SetRecent(broken + ";" + web_ + ";");
  IndexManagerWindow window;
  window.show();
  ModalAnswers answers;
  answers.Press(QMessageBox::Yes);
  answers.Press(QMessageBox::Ok);
  Find<QAction>(window, "pDeleteIndex_menu")->trigger();
  ASSERT_EQ(answers.Texts().size(), 2);
  EXPECT_EQ(answers.Texts()[1], "Ошибка в файле индекса");
  EXPECT_EQ(answers.Icons()[1], QMessageBox::Critical);
  EXPECT_FALSE(base::FileExists(broken));
  EXPECT_EQ(Recent(), web_ + ";");
}

TEST_F(IndexManagerWindowTest, ClosingSavesTheLayoutAndExitDoesNot) {
  const int dpi = 96;
  {
    IndexManagerWindow window;
    window.show();
    EXPECT_EQ(window.width(), TwipsToPixels(8000, window.logicalDpiX()));
    QSignalSpy exit(&window, &IndexManagerWindow::exitRequested);
    Trigger(window, "exit_menu");
    EXPECT_EQ(exit.count(), 1);
    EXPECT_EQ(Config("MainWindow", "WindowState"), "");
  }
  {
    IndexManagerWindow window;
    window.show();
    ASSERT_EQ(window.logicalDpiY(), dpi);
    window.resize(700, 450);
    List(window)->setColumnWidth(0, 150);  // 2250 twips
    window.close();
  }
  EXPECT_EQ(Config("MainWindow", "WindowState"), "0");
  EXPECT_EQ(Config("MainWindow", "Width"), "10500");
  EXPECT_EQ(Config("MainWindow", "Height"), "6750");
  EXPECT_EQ(Config("MainWindow", "ColumnNormalWidth1"), "2250");
  EXPECT_EQ(Config("MainWindow", "ColumnMaxWidth1"), "");
  const std::string listHeight = Config("MainWindow", "ListHeight");
  EXPECT_GE(std::stoi(listHeight), 1000);
  {
    // Restored, then maximised: the maximised widths are their own.
    IndexManagerWindow window;
    window.show();
    EXPECT_EQ(window.size(), QSize(700, 450));
    EXPECT_EQ(List(window)->columnWidth(0), 150);
    EXPECT_NEAR(PixelsToTwips(List(window)->height(), dpi), std::stoi(listHeight), 15);
    window.showMaximized();
    EXPECT_EQ(List(window)->columnWidth(0), 67);  // the default 1000 twips
    List(window)->setColumnWidth(0, 200);
    window.close();
  }
  EXPECT_EQ(Config("MainWindow", "WindowState"), "2");
  EXPECT_EQ(Config("MainWindow", "ColumnMaxWidth1"), "3000");
  EXPECT_EQ(Config("MainWindow", "ColumnNormalWidth1"), "2250");
  EXPECT_EQ(Config("MainWindow", "Width"), "10500");
  EXPECT_EQ(Config("MainWindow", "ListHeight"), listHeight);
  {
    IndexManagerWindow window;
    window.show();
    EXPECT_TRUE(window.isMaximized());
    EXPECT_EQ(List(window)->columnWidth(0), 200);
    window.showNormal();
    EXPECT_EQ(List(window)->columnWidth(0), 150);
  }
}

TEST_F(IndexManagerWindowTest, TheWindowAndItsSplitterStayWithinTheirLimits) {
  IndexManagerWindow window;
  window.show();
  const int dpi = window.logicalDpiY();
  window.resize(50, 50);
  EXPECT_EQ(window.width(), TwipsToPixels(5900, window.logicalDpiX()));
  EXPECT_EQ(window.height(), TwipsToPixels(4000, dpi));

  window.resize(800, 600);
  QTreeWidget* list = List(window);
  const auto splitterY = [&] { return list->mapTo(&window, QPoint(0, list->height())).y(); };
  window.SizeControls(0);
  EXPECT_GE(splitterY(), TwipsToPixels(1200, dpi) - 1);
  window.SizeControls(100000);
  EXPECT_LE(splitterY(), window.height() - TwipsToPixels(2200, dpi) + 1);
  window.SizeControls(3000);
  EXPECT_NEAR(splitterY(), TwipsToPixels(3000 - 10, dpi), 2);
}

TEST_F(IndexManagerWindowTest, AHeaderClickSortsAndASecondReverses) {
  IndexManagerWindow window;
  window.show();
  QTreeWidget* list = List(window);
  QHeaderView* header = list->header();
  const auto click = [&](int column) {
    QTest::mouseClick(header->viewport(), Qt::LeftButton, {},
                      QPoint(header->sectionViewportPosition(column) + 5, header->height() / 2));
  };
  // Text order of the user's language: Cyrillic before Latin in Russian.
  click(0);
  EXPECT_EQ(Column(list, 0), QStringList({"Документы", "Сайт", "Gone"}));
  click(0);
  EXPECT_EQ(Column(list, 0), QStringList({"Gone", "Сайт", "Документы"}));
  click(4);  // padded counts sort as text in number order
  EXPECT_EQ(Column(list, 4), QStringList({"     ", "   20", " 1234"}));
}

TEST_F(IndexManagerWindowTest, SwitchingTheLanguageGivesACompleteEnglishWindow) {
  IndexManagerWindow window;
  window.show();
  settings::Config().Lang = home_.file("english.lng");
  window.ApplyLanguage();
  EXPECT_EQ(window.windowTitle(), "ZYL: index manager");
  EXPECT_EQ(List(window)->headerItem()->text(5), "Size of files");
  EXPECT_EQ(Text(window, "Panel1"), "Total indexes: 3");
  EXPECT_EQ(Text(window, "Panel2"), "Selected  1, files:  1234,  900 KB");
  EXPECT_EQ(Lines(window, "List2")[0], "Text (*.txt)");
  // Nothing is left in Russian.
  QStringList texts = {window.windowTitle()};
  for (QAction* a : window.findChildren<QAction*>()) texts << a->text() << a->toolTip();
  for (QLabel* l : window.findChildren<QLabel*>()) texts << l->text();
  for (int c = 0; c < 6; ++c) texts << List(window)->headerItem()->text(c);
  for (const QString& t : texts) {
    for (const QChar ch : t)
      EXPECT_FALSE(ch.unicode() >= 0x400 && ch.unicode() < 0x500) << t.toStdString();
  }
}

// Closes the search window that the manager opened, noting its selected indexes.
ModalAnswers::Answer CloseSearchWindow(QStringList& selected) {
  return [&selected](QWidget* dialog) {
    auto* indexes = dialog->findChild<QListWidget*>(QStringLiteral("ListView2_1"));
    for (int i = 0; indexes && i < indexes->count(); ++i) {
      if (indexes->item(i)->isSelected()) selected << indexes->item(i)->text();
    }
    dialog->close();
  };
}

TEST_F(IndexManagerWindowTest, NewIndexOpensTheWizardAndEnterSearchesTheSelection) {
  IndexManagerWindow window;
  window.show();
  ModalAnswers answers;
  QString opened;
  answers.Then(
      [&opened](QWidget* dialog) {
        opened = dialog->objectName();
        dialog->close();
      },
      "zyl::ui::WizardNameStep");
  QStringList searched;
  answers.Then(CloseSearchWindow(searched), "zyl::ui::SearchWindow");
  Trigger(window, "Button1");
  EXPECT_EQ(opened, "frmZYLwizard1");
  QTest::keyClick(List(window), Qt::Key_Return);  // Enter searches
  EXPECT_TRUE(answers.AllAnswered());
  EXPECT_EQ(searched, QStringList({"Документы"})) << "the search window takes the selection";
}

TEST_F(IndexManagerWindowTest, DoubleClickSearchesTheRowAndRightClickOpensThePopup) {
  IndexManagerWindow window;
  window.show();
  QTreeWidget* list = List(window);
  const QRect web = list->visualItemRect(list->topLevelItem(1));
  ModalAnswers answers;
  QStringList searched;
  answers.Then(CloseSearchWindow(searched), "zyl::ui::SearchWindow");
  // A double click is a press followed by a double-click press on the same row.
  QTest::mousePress(list->viewport(), Qt::LeftButton, {}, web.center());
  QTest::mouseDClick(list->viewport(), Qt::LeftButton, {}, web.center());
  EXPECT_EQ(Q(window.CurrentIndexFile()), Q(web_));
  EXPECT_TRUE(answers.AllAnswered()) << "the search window opened";
  EXPECT_EQ(searched, QStringList({"Сайт"}));

  auto* popup = Find<QMenu>(window, "popup1");
  const QRect local = list->visualItemRect(list->topLevelItem(0));
  list->setCurrentItem(list->topLevelItem(0));
  QContextMenuEvent event(QContextMenuEvent::Mouse, local.center(),
                          list->viewport()->mapToGlobal(local.center()));
  QApplication::sendEvent(list->viewport(), &event);
  EXPECT_TRUE(popup->isVisible());
  EXPECT_EQ(Text(window, "Label1"), "Каталоги");
  QStringList items;
  for (QAction* a : popup->actions()) items << a->text();
  EXPECT_EQ(items, QStringList({"Поиск по индексу", "Обновить индекс", "Редактировать индекс",
                                "Удалить индекс"}));
  popup->close();
}

TEST_F(IndexManagerWindowTest, HelpWebSiteAndAbout) {
  QList<QUrl> opened;
  const UrlOpener previous = SetUrlOpener([&](const QUrl& url) { opened << url; });
  IndexManagerWindow window;
  Trigger(window, "content_menu");
  Trigger(window, "web_site_menu");
  ASSERT_EQ(opened.size(), 2);
  EXPECT_EQ(opened[0], QUrl::fromLocalFile(Q(home_.file("help/index.html"))));
  EXPECT_EQ(opened[1].scheme(), "https");

  ModalAnswers answers;
  answers.Then([](QWidget* about) {
    auto* box = qobject_cast<QMessageBox*>(about);
    ASSERT_NE(box, nullptr);
    EXPECT_EQ(box->objectName(), "frmAbout");
    EXPECT_TRUE(box->text().contains("9.8.7"));
    box->accept();
  });
  answers.Press(QMessageBox::Ok);
  Trigger(window, "about_menu");
  settings::Config().Help = home_.file("help/none.html");
  Trigger(window, "Button9");
  EXPECT_EQ(answers.Texts(), QStringList({"Файл помощи не найден"}));
  EXPECT_EQ(opened.size(), 2);
  SetUrlOpener(previous);
}

TEST_F(IndexManagerWindowTest, OpenPutsTheChosenIndexFirst) {
  SetRecent(web_ + ";");
  IndexManagerWindow window;
  window.show();
  ModalAnswers answers;
  answers.Then([&](QWidget* dialog) {
    auto* files = qobject_cast<QFileDialog*>(dialog);
    ASSERT_NE(files, nullptr);
    EXPECT_TRUE(files->nameFilters().join("").contains("(*.zyl)"));
    files->selectFile(Q(local_));
    static_cast<QDialog*>(files)->accept();
  });
  Trigger(window, "open_menu");
  EXPECT_EQ(Recent(), local_ + ";" + web_ + ";");
  EXPECT_EQ(Column(List(window), 0), QStringList({"Документы", "Сайт"}));
  // A cancelled dialog changes nothing.
  answers.Then([](QWidget* dialog) { qobject_cast<QDialog*>(dialog)->reject(); });
  Trigger(window, "Button3");
  EXPECT_EQ(Recent(), local_ + ";" + web_ + ";");
}

TEST_F(IndexManagerWindowTest, UpdateRunsTheSelectedIndexesAndReloadsTheList) {
  SetRecent(local_ + ";");
  IndexManagerWindow window;
  window.show();
  ModalAnswers answers;
  QString log;
  answers.Then([&](QWidget* dialog) {
    auto* update = qobject_cast<UpdateWindow*>(dialog);
    ASSERT_NE(update, nullptr);
    if (update->IsRunning() || update->LogText().isEmpty()) {
      QSignalSpy finished(update, &UpdateWindow::runFinished);
      ASSERT_TRUE(finished.wait(20000));
    }
    log = update->LogText();
    update->findChild<QPushButton*>("Command3")->click();
  });
  Trigger(window, "update_menu");
  EXPECT_TRUE(log.contains("Добавляем файл " + Q(docs_ + "/a.txt")));
  // The update recomputed the statistics, and the list shows them.
  EXPECT_EQ(List(window)->topLevelItem(0)->text(4), "    1");
}

TEST_F(IndexManagerWindowTest, TheFolderPickerGivesTheChosenFolderOrNothing) {
  ModalAnswers answers;
  answers.Then(
      [&](QWidget* dialog) {
        auto* files = qobject_cast<QFileDialog*>(dialog);
        ASSERT_NE(files, nullptr);
        EXPECT_TRUE(files->testOption(QFileDialog::ShowDirsOnly));
        files->selectFile(Q(docs_));
        static_cast<QDialog*>(files)->accept();
      },
      "QFileDialog");
  EXPECT_EQ(BrowseForFolder(nullptr, "Каталог"), docs_);
  answers.Then([](QWidget* dialog) { qobject_cast<QDialog*>(dialog)->reject(); }, "QFileDialog");
  EXPECT_EQ(BrowseForFolder(nullptr, "Каталог"), "");
}

}  // namespace
}  // namespace zyl::ui
