#include "ui/ServerWindow.h"

#include <gtest/gtest.h>

#include <QEventLoop>
#include <QLabel>
#include <QLineEdit>
#include <QNetworkInterface>
#include <QPushButton>
#include <QSignalSpy>
#include <QTcpServer>
#include <QTcpSocket>
#include <QTest>
#include <QTimer>

#include "server/ServerAddress.h"
#include "settings/Config.h"
#include "settings/IniFile.h"
#include "settings/Settings.h"
#include "support/ModalAnswers.h"
#include "support/TestSupport.h"
#include "ui/PlatformServices.h"
#include "ui/ServerWindowTexts.h"

namespace zyl::ui {
namespace {

struct Reply {
  bool connected = false;
  std::string bytes;
};

// Sends `request` to the port on this machine and collects the reply until the server closes
// the connection (the event loop runs meanwhile, so the window's listener serves it).
Reply Fetch(int port, const char* request = "GET /?action=hello HTTP/1.0\r\n\r\n") {
  Reply reply;
  QTcpSocket socket;
  QEventLoop loop;
  QTimer limit;
  limit.setSingleShot(true);
  QObject::connect(&limit, &QTimer::timeout, &loop, &QEventLoop::quit);
  QObject::connect(&socket, &QTcpSocket::connected, [&] {
    reply.connected = true;
    socket.write(request);
  });
  QObject::connect(&socket, &QTcpSocket::readyRead,
                   [&] { reply.bytes += socket.readAll().toStdString(); });
  QObject::connect(&socket, &QTcpSocket::disconnected, &loop, &QEventLoop::quit);
  QObject::connect(&socket, &QTcpSocket::errorOccurred, [&](QAbstractSocket::SocketError e) {
    if (e != QAbstractSocket::RemoteHostClosedError) loop.quit();
  });
  socket.connectToHost(QStringLiteral("127.0.0.1"), static_cast<quint16>(port));
  limit.start(10000);
  loop.exec();
  reply.bytes += socket.readAll().toStdString();
  return reply;
}

// A port nobody listens on right now.
int FreePort() {
  QTcpServer probe;
  probe.listen(QHostAddress::LocalHost, 0);
  return probe.serverPort();
}

class ServerWindowTest : public ::testing::Test {
 protected:
  void SetUp() override {
    settings::Config() = settings::Settings();
    settings::LoadConfig();
    settings::Config().Lang = home_.file("russian.lng");
  }
  void TearDown() override { settings::Config() = settings::Settings(); }

  static QString Text(QWidget& window, const char* name) {
    if (auto* box = window.findChild<QLineEdit*>(QString::fromLatin1(name))) return box->text();
    auto* label = window.findChild<QLabel*>(QString::fromLatin1(name));
    EXPECT_NE(label, nullptr) << name;
    return label ? label->text() : QString();
  }

  // Runs the window's settings command, typing `port` into the dialog and confirming.
  static void ChangePortInOptions(ServerWindow& window, int port) {
    test::ModalAnswers answers;
    answers.Then(
        [port](QWidget* dialog) {
          auto* box = dialog->findChild<QLineEdit*>(QStringLiteral("Text3"));
          box->selectAll();
          QTest::keyClicks(box, QString::number(port));
          QTest::mouseClick(dialog->findChild<QPushButton*>(QStringLiteral("Command1")),
                            Qt::LeftButton);
        },
        "QDialog");
    window.findChild<QAction*>(QStringLiteral("mnuOptions"))->trigger();
    EXPECT_TRUE(answers.AllAnswered());
  }

