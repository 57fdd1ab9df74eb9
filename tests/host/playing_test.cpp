// The instrument as a host plays it: notes in, audio out, through the loaded module.
#include <cmath>
#include <cstdint>
#include <cstring>

#include "plugin_fixture.h"

using namespace testing_support;
using Midi = plughost::PluginInstance::Midi;

namespace {

constexpr int kBlock = 512;

class Playing : public ::testing::Test {
 protected:
  void SetUp() override {
    plugin = newInstance();
    ASSERT_TRUE(plugin);
    plugin->start();
  }

  // Renders frames in blocks of kBlock (replacing); both channels, interleaved by block.
  void render(int frames, std::vector<float>& left, std::vector<float>& right,
              const std::vector<float>* input = nullptr) {
    left.assign(frames, 0.0f);
    right.assign(frames, 0.0f);
    std::vector<float> silence(kBlock, 0.0f);
    for (int at = 0; at < frames; at += kBlock) {
      const int n = std::min(kBlock, frames - at);
      float* in = input ? const_cast<float*>(input->data()) + at : silence.data();
      float* ins[2] = {in, silence.data()};
      float* outs[2] = {left.data() + at, right.data() + at};
      plugin->processReplacing(ins, outs, n);
    }
  }
  std::vector<float> renderLeft(int frames) {
    std::vector<float> l, r;
    render(frames, l, r);
    return l;
  }

  std::unique_ptr<plughost::PluginInstance> plugin;
};

float peak(const std::vector<float>& v, size_t from = 0, size_t to = SIZE_MAX) {
  float p = 0.0f;
  for (size_t i = from; i < std::min(to, v.size()); ++i) p = std::max(p, std::fabs(v[i]));
  return p;
}

}  // namespace

TEST_F(Playing, NoteStartsAtItsDeltaFrame) {
  plugin->sendMidi({{100, 0x90, 60, 127}});
  auto out = renderLeft(kBlock);
  EXPECT_EQ(peak(out, 0, 100), 0.0f);
  EXPECT_NE(out[100], 0.0f);
  EXPECT_GT(peak(out, 100), 1e-3f);
}

TEST_F(Playing, VelocityZeroIsANoteOff) {
  auto a = newInstance(), b = newInstance();
  a->start();
  b->start();
  std::vector<float> outA(kBlock), outB(kBlock), outR(kBlock), silence(kBlock);
  float* ins[2] = {silence.data(), silence.data()};
  float* oa[2] = {outA.data(), outR.data()};
  float* ob[2] = {outB.data(), outR.data()};
  a->sendMidi({{0, 0x90, 64, 100}});
  b->sendMidi({{0, 0x90, 64, 100}});
  a->processReplacing(ins, oa, kBlock);
  b->processReplacing(ins, ob, kBlock);
  a->sendMidi({{0, 0x80, 64, 50}});
  b->sendMidi({{0, 0x90, 64, 0}});
  for (int i = 0; i < 40; ++i) {
    a->processReplacing(ins, oa, kBlock);
    b->processReplacing(ins, ob, kBlock);
    ASSERT_EQ(std::memcmp(outA.data(), outB.data(), kBlock * sizeof(float)), 0) << "block " << i;
  }
}

TEST_F(Playing, MappedControllerSetsItsParameterAndRefreshesTheHost) {
  plugin->clearCalls();
  plugin->sendMidi({{0, 0xB0, 1, 127}});
  EXPECT_EQ(plugin->getParameter(29), 1.0f);
  EXPECT_EQ(plugin->countCalls(vst::audioMasterUpdateDisplay), 1u);
  EXPECT_EQ(plugin->countCalls(vst::audioMasterAutomate), 0u);
  std::vector<float> before(38);
  for (int i = 0; i < 38; ++i) before[i] = plugin->getParameter(i);
  plugin->sendMidi({{0, 0xB0, 7, 10}, {0, 0xB0, 0x81, 10}, {0, 0xB0, 1, 0x90}});
  for (int i = 0; i < 38; ++i) EXPECT_EQ(plugin->getParameter(i), before[i]) << i;
  EXPECT_EQ(plugin->countCalls(vst::audioMasterUpdateDisplay), 1u);
}

