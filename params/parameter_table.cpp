#include "params/parameter_table.h"

#include <cmath>
#include <cstdio>
#include <cstring>

#include "params/value_text.h"

namespace params {

namespace {

constexpr const char* kBodyTypeNames[kNumBodyTypes] = {
    "None",  "Guitar",  "Guitar 2", "Clavi",  "Tarvelo",  "Viola",
    "Pemix", "Haskoro", "FormantA", "Random", "t-Random", "n-Random"};

// The single-precision bounds of the quantize/noise dead zone.
constexpr float kDeadZoneLow = 0.49f;
constexpr float kDeadZoneHigh = 0.51f;

bool inRange(int32_t index) { return index >= 0 && index < kNumParams; }

// Number texts go through here so that even values far outside 0..1 cannot
// run past kMaxTextLength characters.
template <typename... Args>
void format(char* text, const char* pattern, Args... args) {
  std::snprintf(text, kMaxTextLength + 1, pattern, args...);
}

void writeRate(float value, char* text) {
  const double f = static_cast<double>(value) * static_cast<double>(value) * 200.0;
  if (f > 100.0)
    format(text, "%0.1f Hz", f);
  else if (f > 10.0)
    format(text, "%0.2f Hz", f);
  else if (f > 0.01)
    format(text, "%0.3f Hz", f);
  else
    format(text, "%0.4f Hz", f);
}

void writeQuantizeNoise(float value, char* text) {
  if (value > kDeadZoneLow && value < kDeadZoneHigh)
    std::strcpy(text, "--nq--");
  else if (value < 0.5f)
    format(text, "%d Q", static_cast<int>(truncateToInt(value * 255.0f + 1.0f)));
  else
    format(text, "%d N", static_cast<int>(truncateToInt((1.0f - value) * 255.0f + 1.0f)));
}

}  // namespace

const char* bodyTypeName(int32_t k) {
  if (k < 0) k = 0;
  if (k >= kNumBodyTypes) k = kNumBodyTypes - 1;
  return kBodyTypeNames[k];
}

int32_t bodyTypeIndex(float value) {
  const int32_t k = truncateToInt(std::floor(std::fabs(12.0f * value)));
  return k > kNumBodyTypes - 1 ? kNumBodyTypes - 1 : k;
}

void writeName(int32_t index, float value, char* text) {
  if (!inRange(index)) return;
  if (index == kQuantizeNoise && !(value < 0.5f))
    std::strcpy(text, "Noise");
  else
    std::strcpy(text, kParameterTable[index].name);
}

void writeLabel(int32_t index, char* text) {
  if (!inRange(index) || !kParameterTable[index].label) return;
  std::strcpy(text, kParameterTable[index].label);
}

void writeDisplay(int32_t index, float v, const DisplayContext& context, char* text) {
  text[0] = '\0';
  if (!inRange(index)) return;
  switch (kParameterTable[index].format) {
    case ValueFormat::kPlain:
      format(text, "%0.4f", static_cast<double>(v));
      break;
    case ValueFormat::kTime:
      format(text, "%0.4f", static_cast<double>(v * v * 16.0f));
      break;
    case ValueFormat::kRate:
      writeRate(v, text);
      break;
    case ValueFormat::kQuantizeNoise:
      writeQuantizeNoise(v, text);
      break;
    case ValueFormat::kPolarity:
      std::strcpy(text, v > 0.5f ? "positive" : "negative");
      break;
    case ValueFormat::kDetune:
      format(text, "%0.4f", static_cast<double>(12.0f * v));
      break;
    case ValueFormat::kFilterPos:
      std::strcpy(text, v < 0.5f ? "leakage" : "output");
      break;
    case ValueFormat::kFilterOrder:
      writeInteger(truncateToInt(29.0f * v + 1.0f), text);
      break;
    case ValueFormat::kBodyType:
      std::strcpy(text, bodyTypeName(bodyTypeIndex(v)));
      break;
    case ValueFormat::kPercent:
      format(text, "%0.4f", static_cast<double>(100.0f * v));
      break;
    case ValueFormat::kMix:
      format(text, "%0.2f", static_cast<double>(v));
      break;
    case ValueFormat::kDecibels:
      writeDecibels(context.masterGain, text);
      break;
    case ValueFormat::kVoices:
      writeInteger(context.voiceCount, text);
      break;
    case ValueFormat::kNone:
      break;
  }
}

}  // namespace params
