// Settings changed for one test only: the whole settings record is restored when the scope ends.
#pragma once

#include "settings/Settings.h"

namespace zyl::test {

class ScopedConfig {
 public:
  ScopedConfig() : saved_(settings::Config()) {}
  ~ScopedConfig() { settings::Config() = saved_; }
  ScopedConfig(const ScopedConfig&) = delete;
  ScopedConfig& operator=(const ScopedConfig&) = delete;
  settings::Settings* operator->() { return &settings::Config(); }

 private:
  settings::Settings saved_;
};

}  // namespace zyl::test
