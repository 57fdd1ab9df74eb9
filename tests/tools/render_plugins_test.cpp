// The tool as a user meets it: the demo through the project's plug-in, a song
// through another maker's instrument, the benchmark, and the errors.
#include <fcntl.h>
#include <spawn.h>

#include <algorithm>
#include <cmath>
#include <csignal>

#include "plughost/plugin_host.h"
#include "render_test_support.h"

using namespace render_test;

namespace {

const char* kOtherInstrument = "/usr/lib/vst/Kars-vst.so";

std::vector<std::string> lines(const std::string& text) {
  std::vector<std::string> out;
  size_t start = 0, end;
  while ((end = text.find('\n', start)) != std::string::npos) {
    out.push_back(text.substr(start, end - start));
    start = end + 1;
  }
  return out;
}

std::vector<uint8_t> shortSong() {
  Bytes t;
  t.vlq(0)
      .u8(0x90)
      .u8(57)
      .u8(100)
      .vlq(0)
      .u8(64)
      .u8(90)
      .vlq(48)
      .u8(0x80)
      .u8(57)
      .u8(0)
      .vlq(48)
      .u8(64)
      .u8(0)
      .vlq(96)
      .u8(0xFF)
      .u8(0x2F)
      .u8(0);
  return midiFile(0, 96, {t.data});
}

}  // namespace

TEST(RenderTool, DemoPlaysEightProgramsTheSameWayEveryTime) {
  ScratchFolder dir;
  auto first = runTool(dir, {"-o", dir / "demo.wav"});
  ASSERT_EQ(first.exitCode, 0) << first.err;
  sleep(1);  // a second apart: nothing in the file may depend on the time of writing
  auto second = runTool(dir, {"--demo", "-o", dir / "again.wav"});
  ASSERT_EQ(second.exitCode, 0) << second.err;
  EXPECT_EQ(readBytes(dir / "demo.wav"), readBytes(dir / "again.wav"));
  EXPECT_EQ(first.out, second.out);

  Audio audio = readAudio(dir / "demo.wav");
  EXPECT_EQ(audio.channels, 2);
  EXPECT_EQ(audio.frames(), size_t(8 * 4 * 44100));

  // One line per program, with the name the plug-in gives it.
  std::string error;
  auto module = plughost::PluginModule::load(QS_PLUGIN_PATH, error);
  ASSERT_TRUE(module) << error;
  auto plugin = plughost::PluginInstance::create(*module);
  auto summary = lines(first.out);
  ASSERT_EQ(summary.size(), 8u) << first.out;
  for (int p = 0; p < 8; ++p) {
    plugin->dispatch(vst::effSetProgram, 0, p);
    EXPECT_EQ(summary[size_t(p)].rfind(
                  "program " + std::to_string(p) + "  \"" + plugin->programName() + "\"", 0),
              0u)
        << summary[size_t(p)];
    EXPECT_NE(summary[size_t(p)].find("dBFS"), std::string::npos);
    EXPECT_NE(summary[size_t(p)].find(" 4.00 s"), std::string::npos);
  }
}

TEST(RenderTool, DemoSummaryMeasuresEachProgramsSegment) {
  ScratchFolder dir;
  auto run = runTool(dir, {"--plugin", QS_PROBE_PLUGIN, "-o", dir / "demo.wav"});
  ASSERT_EQ(run.exitCode, 0) << run.err;
  Audio audio = readAudio(dir / "demo.wav");
  auto summary = lines(run.out);
  ASSERT_EQ(summary.size(), 3u) << "the probe has three programs";
  const size_t segment = 4 * 44100;
  ASSERT_EQ(audio.frames(), 3 * segment);
  for (size_t p = 0; p < 3; ++p) {
    double peak = 0.0, squares = 0.0;
    for (const auto& channel : audio.samples)
      for (size_t i = p * segment; i < (p + 1) * segment; ++i) {
        peak = std::max(peak, std::fabs(double(channel[i])));
        squares += double(channel[i]) * channel[i];
      }
    double rms = std::sqrt(squares / double(2 * segment));
    char expected[64];
    std::snprintf(expected, sizeof expected, "peak %6.1f dBFS  RMS %6.1f dBFS",
                  20 * std::log10(peak), 20 * std::log10(rms));
    EXPECT_NE(summary[p].find(expected), std::string::npos) << summary[p] << " / " << expected;
  }
}

