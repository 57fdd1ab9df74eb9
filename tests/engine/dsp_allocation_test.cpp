// The per-sample methods and the excitation fill run on the audio thread and
// must not allocate: every allocation in this program is counted.
#include <gtest/gtest.h>

#include <atomic>
#include <cstdlib>
#include <new>

#include "engine/body_filter.h"
#include "engine/body_types.h"
#include "engine/delay_line.h"
#include "engine/noise_table.h"
#include "synth_probe.h"

namespace {
std::atomic<long> allocationCount{0};
}  // namespace

// GCC mistakes the free() inside these replacements for a mismatched pair.
#pragma GCC diagnostic ignored "-Wmismatched-new-delete"

void* operator new(std::size_t size) {
  ++allocationCount;
  if (void* memory = std::malloc(size == 0 ? 1 : size)) return memory;
  throw std::bad_alloc();
}
void operator delete(void* memory) noexcept { std::free(memory); }
void operator delete(void* memory, std::size_t) noexcept { std::free(memory); }
void* operator new(std::size_t size, const std::nothrow_t&) noexcept {
  ++allocationCount;
  return std::malloc(size == 0 ? 1 : size);
}
void* operator new[](std::size_t size) { return operator new(size); }
void operator delete[](void* memory) noexcept { operator delete(memory); }
void operator delete[](void* memory, std::size_t) noexcept { operator delete(memory); }

namespace {

TEST(DspAllocation, AudioPathAllocatesNothing) {
  engine::DelayLine line(8192);
  engine::BodyFilter body(30);
  engine::NoiseTable noise(44100);
  double randomBody[engine::kBodyTableLength] = {};
  body.setOrder(30);
  body.loadCoefficients(engine::bodyTypeTable(1), 30, true);
  body.loadCoefficients(engine::bodyTypeTable(8), 30, false);

  const long before = allocationCount.load();
  line.setDelay(8000.5f);
  line.fillExcitation(60, 0.8f);
  line.setDelay(33.3f);
  line.fillExcitation(61, 0.0f);
  float sample = 0.0f;
  for (int n = 0; n < 1000; ++n) {
    line.setDelay(100.0f + 0.01f * static_cast<float>(n));
    sample = line.tick(sample * 0.5f + noise.next());
    sample = static_cast<float>(body.process(sample, 0.5, 0.001 * n));
  }
  body.loadCoefficients(engine::bodyTypeCoefficients(11, randomBody, 10, 64), 30, true);
  body.computeCoefficients(0.5, 0.8, 1e-7);
  body.reset();
  line.clear();
  EXPECT_EQ(allocationCount.load(), before);
  EXPECT_TRUE(std::isfinite(sample));
}

}  // namespace

TEST(DspAllocation, InstrumentRenderAndEventsAllocateNothing) {
  SynthProbe synth;
  synth.setParameter(params::kPolyphony, 1.0f);
  synth.setParameter(params::kBodyType1, 0.9f);  // t-Random: fills the shared scratch
  synth.setParameter(params::kBodyType2, 1.0f);  // n-Random
  synth.setParameter(params::kQuantizeNoise, 0.8f);
  synth.render(64);
  synth.warpSeen.reserve(1 << 16);
  synth.bendSeen.reserve(1 << 16);
  std::vector<float> in(512, 0.1f), left(512), right(512);
  float* ins[2] = {in.data(), in.data()};
  float* outs[2] = {left.data(), right.data()};

  const long before = allocationCount.load();
  for (int i = 0; i < 8; ++i) synth.midi(0x90, 40 + 3 * i, 100, i * 7);
  synth.midi(0xE0, 0, 90);
  synth.midi(0xB0, 1, 64);
  synth.processReplacing(ins, outs, 512);
  synth.midi(0x80, 40, 0);
  synth.process(ins, outs, 512);
  synth.setParameter(params::kLfoAFreq, 0.3f);
  synth.setParameter(params::kFilterSustain, 0.4f);
  synth.processReplacing(ins, outs, 512);
  EXPECT_EQ(allocationCount.load(), before);
}
