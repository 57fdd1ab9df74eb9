// Loads the built plug-in module once per test program, as a host would.
#pragma once

#include <gtest/gtest.h>

#include <cstdlib>
#include <memory>
#include <string>
#include <vector>

#include "plughost/plugin_host.h"

namespace testing_support {

inline plughost::PluginModule& pluginModule() {
  static std::unique_ptr<plughost::PluginModule> module = [] {
    std::string error;
    auto loaded = plughost::PluginModule::load(QS_PLUGIN_PATH, error);
    if (!loaded) {
      ADD_FAILURE() << error;
      std::abort();
    }
    return loaded;
  }();
  return *module;
}

inline std::unique_ptr<plughost::PluginInstance> newInstance(
    const plughost::PluginInstance::Options& options = {}) {
  return plughost::PluginInstance::create(pluginModule(), options);
}

// Stereo buffers for one block.
struct StereoBuffers {
  explicit StereoBuffers(int frames) : left(frames), right(frames) {}
  float* ptrs[2] = {nullptr, nullptr};
  std::vector<float> left, right;
  float** get() {
    ptrs[0] = left.data();
    ptrs[1] = right.data();
    return ptrs;
  }
};

}  // namespace testing_support
