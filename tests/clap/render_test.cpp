// The CLAP build against the VST 2 build: the same phrase gives the same
// bits; parameter changes take effect at their frame inside a block; the
// format's note events play as MIDI does; controllers reach the host as
// parameter events; bad host input is answered safely.
#include <atomic>
#include <cmath>
#include <cstring>
#include <limits>
#include <thread>

#include "clap_fixture.h"
#include "params/parameter_table.h"
#include "plugin_fixture.h"
#include "reference_phrase.h"

using namespace clap_support;
using namespace reference_phrase;

namespace {

std::vector<float> renderClap(int program, double rate) {
  auto plugin = newClapInstance(rate, kBlock);
  if (!plugin || !loadFactory(*plugin, program)) return {};
  std::vector<float> all;
  claphost::EventList events;
  for (int block = 0; block < kBlocks; ++block) {
    events.clear();
    for (const Step& step : kPhrase)
      if (step.block == block)
        for (const auto& m : step.midi)
          events.midi(uint32_t(m.deltaFrames), m.status, m.data1, m.data2);
    if (block == kChangeBlock) events.param(0, params::kWarp, kWarpChange);
    plugin->process(kBlock, &events);
    append(all, plugin->left, plugin->right);
  }
  return all;
}


}  // namespace

TEST(ClapRender, EveryFactoryProgramGivesTheVst2Bits) {
  for (int program = 0; program < 8; ++program) {
    const std::vector<float> vst = renderVst(program, 44100.0f);
    const std::vector<float> clap = renderClap(program, 44100.0);
    EXPECT_GT(peakOf(clap), 1e-3f) << program;
    EXPECT_TRUE(sameBits(vst, clap)) << "program " << program;
  }
  for (float rate : {48000.0f, 0.0f, std::numeric_limits<float>::quiet_NaN()})
    EXPECT_TRUE(sameBits(renderClap(1, rate), renderVst(1, rate))) << rate;
}

// A change at frame 100 of a block sounds as the same change at the start of
// a block that begins there; the notes on either side keep their frames.
TEST(ClapRender, ParameterChangesTakeEffectAtTheirFrame) {
  auto whole = newClapInstance();
  auto split = newClapInstance();
  ASSERT_TRUE(whole && split);
  claphost::EventList events;
  std::vector<float> a, b;
  for (int block = 0; block < 12; ++block) {
    events.clear();
    if (block == 2) {
      events.midi(40, 0x90, 60, 100);
      events.param(100, params::kWarp, 0.9);
      events.param(100, params::kVolume, 0.5);
      events.midi(180, 0x90, 67, 90);
    }
    whole->process(kBlock, &events);
    append(a, whole->left, whole->right);

    if (block != 2) {
      split->process(kBlock, nullptr);
      append(b, split->left, split->right);
      continue;
    }
    std::vector<float> l, r;
    events.clear();
    events.midi(40, 0x90, 60, 100);
    split->process(100, &events);
    l = split->left, r = split->right;
    events.clear();
    events.param(0, params::kWarp, 0.9);
    events.param(0, params::kVolume, 0.5);
    events.midi(80, 0x90, 67, 90);
    split->process(kBlock - 100, &events);
    l.insert(l.end(), split->left.begin(), split->left.end());
    r.insert(r.end(), split->right.begin(), split->right.end());
    append(b, l, r);
  }
  EXPECT_GT(peakOf(a), 1e-3f);
  EXPECT_TRUE(sameBits(a, b));
  EXPECT_EQ(whole->value(params::kVolume), 0.5);
}

