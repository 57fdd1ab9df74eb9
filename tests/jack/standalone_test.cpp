// quillstave-jack on a private dummy-backend JACK server: a phrase sent to
// its MIDI port by one client of the test and recorded from its audio ports
// by another equals, bit for bit, the offline render of the phrase through
// the VST 2 build at the same block size. The bank it saves on exit comes
// back on the next start; without a server it fails with a clear message.
//
// A note's noise and pan are seeded from the instrument's running frame clock:
// the offline render starts as many silent blocks before the phrase as the
// program played before it (it tells the frame it started at).
#include <jack/midiport.h>

#include <algorithm>
#include <atomic>
#include <cmath>
#include <cstdio>
#include <cstring>

#include "jack_support.h"
#include "params/parameter_table.h"
#include "plugin_fixture.h"
#include "reference_phrase.h"

namespace {

using namespace jack_support;
using reference_phrase::peakOf;
using reference_phrase::sameBits;

JackServer* const server =
    static_cast<JackServer*>(::testing::AddGlobalTestEnvironment(new JackServer));

constexpr int kBlocks = 60;

struct Note {
  int block, frame;
  uint8_t status, data1, data2;
};
const std::vector<Note> kPhrase = {
    {1, 0, 0x90, 48, 100}, {1, 37, 0x90, 55, 80}, {12, 5, 0x90, 64, 127}, {12, 90, 0xE0, 0, 72},
    {25, 0, 0x80, 48, 0},  {25, 3, 0xB0, 1, 20},  {40, 11, 0x90, 72, 60}, {40, 11, 0x90, 76, 60},
};

// The offline render: the VST 2 build, the same program and values, the same
// blocks, after 'lead' silent blocks.
std::vector<float> renderOffline(int lead, int program,
                                 const std::vector<std::pair<int, float>>& values) {
  plughost::PluginInstance::Options options;
  options.sampleRate = kRate;
  options.blockSize = kPeriod;
  auto plugin = testing_support::newInstance(options);
  plugin->start();
  plugin->dispatch(vst::effSetProgram, 0, program);
  for (auto [index, value] : values) plugin->setParameter(index, value);
  testing_support::StereoBuffers out(kPeriod);
  std::vector<float> silence(kPeriod, 0.0f);
  float* ins[2] = {silence.data(), silence.data()};
  for (int block = 0; block < lead; ++block) plugin->processReplacing(ins, out.get(), kPeriod);
  std::vector<float> left, right;
  for (int block = 0; block < kBlocks; ++block) {
    std::vector<plughost::PluginInstance::Midi> midi;
    for (const Note& n : kPhrase)
      if (n.block == block) midi.push_back({n.frame, n.status, n.data1, n.data2});
    if (!midi.empty()) plugin->sendMidi(midi);
    plugin->processReplacing(ins, out.get(), kPeriod);
    left.insert(left.end(), out.left.begin(), out.left.end());
    right.insert(right.end(), out.right.begin(), out.right.end());
  }
  left.insert(left.end(), right.begin(), right.end());
  return left;
}

// Two clients in one cycle: the player sends the phrase from the cycle it is
// armed in, the recorder (after the instrument in the graph) keeps the same
// cycles. Their buffers are made before they start.
class PhrasePlayer {
 public:
  PhrasePlayer() : left(kBlocks * kPeriod), right(kBlocks * kPeriod) {
    sender = openClient("qs-test-player");
    recorder = openClient("qs-test-recorder");
    if (!sender || !recorder) return;
    midiOut = jack_port_register(sender, "midi_out", JACK_DEFAULT_MIDI_TYPE, JackPortIsOutput, 0);
    in[0] = jack_port_register(recorder, "in_l", JACK_DEFAULT_AUDIO_TYPE, JackPortIsInput, 0);
    in[1] = jack_port_register(recorder, "in_r", JACK_DEFAULT_AUDIO_TYPE, JackPortIsInput, 0);
    jack_set_process_callback(sender, sendThunk, this);
    jack_set_process_callback(recorder, recordThunk, this);
    ready = midiOut && in[0] && in[1] && jack_activate(sender) == 0 && jack_activate(recorder) == 0;
  }
  ~PhrasePlayer() {
    for (jack_client_t* c : {sender, recorder})
      if (c) jack_client_close(c);
  }

  bool connectTo(const std::string& client) {
    return jack_connect(sender, "qs-test-player:midi_out", (client + ":midi_in").c_str()) == 0 &&
           jack_connect(recorder, (client + ":out_left").c_str(), "qs-test-recorder:in_l") == 0 &&
           jack_connect(recorder, (client + ":out_right").c_str(), "qs-test-recorder:in_r") == 0;
  }

  // Plays the phrase once; the recording, left then right, or empty on a timeout.
  std::vector<float> play() {
    std::this_thread::sleep_for(100ms);  // connections settle
    armed.store(true);
    for (auto end = std::chrono::steady_clock::now() + 10s;
         !done.load() && std::chrono::steady_clock::now() < end;)
      std::this_thread::sleep_for(10ms);
    if (!done.load()) return {};
    std::vector<float> all(left);
    all.insert(all.end(), right.begin(), right.end());
    return all;
  }
  // Blocks the instrument played before the phrase, from the frame it started at.
  int leadBlocks(uint32_t instrumentStart) const {
    const uint32_t frames = start.load() - instrumentStart;
    return frames % kPeriod == 0 ? int(frames / kPeriod) : -1;
  }

