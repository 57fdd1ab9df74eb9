// The 38 parameters: their indices, host names, unit labels and value texts.
#pragma once

#include <cstdint>

namespace params {

enum Param : int32_t {
  kBright = 0,
  kAttack = 1,
  kRelease = 2,
  kCutoffA = 3,
  kGainA = 4,
  kSaturationA = 5,
  kLfoAFreq = 6,
  kLfoAAmp = 7,
  kLeakAB = 8,
  kQuantizeNoise = 9,
  kLeakageCut = 10,
  kLineBPolarity = 11,
  kDetuneB = 12,
  kCutoffB = 13,
  kGainB = 14,
  kSaturationB = 15,
  kLfoBFreq = 16,
  kLfoBAmp = 17,
  kLeakBA = 18,
  kFilterPos = 19,
  kFilterOrder = 20,
  kReso = 21,
  kWarp = 22,
  kLfoWarpFreq = 23,
  kLfoWarpAmp = 24,
  kBodyType1 = 25,
  kBodyType2 = 26,
  kFilterAttack = 27,
  kFilterDecay = 28,
  kFilterSustain = 29,
  kFilterRelease = 30,
  kRandomPan = 31,
  kVelToVol = 32,
  kVelToBright = 33,
  kMix = 34,
  kVolume = 35,
  kPolyphony = 36,
  kQuality = 37,
  kNumParams = 38,
};

// What the value texts read besides the parameter's own value.
struct DisplayContext {
  int32_t voiceCount;
  float masterGain;
};

// Writes the host name of a parameter; `value` is the parameter's current
// value (the name of parameter 9 depends on it). Indices out of range write nothing.
void writeName(int32_t index, float value, char* text);

// Writes the unit label; rows without a label and indices out of range write nothing.
void writeLabel(int32_t index, char* text);

// Clears the text, then writes the value text of a parameter.
void writeDisplay(int32_t index, float value, const DisplayContext& context, char* text);

}  // namespace params
