// Programs, program names and chunks through the dispatcher of the loaded plug-in.
#include <cstring>
#include <string>
#include <vector>

#include "plugin_fixture.h"

using namespace testing_support;

namespace {

constexpr int32_t kRecordSize = 176;
constexpr int32_t kBankSize = 5632;
constexpr int32_t kNameOffset = 152;

class Programs : public ::testing::Test {
 protected:
  void SetUp() override {
    plugin = newInstance();
    ASSERT_TRUE(plugin);
  }

  // A copy of the bank (isPreset false) or the current record (true).
  std::vector<char> chunk(bool isPreset) {
    void* data = nullptr;
    const intptr_t size = plugin->dispatch(vst::effGetChunk, isPreset ? 1 : 0, 0, &data);
    if (size <= 0 || !data) return {};
    const char* bytes = static_cast<const char*>(data);
    return std::vector<char>(bytes, bytes + size);
  }

  intptr_t setChunk(std::vector<char>& bytes, bool isPreset, intptr_t size) {
    return plugin->dispatch(vst::effSetChunk, isPreset ? 1 : 0, size, bytes.data());
  }

  void selectProgram(int32_t program) { plugin->dispatch(vst::effSetProgram, 0, program); }

  std::string nameOf(int32_t program) {
    return plugin->text(vst::effGetProgramNameIndexed, program);
  }

  static float valueIn(const std::vector<char>& bytes, int32_t program, int32_t index) {
    float v;
    std::memcpy(&v, bytes.data() + program * kRecordSize + index * 4, sizeof(v));
    return v;
  }

  static void putValue(std::vector<char>& bytes, int32_t program, int32_t index, float v) {
    std::memcpy(bytes.data() + program * kRecordSize + index * 4, &v, sizeof(v));
  }

  static void putName(std::vector<char>& bytes, int32_t program, const char* name) {
    std::strcpy(bytes.data() + program * kRecordSize + kNameOffset, name);
  }

  std::unique_ptr<plughost::PluginInstance> plugin;
};

bool isBodyType(int32_t index) { return index == 25 || index == 26; }

}  // namespace

TEST_F(Programs, StartOnTheFirstFactoryPreset) {
  EXPECT_EQ(plugin->dispatch(vst::effGetProgram), 0);
  EXPECT_EQ(plugin->programName(), "pneumatic koto");
  EXPECT_EQ(nameOf(7), "rubbarb");
  EXPECT_EQ(nameOf(8), "Init");
  EXPECT_EQ(nameOf(31), "Init");
}

TEST_F(Programs, BankChunkIsTheRawBank) {
  const std::vector<char> bank = chunk(false);
  ASSERT_EQ(bank.size(), static_cast<size_t>(kBankSize));
  // Program 0 holds exactly the values the plug-in plays.
  for (int32_t i = 0; i < 38; ++i) EXPECT_EQ(valueIn(bank, 0, i), plugin->getParameter(i)) << i;
  EXPECT_EQ(std::string(bank.data() + kNameOffset, 15), std::string("pneumatic koto\0", 15));
  EXPECT_STREQ(bank.data() + 7 * kRecordSize + kNameOffset, "rubbarb");
  EXPECT_STREQ(bank.data() + 8 * kRecordSize + kNameOffset, "Init");
}

TEST_F(Programs, ParameterChangesEditTheCurrentProgram) {
  selectProgram(3);
  plugin->setParameter(0, 0.625f);
  const std::vector<char> bank = chunk(false);
  ASSERT_EQ(bank.size(), static_cast<size_t>(kBankSize));
  EXPECT_EQ(valueIn(bank, 3, 0), 0.625f);
  EXPECT_NE(valueIn(bank, 0, 0), 0.625f);
}

TEST_F(Programs, PresetChunkRoundTrips) {
  selectProgram(5);
  std::vector<char> record = chunk(true);
  ASSERT_EQ(record.size(), static_cast<size_t>(kRecordSize));
  EXPECT_STREQ(record.data() + kNameOffset, "rattling koto cc105");

  putValue(record, 0, 4, 0.5f);
  putName(record, 0, "loaded");
  EXPECT_EQ(setChunk(record, true, kRecordSize), 1);
  EXPECT_EQ(chunk(true), record);
  EXPECT_EQ(plugin->programName(), "loaded");
  EXPECT_EQ(plugin->dispatch(vst::effGetProgram), 5);
  // Only the current program was replaced.
  EXPECT_EQ(nameOf(4), "inner vibration");
  EXPECT_EQ(nameOf(6), "hybrid 1");
}

