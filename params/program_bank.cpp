#include "params/program_bank.h"

#include <cstring>

namespace params {

namespace {

// The start values of every program ("Init"), by parameter index.
constexpr float kInitValues[kNumParams] = {
    0.335581f, 0.0f,  0.8f,   0.96f,  0.99f, 0.009155f, 0.09999f, 0.011719f, 0.059207f, 0.98f,
    0.00003f,  1.0f,  0.003f, 0.281f, 0.98f, 0.01144f,  0.161f,   0.019196f, 0.01f,     0.0f,
    1.0f,      0.91f, 0.8f,   0.001f, 0.05f, 0.2f,      0.6f,     0.27f,     0.125f,    0.44f,
    0.04f,     0.5f,  0.5f,   0.5f,   0.0f,  0.3f,      0.5f,     0.0f};

// A factory preset: a name and the values of parameters 0 to 36. "Quality" is
// not part of a preset; it keeps the value the program already holds.
struct FactoryPreset {
  const char* name;
  float values[kNumParams - 1];
};

constexpr FactoryPreset kFactoryPresets[] = {
    {"pneumatic koto",
     {0.03357036f, 0.0f,        0.37583545f, 0.55705434f, 1.0f,         0.0f,        0.09999f,
      0.011719f,   0.0671102f,  1.0f,        0.37583545f, 0.046967987f, 1.0f,        0.76509905f,
      0.98f,       0.07382427f, 0.161f,      0.019196f,   0.087252416f, 0.67113256f, 0.7449568f,
      1.0f,        0.7919553f,  0.001f,      0.05f,       0.83892334f,  0.36912137f, 0.27f,
      0.125f,      1.0f,        0.09396649f, 0.83892334f, 0.5f,         0.5f,        1.0f,
      0.90000004f, 1.0f}},
    {"chimar",
     {0.07382427f, 0.0f,        0.50001526f, 0.9f,        0.99f,       0.009155f,  0.09999f,
      0.011719f,   0.059207f,   0.98f,       0.53019804f, 1.0f,        0.003f,     0.28100002f,
      0.98f,       0.01144f,    0.161f,      0.019196f,   0.01f,       0.0f,       0.2751549f,
      1.0f,        0.26847133f, 0.001f,      0.05f,       0.21475875f, 0.8657796f, 0.14093448f,
      0.19461654f, 0.9328898f,  0.6241646f,  0.5f,        0.1342204f,  0.5f,       1.0f,
      0.90000004f, 0.5f}},
    {"little dissonant koto",
     {0.08053835f,  0.0f,         0.19461654f, 0.5838801f,   0.99f,        0.006714072f,
      0.040253915f, 0.008758812f, 0.30201116f, 0.5033418f,   0.087252416f, 0.0f,
      0.0f,         0.5771661f,   0.98f,       0.013428144f, 0.013428144f, 0.009430219f,
      0.07382427f,  0.0f,         0.6308786f,  1.0f,         0.48994416f,  0.07382427f,
      0.12079226f,  0.55705434f,  0.91274756f, 0.87920773f,  0.89260536f,  0.44f,
      0.6979888f,   0.5f,         0.5f,        0.5f,         0.9f,         0.88858306f,
      0.5f}},
    {"soft koto",
     {0.12750633f, 0.0f,      0.23490097f, 0.26175725f, 0.99f,      0.009155f, 0.09999f,
      0.011719f,   0.059207f, 0.98f,       0.80538344f, 1.0f,       0.003f,    0.5973083f,
      0.98f,       0.01144f,  0.161f,      0.019196f,   0.01f,      0.0f,      0.6308786f,
      1.0f,        0.8f,      0.001f,      0.05f,       0.3624073f, 0.476516f, 0.27f,
      0.125f,      0.44f,     0.04f,       0.5f,        0.5f,       0.5f,      0.9f,
      0.90000004f, 0.5f}},
    {"inner vibration",
     {0.335581f,    0.4295175f,  0.34229562f,  0.50001526f, 0.99f,       0.33558154f, 0.41611987f,
      0.006714072f, 0.259207f,   0.006714072f, 0.42283395f, 1.0f,        0.00469985f, 0.48323008f,
      0.98f,        0.20804468f, 0.22147283f,  0.7315287f,  0.25039613f, 0.0f,        1.0f,
      1.0f,         1.0f,        0.43623158f,  0.5436262f,  0.946318f,   0.40269172f, 0.69127476f,
      0.87920773f,  0.44f,       0.96642965f,  0.5f,        0.5f,        0.5f,        1.0f,
      0.90000004f,  1.0f}},
    {"rattling koto cc105",
     {0.0671102f,  0.0f,        0.12079226f, 0.8724937f,   0.99f,        0.006714072f, 0.09999f,
      0.011719f,   0.059207f,   0.0f,        0.53691214f,  0.0f,         0.003f,       0.6308786f,
      0.98f,       0.01144f,    0.161f,      0.019196f,    0.01f,        0.0f,         0.020142216f,
      0.91f,       0.78524125f, 0.001f,      0.05f,        0.013428144f, 0.0f,         0.27f,
      0.125f,      0.62992126f, 0.04f,       0.114108704f, 0.087252416f, 0.8322092f,   0.91946167f,
      0.90000004f, 0.5f}},
    {"hybrid 1",
     {0.026856288f, 0.26847133f, 0.28858304f,  0.6979888f,   0.99f,       0.3221534f,  0.020142216f,
      0.011719f,    0.059207f,   1.0f,         0.53019804f,  0.25504318f, 0.0f,        0.75838494f,
      0.98f,        0.38254952f, 0.006714072f, 0.019196f,    0.06039613f, 0.26175725f, 0.3154393f,
      1.0f,         0.53691214f, 0.001f,       0.20804468f,  0.34229562f, 0.523484f,   0.5503403f,
      0.75838494f,  0.6375927f,  0.5436262f,   0.107394636f, 0.5f,        0.1812189f,  1.0f,
      0.90000004f,  0.5f}},
    {"rubbarb",
     {0.040253915f, 0.0f,        0.25504318f, 0.67113256f,  0.99f,       0.40269172f,  0.09999f,
      0.011719f,    0.30201116f, 0.0f,        0.05368206f,  1.0f,        0.006714072f, 0.67113256f,
      0.98f,        0.37583545f, 0.161f,      0.019196f,    0.21475875f, 1.0f,         0.39597765f,
      1.0f,         0.93960387f, 0.001f,      0.05f,        0.83892334f, 0.8724937f,   0.2013306f,
      0.3221534f,   0.44f,       0.5973083f,  0.026856288f, 0.5f,        0.8523514f,   0.9328898f,
      0.84450483f,  0.5f}},
};

constexpr int32_t kNumFactoryPresets = sizeof(kFactoryPresets) / sizeof(kFactoryPresets[0]);
static_assert(kNumFactoryPresets == 8, "eight factory presets");

}  // namespace

ProgramRecord::ProgramRecord() {
  std::memcpy(values, kInitValues, sizeof(values));
  std::memset(name, 0, sizeof(name));
  setName("Init");
}

void ProgramRecord::setName(const char* text) {
  if (!text) text = "";
  std::size_t length = 0;
  while (length < kNameSize - 1 && text[length] != '\0') ++length;
  std::memmove(name, text, length);
  name[length] = '\0';
}

void writeFactoryPresets(ProgramBank& bank) {
  for (int32_t p = 0; p < kNumFactoryPresets; ++p) {
    ProgramRecord& record = bank.programs[p];
    std::memcpy(record.values, kFactoryPresets[p].values, sizeof(kFactoryPresets[p].values));
    record.setName(kFactoryPresets[p].name);
  }
}

const int32_t kProgramApplyOrder[kNumParams] = {3,  4,  5,  15, 8,  13, 14, 12, 34, 9,  0,  25, 26,
                                                22, 21, 20, 1,  2,  19, 27, 28, 29, 30, 35, 6,  7,
                                                16, 17, 23, 24, 10, 18, 11, 31, 32, 33, 36, 37};

}  // namespace params
