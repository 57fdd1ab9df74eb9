// Program records and the bank of 32 programs, as hosts see them in chunks.
#pragma once

#include <cstdint>

#include "params/parameter_table.h"

namespace params {

constexpr int32_t kNumPrograms = 32;
constexpr int32_t kNameSize = 24;

// One program: the 38 values in index order, then a NUL-terminated name.
struct ProgramRecord {
  float values[kNumParams];
  char name[kNameSize];

  // The default record: the "Init" values and the name "Init".
  ProgramRecord();

  // Stores at most 23 characters of text and always terminates the name.
  void setName(const char* text);
};

static_assert(sizeof(ProgramRecord) == 176, "a program record is 176 bytes");

struct ProgramBank {
  ProgramRecord programs[kNumPrograms];
};

static_assert(sizeof(ProgramBank) == 5632, "a bank is 32 records back to back");

// Writes the eight factory presets over programs 0 to 7 (parameter 37 keeps its value).
void writeFactoryPresets(ProgramBank& bank);

// The order in which selecting a program applies its values.
extern const int32_t kProgramApplyOrder[kNumParams];

}  // namespace params
