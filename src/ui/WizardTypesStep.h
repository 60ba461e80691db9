// The local wizard's third step (frmZYLwizard3): the document types, the archive choice and the
// user's own masks (remembered in a recent list), with a menu of preset schemes.
#pragma once

#include <QDialog>

#include "catalog/IndexDefinition.h"

class QCheckBox;
class QComboBox;
class QListWidget;
class QListWidgetItem;
class QMenu;
class QPushButton;

namespace zyl::ui {

class WizardTypesStep : public QDialog {
  Q_OBJECT

 public:
  WizardTypesStep(catalog::IndexDefinition def, QWidget* parent = nullptr);

  const catalog::IndexDefinition& Definition() const { return def_; }
  // Applies scheme 1..5 of the scheme menu.
  void mnuScheme_Click(int scheme);

  void reject() override;

 private:
  void ListView1_ItemCheck(QListWidgetItem* item);
  void UpdateNextButton();
  void Command1_Click();

  catalog::IndexDefinition def_;
  QListWidget* types_ = nullptr;
  QCheckBox* archives_ = nullptr;
  QCheckBox* users_ = nullptr;
  QComboBox* masks_ = nullptr;
  QPushButton* next_ = nullptr;
  QMenu* schemes_ = nullptr;
};

}  // namespace zyl::ui
