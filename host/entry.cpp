// The module's exported entry points and its load notification.
#include "host/create_instance.h"
#include "host/effect_record.h"
#include "host/module.h"

#ifdef _WIN32
#include <windows.h>
#endif

#ifdef _WIN32
// Exported as both "VSTPluginMain" and, through the module definition file, "main".
extern "C" __declspec(dllexport) vst::AEffect* QS_VSTCALL VSTPluginMain(vst::HostCallback host) {
  return createSynthInstance(host);
}

extern "C" BOOL WINAPI DllMain(HINSTANCE instance, DWORD, LPVOID) {
  module::instanceHandle = instance;
  return TRUE;
}
#else
extern "C" __attribute__((visibility("default"))) vst::AEffect* VSTPluginMain(
    vst::HostCallback host) {
  return createSynthInstance(host);
}

// Older hosts look the entry up as "main"; a C++ function cannot carry that
// name, so the symbol is given by an assembler label.
__attribute__((visibility("default"))) vst::AEffect* legacyEntry(vst::HostCallback host) __asm__(
    "main");
vst::AEffect* legacyEntry(vst::HostCallback host) { return createSynthInstance(host); }
#endif
