#include "render/plugin_loader.h"

#include "render/render_error.h"

namespace render {

LoadedPlugin loadPlugin(const std::string& path, double sampleRate, int32_t blockSize) {
  LoadedPlugin loaded;
  loaded.path = path;
  std::string error;
  loaded.module = plughost::PluginModule::load(path, error);
  if (!loaded.module) throw RenderError("cannot load plug-in: " + error);
  plughost::PluginInstance::Options options;
  options.sampleRate = static_cast<float>(sampleRate);
  options.blockSize = blockSize;
  loaded.instance = plughost::PluginInstance::create(*loaded.module, options);
  if (!loaded.instance) throw RenderError(path + ": the plug-in refused to create an instance");
  if (loaded.instance->effect()->numOutputs < 1)
    throw RenderError(path + ": the plug-in has no audio outputs");
  loaded.instance->start();
  return loaded;
}

}  // namespace render
