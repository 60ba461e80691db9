#include "ui/ServerWindow.h"

#include <QApplication>
#include <QCloseEvent>
#include <QGridLayout>
#include <QLabel>
#include <QLineEdit>
#include <QMenuBar>
#include <QMessageBox>
#include <QMouseEvent>

#include "server/ServerAddress.h"
#include "settings/LangKeys.h"
#include "settings/Settings.h"
#include "ui/ApplyTexts.h"
#include "ui/Icons.h"
#include "ui/OptionsDialog.h"
#include "ui/PlatformServices.h"
#include "ui/ServerWindowTexts.h"
#include "ui/Twips.h"

#ifndef ZYL_VERSION
#define ZYL_VERSION "0"
#endif

namespace zyl::ui {

namespace {

constexpr int kWidth = 6600;  // twips
constexpr int kMinHeight = 2400;

template <typename W>
W* Named(W* widget, const char* name) {
  widget->setObjectName(QString::fromLatin1(name));
  return widget;
}

QLineEdit* ReadOnlyBox(const char* name) {
  auto* box = Named(new QLineEdit, name);
  box->setReadOnly(true);
  // Selectable for copying, but the window opens with nothing in focus.
  box->setFocusPolicy(Qt::ClickFocus);
  return box;
}

}  // namespace

ServerWindow::ServerWindow(int port, std::string bindAddress, QWidget* parent)
    : QMainWindow(parent),
      handler_({}, settings::Config().SearchThreads),
      layer_(handler_),
      port_(port),
      bindAddress_(std::move(bindAddress)) {
  setObjectName(QStringLiteral("frmServer"));
  setWindowIcon(LoadIcon("search"));

  QMenu* server = Named(menuBar()->addMenu(QString()), "mnuServer");
  connect(Named(server->addAction(QString()), "mnuOptions"), &QAction::triggered, this,
          &ServerWindow::ShowOptions);
  server->addSeparator();
  connect(Named(server->addAction(QString()), "mnuShutDown"), &QAction::triggered, this,
          &ServerWindow::ShutDown);
  QMenu* help = Named(menuBar()->addMenu(QString()), "mnuMainHelp");
  connect(Named(help->addAction(QString()), "mnuHelp"), &QAction::triggered, this,
          &ServerWindow::ShowHelpPage);
  help->addSeparator();
  connect(Named(help->addAction(QString()), "mnuAbout"), &QAction::triggered, this,
          &ServerWindow::ShowAbout);

  auto* central = new QWidget;
  auto* grid = new QGridLayout(central);
  text1_ = ReadOnlyBox("Text1");
  text2_ = ReadOnlyBox("Text2");
  text3_ = ReadOnlyBox("Text3");
  grid->addWidget(Named(new QLabel, "Label1"), 0, 0);
  grid->addWidget(text1_, 0, 1);
  grid->addWidget(Named(new QLabel, "Label2"), 1, 0);
  grid->addWidget(text2_, 1, 1);
  grid->addWidget(Named(new QLabel, "Label3"), 2, 0);
  grid->addWidget(text3_, 2, 1);
  grid->addWidget(Named(new QLabel, "Label4"), 3, 0, 1, 2);
  label5_ = Named(new QLabel, "Label5");
  label5_->setCursor(Qt::PointingHandCursor);
  label5_->setTextInteractionFlags(Qt::NoTextInteraction);
  QPalette link = label5_->palette();
  link.setColor(QPalette::WindowText, palette().color(QPalette::Link));
  label5_->setPalette(link);
  QFont underlined = label5_->font();
  underlined.setUnderline(true);
  label5_->setFont(underlined);
  label5_->installEventFilter(this);
  grid->addWidget(label5_, 4, 0, 1, 2);
  status_ = Named(new QLabel, "StatusLabel");
  status_->setWordWrap(true);
  grid->addWidget(status_, 5, 0, 1, 2);
  grid->setColumnStretch(1, 1);
  grid->setRowStretch(6, 1);
  setCentralWidget(central);

  ApplyLanguage();
  ServerUp();
  DrawForm();
  setMinimumHeight(Px(kMinHeight));
  resize(Px(kWidth), sizeHint().height());
}

ServerWindow::~ServerWindow() {
  ServerShutDown();
}

int ServerWindow::Px(int twips) const {
  return TwipsToPixels(twips, logicalDpiY());
}

void ServerWindow::ApplyLanguage() {
  ApplyTexts(*this, ServerWindowTexts());
}

void ServerWindow::ServerUp() {
  failure_ = layer_.Listen(port_, bindAddress_);
}

void ServerWindow::ServerShutDown() {
  layer_.Close();
}

void ServerWindow::DrawForm() {
  text2_->setText(ToQt(server::LocalHostName()));
  if (layer_.IsListening()) {
    const std::string address = server::ServerAddress(bindAddress_);
    text1_->setText(ToQt(address));
    text3_->setText(QString::number(layer_.Port()));
    label5_->setText(ToQt(server::SearchPageLink(address, layer_.Port())));
    label5_->setVisible(true);
    status_->setText(ToQt(settings::LangString(kServerListening)));
    status_->setStyleSheet(QString());
  } else {
    text1_->clear();
    text3_->setText(QString::number(port_));
    label5_->clear();
    label5_->setVisible(false);
    status_->setText(ToQt(settings::LangString(kServerNotListening)) + QStringLiteral("\n") +
                     ToQt(failure_));
    status_->setStyleSheet(QStringLiteral("color: #b00020"));
  }
}

void ServerWindow::ShowOptions() {
  {
    OptionsDialog dialog(this);
    dialog.exec();
  }
  // The listener follows the port in force, whether or not the dialog changed it.
  port_ = settings::Config().localport;
  ServerShutDown();
  ServerUp();
  DrawForm();
}

void ServerWindow::ShutDown() {
  ServerShutDown();
  emit exitRequested();
}

void ServerWindow::ShowHelpPage() {
  ShowHelp(this, kHelpServerWindow);
}

void ServerWindow::ShowAbout() {
  QMessageBox box(QMessageBox::Information, ToQt(CaptionText(settings::kServerMenuAbout)),
                  QStringLiteral("<b>ZYL</b><br>%1 %2<br><br>%3")
                      .arg(ToQt(settings::LangString(settings::kManagerVersion)),
                           QCoreApplication::applicationVersion().toHtmlEscaped(),
                           ToQt(settings::LangString(settings::kManagerAboutText)).toHtmlEscaped()),
                  QMessageBox::Ok, this);
  box.setObjectName(QStringLiteral("frmAbout"));
  box.setIconPixmap(LoadIcon("search").pixmap(48, 48));
  box.exec();
}

void ServerWindow::OpenLink() {
  if (!label5_->text().isEmpty()) ShellOpen(this, FromQt(label5_->text()));
}

void ServerWindow::closeEvent(QCloseEvent* event) {
  ServerShutDown();
  event->accept();
}

bool ServerWindow::eventFilter(QObject* watched, QEvent* event) {
  if (watched == label5_ && event->type() == QEvent::MouseButtonRelease &&
      static_cast<QMouseEvent*>(event)->button() == Qt::LeftButton) {
    OpenLink();
    return true;
  }
  return QMainWindow::eventFilter(watched, event);
}

int RunServerWindow(int port, std::string bindAddress) {
  static int argc = 1;
  static char name[] = "zyl";
  static char* argv[] = {name, nullptr};
  QApplication app(argc, argv);
  QApplication::setApplicationName(QStringLiteral("ZYL"));
  QApplication::setApplicationVersion(QStringLiteral(ZYL_VERSION));
  ServerWindow window(port, std::move(bindAddress));
  QObject::connect(&window, &ServerWindow::exitRequested, &app, [] { QCoreApplication::exit(0); });
  window.show();
  return QApplication::exec();
}

}  // namespace zyl::ui
