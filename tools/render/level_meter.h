// Peak and RMS level of rendered audio, in dBFS.
#pragma once

#include <cmath>
#include <cstdint>

namespace render {

class LevelMeter {
 public:
  void add(float sample) {
    double s = sample;
    peak = std::fmax(peak, std::fabs(s));
    sumSquares += s * s;
    ++count;
  }
  void reset() { *this = LevelMeter{}; }

  double peakDb() const { return toDb(peak); }
  double rmsDb() const { return count ? toDb(std::sqrt(sumSquares / double(count))) : -HUGE_VAL; }

  static double toDb(double level) { return level > 0.0 ? 20.0 * std::log10(level) : -HUGE_VAL; }

 private:
  double peak = 0.0;
  double sumSquares = 0.0;
  int64_t count = 0;
};

}  // namespace render
