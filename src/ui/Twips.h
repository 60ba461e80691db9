// Lengths of the stored window layouts are twips (1/1440 inch); a window converts them with its
// screen's logical DPI, so a layout means the same size on every screen.
#pragma once

#include <cmath>

namespace zyl::ui {

inline int TwipsToPixels(int twips, int dpi) {
  return static_cast<int>(std::lround(static_cast<double>(twips) * dpi / 1440.0));
}

inline int PixelsToTwips(int pixels, int dpi) {
  return dpi > 0 ? static_cast<int>(std::lround(static_cast<double>(pixels) * 1440.0 / dpi)) : 0;
}

}  // namespace zyl::ui
