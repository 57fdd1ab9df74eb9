// Prints a VST 2 plug-in's identity as a host sees it.
#include <cstdio>
#include <string>

#include "plughost/plugin_host.h"

int main(int argc, char** argv) {
  std::string path = argc > 1 ? argv[1] : QS_DEFAULT_PLUGIN;
  std::string error;
  auto module = plughost::PluginModule::load(path, error);
  if (!module) {
    std::fprintf(stderr, "quillstave-info: %s\n", error.c_str());
    return 1;
  }
  auto plugin = plughost::PluginInstance::create(*module);
  if (!plugin) {
    std::fprintf(stderr, "quillstave-info: %s refused to create an instance\n", path.c_str());
    return 1;
  }
  const vst::AEffect* e = plugin->effect();
  auto code = [](int32_t c) {
    return std::string{char(c >> 24), char(c >> 16), char(c >> 8), char(c)};
  };
  std::printf("plug-in:  %s\n", path.c_str());
  std::printf("effect:   %s\n", plugin->text(vst::effGetEffectName).c_str());
  std::printf("product:  %s\n", plugin->text(vst::effGetProductString).c_str());
  std::printf("vendor:   %s (version %d)\n", plugin->text(vst::effGetVendorString).c_str(),
              int(plugin->dispatch(vst::effGetVendorVersion)));
  std::printf("id:       %s, version %d, VST %d\n", code(e->uniqueID).c_str(), e->version,
              int(plugin->dispatch(vst::effGetVstVersion)));
  std::printf("io:       %d in, %d out; %d programs, %d parameters; flags %d\n", e->numInputs,
              e->numOutputs, e->numPrograms, e->numParams, e->flags);
  std::printf("program:  %s\n", plugin->programName().c_str());
  return 0;
}
