#include "ui/NewIndexWizards.h"

#include "ui/BuildWindow.h"
#include "ui/CrawlWindow.h"
#include "ui/WebWizardStep2.h"
#include "ui/WizardFoldersStep.h"
#include "ui/WizardNameStep.h"
#include "ui/WizardTypesStep.h"

namespace zyl::ui {

bool RunLocalIndexWizard(QWidget* owner) {
  catalog::IndexDefinition def;
  {
    WizardNameStep step(false, owner);
    if (step.exec() != QDialog::Accepted) return false;
    def = step.Definition();
  }
  {
    WizardFoldersStep step(def, owner);
    if (step.exec() != QDialog::Accepted) return false;
    def = step.Definition();
  }
  {
    WizardTypesStep step(def, owner);
    if (step.exec() != QDialog::Accepted) return false;
    def = step.Definition();
  }
  BuildWindow build(def, owner);
  build.exec();
  return build.Result().outcome == indexer::BuildResult::kFinished;
}

bool RunWebIndexWizard(QWidget* owner) {
  catalog::IndexDefinition def;
  {
    WizardNameStep step(true, owner);
    if (step.exec() != QDialog::Accepted) return false;
    def = step.Definition();
  }
  {
    WebWizardStep2 step(def, owner);
    if (step.exec() != QDialog::Accepted) return false;
    def = step.Definition();
  }
  CrawlWindow crawl(def, owner);
  crawl.exec();
  return crawl.Result().outcome == indexer::BuildResult::kFinished;
}

}  // namespace zyl::ui
