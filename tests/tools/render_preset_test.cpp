// .fxp and .fxb files: what the tool writes loads back to the same parameters
// and names, hand-made files of both kinds load, malformed ones are refused.
#include "plughost/plugin_host.h"
#include "render/fx_format.h"
#include "render/preset_transfer.h"
#include "render/render_error.h"
#include "render_test_support.h"

using namespace render_test;

namespace {

constexpr int kParams = 5;
constexpr int kPrograms = 3;

// The probe's start values: program p, parameter i.
float startValue(int program, int index) { return float(program * 10 + index + 1) / 64.0f; }

struct Probe {
  explicit Probe(const char* path) {
    std::string error;
    module = plughost::PluginModule::load(path, error);
    EXPECT_TRUE(module) << error;
    if (module) instance = plughost::PluginInstance::create(*module);
  }
  plughost::PluginInstance& operator*() { return *instance; }
  plughost::PluginInstance* operator->() { return instance.get(); }
  std::unique_ptr<plughost::PluginModule> module;
  std::unique_ptr<plughost::PluginInstance> instance;
};

uint32_t be32(const std::vector<uint8_t>& b, size_t at) {
  return uint32_t(b[at]) << 24 | uint32_t(b[at + 1]) << 16 | uint32_t(b[at + 2]) << 8 | b[at + 3];
}

std::string text(const std::vector<uint8_t>& b, size_t at, size_t size) {
  return std::string(reinterpret_cast<const char*>(&b[at]),
                     strnlen(reinterpret_cast<const char*>(&b[at]), size));
}

// A preset of parameter values, written field by field.
std::vector<uint8_t> handMadeParamPreset(const std::string& id, const std::string& name,
                                         const std::vector<float>& values) {
  Bytes body;
  body.text("FxCk").u32(1).text(id).u32(7).u32(uint32_t(values.size())).name(name, 28);
  for (float v : values) body.f32(v);
  return chunk("CcnK", body.data);
}

// The probe's own chunk layout: values little-endian, then a 24-byte name.
std::vector<uint8_t> probeRecord(const std::string& name, const std::vector<float>& values) {
  Bytes r;
  for (float v : values) r.f32le(v);
  return r.name(name, 24).data;
}

void expectProgram(plughost::PluginInstance& p, int program, const std::string& name,
                   const std::vector<float>& values) {
  p.dispatch(vst::effSetProgram, 0, program);
  EXPECT_EQ(p.programName(), name) << "program " << program;
  for (int i = 0; i < kParams; ++i)
    EXPECT_EQ(p.getParameter(i), values[size_t(i)]) << "program " << program << " parameter " << i;
}

std::vector<float> startValues(int program) {
  std::vector<float> v;
  for (int i = 0; i < kParams; ++i) v.push_back(startValue(program, i));
  return v;
}

}  // namespace

TEST(RenderPresets, SavedPresetHasTheStandardLayoutAndLoadsBack) {
  ScratchFolder dir;
  auto run = runTool(dir, {"--plugin", QS_PROBE_PLUGIN, "--program", " beta", "--param",
                           "warp=0.125", "--param", " decay = 0.5", "--save-fxp", dir / "a.fxp"});
  ASSERT_EQ(run.exitCode, 0) << run.err;
  // Only the preset: asking for nothing but a preset renders nothing.
  EXPECT_EQ(dir.entries(), std::vector<std::string>{"a.fxp"});

  auto bytes = readBytes(dir / "a.fxp");
  ASSERT_EQ(bytes.size(), 56u + 4 * kParams);
  EXPECT_EQ(text(bytes, 0, 4), "CcnK");
  EXPECT_EQ(be32(bytes, 4), bytes.size() - 8);
  EXPECT_EQ(text(bytes, 8, 4), "FxCk");
  EXPECT_EQ(be32(bytes, 12), 1u);
  EXPECT_EQ(text(bytes, 16, 4), "QsPp");
  EXPECT_EQ(be32(bytes, 20), 7u);
  EXPECT_EQ(be32(bytes, 24), uint32_t(kParams));
  EXPECT_EQ(text(bytes, 28, 28), "Beta");
  float warp;
  uint32_t bits = be32(bytes, 56);
  std::memcpy(&warp, &bits, 4);
  EXPECT_EQ(warp, 0.125f);

  std::vector<float> expected = startValues(1);
  expected[0] = 0.125f;
  expected[2] = 0.5f;
  Probe fresh(QS_PROBE_PLUGIN);
  render::loadPresetFile(*fresh, dir / "a.fxp");
  expectProgram(*fresh, 0, "Beta", expected);
  expectProgram(*fresh, 1, "Beta", startValues(1));  // other programs untouched

  // Loading and saving again gives the same bytes.
  run = runTool(
      dir, {"--plugin", QS_PROBE_PLUGIN, "--load-fxp", dir / "a.fxp", "--save-fxp", dir / "b.fxp"});
  ASSERT_EQ(run.exitCode, 0) << run.err;
  EXPECT_EQ(readBytes(dir / "b.fxp"), bytes);
}

