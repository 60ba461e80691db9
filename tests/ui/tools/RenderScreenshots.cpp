// Renders the desktop windows over the program folder of ZYL_HOME into PNG files, for the
// documentation: zyl-screenshots OUTPUT_FOLDER NAME_SUFFIX [DESCRIPTORS_TO_UPDATE...].
#include <QAction>
#include <QApplication>
#include <QComboBox>
#include <QDir>
#include <QEventLoop>
#include <QTimer>
#include <QTreeWidget>
#include <cstdio>

#include "base/ProgramFolder.h"
#include "catalog/IndexDatabase.h"
#include "settings/Config.h"
#include "ui/IndexManagerWindow.h"
#include "ui/QueryBuilderDialog.h"
#include "ui/ReportDialog.h"
#include "ui/SearchWindow.h"
#include "ui/UpdateWindow.h"

namespace {

void Save(QWidget& window, const QString& file) {
  // Let the window lay itself out and paint before grabbing it.
  QApplication::processEvents();
  if (!window.grab().save(file)) std::fprintf(stderr, "cannot write %s\n", qPrintable(file));
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
  QApplication::setApplicationVersion(QStringLiteral("demo"));
  const std::string folder = zyl::base::ResolveProgramFolder("");
  zyl::base::SetProgramFolder(folder);
  zyl::settings::LoadConfig();
  const QString out = QString::fromLocal8Bit(argv[1]);
  const QString suffix = QString::fromLocal8Bit(argv[2]);
  QDir().mkpath(out);

  zyl::ui::IndexManagerWindow manager;
  manager.show();
  // Two rows selected: the status bar shows their summary.
  auto* list = manager.findChild<QTreeWidget*>(QStringLiteral("ListView1"));
  if (list && list->topLevelItemCount() > 1) list->topLevelItem(1)->setSelected(true);
  Save(manager, out + QStringLiteral("/manager%1.png").arg(suffix));

  RenderSearchWindows(manager, list, out, suffix);

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
