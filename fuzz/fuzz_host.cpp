#include "fuzz/fuzz_host.h"

#include <atomic>
#include <cmath>
#include <cstdio>
#include <cstdlib>

#include "host/create_instance.h"

namespace fuzz {

namespace {

// A host of the current version that answers every other call with 0.
intptr_t QS_VSTCALL hostCallback(vst::AEffect*, int32_t opcode, int32_t, intptr_t, void*, float) {
  return opcode == vst::audioMasterVersion ? 2400 : 0;
}

}  // namespace

GuardedBuffer::GuardedBuffer(size_t bytes, uint8_t fill)
    : size(bytes), storage(bytes + kGuard, fill) {
  for (size_t i = size; i < storage.size(); ++i) storage[i] = uint8_t(0xA5 ^ i);
}

void GuardedBuffer::check() const {
  for (size_t i = size; i < storage.size(); ++i) {
    if (storage[i] != uint8_t(0xA5 ^ i)) {
      std::fprintf(stderr, "write past a host buffer of %zu bytes (at %zu)\n", size, i);
      std::abort();
    }
  }
}

Instance::Instance() : effect(createSynthInstance(&hostCallback)) {
  if (!effect) {
    std::fprintf(stderr, "the instrument could not be built\n");
    std::abort();
  }
}

Instance::~Instance() {
  if (effect) effect->dispatcher(effect, vst::effClose, 0, 0, nullptr, 0.0f);
}

intptr_t Instance::dispatch(int32_t opcode, int32_t index, intptr_t value, void* ptr, float opt) {
  return effect->dispatcher(effect, opcode, index, value, ptr, opt);
}

void requireFinite(const float* samples, int32_t count, const char* what) {
  for (int32_t i = 0; i < count; ++i) {
    if (!std::isfinite(samples[i])) {
      std::fprintf(stderr, "non-finite output %g at frame %d (%s)\n", double(samples[i]), i, what);
      std::abort();
    }
  }
}

void Instance::render(int32_t frames, bool replacing, float inputLevel) {
  const size_t n = frames > 0 ? size_t(frames) : 0;
  std::vector<float> in(n), left(n), right(n);
  for (int32_t i = 0; i < frames; ++i) in[size_t(i)] = inputLevel * float((i * 37) % 11 - 5) / 5.0f;
  float* ins[2] = {in.data(), in.data()};
  float* outs[2] = {left.data(), right.data()};
  if (replacing)
    effect->processReplacing(effect, ins, outs, frames);
  else
    effect->process(effect, ins, outs, frames);
  if (!std::isfinite(inputLevel)) return;
  requireFinite(left.data(), frames, "left");
  requireFinite(right.data(), frames, "right");
}

void Instance::notes(const std::vector<uint8_t>& keys, uint8_t velocity, int32_t delta) {
  std::vector<vst::VstMidiEvent> events(keys.size());
  std::vector<uint8_t> block(sizeof(vst::VstEvents) + keys.size() * sizeof(vst::VstEvent*));
  auto* list = reinterpret_cast<vst::VstEvents*>(block.data());
  list->numEvents = int32_t(keys.size());
  for (size_t i = 0; i < keys.size(); ++i) {
    vst::VstMidiEvent& e = events[i];
    e = vst::VstMidiEvent{};
    e.type = vst::kVstMidiType;
    e.byteSize = sizeof(e);
    e.deltaFrames = delta;
    e.midiData[0] = char(velocity ? 0x90 : 0x80);
    e.midiData[1] = char(keys[i] & 0x7F);
    e.midiData[2] = char(velocity & 0x7F);
    vst::setEventAt(list, int32_t(i), reinterpret_cast<vst::VstEvent*>(&e));
  }
  dispatch(vst::effProcessEvents, 0, 0, list);
}

}  // namespace fuzz
