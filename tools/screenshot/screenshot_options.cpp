#include "screenshot/screenshot_options.h"

#include <stdexcept>

namespace screenshot {

ScreenshotOptions parseScreenshotOptions(int argc, const char* const* argv) {
  ScreenshotOptions o;
  for (int i = 1; i < argc; ++i) {
    const std::string arg = argv[i];
    auto value = [&]() -> std::string {
      if (i + 1 >= argc) throw std::invalid_argument(arg + " needs a value");
      return argv[++i];
    };
    if (arg == "-h" || arg == "--help") {
      o.help = true;
    } else if (arg == "--program") {
      o.program = value();
    } else if (arg == "--param") {
      o.params.push_back(value());
    } else if (arg == "-o" || arg == "--output") {
      o.output = value();
      if (o.output.empty()) throw std::invalid_argument(arg + " needs a file name");
    } else {
      throw std::invalid_argument("unknown argument \"" + arg + "\" (see --help)");
    }
  }
  return o;
}

std::string screenshotUsage() {
  return "Usage: quillstave-screenshot [--program N|NAME] [--param NAME=VALUE]... [-o FILE]\n"
         "Draws the instrument's editor window (851 x 311) without a display and\n"
         "writes it as a PNG file.\n"
         "\n"
         "  --program N|NAME    program to show, by number or name (default 0)\n"
         "  --param NAME=VALUE  set a parameter (name or index, value 0 to 1) after\n"
         "                      selecting the program; may be repeated\n"
         "  -o, --output FILE   the PNG file to write (default out/editor.png)\n"
         "  -h, --help          show this help\n";
}

}  // namespace screenshot
