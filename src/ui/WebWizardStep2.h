// The web wizard's second step (frmWebB2): the start address and the crawl depth. The new
// index enters the recent index list here, before it is crawled.
#pragma once

#include <QDialog>

#include "catalog/IndexDefinition.h"

class QLineEdit;

namespace zyl::ui {

class WebWizardStep2 : public QDialog {
  Q_OBJECT

 public:
  WebWizardStep2(catalog::IndexDefinition def, QWidget* parent = nullptr);

  const catalog::IndexDefinition& Definition() const { return def_; }
  void reject() override;

 private:
  void Command1_Click();

  catalog::IndexDefinition def_;
  QLineEdit* url_ = nullptr;
  QLineEdit* depth_ = nullptr;
};

}  // namespace zyl::ui