TEST(RenderPresets, SavedBankLoadsBackEveryProgramAndTheCurrentOne) {
  ScratchFolder dir;
  auto run = runTool(dir, {"--plugin", QS_PROBE_PLUGIN, "--program", "2", "--param", "3=0.75",
                           "--save-fxb", dir / "bank.fxb"});
  ASSERT_EQ(run.exitCode, 0) << run.err;
  auto bytes = readBytes(dir / "bank.fxb");
  const size_t record = 56 + 4 * kParams;
  ASSERT_EQ(bytes.size(), 156 + kPrograms * record);
  EXPECT_EQ(text(bytes, 8, 4), "FxBk");
  EXPECT_EQ(be32(bytes, 24), uint32_t(kPrograms));
  EXPECT_EQ(be32(bytes, 28), 2u);  // current program
  EXPECT_EQ(text(bytes, 156 + 2 * record + 28, 28), "Gamma");

  Probe fresh(QS_PROBE_PLUGIN);
  fresh->setParameter(0, 0.0f);  // changes that the bank must overwrite
  fresh->dispatch(vst::effSetProgramName, 0, 0, const_cast<char*>("scratch"));
  render::loadBankFile(*fresh, dir / "bank.fxb");
  EXPECT_EQ(fresh->dispatch(vst::effGetProgram), 2);
  std::vector<float> edited = startValues(2);
  edited[3] = 0.75f;
  expectProgram(*fresh, 0, "Alpha", startValues(0));
  expectProgram(*fresh, 1, "Beta", startValues(1));
  expectProgram(*fresh, 2, "Gamma", edited);
}

TEST(RenderPresets, ChunkPluginsSaveAndLoadOpaqueChunks) {
  ScratchFolder dir;
  auto run = runTool(dir, {"--plugin", QS_PROBE_CHUNK_PLUGIN, "--param", "Warp=0.25", "--save-fxp",
                           dir / "c.fxp", "--save-fxb", dir / "c.fxb"});
  ASSERT_EQ(run.exitCode, 0) << run.err;
  auto preset = readBytes(dir / "c.fxp");
  EXPECT_EQ(text(preset, 8, 4), "FPCh");
  EXPECT_EQ(be32(preset, 56), uint32_t(kParams * 4 + 24));  // the chunk's size
  EXPECT_EQ(text(readBytes(dir / "c.fxb"), 8, 4), "FBCh");

  std::vector<float> edited = startValues(0);
  edited[0] = 0.25f;
  Probe fresh(QS_PROBE_CHUNK_PLUGIN);
  fresh->dispatch(vst::effSetProgram, 0, 1);
  render::loadPresetFile(*fresh, dir / "c.fxp");  // into the current program, 1
  expectProgram(*fresh, 1, "Alpha", edited);

  Probe other(QS_PROBE_CHUNK_PLUGIN);
  other->setParameter(4, 0.0f);
  render::loadBankFile(*other, dir / "c.fxb");
  expectProgram(*other, 0, "Alpha", edited);
  expectProgram(*other, 1, "Beta", startValues(1));

  // --chunks makes a parameter plug-in's presets opaque too.
  run = runTool(dir, {"--plugin", QS_PROBE_PLUGIN, "--chunks", "--save-fxp", dir / "forced.fxp"});
  ASSERT_EQ(run.exitCode, 0) << run.err;
  EXPECT_EQ(text(readBytes(dir / "forced.fxp"), 8, 4), "FPCh");
}

