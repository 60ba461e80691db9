#include "settings/Settings.h"

namespace zyl::settings {

Settings& Config() {
  static Settings settings;
  return settings;
}

}  // namespace zyl::settings
