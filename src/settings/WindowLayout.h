// The remembered geometry of the windows that keep one in config.ini: the index manager
// ([MainWindow]) and the search window ([Interface] frmSearch* with its column widths in
// [SearchWindow]). Lengths are twips, as stored, so a layout file means the same on every screen.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

namespace zyl::settings {

// Window states as stored.
inline constexpr std::int32_t kWindowNormal = 0;
inline constexpr std::int32_t kWindowMinimized = 1;
inline constexpr std::int32_t kWindowMaximized = 2;

struct WindowLayout {
  std::int32_t WindowState = kWindowNormal;
  std::int32_t Width = 0;
  std::int32_t Height = 0;
  std::int32_t Top = 0;
  std::int32_t Left = 0;
  std::int32_t ListHeight = 0;
  // Column widths of the window's list in the normal and in the maximised state, kept apart
  // so that maximising never spoils the widths a person chose for the normal window.
  std::vector<std::int32_t> ColumnNormalWidth;
  std::vector<std::int32_t> ColumnMaxWidth;

  // The widths that belong to the stored state (the normal ones for any state but maximised).
  const std::vector<std::int32_t>& ColumnWidths() const {
    return WindowState == kWindowMaximized ? ColumnMaxWidth : ColumnNormalWidth;
  }
  // The widths of `state`, to read or to replace.
  std::vector<std::int32_t>& ColumnWidthsOf(std::int32_t state) {
    return state == kWindowMaximized ? ColumnMaxWidth : ColumnNormalWidth;
  }
  // A window going from state `from` to `to`: the widths it shows now stay with `from`, and
  // the widths `to` had are the ones to show.
  const std::vector<std::int32_t>& SwitchColumnWidths(std::int32_t from, std::int32_t to,
                                                      std::vector<std::int32_t> current) {
    ColumnWidthsOf(from) = std::move(current);
    return ColumnWidthsOf(to);
  }
};

// The index manager's layout from [MainWindow] of config.ini; missing or empty keys take their
// defaults (8000 x 5000 at 2200, 2100; list 1200; six columns of 1000). Never throws.
WindowLayout LoadMainWindowLayout(std::string_view configPath);
// Writes WindowState; in the normal state also the size, the position, ListHeight and the
// normal column widths; maximised, the maximised column widths only. Throws IniWriteError.
void SaveMainWindowLayout(const WindowLayout& layout, std::string_view configPath);

// The search window's layout: [Interface] frmSearch* (8256 x 5916 at 2000, 1000; list 5916)
// and seven columns of [SearchWindow] (1000 each). Never throws.
WindowLayout LoadSearchWindowLayout(std::string_view configPath);
// Writes frmSearchListHeight and frmSearchWindowState; normal, also the size, the position and
// the normal widths; maximised, the maximised widths; minimised, nothing more. Throws
// IniWriteError.
void SaveSearchWindowLayout(const WindowLayout& layout, std::string_view configPath);

}  // namespace zyl::settings
