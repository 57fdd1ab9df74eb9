// The renderer's command line.
#pragma once

#include <string>
#include <vector>

namespace render {

struct RenderOptions {
  std::vector<std::string> plugins;  // empty: the project's own build
  std::string midiFile;
  std::string output;  // empty: out/demo.wav or out/<song>.wav
  std::string inputAudio;
  bool demo = false;
  bool bench = false;
  double benchSeconds = 10.0;
  double sampleRate = 0.0;  // 0: 44100, or the input audio's rate
  int blockSize = 512;
  int bits = 0;  // 0: 32-bit float (24-bit PCM for FLAC)
  double tailCapSeconds = 30.0;
  std::string program;
  std::vector<std::string> params;
  std::string loadFxp, loadFxb, saveFxp, saveFxb;
  bool chunks = false;  // save opaque chunks even when the plug-in does not announce them
  bool quiet = false;
  bool help = false;
};

// Parses argv; throws RenderError with a one-line message for bad usage.
RenderOptions parseCommandLine(int argc, const char* const* argv);

// Whether the options ask for audio (and not only for preset files).
bool wantsAudio(const RenderOptions& options);

std::string usageText(const std::string& defaultPlugin);

}  // namespace render
