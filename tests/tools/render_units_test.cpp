// The renderer's pieces on their own: event placement in blocks, the preset
// format's edge cases, the command line and name matching.
#include "render/event_schedule.h"
#include "render/fx_format.h"
#include "render/render_error.h"
#include "render/render_options.h"
#include "render/sound_settings.h"
#include "render_test_support.h"

using render::EventSchedule;
using render::MidiSequence;
using Midi = plughost::PluginInstance::Midi;

namespace {

std::vector<Midi> take(EventSchedule& s, int64_t start, int32_t frames) {
  std::vector<Midi> out;
  s.takeBlock(start, frames, out);
  return out;
}

render::RenderOptions parse(std::vector<const char*> args) {
  args.insert(args.begin(), "quillstave-render");
  return render::parseCommandLine(int(args.size()), args.data());
}

}  // namespace

TEST(RenderSchedule, MessagesLandInTheirBlockWithOffsetsAndKeepTheirOrder) {
  MidiSequence song;
  song.events = {{0.0, 0x90, 60, 100},
                 {0.01, 0x80, 60, 0},
                 {0.01, 0x90, 62, 90},
                 {1.0 / 441.0, 0xB0, 1, 64},
                 {0.5, 0xE0, 0, 64}};
  song.lengthSeconds = 0.6;
  EventSchedule s(song, 44100.0);
  EXPECT_EQ(s.endFrame(), 26460);
  // Frames 0, 441, 441, 100, 22050: sorted by frame, equal frames in given order.
  auto first = take(s, 0, 128);
  ASSERT_EQ(first.size(), 2u);
  EXPECT_EQ(first[0].deltaFrames, 0);
  EXPECT_EQ(first[1].deltaFrames, 100);
  EXPECT_EQ(first[1].status, 0xB0);
  EXPECT_TRUE(take(s, 128, 313).empty());  // frames 128..440
  auto third = take(s, 441, 1);
  ASSERT_EQ(third.size(), 2u);
  EXPECT_EQ(third[0].status, 0x80);
  EXPECT_EQ(third[1].status, 0x90);
  EXPECT_EQ(third[1].deltaFrames, 0);
  EXPECT_FALSE(s.finished());
  auto last = take(s, 22000, 512);
  ASSERT_EQ(last.size(), 1u);
  EXPECT_EQ(last[0].deltaFrames, 50);
  EXPECT_TRUE(take(s, 22000, 512).empty());  // handed out once
  // Key 62 is never released in the song: the schedule releases it at its end.
  EXPECT_FALSE(s.finished());
  auto release = take(s, 26000, 512);
  ASSERT_EQ(release.size(), 1u);
  EXPECT_EQ(release[0].deltaFrames, 459);
  EXPECT_EQ(release[0].status, 0x80);
  EXPECT_EQ(release[0].data1, 62);
  EXPECT_TRUE(s.finished());
}

TEST(RenderSchedule, HeldNotesEndOnTheLastFrameOfTheSong) {
  MidiSequence song;
  song.events = {
      {0.0, 0x91, 60, 100}, {0.0, 0x91, 60, 100}, {0.1, 0x91, 60, 0}, {0.1, 0x95, 70, 1}};
  song.lengthSeconds = 0.0;  // shorter than the events: the events decide the end
  EventSchedule s(song, 1000.0);
  EXPECT_EQ(s.endFrame(), 101);
  auto all = take(s, 0, 1000);
  ASSERT_EQ(all.size(), 6u);
  // One of the two stacked channel 2 notes and the channel 6 note are still held.
  EXPECT_EQ(all[4].deltaFrames, 100);
  EXPECT_EQ(all[4].status, 0x81);
  EXPECT_EQ(all[4].data1, 60);
  EXPECT_EQ(all[5].status, 0x85);
  EXPECT_EQ(all[5].data1, 70);
}

