// quillstave-screenshot: draws the instrument's editor for a program, with
// optional parameter overrides, into a PNG file.
#include <cstdio>
#include <exception>
#include <string>

#include "render/sound_settings.h"
#include "screenshot/editor_snapshot.h"
#include "screenshot/png_file.h"
#include "screenshot/screenshot_options.h"

namespace {

int run(const screenshot::ScreenshotOptions& o) {
  auto plugin = screenshot::createLinkedInstance();
  if (!plugin) throw std::runtime_error("the instrument could not be created");
  plugin->dispatch(vst::effSetProgram, 0, render::findProgram(*plugin, o.program));
  for (const std::string& assignment : o.params)
    render::applyParameterOverride(*plugin, assignment);
  screenshot::writePng(screenshot::renderEditor(*plugin), o.output);
  return 0;
}

}  // namespace

int main(int argc, char** argv) {
  try {
    screenshot::ScreenshotOptions options = screenshot::parseScreenshotOptions(argc, argv);
    if (options.help) {
      std::fputs(screenshot::screenshotUsage().c_str(), stdout);
      return 0;
    }
    return run(options);
  } catch (const std::exception& e) {
    std::fprintf(stderr, "quillstave-screenshot: %s\n", e.what());
    return 1;
  }
}
