// The program records, the default bank and the factory presets.
#include "params/program_bank.h"

#include <gtest/gtest.h>

#include <cmath>
#include <cstddef>
#include <cstring>
#include <memory>
#include <string>

#include "params/parameter_table.h"

using namespace params;

namespace {

// What a program selects, read from its values the way the engine reads them.
struct Selection {
  const char* name;
  const char* bodyType1;
  const char* bodyType2;
  int order;
  int voices;
  const char* polarity;
};

Selection selectionOf(const ProgramRecord& record) {
  const float* v = record.values;
  return {record.name,
          bodyTypeName(bodyTypeIndex(v[kBodyType1])),
          bodyTypeName(bodyTypeIndex(v[kBodyType2])),
          static_cast<int>(29.0f * v[kFilterOrder] + 1.0f),
          static_cast<int>(std::floor(7.0f * v[kPolyphony])) + 1,
          v[kLineBPolarity] > 0.5f ? "positive" : "negative"};
}

void expectSelection(const ProgramRecord& record, const Selection& expected) {
  const Selection s = selectionOf(record);
  EXPECT_STREQ(s.name, expected.name);
  EXPECT_STREQ(s.bodyType1, expected.bodyType1) << expected.name;
  EXPECT_STREQ(s.bodyType2, expected.bodyType2) << expected.name;
  EXPECT_EQ(s.order, expected.order) << expected.name;
  EXPECT_EQ(s.voices, expected.voices) << expected.name;
  EXPECT_STREQ(s.polarity, expected.polarity) << expected.name;
}

std::unique_ptr<ProgramBank> factoryBank() {
  auto bank = std::make_unique<ProgramBank>();
  writeFactoryPresets(*bank);
  return bank;
}

}  // namespace

TEST(ProgramRecord, LayoutMatchesTheChunkFormat) {
  EXPECT_EQ(offsetof(ProgramRecord, values), 0u);
  EXPECT_EQ(offsetof(ProgramRecord, name), 152u);
  EXPECT_EQ(offsetof(ProgramBank, programs[7]), 1232u);
}

TEST(ProgramRecord, DefaultIsInit) {
  const ProgramRecord record;
  expectSelection(record, {"Init", "Guitar 2", "Haskoro", 30, 4, "positive"});
  EXPECT_EQ(record.values[kQuality], 0.0f);
  EXPECT_EQ(record.values[kMix], 0.0f);
  EXPECT_FLOAT_EQ(record.values[kVolume], 0.3f);
}

TEST(FactoryPresets, SelectWhatTheirNamesPromise) {
  auto bank = factoryBank();
  const Selection expected[] = {
      {"pneumatic koto", "t-Random", "Tarvelo", 22, 8, "negative"},
      {"chimar", "Guitar 2", "t-Random", 8, 4, "positive"},
      {"little dissonant koto", "Pemix", "t-Random", 19, 4, "negative"},
      {"soft koto", "Tarvelo", "Viola", 19, 4, "positive"},
      {"inner vibration", "n-Random", "Tarvelo", 30, 8, "positive"},
      {"rattling koto cc105", "None", "None", 1, 4, "negative"},
      {"hybrid 1", "Tarvelo", "Pemix", 10, 4, "negative"},
      {"rubbarb", "t-Random", "t-Random", 12, 4, "positive"},
  };
  for (int p = 0; p < 8; ++p) expectSelection(bank->programs[p], expected[p]);
  for (int p = 8; p < kNumPrograms; ++p)
    expectSelection(bank->programs[p], {"Init", "Guitar 2", "Haskoro", 30, 4, "positive"});
}

TEST(FactoryPresets, LeakShapingModes) {
  auto bank = factoryBank();
  // Noise at full gain, noise, the dead zone, quantisation and sign only.
  EXPECT_EQ(bank->programs[0].values[kQuantizeNoise], 1.0f);
  EXPECT_FLOAT_EQ(bank->programs[1].values[kQuantizeNoise], 0.98f);
  const float deadZone = bank->programs[2].values[kQuantizeNoise];
  EXPECT_TRUE(deadZone > 0.49f && deadZone < 0.51f);
  const float quantize = bank->programs[4].values[kQuantizeNoise];
  EXPECT_TRUE(quantize > 0.0f && quantize < 0.49f);
  EXPECT_EQ(bank->programs[5].values[kQuantizeNoise], 0.0f);
}

TEST(FactoryPresets, KeepQualityAndLeaveTheOtherProgramsAlone) {
  auto bank = std::make_unique<ProgramBank>();
  bank->programs[3].values[kQuality] = 0.7f;
  bank->programs[8].values[kBright] = 0.25f;
  writeFactoryPresets(*bank);
  EXPECT_EQ(bank->programs[3].values[kQuality], 0.7f);
  EXPECT_EQ(bank->programs[0].values[kQuality], 0.0f);
  EXPECT_EQ(bank->programs[8].values[kBright], 0.25f);
  // Every preset value is a normalised value.
  for (int p = 0; p < 8; ++p)
    for (float v : bank->programs[p].values) {
      EXPECT_GE(v, 0.0f);
      EXPECT_LE(v, 1.0f);
    }
}

TEST(ProgramRecord, NamesAreCutToTwentyThreeCharacters) {
  ProgramBank bank;
  const std::string exact = "twenty-three characters";
  ASSERT_EQ(exact.size(), 23u);
  bank.programs[0].setName(exact.c_str());
  EXPECT_EQ(std::string(bank.programs[0].name), exact);

  const float next = bank.programs[1].values[0];
  std::memset(bank.programs[0].name, 'x', kNameSize);
  bank.programs[0].setName("a name of forty characters, much too lon");
  EXPECT_EQ(std::string(bank.programs[0].name), "a name of forty charact");
  EXPECT_EQ(bank.programs[0].name[kNameSize - 1], '\0');
  EXPECT_EQ(bank.programs[1].values[0], next);

  bank.programs[0].setName("");
  EXPECT_STREQ(bank.programs[0].name, "");
  bank.programs[0].setName("again");
  bank.programs[0].setName(bank.programs[0].name);
  EXPECT_STREQ(bank.programs[0].name, "again");
}

TEST(ProgramApplyOrder, SetsEveryParameterOnce) {
  bool seen[kNumParams] = {};
  for (int32_t index : kProgramApplyOrder) {
    ASSERT_GE(index, 0);
    ASSERT_LT(index, kNumParams);
    EXPECT_FALSE(seen[index]) << index;
    seen[index] = true;
  }
}
