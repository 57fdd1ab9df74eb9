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

// How a parameter's value text is made from its value v.
enum class ValueFormat {
  kPlain,          // "%0.4f" of v
  kTime,           // "%0.4f" seconds of 16 v^2
  kRate,           // 200 v^2 Hz, decimals by range
  kQuantizeNoise,  // step count "Q", noise "N", or the dead zone "--nq--"
  kPolarity,       // "positive" / "negative"
  kDetune,         // "%0.4f" of 12 v
  kFilterPos,      // "leakage" / "output"
  kFilterOrder,    // integer text of 29 v + 1
  kBodyType,       // body-type name
  kPercent,        // "%0.4f" of 100 v
  kMix,            // "%0.2f" of v
  kDecibels,       // decibels of the master gain
  kVoices,         // integer text of the voice count
  kNone,           // empty text
};

struct ParameterInfo {
  Param index;
  const char* name;
  const char* label;  // null: no label is written
  ValueFormat format;
};

// Names and labels keep their blanks: hosts show them as they are.
inline constexpr ParameterInfo kParameterTable[kNumParams] = {
    {kBright, " Bright ", "        ", ValueFormat::kPlain},
    {kAttack, " Attack ", "    s   ", ValueFormat::kTime},
    {kRelease, " Release", "    s   ", ValueFormat::kTime},
    {kCutoffA, "Cutoff A", "        ", ValueFormat::kPlain},
    {kGainA, "Gain A  ", "        ", ValueFormat::kPlain},
    {kSaturationA, "Saturation A", "        ", ValueFormat::kPlain},
    {kLfoAFreq, "LFO A Freq", nullptr, ValueFormat::kRate},
    {kLfoAAmp, "LFO A Amp", nullptr, ValueFormat::kPlain},
    {kLeakAB, " Lkg A->B", " (gain) ", ValueFormat::kPlain},
    {kQuantizeNoise, "Quantize", "        ", ValueFormat::kQuantizeNoise},  // "Noise" from 0.5
    {kLeakageCut, "Leakage Cut", nullptr, ValueFormat::kPlain},
    {kLineBPolarity, "Line B Polarity", nullptr, ValueFormat::kPolarity},
    {kDetuneB, "Detune B", "        ", ValueFormat::kDetune},
    {kCutoffB, "Cutoff B", "        ", ValueFormat::kPlain},
    {kGainB, "Gain B  ", "        ", ValueFormat::kPlain},
    {kSaturationB, "Saturation B", "        ", ValueFormat::kPlain},
    {kLfoBFreq, "LFO B Freq", nullptr, ValueFormat::kRate},
    {kLfoBAmp, "LFO B Amp", nullptr, ValueFormat::kPlain},
    {kLeakBA, " Lkg B->A", nullptr, ValueFormat::kPlain},
    {kFilterPos, "Filter Pos", "        ", ValueFormat::kFilterPos},
    {kFilterOrder, "Flt. Ord", "  taps  ", ValueFormat::kFilterOrder},
    {kReso, "Reso.   ", "        ", ValueFormat::kPlain},
    {kWarp, " Warp   ", "        ", ValueFormat::kPlain},
    {kLfoWarpFreq, "LFO Wrp. Frq", nullptr, ValueFormat::kRate},
    {kLfoWarpAmp, "LFO Wrp. Amp", nullptr, ValueFormat::kPlain},
    {kBodyType1, "BdyType1", "        ", ValueFormat::kBodyType},
    {kBodyType2, "BdyType2", "        ", ValueFormat::kBodyType},
    {kFilterAttack, "Filter Attack", "    s   ", ValueFormat::kTime},
    {kFilterDecay, "Filter Decay", "    s   ", ValueFormat::kTime},
    {kFilterSustain, "Filter Sustain", "    %   ", ValueFormat::kPercent},
    {kFilterRelease, "Filter Release", "    s   ", ValueFormat::kTime},
    {kRandomPan, "Random Pan", nullptr, ValueFormat::kPlain},
    {kVelToVol, "Vel -> Vol", nullptr, ValueFormat::kPlain},
    {kVelToBright, "Vel -> Bright", nullptr, ValueFormat::kPlain},
    {kMix, " Mix    ", "        ", ValueFormat::kMix},
    {kVolume, " Volume ", "   dB   ", ValueFormat::kDecibels},
    {kPolyphony, "Polyphony", " voices ", ValueFormat::kVoices},
    {kQuality, "Quality", nullptr, ValueFormat::kNone},
};

constexpr bool tableFollowsEnum() {
  for (int32_t i = 0; i < kNumParams; ++i)
    if (kParameterTable[i].index != i) return false;
  return true;
}
static_assert(tableFollowsEnum(), "one row per parameter, in index order");

// The body types, as the engine numbers them.
constexpr int32_t kNumBodyTypes = 12;

// Name of body type k (0..11); numbers outside are clamped to the list.
const char* bodyTypeName(int32_t k);

// Body type a normalised value selects: floor(|12 v|), at most 11 (NaN: 0).
int32_t bodyTypeIndex(float value);

// The longest text any of the writers produces, without its terminator. Names
// reach 15 characters, so hosts hand out at least that much.
constexpr int32_t kMaxTextLength = 15;

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

// Clears the text, then writes the value text of a parameter (at most
// kMaxTextLength characters; values far outside 0..1 may be cut).
void writeDisplay(int32_t index, float value, const DisplayContext& context, char* text);

}  // namespace params
