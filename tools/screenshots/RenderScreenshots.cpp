// Renders the desktop windows over the program folder of ZYL_HOME into PNG files, for the
// documentation: zyl-screenshots OUTPUT_FOLDER NAME_SUFFIX [DESCRIPTORS_TO_UPDATE...].
#include <QAction>
#include <QApplication>
#include <QComboBox>
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
#include "ui/QueryBuilderDialog.h"
#include "ui/ReportDialog.h"
#include "ui/SearchWindow.h"
#include "ui/ServerWindow.h"
#include "ui/UpdateWindow.h"

namespace {

void Save(QWidget& window, const QString& file) {
  // Let the window lay itself out and paint before grabbing it.
  QApplication::processEvents();
  if (!window.grab().save(file, "PNG", 0))
    std::fprintf(stderr, "cannot write %s\n", qPrintable(file));
}

// The search window over the first index with a search and its first hit selected; in the
// Russian run also the query builder and the report dialog.
void RenderSearchWindows(QWidget& manager, QTreeWidget* list, const QString& out,
                         const QString& suffix) {
  if (!list || list->topLevelItemCount() == 0) return;
  std::vector<zyl::ui::IndexChoice> indexes;
  for (int i = 0; i < list->topLevelItemCount(); ++i) {
    indexes.push_back({list->topLevelItem(i)->text(0).toStdString(),
                       list->topLevelItem(i)->text(1).toStdString(), i < 2});
  }
  zyl::ui::SearchWindow search(indexes, &manager);
  // A layout a person would settle on: a larger window with wider columns.
  search.resize(1060, 680);
  search.show();
  auto* results = search.findChild<QTreeWidget*>(QStringLiteral("ListView1"));
  const int widths[] = {150, 170, 110, 45, 140, 80, 200};
  for (int c = 0; c < 7; ++c) results->setColumnWidth(c, widths[c]);
  auto* box = search.findChild<QComboBox*>(QStringLiteral("Combo3"));
  box->setEditText(suffix.isEmpty() ? QStringLiteral("отчет бюджет")
                                    : QStringLiteral("budget report"));
  search.RunSearch();
  search.findChild<QAction*>(QStringLiteral("Button6"))->trigger();
  Save(search, out + QStringLiteral("/search%1.png").arg(suffix));
  if (!suffix.isEmpty()) return;

  zyl::ui::QueryBuilderDialog builder("", &search);
  builder.InsertText("Content LIKE \"*отчет*\" AND Type=\"txt\" ");
  builder.show();
  Save(builder, out + QStringLiteral("/query-builder.png"));

  zyl::ui::ReportDialog report(search.RowsInListOrder(), &search);
  report.show();
  Save(report, out + QStringLiteral("/report.png"));
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

  RenderSearchWindows(manager, list, out, suffix);
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
