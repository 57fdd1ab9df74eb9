// The LV2 build against the VST 2 build: the same phrase, programs and
// control changes give the same bits, and bad host input is answered as the
// VST 2 layer answers it.
#include <cmath>
#include <cstring>
#include <limits>

#include "lv2/lv2_ports.h"
#include "lv2_fixture.h"
#include "plugin_fixture.h"
#include "reference_phrase.h"

using namespace lv2_support;
using namespace reference_phrase;

namespace {

std::vector<float> renderLv2(int program, float rate, bool inputsConnected = true) {
  auto plugin = newLv2Instance(rate, kBlock);
  if (!plugin) return {};
  plugin->loadPreset(presetUri(program).c_str());
  plugin->connect(lv2::kAudioInLeft, inputsConnected);
  plugin->connect(lv2::kAudioInRight, inputsConnected);
  std::vector<float> all;
  for (int block = 0; block < kBlocks; ++block) {
    std::vector<lv2host::MidiAt> midi;
    for (const Step& step : kPhrase)
      if (step.block == block)
        for (const auto& m : step.midi)
          midi.push_back({uint32_t(m.deltaFrames), {m.status, m.data1, m.data2}});
    if (block == kChangeBlock) plugin->control("warp") = kWarpChange;
    plugin->run(kBlock, midi);
    all.insert(all.end(), plugin->output(0), plugin->output(0) + kBlock);
    all.insert(all.end(), plugin->output(1), plugin->output(1) + kBlock);
  }
  return all;
}


}  // namespace

TEST(Lv2Render, EveryFactoryProgramGivesTheVst2Bits) {
  for (int program = 0; program < 8; ++program) {
    const std::vector<float> vst = renderVst(program, 44100.0f);
    const std::vector<float> lv2 = renderLv2(program, 44100.0f);
    EXPECT_GT(peakOf(lv2), 1e-3f) << program;
    EXPECT_TRUE(sameBits(vst, lv2)) << "program " << program;
  }
}

TEST(Lv2Render, OddRatesAndMissingBuffersAnswerAsTheVst2Layer) {
  // Unconnected inputs read as silence.
  EXPECT_TRUE(sameBits(renderLv2(2, 48000.0f, false), renderVst(2, 48000.0f)));
  for (float rate : {0.0f, std::numeric_limits<float>::quiet_NaN()})
    EXPECT_TRUE(sameBits(renderLv2(1, rate), renderVst(1, rate))) << rate;

  // An event of a type the plug-in does not know is skipped.
  auto plugin = newLv2Instance();
  ASSERT_TRUE(plugin);
  plugin->run(kBlock, {{0, {0x90, 60, 100}, "https://quillstave.org/test#unknown"}});
  plugin->run(kBlock);
  EXPECT_EQ(peakOf(std::vector<float>(plugin->output(0), plugin->output(0) + kBlock)), 0.0f);

  // Without an output or a control the instance runs on.
  plugin->connect(lv2::kAudioOutLeft, false);
  plugin->connect(params::kVolume, false);
  plugin->run(kBlock, {{0, {0x90, 60, 100}}});
  plugin->connect(lv2::kAudioOutLeft, true);
  plugin->connect(lv2::kMidiPort, false);
  plugin->run(kBlock);
  std::vector<float> left(plugin->output(0), plugin->output(0) + kBlock);
  EXPECT_GT(peakOf(left), 1e-4f);
}