  bool ready = false;

 private:
  static int sendThunk(jack_nframes_t frames, void* self) {
    static_cast<PhrasePlayer*>(self)->send(frames);
    return 0;
  }
  static int recordThunk(jack_nframes_t frames, void* self) {
    static_cast<PhrasePlayer*>(self)->record(frames);
    return 0;
  }
  void send(jack_nframes_t frames) {
    void* buffer = jack_port_get_buffer(midiOut, frames);
    jack_midi_clear_buffer(buffer);
    const jack_nframes_t now = jack_last_frame_time(sender);
    if (!armed.load(std::memory_order_relaxed)) return;
    if (!started.load()) {
      start.store(now);
      started.store(true);
    }
    const int block = int((now - start.load()) / jack_nframes_t(kPeriod));
    for (const Note& n : kPhrase) {
      if (n.block != block) continue;
      const uint8_t bytes[3] = {n.status, n.data1, n.data2};
      jack_midi_event_write(buffer, jack_nframes_t(n.frame), bytes, 3);
    }
  }
  void record(jack_nframes_t frames) {
    const jack_nframes_t now = jack_last_frame_time(recorder);
    if (!started.load() || done.load() || frames != kPeriod) return;
    const size_t at = size_t(now - start.load());
    if (at + frames > left.size()) {
      done.store(true);
      return;
    }
    for (int c = 0; c < 2; ++c) {
      const auto* samples = static_cast<const float*>(jack_port_get_buffer(in[c], frames));
      std::memcpy((c ? right : left).data() + at, samples, frames * sizeof(float));
    }
    if (at + frames == left.size()) done.store(true);
  }

  jack_client_t *sender = nullptr, *recorder = nullptr;
  jack_port_t* midiOut = nullptr;
  jack_port_t* in[2] = {};
  std::vector<float> left, right;
  std::atomic<bool> armed{false}, started{false}, done{false};
  std::atomic<jack_nframes_t> start{0};
};


class JackStandalone : public ::testing::Test {
 protected:
  void SetUp() override {
    if (server->pid <= 0) GTEST_SKIP() << "jackd is not installed";
    ASSERT_TRUE(server->running) << "the dummy JACK server did not start";
  }
};

}  // namespace

TEST_F(JackStandalone, APhraseThroughJackEqualsTheOfflineRenderAndTheBankIsKept) {
  const std::string keep = ::testing::TempDir() + server->name + "-keep.fxb";
  std::remove(keep.c_str());
  const std::vector<std::pair<int, float>> edits = {{params::kBright, 0.3f}};
  {
    Standalone standalone("qs-play",
                          {"--keep", keep, "--program", "2", "--param", "Bright=0.3", "--connect"});
    ASSERT_TRUE(standalone.up) << standalone.errors();
    // --connect reaches the system's playback ports (the dummy backend's).
    jack_client_t* probe = openClient("qs-test-probe");
    ASSERT_NE(probe, nullptr);
    jack_port_t* out = jack_port_by_name(probe, "qs-play:out_right");
    EXPECT_TRUE(out && jack_port_connected_to(out, "system:playback_2"));
    jack_client_close(probe);
    PhrasePlayer player;
    ASSERT_TRUE(player.ready && player.connectTo("qs-play"));
    const std::vector<float> live = player.play();
    const int lead = player.leadBlocks(standalone.startFrame);
    ASSERT_GE(lead, 0);
    EXPECT_GT(peakOf(live), 1e-3f);
    EXPECT_TRUE(sameBits(live, renderOffline(lead, 2, edits))) << lead << " blocks before";
    EXPECT_EQ(standalone.stop(), 0) << standalone.errors();
  }
  // The edited program comes back from the kept bank.
  Standalone again("qs-again", {"--keep", keep});
  ASSERT_TRUE(again.up) << again.errors();
  PhrasePlayer player;
  ASSERT_TRUE(player.ready && player.connectTo("qs-again"));
  const std::vector<float> live = player.play();
  EXPECT_TRUE(sameBits(live, renderOffline(player.leadBlocks(again.startFrame), 2, edits)));
  EXPECT_EQ(again.stop(), 0);
  std::remove(keep.c_str());
}

TEST_F(JackStandalone, WithoutAServerOrWithBadOptionsItFailsClearly) {
  const std::string errors = ::testing::TempDir() + server->name + "-noserver.stderr";
  setenv("JACK_DEFAULT_SERVER", "qs-test-no-such-server", 1);
  const int status = waitFor(spawn({QS_STANDALONE_PATH, "--no-gui"}, errors));
  setenv("JACK_DEFAULT_SERVER", server->name.c_str(), 1);
  EXPECT_NE(status, 0);
  std::ifstream file(errors);
  std::stringstream text;
  text << file.rdbuf();
  EXPECT_NE(text.str().find("no JACK server is running"), std::string::npos) << text.str();
  std::remove(errors.c_str());

  Standalone badProgram("qs-bad", {"--program", "no such program"});
  EXPECT_EQ(badProgram.stop(), 2);
  EXPECT_NE(badProgram.errors().find("no program named"), std::string::npos);
  EXPECT_NE(waitFor(spawn({QS_STANDALONE_PATH, "--bogus"}, "/dev/null")), 0);
}
