// The options dialog (frmOption): the program settings on four pages (general, language,
// view, archivers). OK writes them to config.ini and server.ini and re-captions the open
// windows in the chosen language; Cancel writes nothing.
#pragma once

#include <QDialog>
#include <string>

#include "settings/OptionEntries.h"

class QCheckBox;
class QComboBox;
class QFrame;
class QLabel;
class QLineEdit;
class QListWidget;
class QPushButton;
class QScrollBar;
class QTabWidget;
class QTreeWidget;

namespace zyl::ui {

class OptionsDialog : public QDialog {
  Q_OBJECT

 public:
  explicit OptionsDialog(QWidget* parent = nullptr);
  ~OptionsDialog() override;

  // Sets every caption from the language file.
  Q_INVOKABLE void ApplyLanguage();

  // OK: writes the settings, applies the language and closes (accepted).
  void Confirm();
  // "Применить": the selected language file becomes the one in use and the open windows take
  // its captions. Cancel puts the previous one back.
  void ApplySelectedLanguage();
  // What the boxes hold now, as OK would take it.
  settings::OptionEntries Entries() const;

  void reject() override;

 private:
  void BuildGeneralPage(QWidget* page);
  void BuildLanguagePage(QWidget* page);
  void BuildViewPage(QWidget* page);
  void BuildArchiverPage(QWidget* page);
  void LoadValues();
  void LoadLanguageList();
  void LoadFonts();
  void LoadArcProp();
  void SelectStyle(int row);
  void ApplyChanges();
  void DrawViewInterface();
  void PickColor(bool background);
  void ChooseIndexFolder();
  void ChooseTemplate(QLineEdit* box);
  void ChooseArchiverProgram();
  void SelectArchiver();
  void ShowColor(QPushButton* picker, std::int32_t color);
  int Px(int twips) const;

  settings::OptionEntries style_;  // the two text styles while the dialog is open
  std::string languageInForce_;    // Lang before "Применить", put back by Cancel
  bool languageApplied_ = false;

  QTabWidget* tabs_ = nullptr;
  QLineEdit* text1_ = nullptr;
  QLineEdit* text2_ = nullptr;
  QLineEdit* text3_ = nullptr;
  QLineEdit* text4_ = nullptr;
  QLineEdit* text5_ = nullptr;
  QScrollBar* scroll1_ = nullptr;
  QCheckBox* check_[6] = {};
  QListWidget* list1_ = nullptr;
  QListWidget* list2_ = nullptr;
  QComboBox* combo1_ = nullptr;
  QComboBox* combo2_ = nullptr;
  QLabel* label10_ = nullptr;
  QPushButton* picker1_ = nullptr;
  QPushButton* picker2_ = nullptr;
  QFrame* picture3_ = nullptr;
  QLabel* label11_ = nullptr;
  QLabel* label3_ = nullptr;
  QTreeWidget* listView1_ = nullptr;
  QLineEdit* text6_ = nullptr;
  QLineEdit* text7_ = nullptr;
};

// Re-captions every open manager, options dialog and search window from the language file in
// use; other windows keep their captions until they are next opened.
void ApplyLanguageToOpenWindows();

}  // namespace zyl::ui
