// A one-line progress bar on stderr, drawn only when stderr is a terminal.
#pragma once

#include <cstdint>
#include <cstdio>
#include <string>

namespace render {

class ProgressBar {
 public:
  // enabled false draws nothing; stderrIsTerminal() tells whether to.
  ProgressBar(bool enabled, std::FILE* stream = stderr) : on(enabled), out(stream) {}
  ~ProgressBar() { finish(); }

  static bool stderrIsTerminal();

  // Shows done out of total frames (total may grow during the release tail).
  void update(const std::string& label, int64_t done, int64_t total, double sampleRate);
  // Clears the line.
  void finish();

 private:
  bool on = false;
  bool drawn = false;
  int lastPercent = -1;
  std::FILE* out = stderr;
};

}  // namespace render
