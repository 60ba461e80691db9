// Renders the desktop windows over the program folder of ZYL_HOME into PNG files, for the
// documentation: zyl-screenshots OUTPUT_FOLDER NAME_SUFFIX [DESCRIPTORS_TO_UPDATE...].
#include <QApplication>
#include <QDir>
#include <QEventLoop>
#include <QListWidget>
#include <QTabWidget>
#include <QTimer>
#include <QTreeWidget>
#include <cstdio>
#include <memory>

#include "base/ProgramFolder.h"
#include "base/Version.h"
#include "catalog/IndexDatabase.h"
#include "settings/Config.h"
#include "settings/Settings.h"
#include "ui/IndexManagerWindow.h"
#include "ui/OptionsDialog.h"
#include "ui/ServerWindow.h"
#include "ui/UpdateWindow.h"

namespace {

void Save(QWidget& window, const QString& file) {
  // Let the window lay itself out and paint before grabbing it.
  QApplication::processEvents();
  if (!window.grab().save(file, "PNG", 0))
    std::fprintf(stderr, "cannot write %s\n", qPrintable(file));
}

}  // namespace

int main(int argc, char** argv) {
  if (argc < 3) {
    std::fprintf(stderr, "usage: zyl-screenshots OUTPUT_FOLDER SUFFIX [DESCRIPTOR...]\n");
    return 2;
  }
  QApplication app(argc, argv);
  QApplication::setApplicationVersion(
      QString::fromUtf8(zyl::base::ProgramVersion().data(),
                        static_cast<qsizetype>(zyl::base::ProgramVersion().size())));
  const std::string folder = zyl::base::ResolveProgramFolder("");
  zyl::base::SetProgramFolder(folder);
  zyl::settings::LoadConfig();
  const QString out = QString::fromLocal8Bit(argv[1]);
  const QString suffix = QString::fromLocal8Bit(argv[2]);
  QDir().mkpath(out);

  zyl::ui::IndexManagerWindow manager;
  manager.show();
  // The local index focused (its folders and types shown) and the web index selected as well,
  // so the status bar shows the summary of two rows.
  auto* list = manager.findChild<QTreeWidget*>(QStringLiteral("ListView1"));
  if (list) {
    for (int i = 0; i < list->topLevelItemCount(); ++i) {
      QTreeWidgetItem* item = list->topLevelItem(i);
      if (item->text(2) == QLatin1String("local")) list->setCurrentItem(item);
    }
    for (int i = 0; i < list->topLevelItemCount(); ++i) {
      QTreeWidgetItem* item = list->topLevelItem(i);
      if (item->text(2) == QLatin1String("WebFolder")) item->setSelected(true);
    }
  }
  Save(manager, out + QStringLiteral("/manager%1.png").arg(suffix));

  {
    // Each page of the options dialog, the found-text style chosen on the view page.
    zyl::ui::OptionsDialog options(&manager);
    options.show();
    auto* tabs = options.findChild<QTabWidget*>(QStringLiteral("SSTab1"));
    auto* styles = options.findChild<QListWidget*>(QStringLiteral("List2"));
    const char* pages[] = {"general", "language", "view", "archivers"};
    for (int i = 0; tabs && i < tabs->count() && i < 4; ++i) {
      tabs->setCurrentIndex(i);
      if (i == 2 && styles) styles->setCurrentRow(1);
      Save(options, out + QStringLiteral("/options-%1%2.png").arg(QLatin1String(pages[i]), suffix));
    }
  }
  {
    // The server on its configured port, or on any free one when that is taken here.
    const auto& config = zyl::settings::Config();
    auto server = std::make_unique<zyl::ui::ServerWindow>(config.localport, config.BindAddress);
    if (!server->layer().IsListening()) {
      server = std::make_unique<zyl::ui::ServerWindow>(0, config.BindAddress);
    }
    server->show();
    Save(*server, out + QStringLiteral("/server%1.png").arg(suffix));
  }

  if (argc > 3) {
    zyl::ui::UpdateWindow update(std::vector<std::string>(argv + 3, argv + argc), &manager);
    QEventLoop loop;
    QObject::connect(&update, &zyl::ui::UpdateWindow::runFinished, &loop, &QEventLoop::quit);
    QTimer::singleShot(120000, &loop, &QEventLoop::quit);
    update.show();
    loop.exec();
    Save(update, out + QStringLiteral("/update%1.png").arg(suffix));
  }
  return 0;
}
