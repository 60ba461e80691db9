#include "ui/DesktopApp.h"

#include <QApplication>

#include "base/Version.h"
#include "ui/ApplyTexts.h"
#include "ui/Icons.h"
#include "ui/IndexManagerWindow.h"
#include "ui/PlatformServices.h"

namespace zyl::ui {

int RunDesktop() {
  static int argc = 1;
  static char name[] = "zyl";
  static char* argv[] = {name, nullptr};
  QApplication app(argc, argv);
  QApplication::setApplicationName(QStringLiteral("ZYL"));
  QApplication::setApplicationVersion(ToQt(base::ProgramVersion()));
  QApplication::setWindowIcon(LoadIcon("zyl"));
  IndexManagerWindow window;
  QObject::connect(&window, &IndexManagerWindow::exitRequested, &app,
                   [] { QCoreApplication::exit(0); });
  window.show();
  return QApplication::exec();
}

}  // namespace zyl::ui
