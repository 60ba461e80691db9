// The file list report dialog: writes the search window's result list, in its current order,
// with the columns a person ticks, into a text file in the program folder and offers to open it.
#pragma once

#include <QDialog>
#include <string>
#include <vector>

#include "search/ResultList.h"

class QCheckBox;
class QLineEdit;

namespace zyl::ui {

class ReportDialog : public QDialog {
  Q_OBJECT

 public:
  ReportDialog(std::vector<search::ResultRow> rows, QWidget* parent = nullptr);

  // The report button: writes the file, asks whether to open it, and closes the dialog.
  void WriteReport();
  // Where the report goes: the program folder and the typed name.
  std::string ReportPath() const;

 private:
  std::vector<search::ResultRow> rows_;
  QLineEdit* text1_ = nullptr;
  QCheckBox* checks_[6] = {};
};

}  // namespace zyl::ui
