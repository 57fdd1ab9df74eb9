#include "core/synth.h"

#include <algorithm>
#include <atomic>
#include <cstddef>
#include <cstring>
#include <iterator>
#include <new>

#include "engine/random.h"

namespace core {

Synth::Synth() {
  bank = new (std::nothrow) params::ProgramBank;
  // The engine: controller map, note table (built with the engine state) and voices.
  std::fill(std::begin(controllerMap), std::end(controllerMap), -1);
  controllerMap[1] = params::kFilterSustain;
  controllerMap[105] = params::kLeakageCut;
  controllerMap[106] = params::kReso;
  controllerMap[107] = params::kWarp;
  // The voices' noise tables are drawn from the generator: start it afresh so
  // that every instance gets the same tables, whatever ran before on this thread.
  engine::seedRandom(0);
  for (int32_t i = 0; i < engine::kMaxVoices; ++i) {
    voices[i].reset(new (std::nothrow) engine::Voice(*this, laneRenderer.bodies(), i));
    voicePointers[i] = voices[i].get();
  }

  initFactoryPresets();
  if (bank) setProgram(0);
  suspend();
}

Synth::~Synth() { delete bank; }

double* Synth::randomBodyCoefs(bool forType1) { return EngineState::randomBodyCoefs(forType1); }

void Synth::setProgram(int32_t program) {
  if (!bank || program < 0 || program >= params::kNumPrograms) return;
  curProgram.store(program, std::memory_order_relaxed);
  params::ProgramRecord& record = bank->programs[program];
  for (int32_t index : params::kProgramApplyOrder)
    applyOwnChange(index,
                   std::atomic_ref<float>(record.values[index]).load(std::memory_order_relaxed));
}

void Synth::applyOwnChange(int32_t index, float value) {
  if (InstrumentListener* host = listener.load(std::memory_order_relaxed))
    host->applyParameter(index, value);
  else
    setParameter(index, value);
}

void Synth::setProgramName(const char* name) {
  if (bank) currentRecord().setName(name);
}

void Synth::getProgramName(char* name) {
  if (bank)
    std::memcpy(name, currentRecord().name, params::kNameSize);
  else
    name[0] = '\0';
}

bool Synth::getProgramNameIndexed(int32_t index, char* text) {
  if (!bank || index < 0 || index >= params::kNumPrograms) return false;
  std::memcpy(text, bank->programs[index].name, params::kNameSize);
  return true;
}

bool Synth::copyProgram(int32_t destination) {
  if (!bank || destination < 0 || destination >= params::kNumPrograms) return false;
  params::ProgramRecord& to = bank->programs[destination];
  const params::ProgramRecord& from = currentRecord();
  if (&to == &from) return true;
  for (int32_t i = 0; i < params::kNumParams; ++i)
    storeValue(to, i, std::atomic_ref<const float>(from.values[i]).load(std::memory_order_relaxed));
  std::memcpy(to.name, from.name, params::kNameSize);
  return true;
}

// Record values change from every thread (parameter changes store into the
// current record): each is stored as one relaxed 4-byte store, never as a
// byte copy that another thread's store could interleave with.
void Synth::storeValue(params::ProgramRecord& record, int32_t index, float value) {
  std::atomic_ref<float>(record.values[index]).store(value, std::memory_order_relaxed);
}

void Synth::storeRecords(const unsigned char* bytes, int32_t count, int32_t first) {
  for (int32_t r = 0; r < count; ++r) {
    params::ProgramRecord& record = bank->programs[first + r];
    const unsigned char* from = bytes + size_t(r) * sizeof(params::ProgramRecord);
    for (int32_t i = 0; i < params::kNumParams; ++i) {
      float value;
      std::memcpy(&value, from + size_t(i) * sizeof(float), sizeof(float));
      storeValue(record, i, value);
    }
    std::memcpy(record.name, from + offsetof(params::ProgramRecord, name), params::kNameSize);
  }
}

void Synth::getParameterLabel(int32_t index, char* label) { params::writeLabel(index, label); }

void Synth::getParameterDisplay(int32_t index, char* text) {
  params::writeDisplay(index, getParameter(index),
                       params::DisplayContext{voiceCount.get(), masterGain.get()}, text);
}

void Synth::getParameterName(int32_t index, char* text) {
  params::writeName(index, getParameter(params::kQuantizeNoise), text);
}

int32_t Synth::getState(void** data, bool programOnly) {
  if (!bank) return 0;
  if (programOnly) {
    *data = &currentRecord();
    return sizeof(params::ProgramRecord);
  }
  *data = bank;
  return sizeof(params::ProgramBank);
}

bool Synth::setState(const void* data, int32_t byteSize, bool programOnly) {
  if (!bank || !data) return false;
  if (programOnly) {
    if (byteSize != sizeof(params::ProgramRecord)) return false;
    storeRecords(static_cast<const unsigned char*>(data), 1, curProgram.load());
  } else {
    if (byteSize != sizeof(params::ProgramBank)) return false;
    storeRecords(static_cast<const unsigned char*>(data), params::kNumPrograms, 0);
  }
  // A stored name may come without its terminator; keep it inside its field.
  for (auto& record : bank->programs) record.name[params::kNameSize - 1] = '\0';
  return true;
}

void Synth::initFactoryPresets() {
  if (bank) params::writeFactoryPresets(*bank);
}

}  // namespace core
