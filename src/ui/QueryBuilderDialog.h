// The query builder: an editor for the condition of a query-language search, with buttons and
// menus that insert field conditions, operators, character sets and functions at the cursor.
// OK hands the condition to the search box as one line.
#pragma once

#include <QDialog>
#include <string>

class QLineEdit;
class QPlainTextEdit;
class QTreeWidget;

namespace zyl::ui {

class QueryBuilderDialog : public QDialog {
  Q_OBJECT

 public:
  // `searchText`: the search box's text, taken into the editor unless it is blank.
  explicit QueryBuilderDialog(const std::string& searchText, QWidget* parent = nullptr);

  // Replaces the editor's selection with `text`; the cursor goes right after it.
  void InsertText(const std::string& text);
  // The condition for the search box (valid after OK).
  const std::string& HandedOver() const { return handedOver_; }

 private:
  void ShowSyntax();
  void ShowFunctionHelp();

  QPlainTextEdit* rtf1_ = nullptr;
  QTreeWidget* tree_ = nullptr;
  QLineEdit* text1_ = nullptr;
  std::string handedOver_;
};

}  // namespace zyl::ui
