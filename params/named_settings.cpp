#include "params/named_settings.h"

#include <array>
#include <cstddef>

namespace params {

namespace {

constexpr NamedSetting kPolarity[] = {{0.0f, "negative"}, {1.0f, "positive"}};
constexpr NamedSetting kQualities[] = {{0.0f, "normal"}, {1.0f, "high"}};
// The body filter sits in the A-to-B leak below 1/3, in the B-to-A leak below
// 2/3 and on the output above.
constexpr NamedSetting kFilterPositions[] = {
    {0.0f, "leakage A > B"}, {0.5f, "leakage B > A"}, {1.0f, "output"}};

// Each body type at the centre of its twelfth of the range, where setting the
// parameter puts it.
std::array<NamedSetting, kNumBodyTypes> bodyTypes() {
  std::array<NamedSetting, kNumBodyTypes> list{};
  for (int32_t k = 0; k < kNumBodyTypes; ++k)
    list[std::size_t(k)] = {(static_cast<float>(k) + 0.5f) * 0.0833333358f, bodyTypeName(k)};
  return list;
}

}  // namespace

SettingList namedSettings(int32_t index) {
  static const std::array<NamedSetting, kNumBodyTypes> kBodyTypes = bodyTypes();
  switch (index) {
    case kLineBPolarity:
      return {kPolarity, 2, true};
    case kQuality:
      return {kQualities, 2, true};
    case kFilterPos:
      return {kFilterPositions, 3, false};
    case kBodyType1:
    case kBodyType2:
      return {kBodyTypes.data(), kNumBodyTypes, false};
    default:
      return {};
  }
}

int32_t rangeSteps(int32_t index) {
  switch (index) {
    case kPolyphony:
      return 8;  // 1 to 8 voices
    case kFilterOrder:
      return 30;  // 1 to 30 taps
    default:
      return 0;
  }
}

}  // namespace params
