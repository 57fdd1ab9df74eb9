// The voices rendered one after another (the reference) and with their body
// filters side by side in SIMD lanes must give the same bits: every factory
// program and random settings, phrases with overlapping notes, takeovers,
// releases, pitch bend, controllers, changing orders and host input, at both
// qualities.
#include <gtest/gtest.h>

#include <cstring>
#include <random>
#include <vector>

#include "synth_probe.h"

namespace {

using Kernel = engine::BodyFilterLanes::Kernel;
using VoiceKernel = engine::VoiceLanes::Kernel;
// The voices rendered in turn, or side by side with one of the body filters'
// kernels; the voices' own kernel is SSE2 with the SSE2 filters, else the widest.
struct Path {
  bool inTurn = false;
  Kernel kernel = Kernel::sse2;
  bool switching = false;  // the two ways in turn, a few blocks each
};
const char* kKernelNames[] = {"sse2", "avx", "avx512"};

// One step of a phrase: events and parameter changes before a block, then the block.
struct Block {
  std::vector<std::array<uint8_t, 3>> midi;
  std::vector<int32_t> deltas;
  std::vector<std::pair<int32_t, float>> settings;
  int32_t frames = 0;
};

struct Phrase {
  int32_t program = 0;
  std::vector<std::pair<int32_t, float>> settings;  // applied after the program
  std::vector<Block> blocks;
  bool withInput = false;
};

std::vector<float> play(const Phrase& phrase, Path path) {
  SynthProbe synth;
  synth.voicesInTurn = path.inTurn;
  synth.bodyFilters().setKernel(path.kernel);
  synth.voiceLanes().setKernel(path.kernel == Kernel::sse2 ? VoiceKernel::sse2 : VoiceKernel::avx2);
  synth.setProgram(phrase.program);
  for (auto [index, value] : phrase.settings) synth.setParameter(index, value);
  std::vector<float> out;
  uint32_t noise = 1;
  for (const Block& block : phrase.blocks) {
    if (path.switching) synth.voicesInTurn = out.size() / 2 % 1000 < 500;
    for (auto [index, value] : block.settings) synth.setParameter(index, value);
    for (size_t e = 0; e < block.midi.size(); ++e)
      synth.midi(block.midi[e][0], block.midi[e][1], block.midi[e][2], block.deltas[e]);
    const int32_t n = block.frames;
    std::vector<float> inA(n, 0.0f), inB(n, 0.0f), left(n), right(n);
    if (phrase.withInput) {
      for (int32_t i = 0; i < n; ++i) {
        noise = noise * 1664525u + 1013904223u;
        inA[i] = static_cast<float>(static_cast<int32_t>(noise)) * 1e-10f;
        inB[i] = -0.5f * inA[i];
      }
    }
    float* ins[2] = {inA.data(), inB.data()};
    float* outs[2] = {left.data(), right.data()};
    synth.processReplacing(ins, outs, n);
    out.insert(out.end(), left.begin(), left.end());
    out.insert(out.end(), right.begin(), right.end());
  }
  return out;
}

// Bit for bit, so that NaNs and signed zeros count too.
void expectSameBits(const Phrase& phrase, const std::string& what) {
  const std::vector<float> reference = play(phrase, Path{true});
  for (Kernel kernel : {Kernel::sse2, Kernel::avx, Kernel::avx512}) {
    if (!engine::BodyFilterLanes::available(kernel)) continue;
    const std::vector<float> lanes = play(phrase, Path{false, kernel});
    ASSERT_EQ(lanes.size(), reference.size());
    for (size_t i = 0; i < reference.size(); ++i) {
      ASSERT_EQ(std::memcmp(&lanes[i], &reference[i], sizeof(float)), 0)
          << what << " " << kKernelNames[static_cast<int>(kernel)] << ", sample " << i << ": "
          << lanes[i] << " instead of " << reference[i];
    }
  }
  // Switching between the two ways while notes sound changes nothing either.
  const std::vector<float> switching = play(phrase, Path{false, Kernel::avx512, true});
  ASSERT_EQ(std::memcmp(switching.data(), reference.data(), reference.size() * sizeof(float)), 0)
      << what << " switching";
}

// A phrase of `blocks` blocks of random sizes: chords, single notes, note-offs,
// pitch bend, mapped controllers and, when `wild`, changes of any parameter.
Phrase randomPhrase(std::mt19937& rng, int32_t program, int blocks, bool wild) {
  Phrase phrase;
  phrase.program = program;
  auto uniform = [&](int lo, int hi) { return std::uniform_int_distribution<int>(lo, hi)(rng); };
  auto value = [&] { return std::uniform_real_distribution<float>(0.0f, 1.0f)(rng); };
  for (int b = 0; b < blocks; ++b) {
    Block block;
    block.frames = uniform(0, 6) == 0 ? uniform(1, 7) : uniform(64, 400);
    const int events = uniform(0, 5) == 0 ? uniform(1, 9) : 0;
    for (int e = 0; e < events; ++e) {
      const uint8_t key = static_cast<uint8_t>(uniform(28, 100));
      switch (uniform(0, 5)) {
        case 0:
          block.midi.push_back({0x80, key, 0});
          break;
        case 1:
          block.midi.push_back({0xE0, 0, static_cast<uint8_t>(uniform(0, 127))});
          break;
        case 2:
          block.midi.push_back({0xB0,
                                static_cast<uint8_t>(uniform(0, 3) == 0 ? 1 : 105 + uniform(0, 2)),
                                static_cast<uint8_t>(uniform(0, 127))});
          break;
        default:
          block.midi.push_back({0x90, key, static_cast<uint8_t>(uniform(1, 127))});
      }
      block.deltas.push_back(uniform(0, block.frames - 1));
    }
    if (wild && uniform(0, 7) == 0) block.settings.push_back({uniform(0, 36), value()});
    phrase.blocks.push_back(block);
  }
  return phrase;
}

class VoicePaths : public ::testing::TestWithParam<bool> {};

TEST_P(VoicePaths, FactoryProgramsGiveTheSameBits) {
  const float quality = GetParam() ? 1.0f : 0.0f;
  std::mt19937 rng(7);
  for (int32_t program = 0; program < 8; ++program) {
    Phrase phrase = randomPhrase(rng, program, 60, false);
    phrase.settings.push_back({params::kQuality, quality});
    // Fewer voices for a while: the others stand still, their lanes untouched.
    phrase.blocks[20].settings.push_back({params::kPolyphony, 0.4f});
    phrase.blocks[40].settings.push_back({params::kPolyphony, 1.0f});
    // A change of order while notes sound leaves lanes of different orders.
    phrase.blocks[30].settings.push_back({params::kFilterOrder, 0.3f});
    expectSameBits(phrase, "program " + std::to_string(program));
  }
  // Program 4 with its body filter on the output runs away: the guard silences lanes.
  Phrase runaway = randomPhrase(rng, 4, 60, false);
  runaway.settings = {{params::kQuality, quality}, {params::kFilterPos, 1.0f}};
  expectSameBits(runaway, "run-away body");
  // Strings that feed back more than they lose run away too, with notes waiting.
  Phrase strings = randomPhrase(rng, 1, 60, false);
  strings.settings = {{params::kQuality, quality}, {params::kGainA, 1.0f},  {params::kGainB, 1.0f},
                      {params::kLeakAB, 1.0f},     {params::kLeakBA, 1.0f}, {params::kFilterPos, 1.0f}};
  strings.withInput = true;
  expectSameBits(strings, "run-away strings");
}

TEST_P(VoicePaths, RandomSettingsGiveTheSameBits) {
  const float quality = GetParam() ? 1.0f : 0.0f;
  std::mt19937 rng(GetParam() ? 11 : 12);
  for (int set = 0; set < 24; ++set) {
    Phrase phrase = randomPhrase(rng, set % 8, 40, true);
    for (int32_t index = 0; index < params::kQuality; ++index)
      phrase.settings.push_back({index, std::uniform_real_distribution<float>(0.0f, 1.0f)(rng)});
    phrase.settings.push_back({params::kQuality, quality});
    phrase.withInput = set % 3 == 0;
    expectSameBits(phrase, "set " + std::to_string(set));
  }
}

INSTANTIATE_TEST_SUITE_P(Quality, VoicePaths, ::testing::Bool(),
                         [](const auto& info) { return info.param ? "High" : "Normal"; });

}  // namespace
