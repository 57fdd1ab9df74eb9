#include "clap/param_values.h"

#include <algorithm>
#include <cctype>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>

#include "params/named_settings.h"
#include "params/program_bank.h"
#include "params/value_mapping.h"

namespace clap_format {

namespace {

using params::NamedSetting;
using params::SettingList;

// The quantize texts count steps up to the dead zone ("Q"), and noise steps
// down from the top after it ("N"); in the zone they read "--nq--".
constexpr float kQuantizeTop = 0.49f;
constexpr float kNoiseBottom = 0.51f;
// Thresholds of the filter positions, as the voices apply them.
constexpr float kSecondPosition = 0.33333334f;
constexpr float kThirdPosition = 0.6666667f;

std::string trimmed(const char* text) {
  std::string s = text ? text : "";
  const auto first = s.find_first_not_of(' ');
  if (first == std::string::npos) return "";
  return s.substr(first, s.find_last_not_of(' ') - first + 1);
}

bool sameName(const std::string& a, const std::string& b) {
  return a.size() == b.size() && std::equal(a.begin(), a.end(), b.begin(), [](char x, char y) {
           return std::tolower(static_cast<unsigned char>(x)) ==
                  std::tolower(static_cast<unsigned char>(y));
         });
}

// The step a stored value selects.
int32_t stepOf(int32_t index, float v) {
  switch (index) {
    case params::kBodyType1:
    case params::kBodyType2:
      return params::bodyTypeIndex(params::storedValue(index, v));
    case params::kFilterPos:
      return v >= kThirdPosition ? 2 : (v > kSecondPosition ? 1 : 0);
    case params::kPolyphony:
      return params::voiceCountFor(v) - 1;
    case params::kFilterOrder:
      return params::countIn(29.0f * v + 1.0f, 1, 30) - 1;
    default:
      return v > 0.5f ? 1 : 0;  // the toggles
  }
}

// A value that selects step k: a named setting's value, else the middle of
// the step's share of the range.
float valueOfStep(int32_t index, int32_t k) {
  const SettingList settings = params::namedSettings(index);
  if (settings.count > 0) return settings.items[std::clamp(k, 0, settings.count - 1)].value;
  const int32_t steps = params::rangeSteps(index);
  k = std::clamp(k, 0, steps - 1);
  return std::min(1.0f, (static_cast<float>(k) + 0.5f) / static_cast<float>(steps - 1));
}

// The number a text starts with, after blanks; false when there is none.
bool leadingNumber(const char* text, double& number) {
  char* end = nullptr;
  number = std::strtod(text, &end);
  return end != text && std::isfinite(number);
}

void displayOf(int32_t index, float v, float polyphony, float volume, char* text) {
  if (index == params::kPolyphony) polyphony = v;
  if (index == params::kVolume) volume = v;
  params::writeDisplay(index, v, params::displayContextFor(polyphony, volume), text);
}

// The number the display of v shows.
double shownNumber(int32_t index, float v, float polyphony, float volume) {
  char text[params::kMaxTextLength + 1];
  displayOf(index, v, polyphony, volume, text);
  double n = 0.0;
  if (std::strncmp(text, "-oo", 3) == 0) return -HUGE_VAL;
  return leadingNumber(text, n) ? n : 0.0;
}

// Finds in [lo, hi] the value whose shown number is nearest to 'wanted', the
// shown number rising (or falling) with the value.
float searchNumber(int32_t index, double wanted, float lo, float hi, bool rising, float polyphony,
                   float volume) {
  auto before = [&](float v) {
    const double n = shownNumber(index, v, polyphony, volume);
    // "-0.0000" stands below "0.0000".
    const bool below = n < wanted || (n == wanted && std::signbit(n) && !std::signbit(wanted));
    return rising ? below : !below && n != wanted;
  };
  if (!before(lo)) return lo;
  if (before(hi)) return hi;
  for (int i = 0; i < 40; ++i) {
    const float mid = lo + (hi - lo) * 0.5f;
    if (mid <= lo || mid >= hi) break;
    (before(mid) ? lo : hi) = mid;
  }
  const double below = std::fabs(shownNumber(index, lo, polyphony, volume) - wanted);
  const double above = std::fabs(shownNumber(index, hi, polyphony, volume) - wanted);
  return below < above ? lo : hi;
}

}  // namespace

int32_t stepCount(int32_t index) {
  if (index < 0 || index >= params::kNumParams) return 0;
  const SettingList settings = params::namedSettings(index);
  return settings.count > 0 ? settings.count : params::rangeSteps(index);
}

bool describeParameter(int32_t index, clap::ParamInfo& info) {
  if (index < 0 || index >= params::kNumParams) return false;
  static const params::ProgramBank factory = [] {
    params::ProgramBank bank;
    params::writeFactoryPresets(bank);
    return bank;
  }();
  std::memset(&info, 0, sizeof info);
  info.id = static_cast<clap::Id>(index);
  info.flags = clap::kParamIsAutomatable;
  const int32_t steps = stepCount(index);
  if (steps > 0) {
    info.flags |= clap::kParamIsStepped;
    if (params::namedSettings(index).count > 0) info.flags |= clap::kParamIsEnum;
  }
  const std::string name = trimmed(params::kParameterTable[index].name);
  std::snprintf(info.name, sizeof info.name, "%s", name.c_str());
  info.minValue = 0.0;
  info.maxValue = steps > 0 ? steps - 1 : 1.0;
  // A new instance starts on the first factory program.
  info.defaultValue = hostValue(index, factory.programs[0].values[index]);
  return true;
}

float instrumentValue(int32_t index, double value) {
  const int32_t steps = stepCount(index);
  if (steps == 0) return static_cast<float>(value);
  const double k = std::isnan(value) ? 0.0 : std::clamp(std::trunc(value), 0.0, steps - 1.0);
  return valueOfStep(index, static_cast<int32_t>(k));
}

double hostValue(int32_t index, float value) {
  return stepCount(index) > 0 ? stepOf(index, value) : static_cast<double>(value);
}

bool valueText(int32_t index, double value, float polyphony, float volume, char* text,
               uint32_t capacity) {
  if (index < 0 || index >= params::kNumParams || !text || capacity == 0) return false;
  const float v = instrumentValue(index, value);
  std::string shown;
  const SettingList settings = params::namedSettings(index);
  if (settings.count > 0) {
    shown = settings.items[stepOf(index, v)].name;
  } else {
    char display[params::kMaxTextLength + 1];
    displayOf(index, v, polyphony, volume, display);
    char label[params::kMaxTextLength + 1] = {};
    params::writeLabel(index, label);
    shown = trimmed(display);
    if (const std::string unit = trimmed(label); !unit.empty() && !shown.empty())
      shown += " " + unit;
  }
  std::snprintf(text, capacity, "%s", shown.c_str());
  return true;
}

bool textValue(int32_t index, const char* text, float polyphony, float volume, double& value) {
  if (index < 0 || index >= params::kNumParams || !text) return false;
  const std::string wanted = trimmed(text);
  const SettingList settings = params::namedSettings(index);
  for (int32_t i = 0; i < settings.count; ++i)
    if (sameName(wanted, settings.items[i].name)) {
      value = i;
      return true;
    }
  if (params::kParameterTable[index].format == params::ValueFormat::kQuantizeNoise &&
      wanted == "--nq--") {
    value = 0.5;
    return true;
  }
  double number = 0.0;
  if (!leadingNumber(wanted.c_str(), number)) {
    if (index != params::kVolume || wanted.rfind("-oo", 0) != 0) return false;
    value = 0.0;
    return true;
  }
  if (settings.count > 0) return false;
  float lo = 0.0f, hi = 1.0f;
  bool rising = true;
  if (params::kParameterTable[index].format == params::ValueFormat::kQuantizeNoise) {
    if (wanted.find('N') != std::string::npos) {
      lo = kNoiseBottom;
      rising = false;
    } else {
      hi = kQuantizeTop;
    }
  }
  value = hostValue(index, searchNumber(index, number, lo, hi, rising, polyphony, volume));
  return true;
}

}  // namespace clap_format
