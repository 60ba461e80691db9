#include "search/ResultList.h"

#include <cstdio>

#include "base/Strings.h"

namespace zyl::search {

bool IsWebAddress(std::string_view location) {
  const std::string lower = base::AsciiLower(location.substr(0, 8));
  return lower.starts_with("http://") || lower.starts_with("https://");
}

LocationParts SplitLocation(std::string_view location, std::string_view type) {
  if (IsWebAddress(location)) return {"", std::string(location)};
  std::size_t cut;
  if (type == "mail_oe" || type == "mail_moz") {
    cut = location.find('/');
  } else {
    cut = location.rfind('/');
  }
  if (cut == std::string_view::npos) return {"", std::string(location)};
  return {std::string(location.substr(0, cut + 1)), std::string(location.substr(cut + 1))};
}

int IconOfType(std::string_view type) {
  const std::string t = base::LCase(type);
  if (t == "txt") return 1;
  if (t == "wri") return 2;
  if (t == "rtf") return 3;
  if (t == "doc" || t == "wpd") return 4;
  if (t == "xls" || t == "dif" || t == "wps" || t == "dbf" || t == "excel2" || t == "csv" ||
      t == "quattro" || t == "lotus")
    return 5;
  if (t == "html") return 6;
  if (t == "pdf") return 7;
  if (t == "mp3") return 8;
  if (t == "users") return 9;
  if (t == "mail_oe") return 10;
  if (t == "xlt") return 11;
  if (t == "dot") return 12;
  if (t == "mail_moz") return 13;
  // Types added after the first releases have icons of their own: without one a row would
  // show the icon of the row before it.
  if (t == "docx") return 14;
  if (t == "xlsx") return 15;
  if (t == "pptx") return 16;
  if (t == "odt") return 17;
  if (t == "ods") return 18;
  if (t == "odp") return 19;
  return 0;
}

std::string SizeText(std::string_view filesize, char decimalSign) {
  const std::string_view s = base::TrimView(filesize);
  bool numeric = !s.empty();
  for (std::size_t i = 0; i < s.size(); ++i)
    if (!(s[i] >= '0' && s[i] <= '9') && !(i == 0 && s[i] == '-')) numeric = false;
  if (!numeric || s == "-") return "n/a";
  char buf[64];
  std::snprintf(buf, sizeof buf, "%.2f", static_cast<double>(base::ValInt(s)) / 1024.0);
  std::string text(buf);
  for (char& c : text)
    if (c == '.') c = decimalSign;
  text += " KB";
  if (text.size() < 9) text.insert(0, 9 - text.size(), ' ');
  return text;
}

OpenTarget OpenTargetOf(std::string_view location, std::string_view type) {
  if (type == "mail_oe" || type == "mail_moz")
    return {OpenTarget::kMailProgram, "", std::string(type)};
  std::string path(location);
  if (path.starts_with("arc:")) {
    const std::size_t sep = path.find("//", 4);
    path = path.substr(4, sep == std::string::npos ? std::string::npos : sep - 4);
  }
  return {OpenTarget::kFile, path, std::string(type)};
}

std::size_t FindNum(const std::vector<ResultRow>& results, std::string_view location) {
  for (std::size_t i = 0; i < results.size(); ++i)
    if (results[i].location == location) return i + 1;
  return 0;
}

}  // namespace zyl::search
