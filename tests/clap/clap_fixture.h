// The built quillstave.clap loaded once per test program through its entry
// record, as CLAP hosts load it.
#pragma once

#include <gtest/gtest.h>

#include <cstdlib>
#include <memory>

#include "clap_host.h"

namespace clap_support {

inline claphost::Module& module() {
  static std::unique_ptr<claphost::Module> loaded = [] {
    std::string error;
    auto m = claphost::Module::load(QS_CLAP_PATH, error);
    if (!m) {
      ADD_FAILURE() << error;
      std::abort();
    }
    return m;
  }();
  return *loaded;
}

inline std::unique_ptr<claphost::Instance> newClapInstance(double rate = 44100.0,
                                                           uint32_t maxFrames = 512) {
  return claphost::Instance::create(module(), rate, maxFrames);
}

// Loads factory program k through the preset-load extension.
inline bool loadFactory(claphost::Instance& instance, int program) {
  const auto* presets = instance.extension<clap::PluginPresetLoad>(clap::kExtPresetLoad);
  const std::string key = std::to_string(program);
  return presets && presets->fromLocation(instance.plugin(), clap::kPresetLocationPlugin, nullptr,
                                          key.c_str());
}

}  // namespace clap_support
