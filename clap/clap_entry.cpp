// The CLAP entry point: the factory, the plug-in record's callbacks and the
// extension tables, each a static function that finds the instance and forwards.
#include <cstring>

#include "clap/clap_plugin.h"
#include "clap/param_values.h"
#include "clap/preset_discovery.h"

namespace {

using clap_format::ClapPlugin;
using clap_format::kPluginId;
constexpr const char* kFeatures[] = {"instrument", "synthesizer", "stereo", nullptr};

const clap::PluginDescriptor kDescriptor = {clap::kVersion,
                                            kPluginId,
                                            "Quillstave",
                                            "quillstave.org",
                                            "https://quillstave.org/",
                                            "https://quillstave.org/",
                                            "https://quillstave.org/",
                                            "1.0.0",
                                            "Plucked String Synthesizer",
                                            kFeatures};

ClapPlugin* self(const clap::Plugin* plugin) { return ClapPlugin::of(plugin); }

bool same(const char* a, const char* b) { return a && std::strcmp(a, b) == 0; }

// Audio ports: one stereo input and one stereo output, processed in place.
uint32_t audioPortCount(const clap::Plugin*, bool) { return 1; }
bool audioPortGet(const clap::Plugin*, uint32_t index, bool isInput, clap::AudioPortInfo* info) {
  if (index != 0 || !info) return false;
  std::memset(info, 0, sizeof *info);
  info->id = 0;
  std::strcpy(info->name, isInput ? "Input" : "Output");
  info->flags = clap::kAudioPortIsMain;
  info->channelCount = 2;
  info->portType = clap::kPortStereo;
  info->inPlacePair = 0;
  return true;
}
const clap::PluginAudioPorts kAudioPorts = {audioPortCount, audioPortGet};

// One note input that takes MIDI and the format's own note events.
uint32_t notePortCount(const clap::Plugin*, bool isInput) { return isInput ? 1 : 0; }
bool notePortGet(const clap::Plugin*, uint32_t index, bool isInput, clap::NotePortInfo* info) {
  if (index != 0 || !isInput || !info) return false;
  std::memset(info, 0, sizeof *info);
  info->id = 0;
  info->supportedDialects = clap::kNoteDialectClap | clap::kNoteDialectMidi;
  info->preferredDialect = clap::kNoteDialectMidi;
  std::strcpy(info->name, "MIDI In");
  return true;
}
const clap::PluginNotePorts kNotePorts = {notePortCount, notePortGet};

uint32_t paramCount(const clap::Plugin*) { return params::kNumParams; }
bool paramInfo(const clap::Plugin*, uint32_t index, clap::ParamInfo* info) {
  return info && index < uint32_t(params::kNumParams) &&
         clap_format::describeParameter(static_cast<int32_t>(index), *info);
}
bool paramValue(const clap::Plugin* p, clap::Id id, double* value) {
  return value && self(p) && self(p)->parameterValue(id, *value);
}
bool paramToText(const clap::Plugin* p, clap::Id id, double value, char* text, uint32_t size) {
  return self(p) && self(p)->parameterText(id, value, text, size);
}
bool paramFromText(const clap::Plugin* p, clap::Id id, const char* text, double* value) {
  return value && self(p) && self(p)->parameterFromText(id, text, *value);
}
void paramFlush(const clap::Plugin* p, const clap::InputEvents* in, const clap::OutputEvents* out) {
  if (self(p)) self(p)->flush(in, out);
}
const clap::PluginParams kParams = {paramCount,  paramInfo,     paramValue,
                                    paramToText, paramFromText, paramFlush};

bool stateSave(const clap::Plugin* p, const clap::OutputStream* s) {
  return self(p) && self(p)->save(s);
}
bool stateLoad(const clap::Plugin* p, const clap::InputStream* s) {
  return self(p) && self(p)->load(s);
}
const clap::PluginState kState = {stateSave, stateLoad};

bool presetLoad(const clap::Plugin* p, uint32_t kind, const char*, const char* key) {
  return self(p) && self(p)->loadFactoryProgram(kind, key);
}
const clap::PluginPresetLoad kPresetLoad = {presetLoad};

bool guiApiSupported(const clap::Plugin*, const char* api, bool floating) {
#ifdef _WIN32
  return !floating && same(api, clap::kWindowApiWin32);
#else
  return !floating && same(api, clap::kWindowApiX11);
#endif
}
bool guiPreferredApi(const clap::Plugin*, const char** api, bool* floating) {
  if (!api || !floating) return false;
#ifdef _WIN32
  *api = clap::kWindowApiWin32;
#else
  *api = clap::kWindowApiX11;
#endif
  *floating = false;
  return true;
}
bool guiCreate(const clap::Plugin* p, const char* api, bool floating) {
  try {
    return self(p) && self(p)->guiCreate(api, floating);
  } catch (...) {
    return false;
  }
}
void guiDestroy(const clap::Plugin* p) {
  if (self(p)) self(p)->guiDestroy();
}
bool guiSetScale(const clap::Plugin*, double) { return false; }
bool guiGetSize(const clap::Plugin* p, uint32_t* w, uint32_t* h) {
  return w && h && self(p) && self(p)->guiSize(*w, *h);
}
bool guiCanResize(const clap::Plugin*) { return false; }
bool guiResizeHints(const clap::Plugin*, clap::GuiResizeHints*) { return false; }
bool guiAdjustSize(const clap::Plugin* p, uint32_t* w, uint32_t* h) {
  return w && h && self(p) && self(p)->guiSize(*w, *h);
}
bool guiSetSize(const clap::Plugin* p, uint32_t w, uint32_t h) {
  uint32_t width = 0, height = 0;
  return self(p) && self(p)->guiSize(width, height) && w == width && h == height;
}
bool guiSetParent(const clap::Plugin* p, const clap::Window* window) {
  return self(p) && self(p)->guiSetParent(window);
}
bool guiSetTransient(const clap::Plugin*, const clap::Window*) { return false; }
void guiSuggestTitle(const clap::Plugin*, const char*) {}
bool guiShow(const clap::Plugin*) { return true; }
bool guiHide(const clap::Plugin*) { return true; }
const clap::PluginGui kGui = {guiApiSupported, guiPreferredApi, guiCreate,    guiDestroy,
                              guiSetScale,     guiGetSize,      guiCanResize, guiResizeHints,
                              guiAdjustSize,   guiSetSize,      guiSetParent, guiSetTransient,
                              guiSuggestTitle, guiShow,         guiHide};

void onTimer(const clap::Plugin* p, clap::Id id) {
  if (self(p)) self(p)->onTimer(id);
}
const clap::PluginTimerSupport kTimerSupport = {onTimer};

bool init(const clap::Plugin* p) { return self(p) && self(p)->init(); }
void destroy(const clap::Plugin* p) { delete self(p); }
bool activate(const clap::Plugin* p, double rate, uint32_t, uint32_t) {
  return self(p) && self(p)->activate(rate);
}
void deactivate(const clap::Plugin* p) {
  if (self(p)) self(p)->deactivate();
}
bool startProcessing(const clap::Plugin*) { return true; }
void stopProcessing(const clap::Plugin*) {}
void reset(const clap::Plugin* p) {
  if (self(p)) self(p)->reset();
}
int32_t process(const clap::Plugin* p, const clap::Process* data) {
  return data && self(p) ? self(p)->process(*data) : clap::kProcessError;
}
const void* extension(const clap::Plugin*, const char* id) {
  if (same(id, clap::kExtAudioPorts)) return &kAudioPorts;
  if (same(id, clap::kExtNotePorts)) return &kNotePorts;
  if (same(id, clap::kExtParams)) return &kParams;
  if (same(id, clap::kExtState)) return &kState;
  if (same(id, clap::kExtPresetLoad) || same(id, clap::kExtPresetLoadCompat)) return &kPresetLoad;
  if (same(id, clap::kExtGui)) return &kGui;
  if (same(id, clap::kExtTimerSupport)) return &kTimerSupport;
  return nullptr;
}
void onMainThread(const clap::Plugin* p) {
  if (self(p)) self(p)->onMainThread();
}

uint32_t pluginCount(const clap::PluginFactory*) { return 1; }
const clap::PluginDescriptor* descriptor(const clap::PluginFactory*, uint32_t index) {
  return index == 0 ? &kDescriptor : nullptr;
}
const clap::Plugin* createPlugin(const clap::PluginFactory*, const clap::Host* host,
                                 const char* id) {
  if (!same(id, kPluginId)) return nullptr;
  ClapPlugin* instance = ClapPlugin::create(host);
  if (!instance) return nullptr;
  auto* record = const_cast<clap::Plugin*>(instance->record());
  record->desc = &kDescriptor;
  record->init = init;
  record->destroy = destroy;
  record->activate = activate;
  record->deactivate = deactivate;
  record->startProcessing = startProcessing;
  record->stopProcessing = stopProcessing;
  record->reset = reset;
  record->process = process;
  record->getExtension = extension;
  record->onMainThread = onMainThread;
  return record;
}
const clap::PluginFactory kFactory = {pluginCount, descriptor, createPlugin};

bool entryInit(const char*) { return true; }
void entryDeinit() {}
const void* entryFactory(const char* id) {
  if (same(id, clap::kPluginFactoryId)) return &kFactory;
  if (same(id, clap::kPresetDiscoveryFactoryId) || same(id, clap::kPresetDiscoveryFactoryIdCompat))
    return clap_format::presetDiscoveryFactory();
  return nullptr;
}

}  // namespace

extern "C" {
#ifdef _WIN32
__declspec(dllexport)
#else
__attribute__((visibility("default")))
#endif
    extern const clap::PluginEntry clap_entry = {clap::kVersion, entryInit, entryDeinit,
                                                 entryFactory};
}
