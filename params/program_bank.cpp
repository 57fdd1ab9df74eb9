#include "params/program_bank.h"

#include <cstring>

namespace params {

ProgramRecord::ProgramRecord() {
  for (float& v : values) v = 0.0f;
  setName("Init");
}

void ProgramRecord::setName(const char* text) {
  std::strncpy(name, text, kNameSize - 1);
  name[kNameSize - 1] = '\0';
}

void writeFactoryPresets(ProgramBank&) {}

const int32_t kProgramApplyOrder[kNumParams] = {3,  4,  5,  15, 8,  13, 14, 12, 34, 9,  0,  25, 26,
                                                22, 21, 20, 1,  2,  19, 27, 28, 29, 30, 35, 6,  7,
                                                16, 17, 23, 24, 10, 18, 11, 31, 32, 33, 36, 37};

}  // namespace params