TEST_F(Programs, ChunksOfTheWrongSizeAreRefused) {
  const std::vector<char> before = chunk(false);
  std::vector<char> junk(kBankSize + 1, 0x55);
  for (intptr_t size : {175, 177, 0}) EXPECT_EQ(setChunk(junk, true, size), 0) << size;
  for (intptr_t size : {kBankSize - 1, kBankSize + 1, kRecordSize})
    EXPECT_EQ(setChunk(junk, false, size), 0) << size;
  EXPECT_EQ(chunk(false), before);
}

TEST_F(Programs, BankChunkTakesEffectOnTheNextProgramChange) {
  std::vector<char> bank = chunk(false);
  ASSERT_EQ(bank.size(), static_cast<size_t>(kBankSize));
  float before[38];
  for (int32_t i = 0; i < 38; ++i) before[i] = plugin->getParameter(i);

  for (int32_t i = 0; i < 38; ++i)
    if (!isBodyType(i)) putValue(bank, 0, i, 0.25f + i / 100.0f);
  putName(bank, 0, "from the bank");
  putName(bank, 9, "ninth");
  EXPECT_EQ(setChunk(bank, false, kBankSize), 1);

  EXPECT_EQ(plugin->programName(), "from the bank");
  EXPECT_EQ(nameOf(9), "ninth");
  for (int32_t i = 0; i < 38; ++i) EXPECT_EQ(plugin->getParameter(i), before[i]) << i;

  selectProgram(0);
  for (int32_t i = 0; i < 38; ++i) {
    if (!isBodyType(i)) {
      EXPECT_EQ(plugin->getParameter(i), 0.25f + i / 100.0f) << i;
    }
  }
}

TEST_F(Programs, CopyProgramCopiesTheWholeCurrentRecord) {
  selectProgram(2);
  EXPECT_EQ(plugin->dispatch(vst::effCopyProgram, 31), 1);
  EXPECT_EQ(nameOf(31), "little dissonant koto");
  const std::vector<char> bank = chunk(false);
  ASSERT_EQ(bank.size(), static_cast<size_t>(kBankSize));
  EXPECT_EQ(std::memcmp(bank.data() + 2 * kRecordSize, bank.data() + 31 * kRecordSize, kRecordSize),
            0);
  EXPECT_EQ(plugin->dispatch(vst::effGetProgram), 2);

  EXPECT_EQ(plugin->dispatch(vst::effCopyProgram, 32), 0);
  EXPECT_EQ(plugin->dispatch(vst::effCopyProgram, -1), 0);
  EXPECT_EQ(chunk(false), bank);
}

TEST_F(Programs, NamesByIndex) {
  char text[32];
  EXPECT_EQ(plugin->dispatch(vst::effGetProgramNameIndexed, 7, 5, text), 1);
  EXPECT_STREQ(text, "rubbarb");
  for (int32_t index : {32, -1}) {
    std::memset(text, '#', sizeof(text));
    EXPECT_EQ(plugin->dispatch(vst::effGetProgramNameIndexed, index, 0, text), 0);
    for (char c : text) ASSERT_EQ(c, '#');
  }
}

TEST_F(Programs, ProgramNamesHoldTwentyThreeCharacters) {
  selectProgram(1);
  char exact[] = "abcdefghijklmnopqrstuvw";
  ASSERT_EQ(std::strlen(exact), 23u);
  plugin->dispatch(vst::effSetProgramName, 0, 0, exact);
  EXPECT_EQ(plugin->programName(), exact);
  EXPECT_EQ(nameOf(1), exact);

  const std::vector<char> before = chunk(false);
  char tooLong[] = "0123456789012345678901234567890123456789";
  plugin->dispatch(vst::effSetProgramName, 0, 0, tooLong);
  EXPECT_EQ(plugin->programName(), "01234567890123456789012");
  // Nothing past the name field changed: program 2 follows directly.
  const std::vector<char> after = chunk(false);
  ASSERT_EQ(after.size(), before.size());
  EXPECT_EQ(std::memcmp(before.data() + 2 * kRecordSize, after.data() + 2 * kRecordSize,
                        kBankSize - 2 * kRecordSize),
            0);
  EXPECT_EQ(plugin->dispatch(vst::effGetProgram), 1);
}
