// The phrase every plug-in format plays to prove it gives the VST 2 build's
// bits: notes, pitch bend and a mapped controller in blocks of 256 frames, and
// a Warp change between blocks as automation gives it.
#pragma once

#include <algorithm>
#include <cmath>
#include <cstring>
#include <vector>

#include "params/parameter_table.h"
#include "plugin_fixture.h"

namespace reference_phrase {

constexpr int kBlock = 256;
constexpr int kBlocks = 80;

struct Step {
  int block;
  std::vector<plughost::PluginInstance::Midi> midi;
};

inline const std::vector<Step> kPhrase = {
    {0, {{0, 0x90, 48, 100}, {37, 0x90, 55, 80}}},
    {20, {{5, 0x90, 64, 127}, {90, 0xE0, 0, 72}}},
    {40, {{0, 0x80, 48, 0}, {3, 0xB0, 1, 20}}},
    {60, {{11, 0x90, 72, 60}, {11, 0x90, 76, 60}}},
};

constexpr int kChangeBlock = 30;
constexpr float kWarpChange = 0.8f;

// Appends a block's two channels, left then right.
inline void append(std::vector<float>& all, const std::vector<float>& left,
                   const std::vector<float>& right) {
  all.insert(all.end(), left.begin(), left.end());
  all.insert(all.end(), right.begin(), right.end());
}

// The phrase through the VST 2 build, from a factory program.
inline std::vector<float> renderVst(int program, float rate) {
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
    append(all, out.left, out.right);
  }
  return all;
}

inline bool sameBits(const std::vector<float>& a, const std::vector<float>& b) {
  return a.size() == b.size() && std::memcmp(a.data(), b.data(), a.size() * sizeof(float)) == 0;
}

inline float peakOf(const std::vector<float>& v) {
  float peak = 0.0f;
  for (float s : v) peak = std::max(peak, std::fabs(s));
  return peak;
}

}  // namespace reference_phrase
