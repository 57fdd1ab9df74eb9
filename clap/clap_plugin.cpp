#include "clap/clap_plugin.h"

#include <algorithm>
#include <cmath>
#include <new>

#include "clap/param_values.h"
#include "params/value_mapping.h"

namespace clap_format {

namespace {

constexpr uint8_t kNoteOnStatus = 0x90;
constexpr uint8_t kNoteOffStatus = 0x80;
constexpr int32_t kKeys = 128;

bool isParameter(clap::Id id) { return id < static_cast<clap::Id>(params::kNumParams); }

// An event body of the given type, when the header says it is that big.
template <typename Event>
const Event* bodyOf(const clap::EventHeader& header) {
  return header.size >= sizeof(Event) ? reinterpret_cast<const Event*>(&header) : nullptr;
}

void push(const clap::OutputEvents* out, const clap::EventHeader& event) {
  if (out && out->tryPush) out->tryPush(out, &event);
}

void pushGesture(const clap::OutputEvents* out, uint16_t type, int32_t index) {
  clap::ParamGestureEvent event{};
  event.header = {sizeof event, 0, clap::kCoreEventSpace, type, 0};
  event.paramId = static_cast<clap::Id>(index);
  push(out, event.header);
}

void pushValue(const clap::OutputEvents* out, int32_t index, float value) {
  clap::ParamValueEvent event{};
  event.header = {sizeof event, 0, clap::kCoreEventSpace, clap::kParamValue, 0};
  event.paramId = static_cast<clap::Id>(index);
  event.noteId = -1;
  event.portIndex = event.channel = event.key = -1;
  event.value = hostValue(index, value);
  push(out, event.header);
}

// A channel of a host buffer, or null when the host gave none.
float* channel(const clap::AudioBuffer* buffers, uint32_t count, uint32_t index) {
  if (!buffers || count == 0 || !buffers[0].data32 || buffers[0].channelCount <= index)
    return nullptr;
  return buffers[0].data32[index];
}

}  // namespace

ClapPlugin* ClapPlugin::create(const clap::Host* host) {
  if (!host || !clap::compatible(host->clapVersion)) return nullptr;
  try {
    return new (std::nothrow) ClapPlugin(host);
  } catch (...) {
    return nullptr;
  }
}

ClapPlugin::ClapPlugin(const clap::Host* owner) : host(owner) {
  plugin.pluginData = this;
  for (int32_t i = 0; i < params::kNumParams; ++i) {
    shown[size_t(i)].store(synth.getParameter(i), std::memory_order_relaxed);
    editValue[size_t(i)].store(0.0f, std::memory_order_relaxed);
  }
  synth.setListener(this);
}

ClapPlugin::~ClapPlugin() {
  guiDestroy();
  synth.setListener(nullptr);
}

ClapPlugin* ClapPlugin::of(const clap::Plugin* plugin) {
  return plugin ? static_cast<ClapPlugin*>(plugin->pluginData) : nullptr;
}

template <typename Ext>
const Ext* ClapPlugin::hostExtension(const char* id) const {
  return host->getExtension ? static_cast<const Ext*>(host->getExtension(host, id)) : nullptr;
}

bool ClapPlugin::init() {
  hostParams = hostExtension<clap::HostParams>(clap::kExtParams);
  hostState = hostExtension<clap::HostState>(clap::kExtState);
  hostTimers = hostExtension<clap::HostTimerSupport>(clap::kExtTimerSupport);
  return true;
}

bool ClapPlugin::activate(double sampleRate) {
  // The rate is kept as given, as the other formats keep it; the engine stays
  // finite at any rate.
  synth.setSampleRate(static_cast<float>(sampleRate));
  synth.resume();
  active = true;
  return true;
}

void ClapPlugin::deactivate() {
  synth.suspend();
  active = false;
}

void ClapPlugin::reset() { synth.suspend(); }

// The values themselves reached the host as events after the block.
void ClapPlugin::onMainThread() {
  if (stateDirty.exchange(false, std::memory_order_relaxed) && hostState && hostState->markDirty)
    hostState->markDirty(host);
}

int32_t ClapPlugin::process(const clap::Process& p) {
  const int32_t frames = static_cast<int32_t>(std::min<uint32_t>(p.framesCount, INT32_MAX));
  float* in[2] = {channel(p.audioInputs, p.audioInputsCount, 0),
                  channel(p.audioInputs, p.audioInputsCount, 1)};
  float* out[2] = {channel(p.audioOutputs, p.audioOutputsCount, 0),
                   channel(p.audioOutputs, p.audioOutputsCount, 1)};
  if (p.audioOutputs && p.audioOutputsCount > 0) p.audioOutputs[0].constantMask = 0;
  applyEdits(p.outEvents);

  // Parameter changes take effect at their frame: the block is rendered in
  // pieces between them. Notes and MIDI go to the piece they fall in.
  int32_t done = 0;
  const clap::InputEvents* events = p.inEvents;
  const uint32_t count = events && events->size && events->get ? events->size(events) : 0;
  for (uint32_t i = 0; i < count; ++i) {
    const clap::EventHeader* header = events->get(events, i);
    if (!header || header->spaceId != clap::kCoreEventSpace) continue;
    // Events out of order or past the end count from where the block stands.
    const int32_t at =
        std::clamp(static_cast<int32_t>(std::min<uint32_t>(header->time, INT32_MAX)), done, frames);
    if (header->type == clap::kParamValue && at > done) {
      float* inPiece[2] = {in[0] ? in[0] + done : nullptr, in[1] ? in[1] + done : nullptr};
      float* outPiece[2] = {out[0] ? out[0] + done : nullptr, out[1] ? out[1] + done : nullptr};
      synth.render(inPiece, outPiece, at - done, true);
      done = at;
    }
    handleEvent(*header, at - done);
  }
  float* inRest[2] = {in[0] ? in[0] + done : nullptr, in[1] ? in[1] + done : nullptr};
  float* outRest[2] = {out[0] ? out[0] + done : nullptr, out[1] ? out[1] + done : nullptr};
  synth.render(inRest, outRest, frames - done, true);
  reportOwnChanges(p.outEvents);
  return clap::kProcessContinue;
}

void ClapPlugin::handleEvent(const clap::EventHeader& header, int32_t frame) {
  switch (header.type) {
    case clap::kNoteOn:
    case clap::kNoteOff:
    case clap::kNoteChoke: {
      const auto* note = bodyOf<clap::NoteEvent>(header);
      if (!note || note->key > 127 || note->key < -1) break;
      const uint8_t channelBits = static_cast<uint8_t>(note->channel > 0 ? note->channel & 15 : 0);
      if (header.type == clap::kNoteOn) {
        if (note->key < 0) break;
        const double scaled = std::round(note->velocity * 127.0);
        const uint8_t velocity =
            static_cast<uint8_t>(scaled >= 1.0 ? std::min(scaled, 127.0) : 1.0);
        const uint8_t bytes[3] = {uint8_t(kNoteOnStatus | channelBits), uint8_t(note->key),
                                  velocity};
        synth.midi(bytes, 3, frame, 0);
        break;
      }
      // A key of -1 ends every key.
      const int32_t first = note->key < 0 ? 0 : note->key;
      const int32_t last = note->key < 0 ? kKeys - 1 : note->key;
      for (int32_t key = first; key <= last; ++key) {
        const uint8_t bytes[3] = {uint8_t(kNoteOffStatus | channelBits), uint8_t(key), 0};
        synth.midi(bytes, 3, frame, 0);
      }
      break;
    }
    case clap::kMidi:
      if (const auto* midi = bodyOf<clap::MidiEvent>(header)) synth.midi(midi->data, 3, frame, 0);
      break;
    case clap::kParamValue:
      if (const auto* change = bodyOf<clap::ParamValueEvent>(header))
        if (isParameter(change->paramId)) {
          const int32_t index = static_cast<int32_t>(change->paramId);
          apply(index, instrumentValue(index, change->value));
        }
      break;
    default:
      break;
  }
}

void ClapPlugin::apply(int32_t index, float value) {
  synth.setParameter(index, value);
  shown[size_t(index)].store(synth.getParameter(index), std::memory_order_relaxed);
}

void ClapPlugin::applyEdits(const clap::OutputEvents* out) {
  for (int32_t i = 0; i < params::kNumParams; ++i) {
    const uint8_t bits = editBits[size_t(i)].exchange(0, std::memory_order_relaxed);
    if (!bits) continue;
    if (bits & kEditBegin) pushGesture(out, clap::kParamGestureBegin, i);
    if (bits & kEditChange) {
      apply(i, editValue[size_t(i)].load(std::memory_order_relaxed));
      pushValue(out, i, synth.getParameter(i));
    }
    if (bits & kEditEnd) pushGesture(out, clap::kParamGestureEnd, i);
  }
}

void ClapPlugin::reportOwnChanges(const clap::OutputEvents* out) {
  for (int32_t i = 0; i < params::kNumParams; ++i)
    if (ownChange[size_t(i)].exchange(false, std::memory_order_relaxed))
      pushValue(out, i, synth.getParameter(i));
}

void ClapPlugin::flush(const clap::InputEvents* in, const clap::OutputEvents* out) {
  applyEdits(out);
  const uint32_t count = in && in->size && in->get ? in->size(in) : 0;
  for (uint32_t i = 0; i < count; ++i) {
    const clap::EventHeader* header = in->get(in, i);
    if (header && header->spaceId == clap::kCoreEventSpace && header->type == clap::kParamValue)
      handleEvent(*header, 0);
  }
  reportOwnChanges(out);
}

// A program change or a MIDI controller: the value goes the instrument's own
// way, and the host hears of it after the block.
void ClapPlugin::applyParameter(int32_t index, float value) {
  if (index < 0 || index >= params::kNumParams) return;
  apply(index, value);
  ownChange[size_t(index)].store(true, std::memory_order_relaxed);
}

// A controller moved a value on the audio thread: the host is told on its main thread.
void ClapPlugin::displayChanged() {
  stateDirty.store(true, std::memory_order_relaxed);
  if (host->requestCallback) host->requestCallback(host);
}

void ClapPlugin::rescanValues() {
  if (hostParams && hostParams->rescan)
    hostParams->rescan(host, clap::kParamRescanValues | clap::kParamRescanText);
}

void ClapPlugin::valuesReloaded() {
  for (auto& changed : ownChange) changed.store(false, std::memory_order_relaxed);
  rescanValues();
}

bool ClapPlugin::parameterValue(clap::Id id, double& value) {
  if (!isParameter(id)) return false;
  const int32_t index = static_cast<int32_t>(id);
  value = hostValue(index, shown[size_t(index)].load(std::memory_order_relaxed));
  return true;
}

bool ClapPlugin::parameterText(clap::Id id, double value, char* text, uint32_t capacity) {
  if (!isParameter(id)) return false;
  return valueText(static_cast<int32_t>(id), value, getParameter(params::kPolyphony),
                   getParameter(params::kVolume), text, capacity);
}

bool ClapPlugin::parameterFromText(clap::Id id, const char* text, double& value) {
  if (!isParameter(id)) return false;
  return textValue(static_cast<int32_t>(id), text, getParameter(params::kPolyphony),
                   getParameter(params::kVolume), value);
}

float ClapPlugin::getParameter(int32_t index) {
  if (index < 0 || index >= params::kNumParams) return 0.0f;
  return shown[size_t(index)].load(std::memory_order_relaxed);
}

void ClapPlugin::getParameterDisplay(int32_t index, char* text) {
  params::writeDisplay(
      index, getParameter(index),
      params::displayContextFor(getParameter(params::kPolyphony), getParameter(params::kVolume)),
      text);
}

}  // namespace clap_format
