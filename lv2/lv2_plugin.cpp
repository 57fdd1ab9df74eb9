#include "lv2/lv2_plugin.h"

#include <lv2/atom/util.h>
#include <lv2/midi/midi.h>

#include <bit>
#include <cstdint>
#include <cstring>
#include <new>

namespace lv2 {

namespace {

LV2_URID_Map* findMap(const LV2_Feature* const* features) {
  if (!features) return nullptr;
  for (; *features; ++features)
    if ((*features)->URI && std::strcmp((*features)->URI, LV2_URID__map) == 0)
      return static_cast<LV2_URID_Map*>((*features)->data);
  return nullptr;
}

}  // namespace

Lv2Plugin* Lv2Plugin::create(double sampleRate, const LV2_Feature* const* features) {
  LV2_URID_Map* map = findMap(features);
  if (!map || !map->map) return nullptr;
  try {
    return new (std::nothrow) Lv2Plugin(static_cast<float>(sampleRate), map);
  } catch (...) {
    return nullptr;
  }
}

Lv2Plugin::Lv2Plugin(float sampleRate, LV2_URID_Map* uridMap) : map(uridMap) {
  // The rate is kept as given, as the VST 2 layer keeps it; the engine
  // stays finite at any rate.
  synth.setSampleRate(sampleRate);
  midiEvent = map->map(map->handle, LV2_MIDI__MidiEvent);
  atomSequence = map->map(map->handle, LV2_ATOM__Sequence);
  atomChunk = map->map(map->handle, LV2_ATOM__Chunk);
  atomInt = map->map(map->handle, LV2_ATOM__Int);
  bankKey = map->map(map->handle, kBankKey);
  programKey = map->map(map->handle, kProgramKey);
}

void Lv2Plugin::connectPort(uint32_t port, void* data) {
  if (port < kMidiPort)
    controls[port] = static_cast<const float*>(data);
  else if (port == kMidiPort)
    midiIn = static_cast<const LV2_Atom_Sequence*>(data);
  else if (port < kPortCount)
    audio[port - kAudioInLeft] = static_cast<float*>(data);
}

void Lv2Plugin::activate() { synth.resume(); }
void Lv2Plugin::deactivate() { synth.suspend(); }

void Lv2Plugin::run(uint32_t frames) {
  applyControlPorts();
  readMidi();
  // A missing buffer reads as silence or is not written, as in the VST 2
  // layer; the voices run on in step with the host's clock.
  float* inputs[2] = {audio[0], audio[1]};
  float* outputs[2] = {audio[2], audio[3]};
  synth.render(inputs, outputs, static_cast<int32_t>(frames > INT32_MAX ? INT32_MAX : frames),
               true);
}

void Lv2Plugin::applyControlPorts() {
  for (int32_t i = 0; i < params::kNumParams; ++i) {
    if (!controls[size_t(i)]) continue;
    const uint32_t bits = std::bit_cast<uint32_t>(*controls[size_t(i)]);
    if (known[size_t(i)] && applied[size_t(i)] == bits) continue;
    known[size_t(i)] = true;
    applied[size_t(i)] = bits;
    synth.setParameter(i, std::bit_cast<float>(bits));
  }
}

void Lv2Plugin::readMidi() {
  if (!midiIn || midiIn->atom.type != atomSequence) return;
  LV2_ATOM_SEQUENCE_FOREACH(midiIn, event) {
    if (event->body.type != midiEvent || event->body.size == 0) continue;
    const auto* bytes = reinterpret_cast<const uint8_t*>(LV2_ATOM_BODY_CONST(&event->body));
    const int64_t frame = event->time.frames;
    synth.midi(bytes, static_cast<int32_t>(event->body.size > 3 ? 3 : event->body.size),
               frame < 0 ? 0 : (frame > INT32_MAX ? INT32_MAX : static_cast<int32_t>(frame)), 0);
  }
}

LV2_State_Status Lv2Plugin::save(LV2_State_Store_Function store, LV2_State_Handle handle) {
  void* bank = nullptr;
  const int32_t size = synth.getState(&bank, false);
  if (!store || size <= 0) return LV2_STATE_ERR_UNKNOWN;
  const int32_t program = synth.getProgram();
  const uint32_t flags = LV2_STATE_IS_POD | LV2_STATE_IS_PORTABLE;
  LV2_State_Status status =
      store(handle, bankKey, bank, static_cast<size_t>(size), atomChunk, flags);
  if (status != LV2_STATE_SUCCESS) return status;
  return store(handle, programKey, &program, sizeof(program), atomInt, flags);
}

LV2_State_Status Lv2Plugin::restore(LV2_State_Retrieve_Function retrieve, LV2_State_Handle handle) {
  if (!retrieve) return LV2_STATE_ERR_UNKNOWN;
  size_t bankSize = 0, programSize = 0;
  uint32_t bankType = 0, programType = 0, flags = 0;
  const void* bank = retrieve(handle, bankKey, &bankSize, &bankType, &flags);
  const void* program = retrieve(handle, programKey, &programSize, &programType, &flags);
  if (!bank || !program) return LV2_STATE_ERR_NO_PROPERTY;
  if (bankType != atomChunk || programType != atomInt) return LV2_STATE_ERR_BAD_TYPE;
  int32_t number = -1;
  if (programSize == sizeof(number)) std::memcpy(&number, program, sizeof(number));
  if (number < 0 || number >= params::kNumPrograms ||
      bankSize > static_cast<size_t>(core::Instrument::kMaxStateSize))
    return LV2_STATE_ERR_UNKNOWN;
  if (!synth.setState(bank, static_cast<int32_t>(bankSize), false)) return LV2_STATE_ERR_UNKNOWN;
  synth.setProgram(number);
  return LV2_STATE_SUCCESS;
}

}  // namespace lv2
