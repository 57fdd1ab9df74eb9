// Host input the plug-in must survive: missing buffers and channels, and event
// lists longer than the two slots their type declares.
#include <cmath>
#include <cstring>

#include "plugin_fixture.h"

using namespace testing_support;

TEST(HostInput, MissingBuffersAndChannelsAreSkipped) {
  auto plugin = newInstance();
  plugin->start();
  plugin->sendMidi({{0, 0x90, 60, 110}});
  std::vector<float> in(64, 0.25f), left(64, 7.0f), right(64, 7.0f);
  float* noChannels[2] = {nullptr, nullptr};
  float* outs[2] = {left.data(), right.data()};
  float* rightOnly[2] = {nullptr, right.data()};
  plugin->processReplacing(nullptr, outs, 64);
  plugin->process(noChannels, outs, 64);
  plugin->processReplacing(outs, nullptr, 64);
  plugin->process(nullptr, noChannels, 64);
  plugin->processReplacing(nullptr, rightOnly, 64);
  for (float s : right) ASSERT_TRUE(std::isfinite(s));
  EXPECT_NE(right[63], 7.0f);  // written by the last call
  // The voice went on sounding through the calls without outputs.
  float* ins[2] = {in.data(), nullptr};
  plugin->processReplacing(ins, outs, 64);
  EXPECT_GT(std::fabs(left[10]) + std::fabs(left[40]), 0.0f);
}

TEST(HostInput, LongEventListsAreReadToTheirEnd) {
  // A list of eight note-ons as a host lays it out: the pointers run past the
  // two declared slots (UndefinedBehaviorSanitizer checks the reading).
  auto plugin = newInstance();
  plugin->start();
  std::vector<plughost::PluginInstance::Midi> notes;
  for (uint8_t i = 0; i < 8; ++i) notes.push_back({i, 0x90, static_cast<uint8_t>(50 + i), 100});
  EXPECT_EQ(plugin->sendMidi(notes), 1);
  std::vector<float> l(32), r(32);
  float* outs[2] = {l.data(), r.data()};
  plugin->processReplacing(nullptr, outs, 32);
  // Note 8 starts at frame 7: frame 6 differs from what seven notes give.
  auto seven = newInstance();
  seven->start();
  notes.pop_back();
  seven->sendMidi(notes);
  std::vector<float> l7(32), r7(32);
  float* outs7[2] = {l7.data(), r7.data()};
  seven->processReplacing(nullptr, outs7, 32);
  EXPECT_EQ(l[6], l7[6]);
  EXPECT_NE(l[20], l7[20]);
  // Empty, negative and missing lists and entries are ignored.
  std::vector<char> block(sizeof(vst::VstEvents) + 4 * sizeof(vst::VstEvent*), 0);
  auto* list = reinterpret_cast<vst::VstEvents*>(block.data());
  list->numEvents = -3;
  EXPECT_EQ(plugin->dispatch(vst::effProcessEvents, 0, 0, list), 1);
  list->numEvents = 5;  // five null entries
  EXPECT_EQ(plugin->dispatch(vst::effProcessEvents, 0, 0, list), 1);
}
