#include "settings/Language.h"

#include <gtest/gtest.h>

#include <map>
#include <set>

#include "base/Paths.h"
#include "base/Strings.h"
#include "settings/Config.h"
#include "settings/IniFile.h"
#include "settings/LangKeys.h"
#include "settings/Settings.h"
#include "support/TestSupport.h"

namespace zyl::settings {
namespace {

class LanguageTest : public ::testing::Test {
 protected:
  void TearDown() override { Config() = Settings(); }
  void UseLanguage(std::string_view bytes) { Config().Lang = dir_.write("test.lng", bytes); }
  test::TempDir dir_;
};

TEST_F(LanguageTest, TextsComeFromTheFileWithLineBreaks) {
  UseLanguage(
      "[WizardWindow4]\n16=Files\\nprocessed\n11=Processing files\n[FileType]\n4=Word documents\n");
  EXPECT_EQ(GetLangString(kWizardWindow4, 16, "Обработано файлов"), "Files\r\nprocessed");
  EXPECT_EQ(GetLangString(kFileType, 4, "Файлы Win WORD (*.doc)"), "Word documents");
  EXPECT_EQ(GetLangString(kFileType, 5, "Файлы Excel (*.xls)"), "Файлы Excel (*.xls)");
  EXPECT_EQ(GetLangString(19, 4, "dflt"), "dflt");
  EXPECT_EQ(GetLangString(0, 4, "dflt"), "dflt");
  // One key serves both of its uses.
  EXPECT_EQ(LangString(kBuildProcessingFiles), "Processing files");
  EXPECT_EQ(LangString(kBuildCounterPrefix), "Processing files");
}

TEST_F(LanguageTest, WithoutTheFileMessagesAreRussianAndCaptionsEmpty) {
  Config().Lang = dir_.file("english.lng");
  EXPECT_EQ(LangString(kBuildFilesProcessed), "Обработано файлов");
  EXPECT_EQ(LangString(kWizard2Heading), "Укажите каталоги, в которых \r\nнаходятся документы.");
  EXPECT_EQ(LangString(kServerIpLabel), "");
  EXPECT_EQ(LangString(kBuildCounterPrefix), "");
  EXPECT_FALSE(base::FileExists(Config().Lang));
  Config().Lang.clear();
  EXPECT_EQ(LangString(kBuildOf), "из");
}

// Every text of the table is present in both shipped language files (their copies in a seeded
// program folder are the files the program installs).
class ShippedLanguageTest : public ::testing::TestWithParam<const char*> {
 protected:
  void TearDown() override { Config() = Settings(); }
  test::ProgramFolderScope home_;
};

TEST_P(ShippedLanguageTest, HoldsEveryKeyOfTheTable) {
  const std::string file = home_.file(GetParam());
  ASSERT_TRUE(base::FileExists(file));
  constexpr std::string_view kMissing = "\x01missing";
  for (const LangText& t : kAllLangTexts) {
    const std::string value =
        GetProfileValue(LangSectionName(t.section), std::to_string(t.key), kMissing, file);
    EXPECT_NE(value, kMissing) << GetParam() << ": [" << LangSectionName(t.section) << "] "
                               << t.key;
    EXPECT_FALSE(value.empty()) << GetParam() << ": [" << LangSectionName(t.section) << "] "
                                << t.key;
  }
  // Each language names the help pages in its own language, which ship beside it.
  const std::string help = GetProfileValue("General", "Help", "", file);
  EXPECT_EQ(help, std::string_view(GetParam()) == "russian.lng" ? "help/index.html"
                                                                : "help/index-en.html");
  EXPECT_TRUE(base::FileExists(home_.file(help))) << help;
}

TEST_P(ShippedLanguageTest, KeepsTheBlanksAndButtonLengthsTheCodeRelies) {
  Config().Lang = home_.file(GetParam());
  for (const LangText& t : kAllLangTexts) {
    if (t.text.empty()) continue;
    const std::string value = LangString({t.section, t.key, "", LangKind::Caption});
    EXPECT_EQ(value.front() == ' ', t.text.front() == ' ') << t.section << " " << t.key;
    EXPECT_EQ(value.back() == ' ', t.text.back() == ' ') << t.section << " " << t.key;
  }
  // The build window's button stops while its caption has four characters and closes after.
  EXPECT_EQ(base::Len(LangString(kBuildStopButton)), 4u);
  EXPECT_GT(base::Len(LangString(kBuildClose)), 4u);
}

INSTANTIATE_TEST_SUITE_P(Files, ShippedLanguageTest,
                         ::testing::Values("russian.lng", "english.lng"));

TEST(RussianLanguageTest, HoldsTheBuiltInTexts) {
  test::ProgramFolderScope home;
  Config().Lang = home.file("russian.lng");
  // Where one key has two built-in texts, the file holds one of them.
  std::map<std::pair<int, int>, std::set<std::string_view>> texts;
  for (const LangText& t : kAllLangTexts) {
    if (!t.text.empty()) texts[{t.section, t.key}].insert(t.text);
  }
  for (const auto& [where, allowed] : texts) {
    const std::string value = GetLangString(where.first, where.second, "");
    EXPECT_TRUE(allowed.count(value))
        << LangSectionName(where.first) << " " << where.second << ": " << value;
  }
  EXPECT_EQ(LangString(kUpdateFound), "найдено");
  Config() = Settings();
}

}  // namespace
}  // namespace zyl::settings
