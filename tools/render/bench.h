// The benchmark: a fixed eight-voice workload through one or more plug-ins,
// measured in audio seconds per CPU second.
#pragma once

#include <cstdio>
#include <string>
#include <vector>

namespace render {

struct BenchResult {
  std::string plugin;
  double audioSeconds = 0.0;
  double cpuSeconds = 0.0;
  double peakDb = 0.0;
  double realTimeFactor() const { return cpuSeconds > 0.0 ? audioSeconds / cpuSeconds : 0.0; }
};

// Eight notes struck together at the start and held for the whole run.
BenchResult benchPlugin(const std::string& path, double seconds, double sampleRate, int blockSize);

// Runs every plug-in in turn and prints one line each to out; the lines after
// the first also give the ratio of their real-time factor to the first one's.
void runBench(const std::vector<std::string>& paths, double seconds, double sampleRate,
              int blockSize, std::FILE* out);

}  // namespace render
