#include "ui/ApplyTexts.h"

#include <QAbstractButton>
#include <QAction>
#include <QGroupBox>
#include <QLabel>
#include <QListWidget>
#include <QMenu>
#include <QTabWidget>
#include <QTreeWidget>
#include <QWidget>

namespace zyl::ui {

QString ToQt(std::string_view text) {
  QString s = QString::fromUtf8(text.data(), static_cast<qsizetype>(text.size()));
  s.replace(QStringLiteral("\r\n"), QStringLiteral("\n"));
  return s;
}

std::string FromQt(const QString& text) {
  return text.toStdString();
}

void ApplyTexts(QWidget& window, std::span<const WindowText> table) {
  for (const WindowText& t : table) {
    const QString name = ToQt(t.objectName);
    const QString text = ToQt(CaptionText(t.text));
    QObject* target = window.objectName() == name ? &window : window.findChild<QObject*>(name);
    if (!target) continue;
    switch (t.role) {
      case TextRole::Column:
        if (auto* tree = qobject_cast<QTreeWidget*>(target)) {
          tree->headerItem()->setText(t.part, text);
        }
        break;
      case TextRole::Tab:
        if (auto* tabs = qobject_cast<QTabWidget*>(target); tabs && t.part < tabs->count()) {
          tabs->setTabText(t.part, text);
        }
        break;
      case TextRole::Item:
        if (auto* list = qobject_cast<QListWidget*>(target); list && t.part < list->count()) {
          list->item(t.part)->setText(text);
        }
        break;
      case TextRole::ToolTip:
        if (auto* action = qobject_cast<QAction*>(target)) {
          action->setToolTip(text);
          action->setText(text);
        } else if (auto* widget = qobject_cast<QWidget*>(target)) {
          widget->setToolTip(text);
        }
        break;
      case TextRole::Caption:
        if (target == &window) {
          window.setWindowTitle(text);
        } else if (auto* action = qobject_cast<QAction*>(target)) {
          action->setText(text);
        } else if (auto* menu = qobject_cast<QMenu*>(target)) {
          menu->setTitle(text);
        } else if (auto* label = qobject_cast<QLabel*>(target)) {
          label->setText(text);
        } else if (auto* button = qobject_cast<QAbstractButton*>(target)) {
          button->setText(text);
        } else if (auto* group = qobject_cast<QGroupBox*>(target)) {
          group->setTitle(text);
        }
        break;
    }
  }
}

}  // namespace zyl::ui
