// A program folder with two small indexes for the search window's tests, and a window over
// them with chosen indexes selected.
#pragma once

#include <gtest/gtest.h>

#include <QLocale>
#include <QTreeWidget>
#include <memory>
#include <string>
#include <vector>

#include "catalog/IndexDatabase.h"
#include "settings/Config.h"
#include "settings/IniFile.h"
#include "settings/Settings.h"
#include "support/SmallIndex.h"
#include "support/TestSupport.h"
#include "ui/ApplyTexts.h"
#include "ui/SearchWindow.h"

namespace zyl::test {

class SearchFixture : public ::testing::Test {
 protected:
  void SetUp() override {
    QLocale::setDefault(QLocale(QLocale::Russian, QLocale::Russia));
    settings::Config() = settings::Settings();
    settings::LoadConfig();
    settings::Config().Lang = home_.file("russian.lng");
    ui::ProgramSearchSession() = search::SearchSession();
    catalog::EnsureTemplateDatabase(home_.path());
    first_ =
        MakeIndex("Первый", {{"/docs/a.txt", "годовой отчет за год", "txt", "2026-11-20", "Отчет"},
                             {"/docs/b.doc", "отчеты и планы, отчет", "doc", "2026-10-01", "Планы"},
                             {"/docs/c.txt", "ничего нет", "txt", "2026-09-01", ""}});
    second_ = MakeIndex(
        "Второй", {{"/mail/z.txt", std::string(1525, 'x') + " отчет", "txt", "2026-11-25", "Зет"}});
  }
  void TearDown() override {
    window_.reset();
    settings::Config() = settings::Settings();
    QLocale::setDefault(QLocale::c());
  }

  ui::IndexChoice MakeIndex(const std::string& name, const std::vector<Doc>& docs) {
    home_.write("index/.keep", "");
    return {name, MakeSmallIndex(home_.file("index"), name, docs).descriptorPath, false};
  }

  // A new window with the indexes of `selected` (true/false per index) selected.
  ui::SearchWindow& Open(bool firstSelected = true, bool secondSelected = true) {
    window_.reset();
    ui::IndexChoice a = first_, b = second_;
    a.selected = firstSelected;
    b.selected = secondSelected;
    window_ = std::make_unique<ui::SearchWindow>(std::vector<ui::IndexChoice>{a, b});
    window_->show();
    return *window_;
  }

  template <typename T>
  T* Find(const char* name) {
    T* w = window_->findChild<T*>(QString::fromLatin1(name));
    EXPECT_NE(w, nullptr) << name;
    return w;
  }

  // The texts of one column of the result list, top to bottom.
  std::vector<std::string> Column(int column) {
    std::vector<std::string> out;
    auto* list = Find<QTreeWidget>("ListView1");
    for (int i = 0; i < list->topLevelItemCount(); ++i) {
      out.push_back(ui::FromQt(list->topLevelItem(i)->text(column)));
    }
    return out;
  }

  std::string Config(std::string_view section, std::string_view key) const {
    return settings::ReadIniValue(section, key, "", settings::ConfigIniPath());
  }

  ProgramFolderScope home_;
  ui::IndexChoice first_, second_;
  std::unique_ptr<ui::SearchWindow> window_;
};

}  // namespace zyl::test
