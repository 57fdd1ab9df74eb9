#include "host/create_instance.h"

#include <new>

#include "host/module.h"
#include "host/synth_plugin_gui.h"

vst::AEffect* createSynthInstance(vst::HostCallback host) {
  if (!host || host(nullptr, vst::audioMasterVersion, 0, 0, nullptr, 0.0f) == 0) return nullptr;
  try {
    auto* plugin = new (std::nothrow) SynthPluginGui(host);
    if (!plugin) return nullptr;
    if (module::outOfMemory) {
      delete plugin;
      return nullptr;
    }
    return plugin->getAeffect();
  } catch (...) {
    return nullptr;
  }
}
