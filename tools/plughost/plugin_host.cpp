#include "plughost/plugin_host.h"

#include <algorithm>
#include <cstring>
#include <unordered_map>

#ifdef _WIN32
#include <windows.h>
#else
#include <dlfcn.h>
#endif

namespace plughost {

namespace {

// The callback learns its instance from the effect record; during the entry
// call, before a record exists, from the instance being created on this thread.
thread_local PluginInstance* instanceBeingCreated = nullptr;
std::mutex registryMutex;
std::unordered_map<vst::AEffect*, PluginInstance*>& registry() {
  static std::unordered_map<vst::AEffect*, PluginInstance*> map;
  return map;
}

PluginInstance* findInstance(vst::AEffect* effect) {
  if (effect) {
    std::lock_guard<std::mutex> lock(registryMutex);
    auto it = registry().find(effect);
    if (it != registry().end()) return it->second;
  }
  return instanceBeingCreated;
}

}  // namespace

std::unique_ptr<PluginModule> PluginModule::load(const std::string& path, std::string& error) {
  std::unique_ptr<PluginModule> module(new PluginModule);
#ifdef _WIN32
  module->handle = LoadLibraryA(path.c_str());
  if (!module->handle) {
    error = "cannot load " + path + " (error " + std::to_string(GetLastError()) + ")";
    return nullptr;
  }
#else
  module->handle = dlopen(path.c_str(), RTLD_NOW | RTLD_LOCAL);
  if (!module->handle) {
    const char* why = dlerror();
    error = why ? why : ("cannot load " + path);
    return nullptr;
  }
#endif
  for (const char* name : {"VSTPluginMain", "main"}) {
    if (void* entry = module->symbol(name)) {
      module->entryProc = reinterpret_cast<vst::EntryProc>(entry);
      module->entrySymbol = name;
      return module;
    }
  }
  error = path + " is not a VST 2 plug-in (no VSTPluginMain or main entry)";
  return nullptr;
}

PluginModule::~PluginModule() {
  if (!handle) return;
#ifdef _WIN32
  FreeLibrary(static_cast<HMODULE>(handle));
#else
  dlclose(handle);
#endif
}

void* PluginModule::symbol(const char* name) const {
#ifdef _WIN32
  return reinterpret_cast<void*>(GetProcAddress(static_cast<HMODULE>(handle), name));
#else
  return dlsym(handle, name);
#endif
}

std::unique_ptr<PluginInstance> PluginInstance::create(const PluginModule& module,
                                                       const Options& options) {
  return create(module.entry(), options);
}

std::unique_ptr<PluginInstance> PluginInstance::create(vst::EntryProc entry,
                                                       const Options& options) {
  std::unique_ptr<PluginInstance> instance(new PluginInstance);
  instance->opts = options;
  instanceBeingCreated = instance.get();
  vst::AEffect* effect = entry(&PluginInstance::callback);
  instanceBeingCreated = nullptr;
  if (!effect || effect->magic != vst::kEffectMagic) return nullptr;
  instance->record = effect;
  std::lock_guard<std::mutex> lock(registryMutex);
  registry()[effect] = instance.get();
  return instance;
}

PluginInstance::~PluginInstance() {
  if (record) close();
}

intptr_t PluginInstance::close() {
  if (!record) return 0;
  intptr_t result = dispatch(vst::effClose);
  std::lock_guard<std::mutex> lock(registryMutex);
  registry().erase(record);
  record = nullptr;
  return result;
}

intptr_t PluginInstance::dispatch(int32_t opcode, int32_t index, intptr_t value, void* ptr,
                                  float opt) {
  return record->dispatcher(record, opcode, index, value, ptr, opt);
}

std::string PluginInstance::text(int32_t opcode, int32_t index, intptr_t value, size_t size) {
  std::vector<char> buffer(size + 1, '\0');
  dispatch(opcode, index, value, buffer.data());
  return std::string(buffer.data());
}

void PluginInstance::setParameter(int32_t index, float value) {
  record->setParameter(record, index, value);
}

float PluginInstance::getParameter(int32_t index) { return record->getParameter(record, index); }

std::vector<uint8_t> PluginInstance::getChunk(bool preset) {
  void* data = nullptr;
  intptr_t size = dispatch(vst::effGetChunk, preset ? 1 : 0, 0, &data);
  if (size <= 0 || !data) return {};
  const auto* bytes = static_cast<const uint8_t*>(data);
  return std::vector<uint8_t>(bytes, bytes + size);
}

intptr_t PluginInstance::setChunk(const std::vector<uint8_t>& data, bool preset) {
  // The plug-in reads through a non-const pointer; give it its own copy.
  std::vector<uint8_t> copy(data);
  return dispatch(vst::effSetChunk, preset ? 1 : 0, static_cast<intptr_t>(copy.size()),
                  copy.data());
}

void PluginInstance::start() {
  dispatch(vst::effOpen);
  dispatch(vst::effSetSampleRate, 0, 0, nullptr, opts.sampleRate);
  dispatch(vst::effSetBlockSize, 0, opts.blockSize);
  dispatch(vst::effMainsChanged, 0, 1);
}

intptr_t PluginInstance::sendMidi(const std::vector<Midi>& messages) {
  std::vector<vst::VstMidiEvent> events(messages.size());
  // The list header holds two pointers; room for the rest follows it.
  std::vector<char> storage(sizeof(vst::VstEvents) + messages.size() * sizeof(vst::VstEvent*));
  auto* list = reinterpret_cast<vst::VstEvents*>(storage.data());
  list->numEvents = static_cast<int32_t>(messages.size());
  for (size_t i = 0; i < messages.size(); ++i) {
    vst::VstMidiEvent& e = events[i];
    std::memset(&e, 0, sizeof(e));
    e.type = vst::kVstMidiType;
    e.byteSize = sizeof(e);
    e.deltaFrames = messages[i].deltaFrames;
    e.midiData[0] = static_cast<char>(messages[i].status);
    e.midiData[1] = static_cast<char>(messages[i].data1);
    e.midiData[2] = static_cast<char>(messages[i].data2);
    e.detune = messages[i].detune;
    vst::setEventAt(list, static_cast<int32_t>(i), reinterpret_cast<vst::VstEvent*>(&e));
  }
  return dispatch(vst::effProcessEvents, 0, 0, list);
}

void PluginInstance::processReplacing(float** inputs, float** outputs, int32_t frames) {
  record->processReplacing(record, inputs, outputs, frames);
}

void PluginInstance::process(float** inputs, float** outputs, int32_t frames) {
  record->process(record, inputs, outputs, frames);
}

std::vector<HostCall> PluginInstance::calls() const {
  std::lock_guard<std::mutex> lock(callsMutex);
  return recorded;
}

size_t PluginInstance::countCalls(int32_t opcode) const {
  std::lock_guard<std::mutex> lock(callsMutex);
  return static_cast<size_t>(std::count_if(recorded.begin(), recorded.end(),
                                           [&](const HostCall& c) { return c.opcode == opcode; }));
}

void PluginInstance::clearCalls() {
  std::lock_guard<std::mutex> lock(callsMutex);
  recorded.clear();
}

intptr_t QS_VSTCALL PluginInstance::callback(vst::AEffect* effect, int32_t opcode, int32_t index,
                                             intptr_t value, void*, float opt) {
  PluginInstance* instance = findInstance(effect);
  if (!instance) return opcode == vst::audioMasterVersion ? 2400 : 0;
  return instance->answer(opcode, index, value, opt, effect == nullptr);
}

intptr_t PluginInstance::answer(int32_t opcode, int32_t index, intptr_t value, float opt,
                                bool nullEffect) {
  {
    std::lock_guard<std::mutex> lock(callsMutex);
    recorded.push_back(HostCall{opcode, index, value, opt, nullEffect});
  }
  switch (opcode) {
    case vst::audioMasterVersion:
      return opts.hostVersion;
    case vst::audioMasterGetSampleRate:
      return static_cast<intptr_t>(opts.sampleRate);
    case vst::audioMasterGetBlockSize:
      return opts.blockSize;
    default:
      return 0;
  }
}

}  // namespace plughost
