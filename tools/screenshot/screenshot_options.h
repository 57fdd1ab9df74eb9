// The screenshot command's command line.
#pragma once

#include <string>
#include <vector>

namespace screenshot {

struct ScreenshotOptions {
  std::string program = "0";        // number or name
  std::vector<std::string> params;  // NAME=VALUE or INDEX=VALUE, applied in order
  std::string output = "out/editor.png";
  bool help = false;
};

// Parses argv; throws std::invalid_argument with a one-line message for bad usage.
ScreenshotOptions parseScreenshotOptions(int argc, const char* const* argv);

std::string screenshotUsage();

}  // namespace screenshot
