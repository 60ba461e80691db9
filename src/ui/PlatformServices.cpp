#include "ui/PlatformServices.h"

#include <QApplication>
#include <QDesktopServices>
#include <QFileDialog>
#include <QMessageBox>
#include <QThread>

#include "base/Paths.h"
#include "settings/LangKeys.h"
#include "settings/Settings.h"
#include "ui/ApplyTexts.h"

namespace zyl::ui {

namespace {

UrlOpener& Opener() {
  static UrlOpener opener = [](const QUrl& url) { QDesktopServices::openUrl(url); };
  return opener;
}

QMessageBox::Icon ToQt(base::MessageIcon icon) {
  switch (icon) {
    case base::MessageIcon::Information:
      return QMessageBox::Information;
    case base::MessageIcon::Warning:
      return QMessageBox::Warning;
    case base::MessageIcon::Error:
      return QMessageBox::Critical;
    case base::MessageIcon::None:
      break;
  }
  return QMessageBox::NoIcon;
}

}  // namespace

std::string GetDriveList() {
  return "/";
}

void ShellOpen(QWidget*, std::string_view target) {
  const QString text = ui::ToQt(target);
  const QUrl url = text.startsWith('/') ? QUrl::fromLocalFile(text) : QUrl(text);
  if (Opener()) Opener()(url);
}

UrlOpener SetUrlOpener(UrlOpener opener) {
  UrlOpener previous = std::move(Opener());
  Opener() = std::move(opener);
  return previous;
}

std::string BrowseForFolder(QWidget* owner, std::string_view title) {
  const QString folder = QFileDialog::getExistingDirectory(owner, ui::ToQt(title), QString(),
                                                           QFileDialog::ShowDirsOnly);
  return FromQt(folder);
}

QUrl HelpUrl(std::string_view helpFile, int context) {
  QUrl url = QUrl::fromLocalFile(ui::ToQt(helpFile));
  if (context != kHelpContents) url.setFragment(QStringLiteral("context-%1").arg(context));
  return url;
}

void ShowHelp(QWidget* owner, int context) {
  const std::string& help = settings::Config().Help;
  if (help.empty() || !base::FileExists(help)) {
    ShowMessageBox(
        owner,
        {settings::LangString(settings::kManagerHelpMissing), {}, base::MessageIcon::Information});
    return;
  }
  if (Opener()) Opener()(HelpUrl(help, context));
}

void ShowMessageBox(QWidget* owner, const base::Message& message) {
  QApplication* app = qobject_cast<QApplication*>(QCoreApplication::instance());
  if (!app) return;
  if (QThread::currentThread() != app->thread()) {
    // A worker's message waits for its answer on the window thread.
    QMetaObject::invokeMethod(
        app, [message] { ShowMessageBox(QApplication::activeWindow(), message); },
        Qt::BlockingQueuedConnection);
    return;
  }
  QMessageBox box(ToQt(message.icon),
                  ui::ToQt(message.title.empty() ? kProgramTitle : message.title),
                  ui::ToQt(message.text), QMessageBox::Ok, owner);
  box.exec();
}

}  // namespace zyl::ui
