#include <QCheckBox>
#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QMenu>
#include <QPlainTextEdit>
#include <QProcess>
#include <QPushButton>
#include <QSignalSpy>
#include <QTest>
#include <QTreeView>
#include <QTreeWidget>

#include "base/Paths.h"
#include "extract/DocumentTypes.h"
#include "settings/IniFile.h"
#include "support/ManagerFixture.h"
#include "support/ModalAnswers.h"
#include "support/TestHttpServer.h"
#include "support/Widgets.h"
#include "ui/BuildWindow.h"
#include "ui/CrawlWindow.h"
#include "ui/EditIndexDialog.h"
#include "ui/FolderTreeModel.h"
#include "ui/IndexManagerWindow.h"
#include "ui/NewIndexWizards.h"
#include "ui/QtHost.h"
#include "ui/WebWizardStep2.h"
#include "ui/WizardFoldersStep.h"
#include "ui/WizardNameStep.h"
#include "ui/WizardTexts.h"
#include "ui/WizardTypesStep.h"

namespace zyl::ui {
namespace {

using test::Click;
using test::Find;
using test::ModalAnswers;
using test::Q;

QListWidgetItem* TypeItem(QWidget* window, const char* code) {
  auto* list = Find<QListWidget>(window, "ListView1");
  for (int i = 0; i < list->count(); ++i)
    if (list->item(i)->data(Qt::UserRole).toString() == QLatin1String(code)) return list->item(i);
  ADD_FAILURE() << code;
  return nullptr;
}

QStringList CheckedCodes(QWidget* window) {
  QStringList codes;
  auto* list = Find<QListWidget>(window, "ListView1");
  for (int i = 0; i < list->count(); ++i)
    if (list->item(i)->checkState() == Qt::Checked)
      codes << list->item(i)->data(Qt::UserRole).toString();
  return codes;
}

class WizardTest : public test::ManagerFixture {
 protected:
  void SetUp() override {
    ManagerFixture::SetUp();
    indexFolder_ = base::WithTrailingSlash(settings::Config().IndexFolder);
    tree_ = home_.file("tree");
    home_.write("tree/A/a.txt", "первый");
    home_.write("tree/A/Inner/b.htm", "<html><title>Второй</title><body>текст</body></html>");
    home_.write("tree/B/c.cpp", "int main() {}");
    home_.write("tree/B/d.csv", "1;2\r\n");
    home_.write("tree/B/skip.doc", "");
    home_.write("tree/C/e.h", "#pragma once");
  }

  // Step 1 with a good name, as the step leaves it.
  catalog::IndexDefinition NameStep(bool web, const char* name) {
    WizardNameStep step(web, nullptr);
    step.show();
    auto* text = Find<QLineEdit>(&step, "Text2");
    text->setText(QString::fromUtf8(name));
    Click(&step, "Command1");
    EXPECT_EQ(step.result(), QDialog::Accepted);
    return step.Definition();
  }