TEST(ClapRender, NoteEventsPlayAsMidiAndControllersReachTheHost) {
  auto midi = newClapInstance();
  auto notes = newClapInstance();
  ASSERT_TRUE(midi && notes);
  claphost::EventList m, n;
  m.midi(10, 0x90, 60, 100);
  m.midi(10, 0x90, 64, 127);
  n.note(10, clap::kNoteOn, 60, 100 / 127.0);
  n.note(10, clap::kNoteOn, 64, 1.0);
  std::vector<float> a, b;
  for (int block = 0; block < 20; ++block) {
    if (block == 10) {
      m.clear(), n.clear();
      m.midi(5, 0x80, 60, 0);
      m.midi(5, 0x80, 64, 0);
      n.note(5, clap::kNoteOff, -1, 0.0);  // every key
    }
    midi->process(kBlock, &m);
    notes->process(kBlock, &n);
    append(a, midi->left, midi->right);
    append(b, notes->left, notes->right);
    m.clear(), n.clear();
  }
  EXPECT_GT(peakOf(a), 1e-3f);
  EXPECT_TRUE(sameBits(a, b));

  // Controller 107 moves Warp: the host hears of the value after the block,
  // and of the changed state on its main thread.
  m.midi(0, 0xB0, 107, 127);
  midi->process(kBlock, &m);
  ASSERT_EQ(midi->sent.size(), 1u);
  EXPECT_EQ(midi->sent[0].type, clap::kParamValue);
  EXPECT_EQ(midi->sent[0].id, uint32_t(params::kWarp));
  EXPECT_FLOAT_EQ(float(midi->sent[0].value), 1.0f);
  EXPECT_EQ(midi->value(params::kWarp), midi->sent[0].value);
  EXPECT_EQ(midi->callbackRequests, 1);
  midi->runMainThread();
  EXPECT_EQ(midi->dirtyMarks, 1);
}

TEST(ClapRender, BadHostInputIsAnsweredSafely) {
  auto plugin = newClapInstance();
  ASSERT_TRUE(plugin);
  claphost::EventList events;
  // Short, unknown, out-of-order and out-of-range events.
  clap::EventHeader shortNote{8, 0, 0, clap::kNoteOn, 0};
  events.raw(&shortNote, sizeof shortNote);
  clap::EventHeader foreign{sizeof(clap::MidiEvent), 0, 7, clap::kMidi, 0};
  events.raw(&foreign, sizeof foreign);
  events.param(200, params::kVolume, std::numeric_limits<double>::quiet_NaN());
  events.param(100, 38, 0.5);
  events.param(1 << 30, params::kPolyphony, 1e300);
  events.note(5, clap::kNoteOn, 300, 0.5);
  events.note(5, clap::kNoteOn, 60, std::numeric_limits<double>::infinity());
  events.note(5, clap::kNoteChoke, -7, 0.0);
  EXPECT_EQ(plugin->process(kBlock, &events), clap::kProcessContinue);
  EXPECT_EQ(plugin->value(params::kPolyphony), 7.0);

  // Missing buffers: nothing is written, and the voices run on.
  clap::Process p{};
  p.framesCount = kBlock;
  const auto* record = plugin->plugin();
  EXPECT_EQ(record->process(record, &p), clap::kProcessContinue);
  EXPECT_EQ(record->process(record, nullptr), clap::kProcessError);
  // Calls without the plug-in's own record are refused.
  EXPECT_EQ(record->process(nullptr, &p), clap::kProcessError);
  double v = 0.0;
  EXPECT_FALSE(plugin->extension<clap::PluginParams>(clap::kExtParams)->getValue(nullptr, 0, &v));
  record->onMainThread(nullptr);
  clap::AudioBuffer mono{nullptr, nullptr, 1, 0, 0};
  p.audioOutputs = &mono;
  p.audioOutputsCount = 1;
  EXPECT_EQ(record->process(record, &p), clap::kProcessContinue);
  events.clear();
  events.param(0, params::kVolume, 0.8);
  plugin->process(kBlock, &events);
  EXPECT_GT(peakOf(plugin->left), 1e-4f);
  for (float s : plugin->left) ASSERT_TRUE(std::isfinite(s));
}

// The host's main thread reads values and texts while its audio thread plays
// and automates (a data race test under ThreadSanitizer).
TEST(ClapRender, TheMainThreadReadsWhileTheAudioThreadPlays) {
  auto plugin = newClapInstance();
  ASSERT_TRUE(plugin);
  std::atomic<bool> playing{true};
  std::thread audio([&] {
    claphost::EventList events;
    for (int block = 0; block < 200; ++block) {
      events.clear();
      if (block % 20 == 0) events.midi(0, 0x90, uint8_t(48 + block / 20), 100);
      events.param(17, params::kWarp, (block % 10) / 10.0);
      events.midi(33, 0xB0, 105, uint8_t(block % 128));
      plugin->process(64, &events);
    }
    playing = false;
  });
  int reads = 0;
  while (playing) {
    for (uint32_t i = 0; i < 38; ++i) {
      const double v = plugin->value(i);
      EXPECT_FALSE(plugin->text(i, v).empty()) << i;
      ++reads;
    }
  }
  audio.join();
  EXPECT_GT(reads, 0);
  EXPECT_EQ(plugin->value(params::kWarp), double(0.9f));
}
