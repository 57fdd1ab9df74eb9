// The bank and the current program through the LV2 state extension: a saved
// session reopens with its edited programs, and a corrupt one is refused
// with the current state kept.
#include <cstring>

#include "lv2_fixture.h"

using namespace lv2_support;

namespace {

constexpr uint32_t kBlock = 64;

// The state's properties: its text without the port values the host keeps.
std::string propertiesOf(const std::string& state) {
  const size_t at = state.find(lv2::kBankKey);
  return at == std::string::npos ? "" : state.substr(at);
}

std::vector<float> play(lv2host::Instance& plugin) {
  std::vector<float> left;
  for (int block = 0; block < 40; ++block) {
    plugin.run(kBlock, block == 0 ? std::vector<lv2host::MidiAt>{{3, {0x90, 57, 110}}}
                                  : std::vector<lv2host::MidiAt>{});
    left.insert(left.end(), plugin.output(0), plugin.output(0) + kBlock);
  }
  return left;
}

}  // namespace

TEST(Lv2State, ASavedSessionReopensWithItsEditedBank) {
  auto before = newLv2Instance(44100.0, kBlock);
  ASSERT_TRUE(before);
  before->loadPreset(presetUri(5).c_str());
  before->control("bright") = 0.91f;
  before->control("volume") = 0.62f;
  // Pans are drawn from the thread's generator, which both instances share.
  before->control("random_pan") = 0.0f;
  before->run(kBlock);  // the edits reach the current program
  const std::string saved = before->saveState();
  ASSERT_NE(propertiesOf(saved), "") << saved;

  auto after = newLv2Instance(44100.0, kBlock);
  ASSERT_TRUE(after);
  const std::string fresh = after->saveState();
  EXPECT_NE(propertiesOf(fresh), propertiesOf(saved));
  ASSERT_TRUE(after->restoreState(saved));
  EXPECT_EQ(after->saveState(), saved);
  EXPECT_EQ(play(*after), play(*before));
}

TEST(Lv2State, CorruptStateIsRefusedAndTheBankKept) {
  auto plugin = newLv2Instance(44100.0, kBlock);
  ASSERT_TRUE(plugin);
  plugin->control("bright") = 0.25f;
  plugin->run(kBlock);
  const std::string kept = plugin->saveState();
  const std::string props = propertiesOf(kept);
  ASSERT_NE(props, "");

  // A bank cut short, a program number out of range, a bank of the wrong type.
  std::string shortBank = kept;
  // 40 base64 digits are 30 bytes.
  const size_t chunk = shortBank.find("\"\"\"", shortBank.find(lv2::kBankKey)) + 3;
  shortBank.erase(chunk, 40);
  std::string badProgram = kept;
  const size_t number = badProgram.find(lv2::kProgramKey) + std::strlen(lv2::kProgramKey);
  badProgram.replace(badProgram.find_first_of("0123456789", number), 1, "77");
  std::string wrongType = kept;
  const size_t type = wrongType.find("xsd:base64Binary");
  if (type != std::string::npos) wrongType.replace(type, 16, "xsd:string");

  for (const std::string& corrupt : {shortBank, badProgram, wrongType}) {
    ASSERT_NE(corrupt, kept);
    plugin->restoreState(corrupt);
    plugin->control("bright") = 0.25f;  // the port the host restored goes back
    EXPECT_EQ(propertiesOf(plugin->saveState()), props);
  }
}