TEST_F(Playing, AllVoicesOffSilencesAtOnce) {
  plugin->sendMidi({{0, 0x90, 48, 120}, {0, 0x90, 55, 120}, {0, 0x90, 60, 120}});
  EXPECT_GT(peak(renderLeft(kBlock)), 1e-3f);
  plugin->sendMidi({{0, 0xB0, 126, 0}});
  EXPECT_EQ(peak(renderLeft(kBlock)), 0.0f);
}

TEST_F(Playing, ReplacingOverwritesAndAccumulatingAdds) {
  auto a = newInstance(), b = newInstance();
  a->start();
  b->start();
  a->sendMidi({{0, 0x90, 57, 110}});
  b->sendMidi({{0, 0x90, 57, 110}});
  std::vector<float> silence(kBlock, 0.0f), la(kBlock, 7.0f), ra(kBlock, 7.0f), lb(kBlock, 0.25f),
      rb(kBlock, -0.5f);
  float* ins[2] = {silence.data(), silence.data()};
  float* oa[2] = {la.data(), ra.data()};
  float* ob[2] = {lb.data(), rb.data()};
  a->processReplacing(ins, oa, kBlock);
  b->process(ins, ob, kBlock);
  for (int i = 0; i < kBlock; ++i) {
    ASSERT_EQ(lb[i], 0.25f + la[i]) << i;
    ASSERT_EQ(rb[i], -0.5f + ra[i]) << i;
  }
  EXPECT_GT(peak(la), 1e-3f);
}

TEST_F(Playing, FreeVoicesIgnoreTheInput) {
  std::vector<float> input(kBlock * 2, 0.7f), l, r;
  render(kBlock * 2, l, r, &input);
  EXPECT_EQ(peak(l), 0.0f);
  EXPECT_EQ(peak(r), 0.0f);
}

TEST_F(Playing, PanSplitsEachVoiceBetweenTheOutputs) {
  plugin->setParameter(31, 0.0f);  // Random Pan off: every voice in the centre
  plugin->sendMidi({{0, 0x90, 60, 100}});
  std::vector<float> l, r;
  render(kBlock, l, r);
  EXPECT_EQ(l, r);
  plugin->setParameter(31, 1.0f);
  plugin->sendMidi({{0, 0x90, 72, 100}, {0, 0xB0, 126, 0}});
  render(kBlock * 2, l, r);
  // One voice: the two outputs keep the same proportion, pan : 1 - pan.
  ASSERT_GT(peak(l), 1e-4f);
  const float pan = l[100] / (l[100] + r[100]);
  EXPECT_GE(pan, 0.0f);
  EXPECT_LE(pan, 1.0f);
  for (int i = 0; i < kBlock * 2; ++i) ASSERT_NEAR(l[i] * (1 - pan), r[i] * pan, 1e-6f) << i;
}

TEST_F(Playing, InputIsSharedOutAmongTheVoicesInUse) {
  // One note in voice 0: with one voice it hears input x, with four it hears 4x / 4.
  auto one = newInstance(), four = newInstance();
  one->setParameter(36, 0.0f);
  four->setParameter(36, 0.5f);
  one->start();
  four->start();
  one->sendMidi({{0, 0x90, 52, 90}});
  four->sendMidi({{0, 0x90, 52, 90}});
  std::vector<float> x(kBlock), x4(kBlock), zero(kBlock, 0.0f), l1(kBlock), r1(kBlock), l4(kBlock),
      r4(kBlock);
  for (int i = 0; i < kBlock; ++i) {
    x[i] = 0.125f * std::sin(0.05f * i);
    x4[i] = 4.0f * x[i];
  }
  float* in1[2] = {x.data(), zero.data()};
  float* in4[2] = {x4.data(), zero.data()};
  float* o1[2] = {l1.data(), r1.data()};
  float* o4[2] = {l4.data(), r4.data()};
  for (int block = 0; block < 8; ++block) {
    one->processReplacing(in1, o1, kBlock);
    four->processReplacing(in4, o4, kBlock);
    ASSERT_EQ(l1, l4) << block;
  }
}