TEST(RenderPresets, HandMadeFilesOfEveryKindLoad) {
  ScratchFolder dir;
  const std::vector<float> values = {0.5f, 0.25f, 0.125f, 1.0f, 0.0f};

  writeBytes(dir / "params.fxp", handMadeParamPreset("QsPp", "Hand Made", values));
  Probe a(QS_PROBE_PLUGIN);
  render::loadPresetFile(*a, dir / "params.fxp");
  expectProgram(*a, 0, "Hand Made", values);

  Bytes chunkPreset;
  chunkPreset.text("FPCh").u32(1).text("QsPc").u32(7).u32(kParams).name("ignored", 28);
  auto record = probeRecord("From Chunk", values);
  chunkPreset.u32(uint32_t(record.size())).append(record);
  writeBytes(dir / "chunk.fxp", chunk("CcnK", chunkPreset.data));
  Probe b(QS_PROBE_CHUNK_PLUGIN);
  render::loadPresetFile(*b, dir / "chunk.fxp");
  expectProgram(*b, 0, "From Chunk", values);

  // A version 1 bank: no current program field, the reserved area all zero.
  Bytes bank;
  bank.text("FxBk").u32(1).text("QsPp").u32(7).u32(kPrograms).zeros(128);
  for (int p = 0; p < kPrograms; ++p) {
    std::vector<float> v(kParams, float(p + 1) / 8.0f);
    bank.append(handMadeParamPreset("QsPp", "Bank " + std::to_string(p), v));
  }
  writeBytes(dir / "params.fxb", chunk("CcnK", bank.data));
  Probe c(QS_PROBE_PLUGIN);
  render::loadBankFile(*c, dir / "params.fxb");
  EXPECT_EQ(c->dispatch(vst::effGetProgram), 0);
  for (int p = 0; p < kPrograms; ++p)
    expectProgram(*c, p, "Bank " + std::to_string(p),
                  std::vector<float>(kParams, float(p + 1) / 8.0f));

  Bytes chunkBank;
  chunkBank.text("FBCh").u32(2).text("QsPc").u32(7).u32(kPrograms).u32(1).zeros(124);
  Bytes records;
  for (int p = 0; p < kPrograms; ++p)
    records.append(probeRecord("Opaque " + std::to_string(p), values));
  chunkBank.u32(uint32_t(records.size())).append(records.data);
  writeBytes(dir / "chunk.fxb", chunk("CcnK", chunkBank.data));
  Probe d(QS_PROBE_CHUNK_PLUGIN);
  render::loadBankFile(*d, dir / "chunk.fxb");
  for (int p = 0; p < kPrograms; ++p) expectProgram(*d, p, "Opaque " + std::to_string(p), values);
}

