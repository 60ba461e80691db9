#include "settings/WindowLayout.h"

#include <limits>

#include "base/Strings.h"
#include "settings/IniFile.h"

namespace zyl::settings {

namespace {

// Where one window keeps its layout: the geometry keys and the column keys may sit in
// different sections.
struct LayoutKeys {
  std::string_view section;
  std::string_view prefix;  // before each geometry key ("frmSearch" or "")
  std::string_view columnSection;
  int columns;
  WindowLayout defaults;
  // The search window stores its list height in every state; the manager only when normal.
  bool listHeightInEveryState;
};

WindowLayout Defaults(std::int32_t width, std::int32_t height, std::int32_t top, std::int32_t left,
                      std::int32_t list, int columns) {
  WindowLayout l;
  l.Width = width;
  l.Height = height;
  l.Top = top;
  l.Left = left;
  l.ListHeight = list;
  l.ColumnNormalWidth.assign(static_cast<std::size_t>(columns), 1000);
  l.ColumnMaxWidth.assign(static_cast<std::size_t>(columns), 1000);
  return l;
}

const LayoutKeys& MainKeys() {
  static const LayoutKeys keys{
      "MainWindow", "", "MainWindow", 6, Defaults(8000, 5000, 2100, 2200, 1200, 6), false};
  return keys;
}

const LayoutKeys& SearchKeys() {
  static const LayoutKeys keys{
      "Interface", "frmSearch", "SearchWindow", 7, Defaults(8256, 5916, 1000, 2000, 5916, 7), true};
  return keys;
}

std::int32_t ReadNumber(std::string_view section, const std::string& key, std::int32_t def,
                        std::string_view path) {
  const std::string text = ReadIniValue(section, key, "", path);
  if (text.empty()) return def;
  const std::int64_t n = base::ValInt(text);
  if (n < std::numeric_limits<std::int32_t>::min() || n > std::numeric_limits<std::int32_t>::max())
    return def;
  return static_cast<std::int32_t>(n);
}

std::string Key(const LayoutKeys& keys, std::string_view name) {
  return std::string(keys.prefix) + std::string(name);
}

std::string ColumnKey(std::string_view word, int column) {
  return std::string(word) + std::to_string(column);
}

WindowLayout Load(const LayoutKeys& keys, std::string_view path) {
  WindowLayout l = keys.defaults;
  const auto read = [&](std::string_view name, std::int32_t& field) {
    field = ReadNumber(keys.section, Key(keys, name), field, path);
  };
  read("WindowState", l.WindowState);
  read("Width", l.Width);
  read("Height", l.Height);
  read("Top", l.Top);
  read("Left", l.Left);
  read("ListHeight", l.ListHeight);
  for (int i = 0; i < keys.columns; ++i) {
    auto& normal = l.ColumnNormalWidth[static_cast<std::size_t>(i)];
    auto& max = l.ColumnMaxWidth[static_cast<std::size_t>(i)];
    normal = ReadNumber(keys.columnSection, ColumnKey("ColumnNormalWidth", i + 1), normal, path);
    max = ReadNumber(keys.columnSection, ColumnKey("ColumnMaxWidth", i + 1), max, path);
  }
  return l;
}

void SaveColumns(const LayoutKeys& keys, std::string_view word,
                 const std::vector<std::int32_t>& widths, std::string_view path) {
  for (int i = 0; i < keys.columns; ++i) {
    const std::size_t at = static_cast<std::size_t>(i);
    const std::int32_t w = at < widths.size() ? widths[at] : 1000;
    WriteIniValue(keys.columnSection, ColumnKey(word, i + 1), std::int64_t{w}, path);
  }
}

void Save(const LayoutKeys& keys, const WindowLayout& l, std::string_view path) {
  const auto write = [&](std::string_view name, std::int32_t value) {
    WriteIniValue(keys.section, Key(keys, name), std::int64_t{value}, path);
  };
  if (keys.listHeightInEveryState) write("ListHeight", l.ListHeight);
  write("WindowState", l.WindowState);
  if (l.WindowState == kWindowNormal) {
    write("Width", l.Width);
    write("Height", l.Height);
    write("Top", l.Top);
    write("Left", l.Left);
    if (!keys.listHeightInEveryState) write("ListHeight", l.ListHeight);
    SaveColumns(keys, "ColumnNormalWidth", l.ColumnNormalWidth, path);
  } else if (l.WindowState == kWindowMaximized) {
    SaveColumns(keys, "ColumnMaxWidth", l.ColumnMaxWidth, path);
  }
}

}  // namespace

WindowLayout LoadMainWindowLayout(std::string_view configPath) {
  return Load(MainKeys(), configPath);
}

void SaveMainWindowLayout(const WindowLayout& layout, std::string_view configPath) {
  Save(MainKeys(), layout, configPath);
}

WindowLayout LoadSearchWindowLayout(std::string_view configPath) {
  return Load(SearchKeys(), configPath);
}

void SaveSearchWindowLayout(const WindowLayout& layout, std::string_view configPath) {
  Save(SearchKeys(), layout, configPath);
}

}  // namespace zyl::settings
