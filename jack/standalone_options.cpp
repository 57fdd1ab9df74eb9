#include "jack/standalone_options.h"

#include <stdexcept>

namespace standalone {

const char kUsage[] =
    "Usage: quillstave-jack [options]\n"
    "Plays Quillstave as a JACK client: MIDI in, two audio inputs and outputs.\n"
    "  --program P         start on program P (number from 0, or name)\n"
    "  --preset FILE       load a preset (.fxp) into the current program\n"
    "  --bank FILE         load a bank (.fxb)\n"
    "  --keep FILE         restore the bank from FILE when it exists; save it there on exit\n"
    "  --param NAME=VALUE  set a parameter (by name or number) to a value from 0 to 1;\n"
    "                      may be given more than once\n"
    "  --name NAME         the JACK client's name (default Quillstave)\n"
    "  --connect           connect the outputs to the system's playback ports and\n"
    "                      every hardware MIDI input to the MIDI port\n"
    "  --no-gui            run without the editor window\n"
    "  --help              show this text\n"
    "The sound is set up in the order kept bank, bank, preset, program, parameters.\n"
    "The program stops on Ctrl-C, on closing the window, or when the server stops.\n";

Options parseCommandLine(int argc, const char* const* argv) {
  Options options;
  for (int i = 1; i < argc; ++i) {
    const std::string arg = argv[i];
    auto value = [&]() -> std::string {
      if (i + 1 >= argc) throw std::runtime_error(arg + " needs a value");
      return argv[++i];
    };
    if (arg == "--program")
      options.program = value();
    else if (arg == "--preset")
      options.presetFile = value();
    else if (arg == "--bank")
      options.bankFile = value();
    else if (arg == "--keep")
      options.keepFile = value();
    else if (arg == "--param")
      options.params.push_back(value());
    else if (arg == "--name")
      options.clientName = value();
    else if (arg == "--connect")
      options.connect = true;
    else if (arg == "--no-gui")
      options.gui = false;
    else if (arg == "--help" || arg == "-h")
      options.help = true;
    else
      throw std::runtime_error("unknown option " + arg + " (see --help)");
  }
  if (options.clientName.empty()) throw std::runtime_error("--name needs a non-empty name");
  return options;
}

}  // namespace standalone