TEST(RenderPresets, MalformedFilesAreRefusedAndLeaveNoAudio) {
  ScratchFolder dir;
  Bytes track;
  track.vlq(0).u8(0x90).u8(60).u8(100).vlq(96).u8(0x80).u8(60).u8(0).vlq(0).u8(0xFF).u8(0x2F).u8(0);
  writeBytes(dir / "song.mid", midiFile(0, 96, {track.data}));
  const std::vector<float> values(kParams, 0.5f);
  auto good = handMadeParamPreset("QsPp", "Good", values);

  struct Case {
    const char* name;
    const char* option;
    std::vector<uint8_t> bytes;
    const char* mentions;
  };
  auto truncated = good;
  truncated.resize(good.size() - 3);
  auto badSize = good;
  badSize[7] += 1;
  auto badMagic = good;
  badMagic[0] = 'X';
  Bytes shortChunk;
  shortChunk.text("FPCh")
      .u32(1)
      .text("QsPp")
      .u32(7)
      .u32(kParams)
      .name("x", 28)
      .u32(3)
      .u8(1)
      .u8(2)
      .u8(3);
  std::vector<Case> cases = {
      {"truncated", "--load-fxp", truncated, "size field"},
      {"size field", "--load-fxp", badSize, "size field"},
      {"no header", "--load-fxp", badMagic, "CcnK"},
      {"other plug-in", "--load-fxp", handMadeParamPreset("XXXX", "Other", values), "XXXX"},
      {"parameter count", "--load-fxp", handMadeParamPreset("QsPp", "Few", {0.5f, 0.5f}),
       "2 parameters"},
      {"bank as preset", "--load-fxb", good, "preset"},
      {"refused chunk", "--load-fxp", chunk("CcnK", shortChunk.data), "refused"},
      {"empty", "--load-fxb", {}, "CcnK"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    writeBytes(dir / "bad.fx", c.bytes);
    auto run = runTool(dir, {"--plugin", QS_PROBE_PLUGIN, dir / "song.mid", "-o", dir / "out.wav",
                             c.option, dir / "bad.fx"});
    EXPECT_EQ(run.exitCode, 1);
    EXPECT_EQ(run.err.rfind("quillstave-render: ", 0), 0u) << run.err;
    EXPECT_EQ(std::count(run.err.begin(), run.err.end(), '\n'), 1) << run.err;
    EXPECT_NE(run.err.find(c.mentions), std::string::npos) << run.err;
    EXPECT_EQ(dir.entries().size(), 2u) << "only the song and the preset remain";
  }
}

TEST(RenderPresets, ProjectPluginPlaysAChunkPresetAtOnceAndKeepsItsBank) {
  ScratchFolder dir;
  // The plug-in's own program record: 38 little-endian values, a 24-byte name.
  constexpr int kQsParams = 38;
  std::vector<float> values;
  for (int i = 0; i < kQsParams; ++i) values.push_back(float(i + 1) / 64.0f);
  Bytes body;
  body.text("FPCh").u32(1).text("QSTV").u32(1).u32(kQsParams).name("", 28);
  auto record = probeRecord("Chunky", values);
  body.u32(uint32_t(record.size())).append(record);
  writeBytes(dir / "chunky.fxp", chunk("CcnK", body.data));

  Probe plugin(QS_PLUGIN_PATH);
  plugin->dispatch(vst::effSetProgram, 0, 3);
  render::loadPresetFile(*plugin, dir / "chunky.fxp");
  // The plug-in only stores a chunk; the loader selects the program again so
  // that the values are what it plays. Slots 25 and 26 become body-type codes.
  EXPECT_EQ(plugin->dispatch(vst::effGetProgram), 3);
  EXPECT_EQ(plugin->programName(), "Chunky");
  for (int i = 0; i < kQsParams; ++i) {
    if (i == 25 || i == 26) continue;
    EXPECT_EQ(plugin->getParameter(i), values[size_t(i)]) << i;
  }

  // A bank saved by the tool after one change loads into a fresh instance as
  // the untouched bank plus that change.
  auto run = runTool(dir, {"--program", "5", "--param", "7=0.5", "--save-fxb", dir / "qs.fxb"});
  ASSERT_EQ(run.exitCode, 0) << run.err;
  Probe reference(QS_PLUGIN_PATH), loaded(QS_PLUGIN_PATH);
  render::loadBankFile(*loaded, dir / "qs.fxb");
  EXPECT_EQ(loaded->dispatch(vst::effGetProgram), 5);
  const int programs = reference->effect()->numPrograms;
  for (int p = 0; p < programs; ++p) {
    reference->dispatch(vst::effSetProgram, 0, p);
    loaded->dispatch(vst::effSetProgram, 0, p);
    EXPECT_EQ(loaded->programName(), reference->programName()) << p;
    for (int i = 0; i < kQsParams; ++i) {
      float expected = (p == 5 && i == 7) ? 0.5f : reference->getParameter(i);
      EXPECT_EQ(loaded->getParameter(i), expected) << "program " << p << " parameter " << i;
    }
  }
}
