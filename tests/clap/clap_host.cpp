#include "clap_host.h"

#ifdef _WIN32
#include <windows.h>
#else
#include <dlfcn.h>
#endif

#include <algorithm>
#include <cstring>

namespace claphost {

namespace {

void* openLibrary(const std::string& path, std::string& error) {
#ifdef _WIN32
  HMODULE handle = LoadLibraryA(path.c_str());
  if (!handle) error = "cannot load " + path + " (error " + std::to_string(GetLastError()) + ")";
  return reinterpret_cast<void*>(handle);
#else
  void* handle = dlopen(path.c_str(), RTLD_NOW | RTLD_LOCAL);
  if (!handle) {
    const char* why = dlerror();
    error = why ? why : "cannot load " + path;
  }
  return handle;
#endif
}

void* findSymbol(void* handle, const char* name) {
#ifdef _WIN32
  return reinterpret_cast<void*>(GetProcAddress(static_cast<HMODULE>(handle), name));
#else
  return dlsym(handle, name);
#endif
}

}  // namespace

std::unique_ptr<Module> Module::load(const std::string& path, std::string& error) {
  std::unique_ptr<Module> module(new Module);
  module->handle = openLibrary(path, error);
  if (!module->handle) return nullptr;
  module->entryRecord =
      static_cast<const clap::PluginEntry*>(findSymbol(module->handle, "clap_entry"));
  if (!module->entryRecord) {
    error = path + " has no clap_entry";
    return nullptr;
  }
  const clap::PluginEntry& entry = *module->entryRecord;
  if (!clap::compatible(entry.clapVersion) || !entry.init || !entry.init(path.c_str())) {
    error = path + ": the entry refuses to start";
    module->entryRecord = nullptr;
    return nullptr;
  }
  module->pluginFactory =
      static_cast<const clap::PluginFactory*>(entry.getFactory(clap::kPluginFactoryId));
  if (!module->pluginFactory) error = path + " has no plug-in factory";
  return module->pluginFactory ? std::move(module) : nullptr;
}

Module::~Module() {
  if (entryRecord) entryRecord->deinit();
#ifdef _WIN32
  if (handle) FreeLibrary(static_cast<HMODULE>(handle));
#else
  if (handle) dlclose(handle);
#endif
}

namespace {

template <typename Event>
Event header(uint32_t time, uint16_t type) {
  Event e{};
  e.header = {sizeof(Event), time, clap::kCoreEventSpace, type, 0};
  return e;
}

struct ByteStream {
  const std::vector<uint8_t>* in = nullptr;
  std::vector<uint8_t>* out = nullptr;
  size_t position = 0, chunk = 0;
};

int64_t readStream(const clap::InputStream* s, void* buffer, uint64_t size) {
  auto* b = static_cast<ByteStream*>(s->ctx);
  const size_t n = std::min<size_t>({size, b->chunk, b->in->size() - b->position});
  if (n > 0) std::memcpy(buffer, b->in->data() + b->position, n);
  b->position += n;
  return int64_t(n);
}

int64_t writeStream(const clap::OutputStream* s, const void* buffer, uint64_t size) {
  auto* b = static_cast<ByteStream*>(s->ctx);
  const auto* bytes = static_cast<const uint8_t*>(buffer);
  b->out->insert(b->out->end(), bytes, bytes + size);
  return int64_t(size);
}

bool pushSent(const clap::OutputEvents* list, const clap::EventHeader* event) {
  auto* sent = static_cast<std::vector<Instance::Sent>*>(list->ctx);
  if (!event) return false;
  Instance::Sent s{event->type, 0, 0.0};
  if (event->type == clap::kParamValue && event->size >= sizeof(clap::ParamValueEvent)) {
    const auto* v = reinterpret_cast<const clap::ParamValueEvent*>(event);
    s.id = v->paramId;
    s.value = v->value;
  } else if (event->size >= sizeof(clap::ParamGestureEvent)) {
    s.id = reinterpret_cast<const clap::ParamGestureEvent*>(event)->paramId;
  }
  sent->push_back(s);
  return true;
}

}  // namespace

void EventList::raw(const void* event, size_t size) {
  offsets.push_back(storage.size() * sizeof(uint64_t));
  const size_t words = (size + 7) / 8;
  storage.resize(storage.size() + words, 0);
  std::memcpy(reinterpret_cast<uint8_t*>(storage.data()) + offsets.back(), event, size);
}

void EventList::note(uint32_t time, uint16_t type, int16_t key, double velocity, int16_t channel) {
  auto e = header<clap::NoteEvent>(time, type);
  e.noteId = -1;
  e.channel = channel;
  e.key = key;
  e.velocity = velocity;
  raw(&e, sizeof e);
}

void EventList::midi(uint32_t time, uint8_t status, uint8_t data1, uint8_t data2) {
  auto e = header<clap::MidiEvent>(time, clap::kMidi);
  e.data[0] = status;
  e.data[1] = data1;
  e.data[2] = data2;
  raw(&e, sizeof e);
}

void EventList::param(uint32_t time, uint32_t id, double value) {
  auto e = header<clap::ParamValueEvent>(time, clap::kParamValue);
  e.paramId = id;
  e.noteId = -1;
  e.portIndex = e.channel = e.key = -1;
  e.value = value;
  raw(&e, sizeof e);
}

const clap::InputEvents* EventList::input() {
  list.ctx = this;
  list.size = [](const clap::InputEvents* l) {
    return uint32_t(static_cast<EventList*>(l->ctx)->offsets.size());
  };
  list.get = [](const clap::InputEvents* l, uint32_t i) -> const clap::EventHeader* {
    auto* self = static_cast<EventList*>(l->ctx);
    if (i >= self->offsets.size()) return nullptr;
    return reinterpret_cast<const clap::EventHeader*>(
        reinterpret_cast<const uint8_t*>(self->storage.data()) + self->offsets[i]);
  };
  return &list;
}

Instance::Instance() {
  host.clapVersion = clap::kVersion;
  host.hostData = this;
  host.name = "quillstave tests";
  host.vendor = host.url = "";
  host.version = "1";
  host.getExtension = [](const clap::Host* h, const char* id) -> const void* {
    Instance* self = of(h);
    if (!id) return nullptr;
    if (!std::strcmp(id, clap::kExtParams)) return &self->hostParams;
    if (!std::strcmp(id, clap::kExtState)) return &self->hostState;
    if (!std::strcmp(id, clap::kExtTimerSupport)) return &self->hostTimers;
    return nullptr;
  };
  host.requestRestart = [](const clap::Host*) {};
  host.requestProcess = [](const clap::Host*) {};
  host.requestCallback = [](const clap::Host* h) { ++of(h)->callbackRequests; };
  hostParams.rescan = [](const clap::Host* h, uint32_t) { ++of(h)->rescans; };
  hostParams.clear = [](const clap::Host*, clap::Id, uint32_t) {};
  hostParams.requestFlush = [](const clap::Host* h) { ++of(h)->flushRequests; };
  hostState.markDirty = [](const clap::Host* h) { ++of(h)->dirtyMarks; };
  hostTimers.registerTimer = [](const clap::Host* h, uint32_t, clap::Id* id) {
    Instance* self = of(h);
    *id = self->nextTimer++;
    self->timers.push_back(*id);
    return true;
  };
  hostTimers.unregisterTimer = [](const clap::Host* h, clap::Id id) {
    auto& timers = of(h)->timers;
    const auto it = std::find(timers.begin(), timers.end(), id);
    if (it == timers.end()) return false;
    timers.erase(it);
    return true;
  };
}

Instance* Instance::of(const clap::Host* h) { return static_cast<Instance*>(h->hostData); }

std::unique_ptr<Instance> Instance::create(const Module& module, double rate, uint32_t maxFrames,
                                           bool start) {
  std::unique_ptr<Instance> instance(new Instance);
  const clap::PluginFactory* factory = module.factory();
  if (factory->getPluginCount(factory) < 1) return nullptr;
  const clap::PluginDescriptor* desc = factory->getPluginDescriptor(factory, 0);
  if (!desc) return nullptr;
  instance->record = factory->createPlugin(factory, &instance->host, desc->id);
  if (!instance->record || !instance->record->init(instance->record)) return nullptr;
  if (start) {
    if (!instance->record->activate(instance->record, rate, 1, maxFrames)) return nullptr;
    if (!instance->record->startProcessing(instance->record)) return nullptr;
    instance->started = true;
  }
  return instance;
}

Instance::~Instance() {
  if (!record) return;
  if (started) {
    record->stopProcessing(record);
    record->deactivate(record);
  }
  record->destroy(record);
}

int32_t Instance::process(uint32_t frames, EventList* events) {
  std::vector<float> silenceL(frames, 0.0f), silenceR(frames, 0.0f);
  left.assign(frames, 0.0f);
  right.assign(frames, 0.0f);
  float* ins[2] = {silenceL.data(), silenceR.data()};
  float* outs[2] = {left.data(), right.data()};
  clap::AudioBuffer in{ins, nullptr, 2, 0, 0}, out{outs, nullptr, 2, 0, 0};
  EventList none;
  sent.clear();
  clap::OutputEvents output{&sent, pushSent};
  clap::Process p{};
  p.steadyTime = -1;
  p.framesCount = frames;
  p.audioInputs = &in;
  p.audioOutputs = &out;
  p.audioInputsCount = p.audioOutputsCount = 1;
  p.inEvents = (events ? events : &none)->input();
  p.outEvents = &output;
  return record->process(record, &p);
}

void Instance::flush(EventList& events) {
  sent.clear();
  clap::OutputEvents output{&sent, pushSent};
  extension<clap::PluginParams>(clap::kExtParams)->flush(record, events.input(), &output);
}

double Instance::value(uint32_t id) const {
  double v = -1.0;
  extension<clap::PluginParams>(clap::kExtParams)->getValue(record, id, &v);
  return v;
}

std::string Instance::text(uint32_t id, double v) const {
  char buffer[clap::kNameSize] = {};
  if (!extension<clap::PluginParams>(clap::kExtParams)
           ->valueToText(record, id, v, buffer, sizeof buffer))
    return "(none)";
  return buffer;
}

bool Instance::fromText(uint32_t id, const std::string& t, double& v) const {
  return extension<clap::PluginParams>(clap::kExtParams)->textToValue(record, id, t.c_str(), &v);
}

std::vector<uint8_t> Instance::save() const {
  std::vector<uint8_t> bytes;
  ByteStream b;
  b.out = &bytes;
  clap::OutputStream stream{&b, writeStream};
  if (!extension<clap::PluginState>(clap::kExtState)->save(record, &stream)) return {};
  return bytes;
}

bool Instance::load(const std::vector<uint8_t>& bytes, size_t chunk) const {
  ByteStream b;
  b.in = &bytes;
  b.chunk = chunk;
  clap::InputStream stream{&b, readStream};
  return extension<clap::PluginState>(clap::kExtState)->load(record, &stream);
}

void Instance::runMainThread() {
  for (; callbackRequests > 0; --callbackRequests) record->onMainThread(record);
}

void Instance::fireTimers() {
  const auto* timer = extension<clap::PluginTimerSupport>(clap::kExtTimerSupport);
  for (uint32_t id : std::vector<uint32_t>(timers)) timer->onTimer(record, id);
}

}  // namespace claphost
