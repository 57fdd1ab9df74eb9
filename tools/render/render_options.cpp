#include "render/render_options.h"

#include <cmath>
#include <cstdlib>

#include "render/render_error.h"

namespace render {

namespace {

double numberArgument(const std::string& option, const std::string& text, double low, double high) {
  char* end = nullptr;
  double value = std::strtod(text.c_str(), &end);
  if (text.empty() || *end != '\0' || !std::isfinite(value) || value < low || value > high)
    throw RenderError(option + " \"" + text + "\": expected a number from " +
                      std::to_string(int(low)) + " to " + std::to_string(int(high)));
  return value;
}

int integerArgument(const std::string& option, const std::string& text, int low, int high) {
  double value = numberArgument(option, text, low, high);
  if (value != std::floor(value))
    throw RenderError(option + " \"" + text + "\": expected a whole number");
  return static_cast<int>(value);
}

}  // namespace

RenderOptions parseCommandLine(int argc, const char* const* argv) {
  RenderOptions o;
  bool explicitDemo = false;
  for (int i = 1; i < argc; ++i) {
    std::string arg = argv[i];
    std::string value;
    bool hasInlineValue = false;
    if (arg.rfind("--", 0) == 0) {
      size_t equals = arg.find('=');
      if (equals != std::string::npos) {
        value = arg.substr(equals + 1);
        arg = arg.substr(0, equals);
        hasInlineValue = true;
      }
    }
    auto next = [&]() -> std::string {
      if (hasInlineValue) return value;
      if (i + 1 >= argc) throw RenderError(arg + " needs a value");
      return argv[++i];
    };
    if (arg == "-h" || arg == "--help") {
      o.help = true;
    } else if (arg == "--plugin") {
      o.plugins.push_back(next());
    } else if (arg == "-o" || arg == "--output") {
      o.output = next();
    } else if (arg == "--demo") {
      explicitDemo = true;
    } else if (arg == "--bench") {
      o.bench = true;
    } else if (arg == "--seconds") {
      o.benchSeconds = numberArgument(arg, next(), 0.1, 3600);
    } else if (arg == "--input-audio") {
      o.inputAudio = next();
    } else if (arg == "--rate") {
      o.sampleRate = integerArgument(arg, next(), 8000, 384000);
    } else if (arg == "--block") {
      o.blockSize = integerArgument(arg, next(), 1, 8192);
    } else if (arg == "--bits") {
      o.bits = integerArgument(arg, next(), 16, 32);
      if (o.bits != 16 && o.bits != 24 && o.bits != 32)
        throw RenderError("--bits must be 16, 24 or 32");
    } else if (arg == "--tail-max") {
      o.tailCapSeconds = numberArgument(arg, next(), 0, 600);
    } else if (arg == "--program") {
      o.program = next();
    } else if (arg == "--param") {
      o.params.push_back(next());
    } else if (arg == "--load-fxp") {
      o.loadFxp = next();
    } else if (arg == "--load-fxb") {
      o.loadFxb = next();
    } else if (arg == "--save-fxp") {
      o.saveFxp = next();
    } else if (arg == "--save-fxb") {
      o.saveFxb = next();
    } else if (arg == "--chunks") {
      o.chunks = true;
    } else if (arg == "-q" || arg == "--quiet") {
      o.quiet = true;
    } else if (arg.size() > 1 && arg[0] == '-') {
      throw RenderError("unknown option " + arg + " (see --help)");
    } else if (o.midiFile.empty()) {
      o.midiFile = arg;
    } else {
      throw RenderError("more than one MIDI file given: " + o.midiFile + " and " + arg);
    }
    if (hasInlineValue && (arg == "--demo" || arg == "--bench" || arg == "--chunks" ||
                           arg == "--quiet" || arg == "--help"))
      throw RenderError(arg + " takes no value");
  }
  if (o.bench && (explicitDemo || !o.midiFile.empty()))
    throw RenderError("--bench renders its own workload; give no MIDI file or --demo");
  if (explicitDemo && !o.midiFile.empty())
    throw RenderError("--demo plays its own phrase; give no MIDI file");
  if (!o.bench && o.plugins.size() > 1)
    throw RenderError("several --plugin paths are only for --bench");
  o.demo = !o.bench && o.midiFile.empty() && (explicitDemo || wantsAudio(o));
  if (o.demo && !o.program.empty())
    throw RenderError("--demo plays every factory program; --program does not apply");
  return o;
}

bool wantsAudio(const RenderOptions& o) {
  if (o.bench) return false;
  if (!o.midiFile.empty() || !o.output.empty() || !o.inputAudio.empty()) return true;
  // Asked only to write presets: no audio.
  return o.saveFxp.empty() && o.saveFxb.empty();
}

std::string usageText(const std::string& defaultPlugin) {
  return R"(Usage: quillstave-render [options] [MIDI-FILE]
Renders a Standard MIDI File (format 0 or 1) through a VST 2 instrument into an
audio file. Without a MIDI file it renders the demo: a short phrase through each
of the first eight programs.

Plug-in and audio:
  --plugin PATH        VST 2 module to load (default: )" +
         defaultPlugin + R"()
  -o, --output FILE    .wav, .flac, .aif or .aiff (default out/demo.wav for the
                       demo, out/<MIDI name>.wav otherwise)
  --bits 16|24|32      sample size: 32 is float (default; FLAC: 24)
  --rate HZ            sample rate (default 44100, or the input audio's rate)
  --block N            frames per block, 1 to 8192 (default 512)
  --tail-max SECONDS   longest release tail after the song (default 30)
  --input-audio FILE   audio file fed to the plug-in's inputs
  --demo               render the built-in demo (the default without MIDI-FILE)

Sound:
  --program N|NAME     select a program by number or name
  --param NAME=VALUE   set a parameter (by name or index) to a value from 0 to 1;
                       repeatable
  --load-fxb FILE      load a bank, then --program, then
  --load-fxp FILE      load a preset into the current program, then --param
  --save-fxp FILE      save the current program after the settings above
  --save-fxb FILE      save the whole bank
  --chunks             save opaque chunks even if the plug-in stores parameters
  With only --save-fxp/--save-fxb (no MIDI file, -o or --demo) nothing is rendered.

Benchmark:
  --bench              render eight held notes and print the real-time factor;
                       give --plugin several times to compare plug-ins (the
                       later ones also as a ratio to the first)
  --seconds N          length of the benchmark (default 10)

Other:
  -q, --quiet          no progress bar (it is shown only when stderr is a terminal)
  -h, --help           show this text
)";
}

}  // namespace render