TEST(RenderFormat, NamesAreCutToTheFieldAndBanksRoundTrip) {
  render::FxProgram p;
  p.pluginId = vst::fourCC("QSTV");
  p.pluginVersion = 1;
  p.name = std::string(40, 'n');
  p.params = {0.0f, 1.0f, 0.3f};
  auto decoded = render::decodeProgram(render::encodeProgram(p), "p");
  EXPECT_EQ(decoded.name, std::string(27, 'n'));
  EXPECT_EQ(decoded.params, p.params);
  EXPECT_EQ(decoded.pluginId, p.pluginId);

  render::FxBank bank;
  bank.pluginId = p.pluginId;
  bank.currentProgram = 1;
  p.name = "one";
  bank.programs = {p, p};
  auto bytes = render::encodeBank(bank);
  auto back = render::decodeBank(bytes, "b");
  EXPECT_EQ(back.currentProgram, 1);
  ASSERT_EQ(back.programs.size(), 2u);
  EXPECT_EQ(back.programs[1].name, "one");
  EXPECT_EQ(back.programs[1].params, p.params);

  auto stray = bytes;
  stray.push_back(0);
  stray[7] += 1;  // keep the outer size right: only the stray byte is wrong
  EXPECT_THROW(render::decodeBank(stray, "b"), render::RenderError);
  auto lying = bytes;
  lying[156 + 7] += 4;  // the first program claims more bytes than it has
  EXPECT_THROW(render::decodeBank(lying, "b"), render::RenderError);
  EXPECT_THROW(render::decodeProgram(bytes, "b"), render::RenderError);
}

TEST(RenderCommandLine, ModesAndValuesAreChecked) {
  auto demo = parse({});
  EXPECT_TRUE(demo.demo);
  auto song = parse({"song.mid", "--rate=48000", "--block", "64", "--bits", "16"});
  EXPECT_FALSE(song.demo);
  EXPECT_EQ(song.midiFile, "song.mid");
  EXPECT_EQ(song.sampleRate, 48000.0);
  EXPECT_EQ(song.blockSize, 64);
  EXPECT_EQ(song.bits, 16);
  auto presetOnly = parse({"--save-fxp", "x.fxp"});
  EXPECT_FALSE(presetOnly.demo);
  EXPECT_FALSE(render::wantsAudio(presetOnly));
  EXPECT_TRUE(parse({"--save-fxp", "x.fxp", "--demo"}).demo);
  auto bench = parse({"--bench", "--plugin", "a.so", "--plugin", "b.so"});
  EXPECT_EQ(bench.plugins.size(), 2u);

  for (std::vector<const char*> bad : {std::vector<const char*>{"--bits", "20"},
                                       {"--block", "0"},
                                       {"--block", "1.5"},
                                       {"--rate", "fast"},
                                       {"--rate", "44100.5"},
                                       {"--frobnicate"},
                                       {"a.mid", "b.mid"},
                                       {"--bench", "a.mid"},
                                       {"--demo", "a.mid"},
                                       {"--plugin", "a.so", "--plugin", "b.so", "a.mid"},
                                       {"--program"},
                                       {"--demo", "--program", "1"},
                                       {"--quiet=yes"}}) {
    EXPECT_THROW(parse(bad), render::RenderError) << bad[0];
  }
}

TEST(RenderNames, MatchingTrimsBlanksAndIgnoresCase) {
  EXPECT_TRUE(render::namesMatch(" Lkg A->B", "lkg a->b "));
  EXPECT_TRUE(render::namesMatch("\tWarp  ", "WARP"));
  EXPECT_FALSE(render::namesMatch("Warp", "War p"));
  EXPECT_FALSE(render::namesMatch("Gain A", "Gain"));

  auto a = render::parseParameterAssignment(" Reso. = 0.25");
  EXPECT_EQ(a.key, " Reso. ");
  EXPECT_EQ(a.value, 0.25f);
  for (const char* bad : {"Warp", "=0.5", "Warp=", "Warp=x", "Warp=1.01", "Warp=-0.1", "Warp=nan"})
    EXPECT_THROW(render::parseParameterAssignment(bad), render::RenderError) << bad;
}
