#include "render/progress_bar.h"

#include <unistd.h>

#include <algorithm>

namespace render {

bool ProgressBar::stderrIsTerminal() { return isatty(STDERR_FILENO) == 1; }

void ProgressBar::update(const std::string& label, int64_t done, int64_t total, double sampleRate) {
  if (!on || total <= 0) return;
  int percent = static_cast<int>(std::clamp<int64_t>(done * 100 / total, 0, 100));
  if (percent == lastPercent) return;
  lastPercent = percent;
  constexpr int kWidth = 32;
  int filled = percent * kWidth / 100;
  std::string bar(size_t(filled), '#');
  bar.append(size_t(kWidth - filled), '.');
  std::fprintf(out, "\r%-24.24s [%s] %3d%% %7.1f s", label.c_str(), bar.c_str(), percent,
               double(done) / sampleRate);
  std::fflush(out);
  drawn = true;
}

void ProgressBar::finish() {
  if (!drawn) return;
  std::fprintf(out, "\r%*s\r", 72, "");
  std::fflush(out);
  drawn = false;
  lastPercent = -1;
}

}  // namespace render
