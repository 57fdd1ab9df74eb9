// Selecting a program stores body-type codes, the centres of the twelve bins,
// in slots 25 and 26 of the parameters and of the program itself.
#include <cstring>
#include <vector>

#include "plugin_fixture.h"

using namespace testing_support;

namespace {

constexpr int32_t kRecordSize = 176;
constexpr int32_t kBankSize = 5632;

std::vector<char> bankChunk(plughost::PluginInstance& plugin) {
  void* data = nullptr;
  const intptr_t size = plugin.dispatch(vst::effGetChunk, 0, 0, &data);
  if (size != kBankSize || !data) return {};
  const char* bytes = static_cast<const char*>(data);
  return std::vector<char>(bytes, bytes + size);
}

float valueIn(const std::vector<char>& bank, int32_t program, int32_t index) {
  float v;
  std::memcpy(&v, bank.data() + program * kRecordSize + index * 4, sizeof(v));
  return v;
}

}  // namespace

TEST(ProgramCodes, FirstPresetSelectsTRandomAndTarvelo) {
  auto plugin = newInstance();
  ASSERT_TRUE(plugin);
  // 0.83892334 and 0.36912137 in the preset become the codes of bins 10 and 4.
  EXPECT_EQ(plugin->getParameter(25), 0.875f);
  EXPECT_EQ(plugin->getParameter(26), 0.375f);
  const std::vector<char> bank = bankChunk(*plugin);
  ASSERT_FALSE(bank.empty());
  EXPECT_EQ(valueIn(bank, 0, 25), 0.875f);
  EXPECT_EQ(valueIn(bank, 0, 26), 0.375f);
  // Programs not yet selected keep their raw values.
  EXPECT_EQ(valueIn(bank, 7, 25), 0.83892334f);
}

TEST(ProgramCodes, LoadedBankValuesBecomeCodesWhenSelected) {
  auto plugin = newInstance();
  ASSERT_TRUE(plugin);
  std::vector<char> bank = bankChunk(*plugin);
  ASSERT_FALSE(bank.empty());
  const float type1 = 1.0f, type2 = 0.0834f;
  std::memcpy(bank.data() + 4 * kRecordSize + 25 * 4, &type1, 4);
  std::memcpy(bank.data() + 4 * kRecordSize + 26 * 4, &type2, 4);
  ASSERT_EQ(plugin->dispatch(vst::effSetChunk, 0, kBankSize, bank.data()), 1);
  EXPECT_EQ(plugin->getParameter(25), 0.875f);

  plugin->dispatch(vst::effSetProgram, 0, 4);
  EXPECT_FLOAT_EQ(plugin->getParameter(25), 1.0416667f);
  EXPECT_EQ(plugin->getParameter(26), 0.125f);
  EXPECT_EQ(plugin->parameterDisplay(25), "n-Random");
  EXPECT_EQ(plugin->parameterDisplay(26), "Guitar");
  const std::vector<char> after = bankChunk(*plugin);
  ASSERT_FALSE(after.empty());
  EXPECT_EQ(valueIn(after, 4, 25), plugin->getParameter(25));
  EXPECT_EQ(valueIn(after, 4, 26), 0.125f);
}
