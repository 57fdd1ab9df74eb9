// How hosts that list a parameter's settings see it: the named settings of
// the parameters that select among a few, and the step count of the stepped
// ones. Format layers (LV2 scale points, CLAP stepped flags) read this.
#pragma once

#include <cstdint>

#include "params/parameter_table.h"

namespace params {

struct NamedSetting {
  float value;  // the value that selects the setting
  const char* name;
};

struct SettingList {
  const NamedSetting* items = nullptr;
  int32_t count = 0;
  bool toggled = false;  // two settings at 0 and 1, split at 0.5
};

// The named settings of a parameter; empty for the continuous ones.
SettingList namedSettings(int32_t index);

// How many distinct values a stepped parameter takes across 0..1 (0: continuous).
int32_t rangeSteps(int32_t index);

}  // namespace params