TEST(RenderTool, OtherInstrumentsRenderThroughTheSamePath) {
  if (!fs::exists(kOtherInstrument)) GTEST_SKIP() << kOtherInstrument << " is not installed";
  ScratchFolder dir;
  writeBytes(dir / "song.mid", shortSong());
  auto run = runTool(dir, {"--plugin", kOtherInstrument, dir / "song.mid", "-o", dir / "song.wav"});
  ASSERT_EQ(run.exitCode, 0) << run.err;
  Audio audio = readAudio(dir / "song.wav");
  ASSERT_EQ(audio.channels, 1);  // a mono instrument gives a mono file
  float peak = 0.0f;
  for (float s : audio.samples[0]) peak = std::max(peak, std::fabs(s));
  EXPECT_GT(peak, 0.01f);
  // The plucks decay: the render ends well before the tail's cap, and quietly.
  EXPECT_LT(audio.frames(), size_t(20 * 44100));
  for (size_t i = audio.frames() - 44100; i < audio.frames(); ++i)
    ASSERT_LT(std::fabs(audio.samples[0][i]), 1e-6f);

  auto demo = runTool(dir, {"--plugin", kOtherInstrument, "-o", dir / "demo.wav"});
  ASSERT_EQ(demo.exitCode, 0) << demo.err;
  EXPECT_EQ(lines(demo.out).size(), 1u) << "one program, one line";
  auto again = runTool(dir, {"--plugin", kOtherInstrument, "-o", dir / "demo2.wav"});
  EXPECT_EQ(readBytes(dir / "demo.wav"), readBytes(dir / "demo2.wav"));
}

TEST(RenderTool, BenchComparesSeveralPlugins) {
  ScratchFolder dir;
  auto run = runTool(dir, {"--bench", "--seconds", "0.5", "--plugin", QS_PROBE_PLUGIN, "--plugin",
                           QS_PROBE_CHUNK_PLUGIN});
  ASSERT_EQ(run.exitCode, 0) << run.err;
  auto out = lines(run.out);
  ASSERT_EQ(out.size(), 2u) << run.out;
  EXPECT_EQ(out[0].rfind(QS_PROBE_PLUGIN, 0), 0u);
  EXPECT_EQ(out[1].rfind(QS_PROBE_CHUNK_PLUGIN, 0), 0u);
  EXPECT_NE(out[1].find("times the first plug-in's factor"), std::string::npos) << out[1];
  for (const auto& line : out) {
    EXPECT_NE(line.find("0.50 s of audio"), std::string::npos) << line;
    EXPECT_NE(line.find("real-time factor"), std::string::npos) << line;
  }
}

