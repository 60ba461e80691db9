#include "catalog/IndexListRow.h"

#include <algorithm>
#include <cmath>
#include <ctime>
#include <limits>

#include "base/Paths.h"
#include "base/Strings.h"
#include "base/Utf8.h"
#include "catalog/Descriptor.h"
#include "catalog/DescriptorReader.h"
#include "settings/IniFile.h"
#include "settings/LangKeys.h"

namespace zyl::catalog {

namespace {

constexpr std::string_view kNotAvailable = "n/a";
constexpr std::size_t kFilesWidth = 5;
constexpr std::size_t kSizeWidth = 14;

std::string FileDateText(std::string_view path) {
  const auto t = base::FileModifiedTime(path);
  if (!t) return {};
  std::tm parts{};
  localtime_r(&*t, &parts);
  char text[32];
  std::strftime(text, sizeof text, "%Y-%m-%d %H:%M:%S", &parts);
  return text;
}

std::string FileTitle(std::string_view path) {
  const std::size_t slash = path.rfind('/');
  std::string name(slash == std::string_view::npos ? path : path.substr(slash + 1));
  if (name.size() > 4 && base::EqualsNoCase(name.substr(name.size() - 4), ".zyl")) {
    name.resize(name.size() - 4);
  }
  return name;
}

}  // namespace

std::string PadLeft(std::string_view text, std::size_t width) {
  const std::size_t len = base::CodePointCount(text);
  if (len >= width) return std::string(text);
  return std::string(width - len, ' ') + std::string(text);
}

IndexListRow MakeIndexListRow(std::string_view descriptorPath, const NumberFormat& format) {
  IndexListRow row;
  row.descriptorPath = std::string(descriptorPath);
  auto& c = row.columns;
  c[1] = row.descriptorPath;
  // Reading a key of a missing file would leave an empty file behind; a gone descriptor is
  // only reported.
  if (!base::FileExists(descriptorPath)) {
    row.missing = true;
    c[0] = FileTitle(descriptorPath);
    c[2] = c[3] = std::string(kNotAvailable);
    c[4] = PadLeft("", kFilesWidth);
    c[5] = PadLeft(kNotAvailable, kSizeWidth);
    return row;
  }
  c[0] = ReadGeneral(descriptorPath, "title");
  c[2] = ReadGeneral(descriptorPath, "indextype", "local");
  c[3] = FileDateText(descriptorPath);
  const std::string files = ReadGeneral(descriptorPath, "filescount");
  c[4] = PadLeft(files, kFilesWidth);
  row.files = base::ValInt(files);
  const std::string size = ReadGeneral(descriptorPath, "filessize");
  if (size.empty()) {
    c[5] = PadLeft(kNotAvailable, kSizeWidth);
  } else {
    row.sizeKb = base::Val(size) / 1024.0;
    c[5] = PadLeft(format(row.sizeKb) + " KB", kSizeWidth);
  }
  return row;
}

std::vector<IndexListRow> MakeIndexListRows(const std::vector<std::string>& descriptorPaths,
                                            const NumberFormat& format) {
  std::vector<IndexListRow> rows;
  for (const std::string& path : descriptorPaths) {
    rows.push_back(MakeIndexListRow(path, format));
  }
  return rows;
}

std::string IndexCountText(std::size_t rows) {
  // StrNum writes a number as Str does, with one leading blank for a positive value.
  return settings::LangString(settings::kManagerTotalIndexes) +
         base::StrNum(static_cast<std::int64_t>(rows));
}

std::string SelectionSummary(std::span<const IndexListRow* const> selected) {
  std::int64_t files = 0;
  double kb = 0;
  for (const IndexListRow* row : selected) {
    // A hand-edited descriptor may hold any number: the totals saturate instead of wrapping,
    // and a negative size counts as nothing.
    if (__builtin_add_overflow(files, std::max<std::int64_t>(row->files, 0), &files)) {
      files = std::numeric_limits<std::int64_t>::max();
    }
    // Rounded after each row (to even on a tie), as the running total always was.
    if (row->sizeKb > 0) kb = std::nearbyint(kb + row->sizeKb);
  }
  std::string size;
  if (kb < 1000) {
    size = base::StrNum(static_cast<std::int64_t>(kb)) + " KB";
  } else if (kb < 1000000) {
    size = base::StrNum(static_cast<std::int64_t>(kb / 1000)) + " MB";
  }
  return settings::LangString(settings::kManagerSelected) +
         base::StrNum(static_cast<std::int64_t>(selected.size())) + ", " +
         settings::LangString(settings::kManagerFiles) + ": " + base::StrNum(files) + ", " + size;
}

IndexDetails ReadIndexDetails(std::string_view descriptorPath, const TypeLabels& typeLabels) {
  IndexDetails d;
  if (!base::FileExists(descriptorPath)) return d;
  d.description = DecodeMultiline(ReadGeneral(descriptorPath, "desc"));
  if (ReadGeneral(descriptorPath, "indextype", "local") == "local") {
    d.foldersLabel = settings::LangString(settings::kManagerFolders);
    for (const IndexFolderEntry& f : ReadFolders(descriptorPath)) d.folders.push_back(f.path);
    d.typesLabel = settings::LangString(settings::kManagerFileTypes);
    if (typeLabels) {
      d.types = typeLabels(ReadGeneral(descriptorPath, "ext"),
                           base::EqualsNoCase(ReadGeneral(descriptorPath, "PDF_Mode"), "Full"));
    }
    const std::string user = ReadGeneral(descriptorPath, "UserFiles");
    if (!user.empty()) {
      d.types.push_back(settings::LangString(settings::kFileTypeLabels[0]) + " " + user);
    }
    const auto mail = [&](std::string_view key) {
      return settings::ReadIniValue("mail", key, "", descriptorPath) == "1";
    };
    if (mail("outlookexpress")) d.types.emplace_back("Outlook Express");
    if (mail("netscapemessenger")) d.types.emplace_back("Netscape messenger");
    if (mail("maildir")) d.types.emplace_back("Maildir");
    if (ReadGeneral(descriptorPath, "Archive") == "1") {
      d.types.push_back(settings::LangString(settings::kManagerArchives));
    }
  } else {
    d.foldersLabel = settings::LangString(settings::kManagerStartUrl);
    d.folders.push_back(ReadGeneral(descriptorPath, "starturl"));
    d.typesLabel = settings::LangString(settings::kManagerDepth);
    d.types.push_back(ReadGeneral(descriptorPath, "urldept"));
  }
  return d;
}

}  // namespace zyl::catalog
