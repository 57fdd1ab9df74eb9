// The LV2 build against the VST 2 build: the same phrase, programs and
// control changes give the same bits, and bad host input is answered as the
// VST 2 layer answers it.
#include <cmath>
#include <cstring>
#include <limits>

#include "lv2/lv2_ports.h"
#include "lv2_fixture.h"
#include "plugin_fixture.h"

using namespace lv2_support;

namespace {

constexpr int kBlock = 256;
constexpr int kBlocks = 80;

struct Step {
  int block;
  std::vector<plughost::PluginInstance::Midi> midi;
};

// The regression phrase: notes, pitch bend and a mapped controller.
const std::vector<Step> kPhrase = {
    {0, {{0, 0x90, 48, 100}, {37, 0x90, 55, 80}}},
    {20, {{5, 0x90, 64, 127}, {90, 0xE0, 0, 72}}},
    {40, {{0, 0x80, 48, 0}, {3, 0xB0, 1, 20}}},
    {60, {{11, 0x90, 72, 60}, {11, 0x90, 76, 60}}},
};

// A control change between blocks, as automation gives it.
constexpr int kChangeBlock = 30;
constexpr float kWarpChange = 0.8f;

std::vector<float> renderVst(int program, float rate) {
  plughost::PluginInstance::Options options;
  options.sampleRate = rate;
  auto plugin = testing_support::newInstance(options);
  plugin->start();
  plugin->dispatch(vst::effSetProgram, 0, program);
  testing_support::StereoBuffers out(kBlock);
  std::vector<float> silence(kBlock, 0.0f);
  float* ins[2] = {silence.data(), silence.data()};
  std::vector<float> all;
  for (int block = 0; block < kBlocks; ++block) {
    for (const Step& step : kPhrase)
      if (step.block == block) plugin->sendMidi(step.midi);
    if (block == kChangeBlock) plugin->setParameter(params::kWarp, kWarpChange);
    plugin->processReplacing(ins, out.get(), kBlock);
    all.insert(all.end(), out.left.begin(), out.left.end());
    all.insert(all.end(), out.right.begin(), out.right.end());
  }
  return all;
}

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

bool sameBits(const std::vector<float>& a, const std::vector<float>& b) {
  return a.size() == b.size() && std::memcmp(a.data(), b.data(), a.size() * sizeof(float)) == 0;
}

float peakOf(const std::vector<float>& v) {
  float peak = 0.0f;
  for (float s : v) peak = std::max(peak, std::fabs(s));
  return peak;
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
