// The module's exported entry points and its load notification.
#include <new>

#include "host/effect_record.h"
#include "host/module.h"
#include "host/synth_plugin_gui.h"

#ifdef _WIN32
#include <windows.h>
#endif

namespace module {
void* instanceHandle = nullptr;
std::atomic<bool> outOfMemory{false};
}  // namespace module

namespace {

vst::AEffect* createInstance(vst::HostCallback host) {
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

}  // namespace

#ifdef _WIN32
// Exported as both "VSTPluginMain" and, through the module definition file, "main".
extern "C" __declspec(dllexport) vst::AEffect* QS_VSTCALL VSTPluginMain(vst::HostCallback host) {
  return createInstance(host);
}

extern "C" BOOL WINAPI DllMain(HINSTANCE instance, DWORD, LPVOID) {
  module::instanceHandle = instance;
  return TRUE;
}
#else
extern "C" __attribute__((visibility("default"))) vst::AEffect* VSTPluginMain(
    vst::HostCallback host) {
  return createInstance(host);
}

// Older hosts look the entry up as "main"; a C++ function cannot carry that
// name, so the symbol is given by an assembler label.
__attribute__((visibility("default"))) vst::AEffect* legacyEntry(vst::HostCallback host) __asm__(
    "main");
vst::AEffect* legacyEntry(vst::HostCallback host) { return createInstance(host); }
#endif