TEST_F(Playing, SharedInputAndOutputBuffersGiveTheSameResult) {
  auto a = newInstance(), b = newInstance();
  a->start();
  b->start();
  std::vector<float> inL(kBlock), inR(kBlock), outL(kBlock), outR(kBlock);
  for (int i = 0; i < kBlock; ++i) inL[i] = inR[i] = 0.01f * std::sin(0.1f * i);
  std::vector<float> ioL = inL, ioR = inR;
  a->sendMidi({{0, 0x90, 45, 100}});
  b->sendMidi({{0, 0x90, 45, 100}});
  float* ins[2] = {inL.data(), inR.data()};
  float* outs[2] = {outL.data(), outR.data()};
  float* io[2] = {ioL.data(), ioR.data()};
  a->processReplacing(ins, outs, kBlock);
  b->processReplacing(io, io, kBlock);
  EXPECT_EQ(outL, ioL);
  EXPECT_EQ(outR, ioR);
}

TEST_F(Playing, SuspendSilencesAndResumeDoesNotRevive) {
  plugin->sendMidi({{0, 0x90, 62, 120}});
  EXPECT_GT(peak(renderLeft(kBlock)), 1e-3f);
  plugin->dispatch(vst::effMainsChanged, 0, 0);
  EXPECT_EQ(peak(renderLeft(kBlock)), 0.0f);
  plugin->dispatch(vst::effMainsChanged, 0, 1);
  EXPECT_EQ(peak(renderLeft(kBlock * 4)), 0.0f);
}

TEST_F(Playing, HeldNoteSoundsAtThePitchOfItsKey) {
  // A plain string: no detune, no leaks, no body, no modulation, string A only.
  const std::pair<int, float> settings[] = {{12, 0.0f}, {8, 0.0f},  {18, 0.0f}, {25, 0.0f},
                                            {26, 0.0f}, {7, 0.0f},  {17, 0.0f}, {34, 1.0f},
                                            {5, 0.0f},  {3, 0.76f}, {4, 0.99f}, {37, 1.0f}};
  for (auto [index, value] : settings) plugin->setParameter(index, value);
  for (int note : {45, 57, 69, 76}) {
    plugin->sendMidi({{0, 0xB0, 126, 0}, {0, 0x90, static_cast<uint8_t>(note), 100}});
    auto out = renderLeft(8192);
    // The period is the lag of the strongest autocorrelation peak after the first dip.
    const double expected = 44100.0 / (440.0 * std::pow(2.0, (note - 69) / 12.0));
    std::vector<double> acf(static_cast<size_t>(expected * 1.5));
    const int from = 2048;
    for (size_t lag = 0; lag < acf.size(); ++lag)
      for (int i = from; i < from + 4096; ++i) acf[lag] += double(out[i]) * out[i + lag];
    size_t best = static_cast<size_t>(expected * 0.5);
    for (size_t lag = best; lag < acf.size(); ++lag)
      if (acf[lag] > acf[best]) best = lag;
    // Refine between samples with a parabola through the peak.
    const double y0 = acf[best - 1], y1 = acf[best], y2 = acf[best + 1];
    const double period = best + 0.5 * (y0 - y2) / (y0 - 2 * y1 + y2);
    EXPECT_NEAR(period, expected, expected * 0.003) << "note " << note;
  }
}

TEST_F(Playing, TwoInstancesRenderTheSameBits) {
  auto a = newInstance(), b = newInstance();
  for (auto* p : {a.get(), b.get()}) {
    p->start();
    p->dispatch(vst::effSetProgram, 0, 2);
    p->setParameter(31, 0.8f);
    p->sendMidi({{10, 0x90, 50, 90}, {300, 0x90, 57, 70}, {400, 0xE0, 0, 80}});
  }
  std::vector<float> silence(kBlock), la(kBlock), ra(kBlock), lb(kBlock), rb(kBlock);
  float* ins[2] = {silence.data(), silence.data()};
  float* oa[2] = {la.data(), ra.data()};
  float* ob[2] = {lb.data(), rb.data()};
  for (int block = 0; block < 50; ++block) {
    a->processReplacing(ins, oa, kBlock);
    b->processReplacing(ins, ob, kBlock);
    ASSERT_EQ(la, lb) << block;
    ASSERT_EQ(ra, rb) << block;
  }
}
