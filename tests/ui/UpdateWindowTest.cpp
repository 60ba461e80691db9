#include "ui/UpdateWindow.h"

#include <QLabel>
#include <QProgressBar>
#include <QPushButton>
#include <QSignalSpy>

#include "catalog/DescriptorReader.h"
#include "support/ManagerFixture.h"
#include "support/ModalAnswers.h"
#include "support/Widgets.h"

namespace zyl::ui {
namespace {

using UpdateWindowTest = test::ManagerFixture;

using test::Q;

QPushButton* Button(UpdateWindow& w) {
  return w.findChild<QPushButton*>(QStringLiteral("Command3"));
}

TEST_F(UpdateWindowTest, UpdatesEachIndexInTurnAndThenOffersToClose) {
  const std::string gone = home_.file("index/Gone.zyl");
  UpdateWindow window({local_, gone});
  EXPECT_EQ(window.windowTitle(), "Обновление индекса");
  EXPECT_EQ(Button(window)->text(), "Стоп");
  test::ModalAnswers answers;
  answers.Press(QMessageBox::Ok);  // the missing descriptor is reported
  QSignalSpy finished(&window, &UpdateWindow::runFinished);
  QSignalSpy started(&window, &UpdateWindow::indexStarted);
  window.show();
  ASSERT_TRUE(finished.wait(30000));
  EXPECT_EQ(started.count(), 2);
  EXPECT_EQ(answers.Texts(), QStringList({"Файл " + Q(gone) + " не существует"}));
  const QString log = window.LogText();
  EXPECT_TRUE(log.startsWith("Открываем файл индекса \n" + Q(local_) + "... успешно"))
      << log.toStdString();
  EXPECT_TRUE(log.contains("Поиск файлов...найдено  1.\n"));
  EXPECT_TRUE(log.contains("Добавляем файл " + Q(docs_ + "/a.txt") + "...успешно\n"));
  EXPECT_TRUE(log.contains("Обновление индекса завершено.\n"));
  EXPECT_TRUE(log.endsWith("Обновление завершено.\n"));
  EXPECT_EQ(catalog::ReadGeneral(local_, "FilesCount"), "1");
  auto* progress = window.findChild<QProgressBar*>(QStringLiteral("ProgressBar1"));
  EXPECT_EQ(progress->value(), progress->maximum());
  EXPECT_EQ(Button(window)->text(), "Закрыть");
  Button(window)->click();
  EXPECT_FALSE(window.isVisible());
  EXPECT_EQ(window.result(), QDialog::Accepted);
}

TEST_F(UpdateWindowTest, StopSkipsTheIndexesAfterTheCurrentOne) {
  const std::string second = home_.write("index/Second.zyl", "[General]\r\ntitle=x\r\n");
  UpdateWindow window({local_, second, local_});
  QSignalSpy finished(&window, &UpdateWindow::runFinished);
  QObject::connect(&window, &UpdateWindow::indexStarted, &window, [&](int number) {
    if (number == 1) Button(window)->click();
  });
  window.show();
  ASSERT_TRUE(finished.wait(30000));
  const QString log = window.LogText();
  EXPECT_EQ(log.count("Открываем файл индекса"), 1);
  EXPECT_TRUE(log.endsWith("Обновление завершено.\n"));
  EXPECT_TRUE(Button(window)->isEnabled());
  EXPECT_EQ(Button(window)->text(), "Закрыть");
}

TEST_F(UpdateWindowTest, ClosingIsRefusedWhileTheWorkRuns) {
  UpdateWindow window({local_});
  QSignalSpy finished(&window, &UpdateWindow::runFinished);
  bool closedWhileRunning = true;
  QObject::connect(&window, &UpdateWindow::indexStarted, &window, [&] {
    window.close();
    closedWhileRunning = !window.isVisible();
  });
  window.show();
  ASSERT_TRUE(finished.wait(30000));
  EXPECT_FALSE(closedWhileRunning);
  EXPECT_TRUE(window.isVisible());
  window.close();
  EXPECT_FALSE(window.isVisible());
}

}  // namespace
}  // namespace zyl::ui
