// Finding and driving a window's controls by their object names, for the window tests.
#pragma once

#include <gtest/gtest.h>

#include <QListWidget>
#include <QPushButton>
#include <QString>
#include <QStringList>
#include <QTest>
#include <QTreeWidget>
#include <string>

namespace zyl::test {

inline QString Q(const std::string& s) {
  return QString::fromStdString(s);
}

// The child `name` of `window`; a test failure when there is none.
template <typename T>
T* Find(const QWidget* window, const char* name) {
  T* child = window->findChild<T*>(QString::fromLatin1(name));
  EXPECT_NE(child, nullptr) << name;
  return child;
}
template <typename T>
T* Find(const QWidget& window, const char* name) {
  return Find<T>(&window, name);
}

// A mouse click on the button `name`.
inline void Click(const QWidget* window, const char* name) {
  QTest::mouseClick(Find<QPushButton>(window, name), Qt::LeftButton);
}
inline void Click(const QWidget& window, const char* name) {
  Click(&window, name);
}

// The texts of one column of a list, top to bottom.
inline QStringList Column(const QTreeWidget* list, int column) {
  QStringList texts;
  for (int i = 0; i < list->topLevelItemCount(); ++i) texts << list->topLevelItem(i)->text(column);
  return texts;
}

// The lines of a list box, top to bottom.
inline QStringList Lines(const QListWidget* box) {
  QStringList lines;
  for (int i = 0; i < box->count(); ++i) lines << box->item(i)->text();
  return lines;
}

}  // namespace zyl::test
