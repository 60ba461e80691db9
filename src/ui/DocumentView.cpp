#include "ui/DocumentView.h"

#include <QScrollBar>
#include <QTextBlock>
#include <QTextCursor>
#include <QTextLayout>
#include <algorithm>

#include "ui/ApplyTexts.h"

namespace zyl::ui {

DocumentView::DocumentView(QWidget* parent)
    : QTextEdit(parent), found_(std::make_unique<search::FoundText>("")) {
  setReadOnly(true);
  setAcceptRichText(false);
  setUndoRedoEnabled(false);
  // Keep the text selectable and the selection visible when the focus is elsewhere (the
  // stepping buttons take it).
  setTextInteractionFlags(Qt::TextSelectableByMouse | Qt::TextSelectableByKeyboard);
}

void DocumentView::SetAppearance(const ViewAppearance& appearance) {
  appearance_ = appearance;
  QFont font = appearance.font;
  font.setBold(false);
  font.setUnderline(false);
  document()->setDefaultFont(font);
  QPalette p = palette();
  p.setColor(QPalette::Base, appearance.background);
  p.setColor(QPalette::Text, appearance.text);
  // The selection keeps its look when the view has no focus, so a stepped-to hit stays seen.
  p.setColor(QPalette::Inactive, QPalette::Highlight,
             p.color(QPalette::Active, QPalette::Highlight));
  p.setColor(QPalette::Inactive, QPalette::HighlightedText,
             p.color(QPalette::Active, QPalette::HighlightedText));
  setPalette(p);
}

void DocumentView::ClearDocument() {
  SetDocumentText({});
}

void DocumentView::SetDocumentText(const std::string& utf8) {
  marked_ = 0;
  QString text = QString::fromUtf8(utf8.data(), static_cast<qsizetype>(utf8.size()));
  // The editor takes a CR as a line break of its own, so CR LF would show an empty line.
  text.replace(QStringLiteral("\r\n"), QStringLiteral("\n"));
  QTextCharFormat plain;
  plain.setForeground(appearance_.text);
  plain.setFontWeight(QFont::Normal);
  plain.setFontUnderline(false);
  setCurrentCharFormat(plain);
  setPlainText(text);
  setTextCursor(QTextCursor(document()));

  // Finding works on the text exactly as the editor holds it, so that a found position is
  // an editor position (apart from characters outside the basic plane, mapped below).
  const QString shown = document()->toPlainText();
  found_ = std::make_unique<search::FoundText>(shown.toStdString());
  editorPositions_.clear();
  if (shown.size() != static_cast<qsizetype>(found_->size())) {
    editorPositions_.reserve(found_->size() + 1);
    for (qsizetype i = 0; i < shown.size(); ++i) {
      editorPositions_.push_back(static_cast<int>(i));
      if (shown[i].isHighSurrogate() && i + 1 < shown.size()) ++i;
    }
    editorPositions_.push_back(static_cast<int>(shown.size()));
  }
}

int DocumentView::EditorPosition(std::size_t characters) const {
  if (editorPositions_.empty()) return static_cast<int>(characters);
  return editorPositions_[std::min(characters, editorPositions_.size() - 1)];
}

std::size_t DocumentView::CharacterPosition(int editorPosition) const {
  if (editorPositions_.empty()) return static_cast<std::size_t>(std::max(editorPosition, 0));
  const auto it =
      std::lower_bound(editorPositions_.begin(), editorPositions_.end(), editorPosition);
  return static_cast<std::size_t>(it - editorPositions_.begin());
}

void DocumentView::HiLightText(const std::vector<std::string>& words, bool wholeWord) {
  std::vector<search::TextRange> ranges = search::HiLightRanges(*found_, words, wholeWord);
  std::sort(
      ranges.begin(), ranges.end(),
      [](const search::TextRange& a, const search::TextRange& b) { return a.start < b.start; });
  QTextCharFormat mark;
  mark.setForeground(appearance_.found);
  mark.setFontWeight(appearance_.foundBold ? QFont::Bold : QFont::Normal);
  mark.setFontUnderline(appearance_.foundUnderline);
  // The marks are formats of the lines' layouts, as a syntax highlighter sets them: a document
  // with a hundred thousand hits is marked in a fraction of the time that editing the
  // document's own formats would take, and the next text drops them with its lines.
  QTextBlock block = document()->begin();
  QList<QTextLayout::FormatRange> formats;
  int dirtyFrom = -1, dirtyTo = -1;
  const auto flush = [&] {
    if (!formats.isEmpty() && block.isValid()) {
      block.layout()->setFormats(formats);
      if (dirtyFrom < 0) dirtyFrom = block.position();
      dirtyTo = block.position() + block.length();
    }
    formats.clear();
  };
  for (const search::TextRange& r : ranges) {
    const int start = EditorPosition(r.start);
    const int end = EditorPosition(r.start + r.length);
    while (block.isValid() && start >= block.position() + block.length()) {
      flush();
      block = block.next();
    }
    if (!block.isValid()) break;
    // A word holds no line break, so a hit lies within one line.
    formats.push_back({start - block.position(), end - start, mark});
    marked_ += r.length;
  }
  flush();
  // One relayout of the marked stretch, not one per line.
  if (dirtyFrom >= 0) document()->markContentsDirty(dirtyFrom, dirtyTo - dirtyFrom);
  setTextCursor(QTextCursor(document()));
}

QTextCharFormat DocumentView::MarkAt(std::size_t characters) const {
  const int at = EditorPosition(characters);
  const QTextBlock block = document()->findBlock(at);
  if (!block.isValid()) return {};
  for (const QTextLayout::FormatRange& f : block.layout()->formats()) {
    if (at - block.position() >= f.start && at - block.position() < f.start + f.length) {
      return f.format;
    }
  }
  return {};
}

std::size_t DocumentView::SelectionStart() const {
  return CharacterPosition(textCursor().selectionStart());
}

void DocumentView::Select(const search::TextRange& range) {
  QTextCursor cursor(document());
  cursor.setPosition(EditorPosition(range.start));
  cursor.setPosition(EditorPosition(range.start + range.length), QTextCursor::KeepAnchor);
  setTextCursor(cursor);
  ensureCursorVisible();
}

}  // namespace zyl::ui