  test::ProgramFolderScope home_;
};

TEST_F(ServerWindowTest, ShowsWhereItListensAndAnswersHello) {
  ServerWindow window(0, "127.0.0.1");
  window.show();
  EXPECT_EQ(window.windowTitle(), "ZYL: сервер документов");
  ASSERT_TRUE(window.layer().IsListening());
  const int port = window.layer().Port();
  EXPECT_EQ(Text(window, "Text1"), "127.0.0.1");
  EXPECT_EQ(Text(window, "Text3"), QString::number(port));
  EXPECT_EQ(Text(window, "Text2").toStdString(), server::LocalHostName());
  EXPECT_EQ(Text(window, "Label5"), QStringLiteral("http://127.0.0.1:%1/?action=hello").arg(port));
  const Reply reply = Fetch(port);
  ASSERT_TRUE(reply.connected);
  EXPECT_TRUE(reply.bytes.starts_with("HTTP/1.0 200")) << reply.bytes.substr(0, 80);
  // The form posts back to where the browser reached the server.
  EXPECT_NE(reply.bytes.find("http://127.0.0.1:" + std::to_string(port) + "/"), std::string::npos);

  // A click on the link opens it in the browser.
  std::vector<QUrl> opened;
  const UrlOpener previous = SetUrlOpener([&](const QUrl& url) { opened.push_back(url); });
  QTest::mouseClick(window.findChild<QLabel*>(QStringLiteral("Label5")), Qt::LeftButton);
  SetUrlOpener(previous);
  ASSERT_EQ(opened.size(), 1u);
  EXPECT_EQ(opened[0].toString(), Text(window, "Label5"));
}

// A port that cannot be opened is reported in the window, which stays; a port set in the options
// dialog is then listened on, shown and stored, and the server leaves the port before it.
TEST_F(ServerWindowTest, ABusyPortIsReportedAndTheOptionsDialogMovesTheServer) {
  QTcpServer holder;
  ASSERT_TRUE(holder.listen(QHostAddress::LocalHost, 0));
  const int busy = holder.serverPort();
  ServerWindow window(busy, "127.0.0.1");
  window.show();
  EXPECT_FALSE(window.layer().IsListening());
  EXPECT_TRUE(window.isVisible());
  const QString status = Text(window, "StatusLabel");
  EXPECT_TRUE(status.startsWith(QStringLiteral("Сервер не запущен"))) << status.toStdString();
  EXPECT_TRUE(status.contains(QString::number(busy))) << status.toStdString();
  EXPECT_TRUE(Text(window, "Label5").isEmpty());

  const int freePort = FreePort();
  ChangePortInOptions(window, freePort);
  EXPECT_TRUE(window.layer().IsListening());
  EXPECT_EQ(Text(window, "StatusLabel"), "Сервер работает.");
  EXPECT_TRUE(Fetch(freePort).bytes.starts_with("HTTP/1.0 200"));

  const int newPort = FreePort();
  ChangePortInOptions(window, newPort);
  EXPECT_EQ(window.layer().Port(), newPort);
  EXPECT_EQ(Text(window, "Text3"), QString::number(newPort));
  EXPECT_TRUE(Text(window, "Label5").contains(QStringLiteral(":%1/").arg(newPort)));
  EXPECT_EQ(settings::ReadIniValue("General", "LocalPort", "", settings::ServerIniPath()),
            std::to_string(newPort));
  EXPECT_TRUE(Fetch(newPort).bytes.starts_with("HTTP/1.0 200"));
  EXPECT_FALSE(Fetch(freePort).connected);
}

TEST_F(ServerWindowTest, ExitAndClosingStopTheServer) {
  int port = 0;
  {
    ServerWindow window(0, "127.0.0.1");
    window.show();
    port = window.layer().Port();
    QSignalSpy exit(&window, &ServerWindow::exitRequested);
    window.findChild<QAction*>(QStringLiteral("mnuShutDown"))->trigger();
    EXPECT_EQ(exit.count(), 1);
    EXPECT_FALSE(window.layer().IsListening());
    EXPECT_FALSE(Fetch(port).connected);
  }
  ServerWindow window(0, "127.0.0.1");
  window.show();
  port = window.layer().Port();
  window.close();
  EXPECT_FALSE(window.layer().IsListening());
  EXPECT_FALSE(Fetch(port).connected);
}

TEST(ServerAddressTest, EveryInterfaceShowsTheMachinesOwnAddress) {
  EXPECT_EQ(server::ServerAddress("localhost"), "127.0.0.1");
  EXPECT_EQ(server::ServerAddress(" 10.1.2.3 "), "10.1.2.3");
  const std::string own = server::ServerAddress("");
  bool hasOther = false;
  for (const QHostAddress& a : QNetworkInterface::allAddresses()) {
    if (a.protocol() == QAbstractSocket::IPv4Protocol && !a.isLoopback()) hasOther = true;
  }
  if (hasOther) {
    EXPECT_NE(own, "127.0.0.1");
    EXPECT_TRUE(QHostAddress(QString::fromStdString(own)).protocol() ==
                QAbstractSocket::IPv4Protocol);
  } else {
    EXPECT_EQ(own, "127.0.0.1");
  }
  EXPECT_EQ(server::SearchPageLink("10.0.0.5", 8080), "http://10.0.0.5:8080/?action=hello");
  EXPECT_EQ(server::SearchPageLink("::1", 80), "http://[::1]:80/?action=hello");
}

}  // namespace
}  // namespace zyl::ui