  std::string indexFolder_, tree_;
};

TEST_F(WizardTest, NameStepRefusesTakenAndInvalidNamesAndLeavesAnEmptyDescriptor) {
  WizardNameStep step(false, nullptr);
  step.show();
  EXPECT_EQ(step.objectName(), QStringLiteral("frmZYLwizard1"));
  EXPECT_EQ(step.windowTitle(), QStringLiteral("Мастер индекса. Шаг 1"));
  auto* name = Find<QLineEdit>(&step, "Text2");
  auto* next = Find<QPushButton>(&step, "Command1");
  EXPECT_EQ(name->text(), QStringLiteral("Безымянный"));
  EXPECT_EQ(next->text(), QStringLiteral("Далее >"));
  name->clear();
  EXPECT_FALSE(next->isEnabled());

  ModalAnswers answers;
  answers.Press(QMessageBox::Ok);
  answers.Press(QMessageBox::Ok);
  name->setText(QStringLiteral("Local"));  // the fixture's index
  Click(&step, "Command1");
  name->setText(QStringLiteral("a/b"));
  Click(&step, "Command1");
  ASSERT_EQ(answers.Texts(), (QStringList{QStringLiteral("Индекс с таким именем уже существует"),
                                          QStringLiteral("Имя файла неверно")}));
  EXPECT_EQ(answers.Icons()[0], QMessageBox::Information);
  EXPECT_EQ(answers.Icons()[1], QMessageBox::NoIcon);
  EXPECT_TRUE(step.isVisible());
  EXPECT_FALSE(base::FileExists(indexFolder_ + "a/b.zyl"));

  name->setText(QStringLiteral("Новый"));
  Find<QPlainTextEdit>(&step, "Text3")->setPlainText(QStringLiteral("строка 1\nстрока 2"));
  Click(&step, "Command1");
  EXPECT_EQ(step.result(), QDialog::Accepted);
  const catalog::IndexDefinition& def = step.Definition();
  EXPECT_EQ(def.title, "Новый");
  EXPECT_EQ(def.descriptorPath, indexFolder_ + "Новый.zyl");
  EXPECT_EQ(def.dbname, indexFolder_ + "Новый.mdb");
  EXPECT_EQ(test::ReadFile(def.descriptorPath), "");
}

TEST_F(WizardTest, EveryCancelAfterTheFirstStepDeletesTheDescriptor) {
  {
    WizardNameStep step(false, nullptr);
    step.show();
    Click(&step, "Command3");
    EXPECT_EQ(step.result(), QDialog::Rejected);
    EXPECT_FALSE(base::FileExists(indexFolder_ + "Безымянный.zyl"));
  }
  catalog::IndexDefinition def = NameStep(false, "Один");
  ASSERT_TRUE(base::FileExists(def.descriptorPath));
  {
    WizardFoldersStep step(def, nullptr);
    step.show();
    Click(&step, "Command4");
  }
  EXPECT_FALSE(base::FileExists(def.descriptorPath));

  def = NameStep(false, "Один");
  {
    WizardTypesStep step(def, nullptr);
    step.show();
    QTest::keyClick(&step, Qt::Key_Escape);
    EXPECT_EQ(step.result(), QDialog::Rejected);
  }
  EXPECT_FALSE(base::FileExists(def.descriptorPath));

  def = NameStep(true, "Сеть");
  {
    WebWizardStep2 step(def, nullptr);
    step.show();
    Click(&step, "Command3");
  }
  EXPECT_FALSE(base::FileExists(def.descriptorPath));
  EXPECT_EQ(Recent().find("Сеть"), std::string::npos);
}

TEST_F(WizardTest, FolderStepKeepsOuterFoldersAndEnablesNextWhileAnyIsChecked) {
  WizardFoldersStep step(NameStep(false, "Папки"), nullptr);
  step.show();
  EXPECT_EQ(Find<QLabel>(&step, "Label1")->text(),
            QStringLiteral("Укажите каталоги, в которых \nнаходятся документы."));
  auto* next = Find<QPushButton>(&step, "Command2");
  EXPECT_FALSE(next->isEnabled());
  FolderTreeModel& tree = step.Tree();
  ASSERT_TRUE(tree.SetFolderChecked(tree_ + "/A", true));
  EXPECT_TRUE(next->isEnabled());
  ASSERT_TRUE(tree.SetFolderChecked(tree_ + "/A/Inner", true));
  ASSERT_TRUE(tree.SetFolderChecked(tree_ + "/B", true));
  ASSERT_TRUE(tree.SetFolderChecked(tree_ + "/C", true));
  ASSERT_TRUE(tree.SetFolderChecked(tree_ + "/C", false));
  EXPECT_EQ(step.FolderList(), tree_ + "/A/;" + tree_ + "/A/Inner/;" + tree_ + "/B/;");
  // The top item stands for every folder of the machine.
  const QModelIndex top = tree.index(0, 0, QModelIndex());
  EXPECT_EQ(tree.FolderOf(top), "/");
  Click(&step, "Command2");
  ASSERT_EQ(step.result(), QDialog::Accepted);
  const auto& folders = step.Definition().folders;
  ASSERT_EQ(folders.size(), 2u);
  EXPECT_EQ(folders[0].path, tree_ + "/A/");  // letter case kept
  EXPECT_EQ(folders[1].path, tree_ + "/B/");
  EXPECT_TRUE(folders[0].subfolders && folders[1].subfolders);

  WizardFoldersStep again(NameStep(false, "Папки 2"), nullptr);
  again.Tree().SetFolderChecked(tree_ + "/A", true);
  again.Tree().SetFolderChecked(tree_ + "/A", false);
  EXPECT_FALSE(Find<QPushButton>(&again, "Command2")->isEnabled());
  again.reject();
}

TEST_F(WizardTest, TypeStepListsTheTypesAndAppliesTheRules) {
  settings::WriteIniValue("General", "RecentUserTypes", "*.pas;*.bas;", settings::ConfigIniPath());
  settings::Config().RecentUserTypes = "*.pas;*.bas;";
  WizardTypesStep step(NameStep(false, "Типы"), nullptr);
  step.show();
  auto* list = Find<QListWidget>(&step, "ListView1");
  ASSERT_EQ(list->count(), static_cast<int>(extract::TypeListEntries().size()));
  EXPECT_EQ(list->item(3)->text(), QStringLiteral("Файлы Win WORD (*.doc)"));
  for (int i = 0; i < list->count(); ++i) EXPECT_FALSE(list->item(i)->icon().isNull()) << i;
  auto* combo = Find<QComboBox>(&step, "Combo1");
  EXPECT_EQ(combo->currentText(), QStringLiteral("*.cpp,*.pas,*.java"));
  EXPECT_EQ(combo->count(), 2);
  auto* next = Find<QPushButton>(&step, "Command1");
  EXPECT_FALSE(next->isEnabled());
  EXPECT_FALSE(combo->isEnabled());

  TypeItem(&step, "pdfmin")->setCheckState(Qt::Checked);
  EXPECT_TRUE(next->isEnabled());
  TypeItem(&step, "pdffull")->setCheckState(Qt::Checked);
  EXPECT_EQ(CheckedCodes(&step), QStringList{QStringLiteral("pdffull")});
  step.mnuScheme_Click(1);
  EXPECT_EQ(CheckedCodes(&step).size(),
            static_cast<int>(extract::TypeListEntries().size()) - 1);  // all but pdffull
  EXPECT_EQ(TypeItem(&step, "pdffull")->checkState(), Qt::Unchecked);
  step.mnuScheme_Click(2);
  EXPECT_FALSE(next->isEnabled());
  Find<QCheckBox>(&step, "Check2")->setChecked(true);
  EXPECT_TRUE(next->isEnabled());
  EXPECT_TRUE(combo->isEnabled());
  step.mnuScheme_Click(5);
  step.mnuScheme_Click(4);
  EXPECT_EQ(CheckedCodes(&step).size(), 6);
  EXPECT_EQ(Find<QMenu>(&step, "mnuMainScheme")->actions().size(), 5);

  combo->setEditText(QStringLiteral("*.cpp,*.h"));
  Click(&step, "Command1");
  ASSERT_EQ(step.result(), QDialog::Accepted);
  EXPECT_EQ(step.Definition().UserFiles, "*.cpp;*.h;");
  EXPECT_EQ(combo->currentText(), QStringLiteral("*.cpp;*.h;"));
  EXPECT_EQ(Config("General", "RecentUserTypes"), "*.cpp,*.h;*.pas;*.bas;");
  EXPECT_TRUE(step.Definition().mailNetscape);
  EXPECT_EQ(step.Definition().ext, "*.doc;*.xls;*.dot;*.xlt;");
}

// Runs the whole local wizard from the manager over the test tree: three folders, one inside
// another, four types and user masks.
TEST_F(WizardTest, LocalWizardBuildsWhatTheCommandLineBuildsAndTheManagerListsIt) {
  IndexManagerWindow manager;
  manager.show();
  ModalAnswers answers;
  answers.Then([](QWidget* w) {
    Find<QLineEdit>(w, "Text2")->setText(QStringLiteral("Сборка"));
    Find<QPlainTextEdit>(w, "Text3")->setPlainText(QStringLiteral("две\nстроки"));
    Click(w, "Command1");
  });
  answers.Then([this](QWidget* w) {
    auto* step = qobject_cast<WizardFoldersStep*>(w);
    ASSERT_NE(step, nullptr);
    step->Tree().SetFolderChecked(tree_ + "/A", true);
    step->Tree().SetFolderChecked(tree_ + "/A/Inner", true);
    step->Tree().SetFolderChecked(tree_ + "/B", true);
    Click(w, "Command2");
  });
  answers.Then([](QWidget* w) {
    for (const char* code : {"txt", "html", "csv", "doc"})
      TypeItem(w, code)->setCheckState(Qt::Checked);
    Find<QCheckBox>(w, "Check2")->setChecked(true);
    Find<QComboBox>(w, "Combo1")->setEditText(QStringLiteral("*.cpp,*.h"));
    Click(w, "Command1");
  });
  QString log, counter;
  answers.Then([&](QWidget* w) {
    auto* build = qobject_cast<BuildWindow*>(w);
    ASSERT_NE(build, nullptr);
    QObject::connect(build, &BuildWindow::buildFinished, build, [&, build] {
      log = build->LogText();
      counter = Find<QLabel>(build, "Label7")->text();
      QMetaObject::invokeMethod(
          build, [build] { Click(build, "Command2"); }, Qt::QueuedConnection);
    });
  });
  answers.Press(QMessageBox::Ok);
  manager.MakeLocalIndex();
  EXPECT_TRUE(answers.AllAnswered());
  EXPECT_EQ(answers.Texts(), QStringList{QStringLiteral("Индексирование завершено успешно.")});
  EXPECT_TRUE(log.startsWith(QStringLiteral("Поиск файлов...\nНайдено  5.\n")))
      << log.toStdString();
  EXPECT_TRUE(log.contains(Q(tree_ + "/B/skip.doc...")));
  EXPECT_EQ(counter, QStringLiteral("Обработка файлов  5 из  5"));

  // The new index heads the manager's list.
  auto* list = Find<QTreeWidget>(&manager, "ListView1");
  ASSERT_GT(list->topLevelItemCount(), 0);
  EXPECT_EQ(list->topLevelItem(0)->text(0), QStringLiteral("Сборка"));

  const std::string descriptor = indexFolder_ + "Сборка.zyl";
  const std::string fromWizard = test::ReadFile(descriptor);
  EXPECT_NE(fromWizard.find("desc=две/nстроки\r\n"), std::string::npos);
  std::filesystem::remove(descriptor);
  std::filesystem::remove(indexFolder_ + "Сборка.mdb");
  QProcess cli;
  cli.start(QStringLiteral(ZYL_BINARY),
            {QStringLiteral("action=build"), QStringLiteral("index=Сборка"),
             Q("folders=" + tree_ + "/A;" + tree_ + "/A/Inner;" + tree_ + "/B"),
             QStringLiteral("types=txt,html,csv,doc"), QStringLiteral("usermasks=*.cpp,*.h"),
             QStringLiteral("desc=две\nстроки")});
  ASSERT_TRUE(cli.waitForFinished(60000));
  EXPECT_EQ(cli.exitCode(), 0) << cli.readAllStandardError().toStdString();
  EXPECT_EQ(test::ReadFile(descriptor), fromWizard);
}

TEST_F(WizardTest, StopInTheSearchIsConfirmedAndLeavesNothing) {
  catalog::IndexDefinition def = NameStep(false, "Стоп");
  def.folders = {{tree_ + "/", true}};
  indexer::SetTypeChoices(def, {"txt"});
  BuildWindow build(def, nullptr);
  QSignalSpy finished(&build, &BuildWindow::buildFinished);
  ModalAnswers answers;
  answers.Press(QMessageBox::Yes);
  build.show();
  // Pressed before the first folder is searched: the first folder asks.
  Click(&build, "Command2");
  ASSERT_TRUE(finished.wait(30000));
  EXPECT_EQ(answers.Texts(),
            QStringList{QStringLiteral("Вы уверены что хотите остановить работу?")});
  EXPECT_EQ(build.Result().outcome, indexer::BuildResult::kStoppedWhileSearching);
  EXPECT_FALSE(build.isVisible());
  EXPECT_FALSE(base::FileExists(def.descriptorPath));
}

TEST_F(WizardTest, StopWhileProcessingAsksAndDeletesOrGoesOn) {
  for (const bool confirm : {false, true}) {
    catalog::IndexDefinition def = NameStep(false, confirm ? "Стоп2" : "Дальше");
    def.folders = {{tree_ + "/", true}};
    indexer::SetTypeChoices(def, {"txt", "html", "csv"});
    BuildWindow build(def, nullptr);
    build.SetOptions({1, 300, {}});
    // Raised on the worker after the first file, so the check that follows it sees it.
    QObject::connect(
        &build.Host(), &QtHost::countsChanged, &build.Host(),
        [&build](qint64 done, qint64) {
          if (done == 1) build.Host().RequestStop();
        },
        Qt::DirectConnection);
    QSignalSpy finished(&build, &BuildWindow::buildFinished);
    ModalAnswers answers;
    answers.Press(confirm ? QMessageBox::Yes : QMessageBox::No);
    if (!confirm) answers.Press(QMessageBox::Ok);
    build.show();
    ASSERT_TRUE(finished.wait(30000));
    EXPECT_TRUE(answers.AllAnswered());
    if (confirm) {
      EXPECT_EQ(build.Result().outcome, indexer::BuildResult::kStoppedWhileProcessing);
      EXPECT_FALSE(base::FileExists(def.descriptorPath));
    } else {
      EXPECT_EQ(build.Result().outcome, indexer::BuildResult::kFinished);
      EXPECT_EQ(build.Result().filesCount, 3);
      EXPECT_EQ(Find<QPushButton>(&build, "Command2")->text(), QStringLiteral("Закрыть"));
      EXPECT_EQ(Find<QLabel>(&build, "Label2")->text(), QStringLiteral("Готово"));
      Click(&build, "Command2");
      EXPECT_EQ(build.result(), QDialog::Accepted);
    }
  }
}

TEST_F(WizardTest, WebWizardCrawlsALocalSite) {
  test::TestHttpServer site;
  site.ServeHtml("/index.html",
                 "<html><head><title>Главная</title></head><body>"
                 "<a href=\"/news.html\">Новости</a></body></html>");
  site.ServeHtml("/news.html", "<html><head><title>Новости</title></head><body>x</body></html>");
  ModalAnswers answers;
  answers.Then([](QWidget* w) {
    EXPECT_EQ(w->objectName(), QStringLiteral("frmWebB1"));
    Find<QLineEdit>(w, "Text2")->setText(QStringLiteral("Сайт2"));
    Click(w, "Command1");
  });
  std::string recentBeforeCrawl;
  answers.Then([&](QWidget* w) {
    EXPECT_EQ(w->windowTitle(), QStringLiteral("Мастер веб-индекса. Шаг 2"));
    Find<QLineEdit>(w, "Text1")->setText(Q(site.url("/index.html")));
    Find<QLineEdit>(w, "Text2")->setText(QStringLiteral("1 уровень"));
    Click(w, "Command1");
    recentBeforeCrawl = Recent();
  });
  QString log;
  answers.Then([&](QWidget* w) {
    auto* crawl = qobject_cast<CrawlWindow*>(w);
    ASSERT_NE(crawl, nullptr);
    QObject::connect(crawl, &CrawlWindow::crawlFinished, crawl, [&, crawl] {
      log = crawl->LogText();
      Click(crawl, "Command1");
    });
  });
  EXPECT_TRUE(RunWebIndexWizard(nullptr));
  const std::string descriptor = indexFolder_ + "Сайт2.zyl";
  EXPECT_TRUE(recentBeforeCrawl.starts_with(descriptor + ";")) << recentBeforeCrawl;
  EXPECT_TRUE(log.contains(Q(site.url("/news.html") + "...")));
  const std::string text = test::ReadFile(descriptor);
  EXPECT_NE(text.find("FilesCount=2\r\n"), std::string::npos) << text;
  EXPECT_NE(text.find("URLDept=1\r\n"), std::string::npos) << text;
}

TEST_F(WizardTest, EditDialogRoundTripsEveryField) {
  home_.write("tree/D/x.txt", "x");
  const std::string path =
      home_.write("index/E.zyl",
                  "[General]\r\nversion=0.99\r\ndbname=/i/E.mdb\r\ntitle=Правка\r\n"
                  "desc=раз/nдва\r\next=*.txt;*.htm*;*.pdf;\r\nUserFiles=*.cpp;\r\n"
                  "IndexType=local\r\nFilesCount=3\r\nFilesSize=10\r\nPDF_Mode=Full\r\n"
                  "Archive=1\r\n[Mail]\r\n[Folders]\r\n" +
                      tree_ + "/A/,1\r\n" + tree_ + "/B/,0\r\n");
  EditIndexDialog dialog(path, nullptr);
  dialog.show();
  EXPECT_EQ(dialog.windowTitle(), QStringLiteral("Редактирование индекса Правка"));
  EXPECT_EQ(Find<QPlainTextEdit>(&dialog, "Text3")->toPlainText(), QStringLiteral("раз\nдва"));
  EXPECT_EQ(CheckedCodes(&dialog), (QStringList{QStringLiteral("txt"), QStringLiteral("html"),
                                                QStringLiteral("pdffull")}));
  EXPECT_TRUE(Find<QCheckBox>(&dialog, "Check1")->isChecked());
  EXPECT_TRUE(Find<QCheckBox>(&dialog, "Check2")->isChecked());
  EXPECT_EQ(Find<QLineEdit>(&dialog, "Text1")->text(), QStringLiteral("*.cpp;"));
  FolderTreeModel& tree = dialog.Tree();
  EXPECT_EQ(tree.data(tree.index(Q(tree_ + "/A")), Qt::CheckStateRole).toInt(), Qt::Checked);
  EXPECT_EQ(tree.data(tree.index(Q(tree_ + "/C")), Qt::CheckStateRole).toInt(), Qt::Unchecked);
  auto* save = Find<QPushButton>(&dialog, "Command3");
  EXPECT_TRUE(save->isEnabled());

  // Nothing checked and no masks: no save.
  for (const char* code : {"txt", "html", "pdffull"})
    TypeItem(&dialog, code)->setCheckState(Qt::Unchecked);
  Find<QLineEdit>(&dialog, "Text1")->clear();
  EXPECT_FALSE(save->isEnabled());
  TypeItem(&dialog, "doc")->setCheckState(Qt::Checked);
  TypeItem(&dialog, "pdfmin")->setCheckState(Qt::Checked);
  TypeItem(&dialog, "mail_oe")->setCheckState(Qt::Checked);
  EXPECT_TRUE(save->isEnabled());
  Find<QCheckBox>(&dialog, "Check1")->setChecked(false);
  Find<QPlainTextEdit>(&dialog, "Text3")->setPlainText(QStringLiteral("один\nдва\nтри"));
  tree.SetFolderChecked(tree_ + "/A", false);
  tree.SetFolderChecked(tree_ + "/B/", false);
  EXPECT_FALSE(save->isEnabled());  // no folder left
  tree.SetFolderChecked(tree_ + "/D", true);
  tree.SetFolderChecked(tree_ + "/B", true);
  ModalAnswers answers;
  answers.Press(QMessageBox::Ok);
  Click(&dialog, "Command3");
  EXPECT_EQ(answers.Texts(),
            QStringList{QStringLiteral(
                "Произведено изменение параметров индекса,\nрекомендуем обновить индекс")});
  EXPECT_EQ(answers.Icons().front(), QMessageBox::Information);
  EXPECT_EQ(dialog.result(), QDialog::Accepted);
  EXPECT_EQ(test::ReadFile(path),
            "[General]\r\nversion=0.99\r\ndbname=/i/E.mdb\r\ntitle=Правка\r\n"
            "desc=один/nдва/nтри\r\next=*.doc;*.pdf;\r\n"
            "IndexType=local\r\nFilesCount=3\r\nFilesSize=10\r\nPDF_Mode=Min\r\n"
            "Archive=0\r\n[Mail]\r\nOutlookExpress=1\r\n[Folders]\r\n" +
                tree_ + "/B/,1\r\n" + tree_ + "/D/,1");
}

TEST_F(WizardTest, EditDialogShowsAWebIndexWithoutSaving) {
  EditIndexDialog dialog(web_, nullptr);
  dialog.show();
  EXPECT_EQ(dialog.windowTitle(), QStringLiteral("Редактирование индекса Сайт"));
  EXPECT_FALSE(Find<QPushButton>(&dialog, "Command3")->isEnabled());
  EXPECT_FALSE(Find<QTreeView>(&dialog, "ft1")->isVisible());
  EXPECT_FALSE(Find<QListWidget>(&dialog, "ListView1")->isVisible());
}

}  // namespace
}  // namespace zyl::ui
