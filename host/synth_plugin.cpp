#include "host/synth_plugin.h"

#include <algorithm>
#include <atomic>
#include <cstddef>
#include <cstdio>
#include <cstring>
#include <iterator>
#include <new>

#include "engine/random.h"

namespace {

constexpr char kEffectName[] = "Quillstave";
constexpr char kVendorString[] = "quillstave.org";
constexpr char kProductString[] = "Quillstave Plucked String Synthesizer";

}  // namespace

SynthPlugin::SynthPlugin(vst::HostCallback master)
    : AudioEffectX(master, params::kNumPrograms, params::kNumParams) {
  bank = new (std::nothrow) params::ProgramBank;
  if (audioMaster) {
    setNumInputs(2);
    setNumOutputs(2);
    canProcessReplacing(true);
    hasVu(false);
    hasClip(false);
    isSynth(true);
    setUniqueID(vst::fourCC("QSTV"));
  }
  // The engine: controller map, note table (built with the engine state) and voices.
  std::fill(std::begin(controllerMap), std::end(controllerMap), -1);
  controllerMap[1] = params::kFilterSustain;
  controllerMap[105] = params::kLeakageCut;
  controllerMap[106] = params::kReso;
  controllerMap[107] = params::kWarp;
  // The voices' noise tables are drawn from the generator: start it afresh so
  // that every instance gets the same tables, whatever ran before on this thread.
  engine::seedRandom(0);
  for (int32_t i = 0; i < engine::kMaxVoices; ++i)
    voices[i].reset(new (std::nothrow) engine::Voice(*this, laneRenderer.bodies(), i));

  initFactoryPresets();
  if (bank) setProgram(0);
  suspend();
}

SynthPlugin::~SynthPlugin() { delete bank; }

double* SynthPlugin::randomBodyCoefs(bool forType1) {
  return EngineState::randomBodyCoefs(forType1);
}

void SynthPlugin::setProgram(int32_t program) {
  if (!bank || program < 0 || program >= params::kNumPrograms) return;
  curProgram.store(program, std::memory_order_relaxed);
  params::ProgramRecord& record = bank->programs[program];
  for (int32_t index : params::kProgramApplyOrder)
    setParameter(index,
                 std::atomic_ref<float>(record.values[index]).load(std::memory_order_relaxed));
}

void SynthPlugin::setProgramName(char* name) {
  if (bank) currentRecord().setName(name);
}

void SynthPlugin::getProgramName(char* name) {
  if (bank)
    std::memcpy(name, currentRecord().name, params::kNameSize);
  else
    name[0] = '\0';
}

bool SynthPlugin::getProgramNameIndexed(int32_t, int32_t index, char* text) {
  if (!bank || index < 0 || index >= params::kNumPrograms) return false;
  std::memcpy(text, bank->programs[index].name, params::kNameSize);
  return true;
}

bool SynthPlugin::copyProgram(int32_t destination) {
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
void SynthPlugin::storeValue(params::ProgramRecord& record, int32_t index, float value) {
  std::atomic_ref<float>(record.values[index]).store(value, std::memory_order_relaxed);
}

void SynthPlugin::storeRecords(const unsigned char* bytes, int32_t count, int32_t first) {
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

void SynthPlugin::getParameterLabel(int32_t index, char* label) {
  params::writeLabel(index, label);
}

void SynthPlugin::getParameterDisplay(int32_t index, char* text) {
  params::writeDisplay(index, getParameter(index),
                       params::DisplayContext{voiceCount.get(), masterGain.get()}, text);
}

void SynthPlugin::getParameterName(int32_t index, char* text) {
  params::writeName(index, getParameter(params::kQuantizeNoise), text);
}

int32_t SynthPlugin::getChunk(void** data, bool isPreset) {
  if (!bank) return 0;
  if (isPreset) {
    *data = &currentRecord();
    return sizeof(params::ProgramRecord);
  }
  *data = bank;
  return sizeof(params::ProgramBank);
}

int32_t SynthPlugin::setChunk(void* data, int32_t byteSize, bool isPreset) {
  if (!bank) return 0;
  if (isPreset) {
    if (byteSize != sizeof(params::ProgramRecord)) return 0;
    storeRecords(static_cast<const unsigned char*>(data), 1, curProgram.load());
  } else {
    if (byteSize != sizeof(params::ProgramBank)) return 0;
    storeRecords(static_cast<const unsigned char*>(data), params::kNumPrograms, 0);
  }
  // A stored name may come without its terminator; keep it inside its field.
  for (auto& record : bank->programs) record.name[params::kNameSize - 1] = '\0';
  return 1;
}

bool SynthPlugin::getOutputProperties(int32_t index, vst::VstPinProperties* properties) {
  if (index < 0 || index > 1) return false;
  std::snprintf(properties->label, sizeof(properties->label), "Quillstave %1d", index + 1);
  properties->flags = vst::kVstPinIsActive | vst::kVstPinIsStereo;
  return true;
}

bool SynthPlugin::getEffectName(char* name) {
  std::strcpy(name, kEffectName);
  return true;
}

bool SynthPlugin::getVendorString(char* text) {
  std::strcpy(text, kVendorString);
  return true;
}

bool SynthPlugin::getProductString(char* text) {
  std::strcpy(text, kProductString);
  return true;
}

int32_t SynthPlugin::getVendorVersion() { return 1; }

int32_t SynthPlugin::canDo(char* text) {
  if (std::strcmp(text, "receiveVstEvents") == 0) return 1;
  if (std::strcmp(text, "receiveVstMidiEvent") == 0) return 1;
  return -1;
}

void SynthPlugin::initFactoryPresets() {
  if (bank) params::writeFactoryPresets(*bank);
}
