// The search window's document view: the stored text of a found document, read-only, with the
// search words marked as character runs and the hit stepping of the highlighting logic driving
// its selection. Positions given to and taken from it count characters (code points), as the
// highlighting logic does; the view converts them to the editor's own positions.
#pragma once

#include <QTextCharFormat>
#include <QTextEdit>
#include <memory>
#include <string>
#include <vector>

#include "search/Highlight.h"

namespace zyl::ui {

// How the view shows plain text and found words (from the settings).
struct ViewAppearance {
  QFont font;
  QColor background;
  QColor text;
  QColor found;
  bool foundBold = false;
  bool foundUnderline = false;
};

class DocumentView : public QTextEdit {
  Q_OBJECT

 public:
  explicit DocumentView(QWidget* parent = nullptr);

  void SetAppearance(const ViewAppearance& appearance);
  // Replaces the text (UTF-8) in the plain colour, without marks; the selection goes to 0.
  void SetDocumentText(const std::string& utf8);
  void ClearDocument();

  // Marks every hit of `words` in the found-text colour and style.
  void HiLightText(const std::vector<std::string>& words, bool wholeWord);

  // The selection, in characters of the text.
  std::size_t SelectionStart() const;
  void Select(const search::TextRange& range);
  const search::FoundText& Found() const { return *found_; }
  // The mark on the character at `characters` (an empty format where there is none).
  QTextCharFormat MarkAt(std::size_t characters) const;
  // The number of characters marked by the last HiLightText (for the tests).
  std::size_t MarkedCount() const { return marked_; }

 private:
  int EditorPosition(std::size_t characters) const;
  std::size_t CharacterPosition(int editorPosition) const;

  ViewAppearance appearance_;
  std::unique_ptr<search::FoundText> found_;
  // Editor position of every character, only when the text holds characters outside the
  // basic plane (each takes two editor positions); empty otherwise.
  std::vector<int> editorPositions_;
  std::size_t marked_ = 0;
};

}  // namespace zyl::ui
