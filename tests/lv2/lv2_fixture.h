// The LV2 bundle found by URI on LV2_PATH through lilv, one world per test
// program, and what lilv prints while it reads.
#pragma once

#include <gtest/gtest.h>
#include <unistd.h>

#include <cstdio>
#include <memory>
#include <string>

#include "lv2/lv2_ports.h"
#include "lv2host/lv2_host.h"

namespace lv2_support {

// Collects what is written to the standard error stream while it lives.
class StderrCapture {
 public:
  StderrCapture() : file(std::tmpfile()) {
    std::fflush(stderr);
    saved = dup(2);
    if (file) dup2(fileno(file), 2);
  }
  ~StderrCapture() { finish(); }
  std::string finish() {
    if (saved < 0) return text;
    std::fflush(stderr);
    dup2(saved, 2);
    close(saved);
    saved = -1;
    if (!file) return text;
    std::rewind(file);
    char buffer[512];
    size_t n;
    while ((n = std::fread(buffer, 1, sizeof buffer, file)) > 0) text.append(buffer, n);
    std::fclose(file);
    file = nullptr;
    return text;
  }

 private:
  std::FILE* file;
  int saved = -1;
  std::string text;
};

inline lv2host::World& world() {
  static lv2host::World shared;
  return shared;
}

inline const LilvPlugin* plugin() { return world().plugin(lv2::kPluginUri); }

inline std::unique_ptr<lv2host::Instance> newLv2Instance(double rate = 44100.0,
                                                         uint32_t block = 256) {
  auto instance = lv2host::Instance::create(world(), plugin(), rate, block);
  if (instance) instance->activate();
  return instance;
}

inline std::string presetUri(int program) {
  return lv2::kPresetUriPrefix + std::to_string(program);
}

}  // namespace lv2_support
