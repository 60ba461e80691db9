// Renders the new-index wizards, the build window (mid-build) and the edit dialog over the
// program folder of ZYL_HOME into PNG files, for the documentation:
// zyl-wizard-screenshots OUTPUT_FOLDER DOCUMENTS_FOLDER LOCAL_DESCRIPTOR.
#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QDir>
#include <QEventLoop>
#include <QLineEdit>
#include <QListWidget>
#include <QPlainTextEdit>
#include <QTimer>
#include <QTreeView>
#include <atomic>
#include <cstdio>
#include <fstream>

#include "base/Paths.h"
#include "base/ProgramFolder.h"
#include "catalog/NewIndex.h"
#include "indexer/IndexChoices.h"
#include "settings/Config.h"
#include "settings/Settings.h"
#include "ui/BuildWindow.h"
#include "ui/EditIndexDialog.h"
#include "ui/FolderTreeModel.h"
#include "ui/QtHost.h"
#include "ui/WebWizardStep2.h"
#include "ui/WizardFoldersStep.h"
#include "ui/WizardNameStep.h"
#include "ui/WizardTypesStep.h"

namespace {

// Lets the folder tree load the folders it shows (it reads them on its own thread).
void Settle(int ms) {
  QEventLoop loop;
  QTimer::singleShot(ms, &loop, &QEventLoop::quit);
  loop.exec();
}

void Save(QWidget& window, const QString& file) {
  QApplication::processEvents();
  if (!window.grab().save(file)) std::fprintf(stderr, "cannot write %s\n", qPrintable(file));
}

void Check(QListWidget* list, std::initializer_list<const char*> codes) {
  for (int i = 0; i < list->count(); ++i)
    for (const char* code : codes)
      if (list->item(i)->data(Qt::UserRole).toString() == QLatin1String(code))
        list->item(i)->setCheckState(Qt::Checked);
}

}  // namespace

int main(int argc, char** argv) {
  if (argc < 4) {
    std::fprintf(stderr,
                 "usage: zyl-wizard-screenshots OUTPUT_FOLDER DOCUMENTS LOCAL_DESCRIPTOR\n");
    return 2;
  }
  QApplication app(argc, argv);
  zyl::base::SetProgramFolder(zyl::base::ResolveProgramFolder(""));
  zyl::settings::LoadConfig();
  const QString out = QString::fromLocal8Bit(argv[1]);
  const std::string documents = argv[2];
  QDir().mkpath(out);
  using namespace zyl;

  {
    ui::WizardNameStep step(false);
    step.findChild<QLineEdit*>(QStringLiteral("Text2"))->setText(QStringLiteral("Переписка"));
    step.findChild<QPlainTextEdit*>(QStringLiteral("Text3"))
        ->setPlainText(QStringLiteral("Письма и договоры отдела\nза 2019-2024 годы"));
    step.show();
    Save(step, out + QStringLiteral("/wizard-1.png"));
  }
  catalog::IndexDefinition def;
  def.title = "Переписка";
  {
    ui::WizardFoldersStep step(def);
    step.show();
    auto* tree = step.findChild<QTreeView*>(QStringLiteral("FolderTreeview1"));
    ui::FolderTreeModel& model = step.Tree();
    const QString docs = QString::fromStdString(documents);
    for (QModelIndex i = model.index(docs); i.isValid(); i = i.parent()) tree->expand(i);
    Settle(600);
    model.SetFolderChecked(documents, true);
    tree->scrollTo(model.index(docs), QAbstractItemView::PositionAtCenter);
    tree->setCurrentIndex(model.index(docs));
    Settle(200);
    Save(step, out + QStringLiteral("/wizard-2.png"));
  }
  {
    ui::WizardTypesStep step(def);
    auto* list = step.findChild<QListWidget*>(QStringLiteral("ListView1"));
    Check(list, {"txt", "rtf", "doc", "xls", "html", "pdffull"});
    step.findChild<QCheckBox*>(QStringLiteral("Check1"))->setChecked(true);
    step.findChild<QCheckBox*>(QStringLiteral("Check2"))->setChecked(true);
    step.show();
    Save(step, out + QStringLiteral("/wizard-3.png"));
  }
  {
    ui::WebWizardStep2 step(def);
    step.findChild<QLineEdit*>(QStringLiteral("Text1"))
        ->setText(QStringLiteral("http://intranet.example/docs/index.html"));
    step.show();
    Save(step, out + QStringLiteral("/web-2.png"));
  }

  // The build over a folder of generated letters, grabbed half-way.
  const std::string corpus = base::WithTrailingSlash(base::ProgramFolder()) + "demo-letters/";
  base::MakeFolders(corpus);
  for (int i = 1; i <= 600; ++i) {
    std::ofstream(corpus + "letter-" + std::to_string(1000 + i) + ".txt")
        << "Письмо номер " << i << ": договор поставки, счёт и акт сверки.\n";
  }
  catalog::IndexDefinition build;
  if (!catalog::DefineNewIndex("Письма", "Сгенерированные письма", settings::Config().IndexFolder,
                               build)
           .empty()) {
    std::fprintf(stderr, "cannot define the demo build\n");
    return 1;
  }
  build.folders = {{corpus, true}};
  indexer::SetTypeChoices(build, {"txt"});
  {
    ui::BuildWindow window(build);
    window.SetOptions({1, 50, {}});
    QEventLoop loop;
    std::atomic<bool> saved{false};
    // Half-way the worker waits until the window has shown everything so far and was grabbed;
    // the demo build is then stopped, so it leaves nothing behind.
    QObject::connect(
        &window.Host(), &ui::QtHost::countsChanged, &window.Host(),
        [&](qint64 done, qint64 total) {
          if (saved || done * 2 < total) return;
          saved = true;
          QMetaObject::invokeMethod(
              &window,
              [&] {
                Save(window, out + QStringLiteral("/build.png"));
                window.Host().StopWithoutAsking();
              },
              Qt::BlockingQueuedConnection);
        },
        Qt::DirectConnection);
    QObject::connect(&window, &ui::BuildWindow::buildFinished, &loop, &QEventLoop::quit);
    window.show();
    loop.exec();
  }
  {
    ui::EditIndexDialog dialog(argv[3]);
    dialog.show();
    Settle(2000);
    Save(dialog, out + QStringLiteral("/edit.png"));
  }
  return 0;
}
