// A plug-in module with one started instance, loaded by path.
#pragma once

#include <memory>
#include <string>

#include "plughost/plugin_host.h"

namespace render {

struct LoadedPlugin {
  // The module outlives the instance: members are destroyed in reverse order.
  std::unique_ptr<plughost::PluginModule> module;
  std::unique_ptr<plughost::PluginInstance> instance;
  std::string path;
};

// Loads the module, creates an instance and starts it at the given rate and
// block size; throws RenderError when any step fails or the plug-in has no
// outputs.
LoadedPlugin loadPlugin(const std::string& path, double sampleRate, int32_t blockSize);

}  // namespace render
