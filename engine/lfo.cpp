#include "engine/lfo.h"

#include <cmath>

namespace engine {

namespace {

using WaveTables = std::array<WaveTable, Lfo::kWaveformCount>;

WaveTables buildTables() {
  WaveTables tables{};

  WaveTable& triangle = tables[Lfo::kTriangle];
  for (int k = 0; k < 64; ++k) {
    triangle[k] = static_cast<float>(k) / 64.0f;
    triangle[64 + k] = static_cast<float>(64 - k) / 64.0f;
    triangle[128 + k] = static_cast<float>(-k) / 64.0f;
    triangle[192 + k] = static_cast<float>(k - 64) / 64.0f;
  }
  triangle[256] = 0.0f;

  // The guard entry is computed too: sin(2 pi) as evaluated, within 1e-15 of 0.
  const double pi = 4.0 * std::atan(1.0);
  WaveTable& sinus = tables[Lfo::kSinus];
  for (int j = 0; j <= 256; ++j) {
    sinus[j] = static_cast<float>(std::sin(2.0 * pi * j / 256.0));
  }

  // A rise from -1 to 1 over the cycle, with 1/255 as a single-precision step.
  const float c = 0.003921569f;
  WaveTable& sawtooth = tables[Lfo::kSawtooth];
  for (int k = 0; k < 256; ++k) {
    sawtooth[k] = 2.0f * static_cast<float>(k) * c - 1.0f;
  }
  sawtooth[256] = -1.0f;

  WaveTable& square = tables[Lfo::kSquare];
  for (int k = 0; k < 256; ++k) {
    square[k] = k < 128 ? 1.0f : -1.0f;
  }
  square[256] = 1.0f;

  // Exponential rise from -1 towards 1, then the mirrored fall.
  const double e1 = std::exp(1.0) - 1.0;
  WaveTable& exponent = tables[Lfo::kExponent];
  for (int k = 0; k < 128; ++k) {
    exponent[k] = static_cast<float>(2.0 * (std::exp(k / 128.0) - 1.0) / e1 - 1.0);
    exponent[128 + k] = static_cast<float>(2.0 * (std::exp((128 - k) / 128.0) - 1.0) / e1 - 1.0);
  }
  exponent[256] = -1.0f;

  return tables;
}

// Built once, on first use; first use is an Lfo's construction, off the audio path.
const WaveTables& tables() {
  static const WaveTables built = buildTables();
  return built;
}

}  // namespace

static_assert(sizeof(WaveTables) == sizeof(float) * 257 * Lfo::kWaveformCount,
              "the tables lie one after another");

const float* Lfo::waveforms() { return tables()[0].data(); }

int32_t Lfo::waveformStart(const WaveTable& table) {
  return static_cast<int32_t>(&table - tables().data()) * static_cast<int32_t>(table.size());
}

const WaveTable& Lfo::waveform(int code) {
  return tables()[code >= 0 && code < kWaveformCount ? code : kTriangle];
}

Lfo::Lfo(float sampleRate) : sampleRate(sampleRate), table(&waveform(kTriangle)) {
  setFrequency(1.0f);
}

void Lfo::setFrequency(float hz) {
  const double cycles = static_cast<double>(hz) / static_cast<double>(sampleRate);
  double whole = std::trunc(cycles * 256.0 * 16777216.0);
  // Only the low 32 bits count. fmod is exact, so this keeps those bits for any
  // finite value without an out-of-range conversion; NaN and infinities give 0.
  whole = std::fmod(whole, 4294967296.0);
  if (whole < 0.0) {
    whole += 4294967296.0;
  }
  increment = whole >= 0.0 && whole < 4294967296.0 ? static_cast<uint32_t>(whole) : 0u;
}

void Lfo::setWaveform(int code) {
  if (code >= 0 && code < kWaveformCount) {
    table = &waveform(code);
  }
}

}  // namespace engine
