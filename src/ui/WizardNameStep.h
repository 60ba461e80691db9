// The first step of both new-index wizards (frmZYLwizard1, frmWebB1): the index name and
// description. Its next button checks the name and leaves the new index's empty descriptor in
// the index folder; the later steps' cancel buttons delete it again.
#pragma once

#include <QDialog>

#include "catalog/IndexDefinition.h"

class QLineEdit;
class QPlainTextEdit;
class QPushButton;

namespace zyl::ui {

class WizardNameStep : public QDialog {
  Q_OBJECT

 public:
  WizardNameStep(bool web, QWidget* parent = nullptr);

  // Title, description and paths, once the step was accepted.
  const catalog::IndexDefinition& Definition() const { return def_; }

 private:
  void Text2_Change();
  void Command1_Click();

  bool web_;
  catalog::IndexDefinition def_;
  QLineEdit* name_ = nullptr;
  QPlainTextEdit* desc_ = nullptr;
  QPushButton* next_ = nullptr;
};

}  // namespace zyl::ui
