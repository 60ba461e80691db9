#include "ui/DesktopApp.h"

#include <QApplication>

#include "ui/IndexManagerWindow.h"
#include "ui/PlatformServices.h"

#ifndef ZYL_VERSION
#define ZYL_VERSION "0"
#endif

namespace zyl::ui {

int RunDesktop() {
  static int argc = 1;
  static char name[] = "zyl";
  static char* argv[] = {name, nullptr};
  QApplication app(argc, argv);
  QApplication::setApplicationName(QStringLiteral("ZYL"));
  QApplication::setApplicationVersion(QStringLiteral(ZYL_VERSION));
  IndexManagerWindow window;
  QObject::connect(&window, &IndexManagerWindow::exitRequested, &app,
                   [] { QCoreApplication::exit(0); });
  window.show();
  const int status = QApplication::exec();
  return status;
}

}  // namespace zyl::ui