TEST(RenderTool, BadInputsGiveOneLineAndNoOutputFile) {
  ScratchFolder dir;
  writeBytes(dir / "song.mid", shortSong());
  auto truncated = shortSong();
  truncated.resize(truncated.size() - 6);
  writeBytes(dir / "truncated.mid", truncated);
  // A track whose stated length is right but whose last event is cut short.
  Bytes cut;
  cut.vlq(0).u8(0x90).u8(60).u8(100).vlq(10).u8(0x80).u8(60);
  writeBytes(dir / "cut.mid", midiFile(0, 96, {cut.data}));
  writeBytes(dir / "text.mid", {'h', 'e', 'l', 'l', 'o'});
  writeBytes(dir / "not_audio.wav", {'R', 'I', 'F', 'F', 0, 0});

  struct Case {
    std::vector<std::string> args;
    const char* mentions;
  };
  const std::string song = dir / "song.mid";
  std::vector<Case> cases = {
      {{dir / "missing.mid"}, "missing.mid"},
      {{dir / "truncated.mid"}, "not a valid MIDI file"},
      {{dir / "text.mid"}, "not a valid MIDI file"},
      {{dir / "cut.mid"}, "not a valid MIDI file"},
      {{song, "--program", "Delta"}, "Delta"},
      {{song, "--program", "3"}, "no program 3"},
      {{song, "--param", "Volume=0.5"}, "Volume"},
      {{song, "--param", "mix=0.5"}, "ambiguous"},
      {{song, "--input-audio", dir / "not_audio.wav"}, "not_audio.wav"},
      {{song, "--load-fxp", dir / "missing.fxp"}, "missing.fxp"},
      {{song, "--plugin", dir / "song.mid"}, "cannot load plug-in"},
  };
  for (const Case& c : cases) {
    std::vector<std::string> args = c.args;
    if (std::find(args.begin(), args.end(), "--plugin") == args.end()) {
      args.push_back("--plugin");
      args.push_back(QS_PROBE_PLUGIN);
    }
    args.push_back("-o");
    args.push_back(dir / "out.wav");
    SCOPED_TRACE(args[0] + " " + args[1]);
    auto run = runTool(dir, args);
    EXPECT_EQ(run.exitCode, 1);
    EXPECT_EQ(lines(run.err).size(), 1u) << run.err;
    EXPECT_NE(run.err.find(c.mentions), std::string::npos) << run.err;
    EXPECT_FALSE(fs::exists(dir / "out.wav"));
  }
  EXPECT_EQ(dir.entries().size(), 5u) << "no temporary files are left behind";

  auto unknownType = runTool(dir, {"--plugin", QS_PROBE_PLUGIN, song, "-o", dir / "out.mp3"});
  EXPECT_EQ(unknownType.exitCode, 1);
  EXPECT_FALSE(fs::exists(dir / "out.mp3"));

  auto help = runTool(dir, {"--help"});
  EXPECT_EQ(help.exitCode, 0);
  EXPECT_NE(help.out.find("--plugin PATH"), std::string::npos);
}

TEST(RenderTool, InterruptedRenderLeavesNoFile) {
  ScratchFolder dir;
  // A song ten minutes long, rendered a frame per block: far longer than the test waits.
  Bytes t;
  t.vlq(0).u8(0x90).u8(60).u8(100).vlq(115200).u8(0xFF).u8(0x2F).u8(0);
  writeBytes(dir / "long.mid", midiFile(0, 96, {t.data}));
  std::vector<std::string> args = {QS_RENDER_TOOL,   "--plugin", QS_PROBE_PLUGIN,
                                   dir / "long.mid", "-o",       dir / "long.wav",
                                   "--block",        "1"};
  std::vector<char*> argv;
  for (auto& a : args) argv.push_back(a.data());
  argv.push_back(nullptr);
  posix_spawn_file_actions_t actions;
  posix_spawn_file_actions_init(&actions);
  posix_spawn_file_actions_addopen(&actions, 2, "/dev/null", O_WRONLY, 0);
  pid_t pid = 0;
  ASSERT_EQ(posix_spawn(&pid, QS_RENDER_TOOL, &actions, nullptr, argv.data(), environ), 0);
  posix_spawn_file_actions_destroy(&actions);

  // Wait until the audio file is being written, then interrupt.
  bool writing = false;
  for (int i = 0; i < 500 && !writing; ++i) {
    usleep(10000);
    writing = dir.entries().size() > 1;
  }
  kill(pid, SIGINT);
  int status = 0;
  waitpid(pid, &status, 0);
  EXPECT_TRUE(writing);
  ASSERT_TRUE(WIFEXITED(status));
  EXPECT_EQ(WEXITSTATUS(status), 1);
  EXPECT_EQ(dir.entries(), std::vector<std::string>{"long.mid"});
}
