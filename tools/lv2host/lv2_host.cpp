#include "lv2host/lv2_host.h"

#include <lv2/atom/atom.h>
#include <lv2/atom/util.h>
#include <lv2/midi/midi.h>

#include <cstring>

#include "lv2/lv2_ports.h"

namespace lv2host {

namespace {

LV2_URID mapUri(LV2_URID_Map_Handle handle, const char* uri) {
  return static_cast<UridMap*>(handle)->map(uri);
}

const char* unmapUri(LV2_URID_Unmap_Handle handle, LV2_URID id) {
  return static_cast<UridMap*>(handle)->unmap(id);
}

}  // namespace

UridMap::UridMap() : mapData{this, mapUri}, unmapData{this, unmapUri} {}

LV2_URID UridMap::map(const char* uri) {
  auto [it, added] = ids.try_emplace(uri, LV2_URID(uris.size() + 1));
  if (added) uris.emplace_back(uri);
  return it->second;
}

const char* UridMap::unmap(LV2_URID id) const {
  return id >= 1 && id <= uris.size() ? uris[id - 1].c_str() : nullptr;
}

World::World() : world(lilv_world_new()) { lilv_world_load_all(world); }
World::~World() { lilv_world_free(world); }

const LilvPlugin* World::plugin(const char* uri) const {
  LilvNode* node = lilv_new_uri(world, uri);
  const LilvPlugin* found = lilv_plugins_get_by_uri(lilv_world_get_all_plugins(world), node);
  lilv_node_free(node);
  return found;
}

Instance::Instance(World& w, const LilvPlugin* p, uint32_t block)
    : world(w),
      plugin(p),
      maxBlock(block),
      controls(lv2::kPortCount, 0.0f),
      audioIn(2, std::vector<float>(block, 0.0f)),
      audioOut(2, std::vector<float>(block, 0.0f)),
      midiBuffer(1024),
      unconnected(lv2::kPortCount, false) {}

std::unique_ptr<Instance> Instance::create(World& world, const LilvPlugin* plugin, double rate,
                                           uint32_t maxBlock, bool mapFeature) {
  if (!plugin) return nullptr;
  std::unique_ptr<Instance> self(new Instance(world, plugin, maxBlock));
  LV2_Feature map{LV2_URID__map, world.urids().mapFeature()};
  const LV2_Feature* withMap[] = {&map, nullptr};
  const LV2_Feature* without[] = {nullptr};
  self->instance = lilv_plugin_instantiate(plugin, rate, mapFeature ? withMap : without);
  if (!self->instance) return nullptr;
  // Every control starts at its default, as a host sets it.
  const uint32_t ports = lilv_plugin_get_num_ports(plugin);
  std::vector<float> defaults(ports);
  lilv_plugin_get_port_ranges_float(plugin, nullptr, nullptr, defaults.data());
  for (uint32_t i = 0; i < ports && i < lv2::kMidiPort; ++i) self->controls[i] = defaults[i];
  self->connectAll();
  return self;
}

Instance::~Instance() {
  if (!instance) return;
  if (active) lilv_instance_deactivate(instance);
  lilv_instance_free(instance);
}

float& Instance::control(const char* symbol) {
  LilvNode* node = lilv_new_string(world.get(), symbol);
  const LilvPort* port = lilv_plugin_get_port_by_symbol(plugin, node);
  lilv_node_free(node);
  return port ? controls[lilv_port_get_index(plugin, port)] : unknownPort;
}

void Instance::connect(uint32_t port, bool connected) {
  if (port < lv2::kPortCount) unconnected[port] = !connected;
  connectAll();
}

void Instance::connectAll() {
  for (uint32_t i = 0; i < lv2::kPortCount; ++i) {
    void* data = nullptr;
    if (i < lv2::kMidiPort)
      data = &controls[i];
    else if (i == lv2::kMidiPort)
      data = midiBuffer.data();
    else if (i < lv2::kAudioOutLeft)
      data = audioIn[i - lv2::kAudioInLeft].data();
    else
      data = audioOut[i - lv2::kAudioOutLeft].data();
    lilv_instance_connect_port(instance, i, unconnected[i] ? nullptr : data);
  }
}

void Instance::activate() {
  if (!active) lilv_instance_activate(instance);
  active = true;
}

void Instance::deactivate() {
  if (active) lilv_instance_deactivate(instance);
  active = false;
}

void Instance::run(uint32_t frames, const std::vector<MidiAt>& midi) {
  UridMap& urids = world.urids();
  auto* sequence = reinterpret_cast<LV2_Atom_Sequence*>(midiBuffer.data());
  const uint32_t capacity = uint32_t(midiBuffer.size() * sizeof(uint64_t));
  sequence->atom.type = urids.map(LV2_ATOM__Sequence);
  sequence->atom.size = sizeof(LV2_Atom_Sequence_Body);
  sequence->body.unit = 0;
  sequence->body.pad = 0;
  const LV2_URID midiType = urids.map(LV2_MIDI__MidiEvent);
  for (const MidiAt& m : midi) {
    struct {
      LV2_Atom_Event event;
      uint8_t bytes[8];
    } item{};
    item.event.time.frames = m.frame;
    item.event.body.type = m.otherType ? urids.map(m.otherType) : midiType;
    item.event.body.size = (m.bytes[0] & 0xF0) == 0xC0 || (m.bytes[0] & 0xF0) == 0xD0 ? 2 : 3;
    std::memcpy(item.bytes, m.bytes, 3);
    if (!lv2_atom_sequence_append_event(sequence, capacity, &item.event)) break;
  }
  for (auto& out : audioOut) std::fill(out.begin(), out.end(), 0.0f);
  lilv_instance_run(instance, frames);
}

const void* Instance::getPort(const char* symbol, void* self, uint32_t* size, uint32_t* type) {
  auto* me = static_cast<Instance*>(self);
  *size = sizeof(float);
  *type = me->world.urids().map(LV2_ATOM__Float);
  return &me->control(symbol);
}

void Instance::setPort(const char* symbol, void* self, const void* value, uint32_t size,
                       uint32_t type) {
  auto* me = static_cast<Instance*>(self);
  if (size != sizeof(float) || type != me->world.urids().map(LV2_ATOM__Float)) return;
  std::memcpy(&me->control(symbol), value, sizeof(float));
}

std::string Instance::saveState() {
  UridMap& urids = world.urids();
  LilvState* state =
      lilv_state_new_from_instance(plugin, instance, urids.mapFeature(), nullptr, nullptr, nullptr,
                                   nullptr, getPort, this, 0, nullptr);
  if (!state) return "";
  char* text = lilv_state_to_string(world.get(), urids.mapFeature(), urids.unmapFeature(), state,
                                    "urn:quillstave:test-state", nullptr);
  std::string result = text ? text : "";
  lilv_free(text);
  lilv_state_free(state);
  return result;
}

bool Instance::restoreState(const std::string& text) {
  LilvState* state =
      lilv_state_new_from_string(world.get(), world.urids().mapFeature(), text.c_str());
  if (!state) return false;
  lilv_state_restore(state, instance, setPort, this, 0, nullptr);
  lilv_state_free(state);
  return true;
}

bool Instance::loadPreset(const char* presetUri) {
  LilvNode* preset = lilv_new_uri(world.get(), presetUri);
  lilv_world_load_resource(world.get(), preset);
  LilvState* state = lilv_state_new_from_world(world.get(), world.urids().mapFeature(), preset);
  lilv_node_free(preset);
  if (!state) return false;
  lilv_state_restore(state, instance, setPort, this, 0, nullptr);
  lilv_state_free(state);
  return true;
}

}  // namespace lv2host
