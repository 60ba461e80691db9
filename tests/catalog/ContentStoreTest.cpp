#include "catalog/ContentStore.h"

#include <gtest/gtest.h>

#include <vector>

#include "base/Messages.h"
#include "base/Utf8.h"

namespace zyl::catalog {
namespace {

class RecordingSink : public ContentSink {
 public:
  void AppendRow(const FileInfo& row) override {
    if (failWith) throw ContentSinkError(*failWith, "disk full");
    if (failOther) throw std::runtime_error("other");
    rows.push_back(row);
  }
  std::vector<FileInfo> rows;
  std::optional<int> failWith;
  bool failOther = false;
};

FileInfo Record() {
  FileInfo info;
  info.content = "body";
  info.author = "Ann";
  info.title = "Title";
  info.type = "txt";
  info.location = "/data/a.txt";
  info.modified = "2002-12-02";
  info.filesize = 42;
  return info;
}

std::string Repeat(std::string_view s, int n) {
  std::string out;
  for (int i = 0; i < n; ++i) out += s;
  return out;
}

TEST(SaveContentInfo, CutsTheShortFieldsInCharactersAndKeepsLocationAndContent) {
  RecordingSink sink;
  FileInfo info = Record();
  info.author = Repeat("ж", 60);
  info.title = Repeat("Я", 300);
  info.location = "/" + Repeat("п", 300);
  info.type = "excel2_and_more";
  info.content = Repeat("текст ", 100000);
  ASSERT_TRUE(SaveContentInfo(sink, info));
  ASSERT_EQ(sink.rows.size(), 1u);
  const FileInfo& row = sink.rows[0];
  EXPECT_EQ(row.author, Repeat("ж", 50));
  EXPECT_EQ(row.title, Repeat("Я", 255));
  EXPECT_EQ(row.location, info.location);  // a cut location would name no file
  EXPECT_EQ(row.type, "excel2_and");
  EXPECT_EQ(row.content.size(), info.content.size());
  EXPECT_EQ(row.modified, "2002-12-02");
  EXPECT_EQ(row.filesize, 42);
}

TEST(SaveContentInfo, PropertiesLoseTheirTrailingPadding) {
  RecordingSink sink;
  FileInfo info = Record();
  info.title = std::string("Отчет \0\0\0", 15);
  info.author = std::string("  Ann\r\n\0 \t", 11);
  info.content = std::string("body\0", 5);
  ASSERT_TRUE(SaveContentInfo(sink, info));
  info.title = std::string(3, '\0');
  info.author = std::string(60, ' ') + "x";  // cut to 50 code points, then all blanks
  ASSERT_TRUE(SaveContentInfo(sink, info));
  ASSERT_EQ(sink.rows.size(), 2u);
  EXPECT_EQ(sink.rows[0].title, "Отчет");
  EXPECT_EQ(sink.rows[0].author, "  Ann");  // leading blanks are the property's own
  EXPECT_EQ(sink.rows[0].content, std::string("body\0", 5));
  EXPECT_EQ(sink.rows[1].title, "");
  EXPECT_EQ(sink.rows[1].author, "");
}

TEST(SaveContentInfo, SkipsRecordsWithoutLocationOrType) {
  RecordingSink sink;
  FileInfo noLocation = Record();
  noLocation.location.clear();
  FileInfo noType = Record();
  noType.type.clear();
  EXPECT_FALSE(SaveContentInfo(sink, noLocation));
  EXPECT_FALSE(SaveContentInfo(sink, noType));
  EXPECT_TRUE(sink.rows.empty());
}

TEST(SaveContentInfo, ReportsAFailedAppendAndGoesOn) {
  std::vector<std::string> shown;
  RecordingSink sink;
  sink.onMessage = [&](const base::Message& m) { shown.push_back(m.text); };
  sink.failWith = 3022;
  EXPECT_FALSE(SaveContentInfo(sink, Record()));
  sink.failWith = -5;
  EXPECT_FALSE(SaveContentInfo(sink, Record()));
  sink.failWith.reset();
  sink.failOther = true;
  EXPECT_FALSE(SaveContentInfo(sink, Record()));
  ASSERT_EQ(shown.size(), 3u);
  EXPECT_EQ(shown[0], "Ошибка в процедуре SaveContentInfo  3022\r\nОбратитесь в службу поддержки");
  EXPECT_EQ(shown[1], "Ошибка в процедуре SaveContentInfo -5\r\nОбратитесь в службу поддержки");
  EXPECT_EQ(shown[2], "Ошибка в процедуре SaveContentInfo  0\r\nОбратитесь в службу поддержки");
  EXPECT_TRUE(sink.rows.empty());
}

}  // namespace
}  // namespace zyl::catalog
