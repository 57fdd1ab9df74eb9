#include "host/audio_effect.h"

#include <cmath>
#include <cstring>

#include "host/editor_interface.h"
#include "params/value_text.h"

namespace {

intptr_t QS_VSTCALL dispatchThunk(vst::AEffect* e, int32_t opcode, int32_t index, intptr_t value,
                                  void* ptr, float opt) {
  AudioEffect* effect = AudioEffect::fromRecord(e);
  intptr_t result = effect->dispatcher(opcode, index, value, ptr, opt);
  if (opcode == vst::effClose) {
    delete effect;
    return 1;
  }
  return result;
}

void QS_VSTCALL processThunk(vst::AEffect* e, float** inputs, float** outputs, int32_t frames) {
  AudioEffect::fromRecord(e)->process(inputs, outputs, frames);
}

void QS_VSTCALL processReplacingThunk(vst::AEffect* e, float** inputs, float** outputs,
                                      int32_t frames) {
  AudioEffect::fromRecord(e)->processReplacing(inputs, outputs, frames);
}

void QS_VSTCALL setParameterThunk(vst::AEffect* e, int32_t index, float value) {
  AudioEffect::fromRecord(e)->setParameter(index, value);
}

float QS_VSTCALL getParameterThunk(vst::AEffect* e, int32_t index) {
  return AudioEffect::fromRecord(e)->getParameter(index);
}

}  // namespace

AudioEffect::AudioEffect(vst::HostCallback master, int32_t programs, int32_t params)
    : audioMaster(master), numPrograms(programs), numParams(params) {
  std::memset(&cEffect, 0, sizeof(cEffect));
  cEffect.magic = vst::kEffectMagic;
  cEffect.dispatcher = dispatchThunk;
  cEffect.process = processThunk;
  cEffect.setParameter = setParameterThunk;
  cEffect.getParameter = getParameterThunk;
  cEffect.numPrograms = programs;
  cEffect.numParams = params;
  cEffect.numInputs = 1;
  cEffect.numOutputs = 2;
  cEffect.flags = 0;
  cEffect.ioRatio = 1.0f;
  cEffect.object = this;
  cEffect.uniqueID = vst::fourCC("NoEf");
  cEffect.version = 1;
  cEffect.processReplacing = processReplacingThunk;
}

AudioEffect::~AudioEffect() { delete editor; }

void AudioEffect::setEditor(AEffEditor* newEditor) {
  editor = newEditor;
  setFlag(vst::effFlagsHasEditor, newEditor != nullptr);
}

intptr_t AudioEffect::callHost(int32_t opcode, int32_t index, intptr_t value, void* ptr,
                               float opt) {
  if (!audioMaster) return 0;
  vst::AEffect* self = opcode == vst::audioMasterVersion ? nullptr : &cEffect;
  return audioMaster(self, opcode, index, value, ptr, opt);
}

void AudioEffect::setFlag(int32_t flag, bool state) {
  if (state)
    cEffect.flags |= flag;
  else
    cEffect.flags &= ~flag;
}

intptr_t AudioEffect::dispatcher(int32_t opcode, int32_t index, intptr_t value, void* ptr,
                                 float opt) {
  // Text and record opcodes ignore a null buffer rather than write through it.
  char* text = static_cast<char*>(ptr);
  switch (opcode) {
    case vst::effOpen:
      open();
      return 0;
    case vst::effClose:
      close();
      return 1;
    case vst::effSetProgram:
      if (value >= 0 && value < numPrograms) setProgram(static_cast<int32_t>(value));
      return 0;
    case vst::effGetProgram:
      return getProgram();
    case vst::effSetProgramName:
      if (text) setProgramName(text);
      return 0;
    case vst::effGetProgramName:
      if (text) getProgramName(text);
      return 0;
    case vst::effGetParamLabel:
      if (text) getParameterLabel(index, text);
      return 0;
    case vst::effGetParamDisplay:
      if (text) getParameterDisplay(index, text);
      return 0;
    case vst::effGetParamName:
      if (text) getParameterName(index, text);
      return 0;
    case vst::effGetVu:
      return static_cast<intptr_t>(getVu() * 32767.0f);
    case vst::effSetSampleRate:
      setSampleRate(opt);
      return 0;
    case vst::effSetBlockSize:
      setBlockSize(static_cast<int32_t>(value));
      return 0;
    case vst::effMainsChanged:
      if (value == 0)
        suspend();
      else
        resume();
      return 0;
    case vst::effEditGetRect:
      return editor && ptr ? editor->getRect(static_cast<vst::ERect**>(ptr)) : 0;
    case vst::effEditOpen:
      return editor ? editor->open(ptr) : 0;
    case vst::effEditClose:
      if (editor) editor->close();
      return 0;
    case vst::effEditIdle:
      if (editor) editor->idle();
      return 0;
    case vst::effIdentify:
      return vst::fourCC("NvEf");
    case vst::effGetChunk:
      return ptr ? getChunk(static_cast<void**>(ptr), index != 0) : 0;
    case vst::effSetChunk:
      return ptr ? setChunk(ptr, static_cast<int32_t>(value), index != 0) : 0;
    default:
      return 0;
  }
}

void AudioEffect::setParameter(int32_t, float) {}
float AudioEffect::getParameter(int32_t) { return 0.0f; }

void AudioEffect::setParameterAutomated(int32_t index, float value) {
  setParameter(index, value);
  callHost(vst::audioMasterAutomate, index, 0, nullptr, value);
}

void AudioEffect::process(float**, float**, int32_t) {}
void AudioEffect::processReplacing(float**, float**, int32_t) {}
void AudioEffect::open() {}
void AudioEffect::close() {}
int32_t AudioEffect::getProgram() { return curProgram.load(std::memory_order_relaxed); }
void AudioEffect::setProgram(int32_t program) {
  curProgram.store(program, std::memory_order_relaxed);
}
void AudioEffect::setProgramName(char*) {}
void AudioEffect::getProgramName(char* name) { name[0] = '\0'; }
void AudioEffect::getParameterLabel(int32_t, char* label) { label[0] = '\0'; }
void AudioEffect::getParameterDisplay(int32_t, char* text) { text[0] = '\0'; }
void AudioEffect::getParameterName(int32_t, char* text) { text[0] = '\0'; }
float AudioEffect::getVu() { return 0.0f; }
int32_t AudioEffect::getChunk(void**, bool) { return 0; }
int32_t AudioEffect::setChunk(void*, int32_t, bool) { return 0; }
void AudioEffect::setSampleRate(float rate) { sampleRate.store(rate, std::memory_order_relaxed); }
void AudioEffect::setBlockSize(int32_t size) { blockSize.store(size, std::memory_order_relaxed); }
void AudioEffect::suspend() {}
void AudioEffect::resume() {}
void AudioEffect::setUniqueID(int32_t id) { cEffect.uniqueID = id; }
void AudioEffect::setNumInputs(int32_t inputs) { cEffect.numInputs = inputs; }
void AudioEffect::setNumOutputs(int32_t outputs) { cEffect.numOutputs = outputs; }
void AudioEffect::hasVu(bool state) { setFlag(vst::effFlagsHasVu, state); }
void AudioEffect::hasClip(bool state) { setFlag(vst::effFlagsHasClip, state); }
void AudioEffect::canMono(bool state) { setFlag(vst::effFlagsCanMono, state); }
void AudioEffect::canProcessReplacing(bool state) { setFlag(vst::effFlagsCanReplacing, state); }
void AudioEffect::programsAreChunks(bool state) { setFlag(vst::effFlagsProgramChunks, state); }
void AudioEffect::setRealtimeQualities(int32_t q) { cEffect.realQualities = q; }
void AudioEffect::setOfflineQualities(int32_t q) { cEffect.offQualities = q; }
void AudioEffect::setInitialDelay(int32_t delay) { cEffect.initialDelay = delay; }
float AudioEffect::getSampleRate() { return sampleRate.load(std::memory_order_relaxed); }
int32_t AudioEffect::getBlockSize() { return blockSize.load(std::memory_order_relaxed); }
int32_t AudioEffect::getMasterVersion() {
  return static_cast<int32_t>(callHost(vst::audioMasterVersion));
}
int32_t AudioEffect::getCurrentUniqueId() {
  return static_cast<int32_t>(callHost(vst::audioMasterCurrentId));
}
void AudioEffect::masterIdle() { callHost(vst::audioMasterIdle); }
bool AudioEffect::isInputConnected(int32_t) { return true; }
bool AudioEffect::isOutputConnected(int32_t) { return true; }

void AudioEffect::dB2string(float value, char* text) { params::writeDecibels(value, text); }
void AudioEffect::Hz2string(float samples, char* text) {
  params::writeFloat(samples > 0.0f ? getSampleRate() / samples : 0.0f, text);
}
void AudioEffect::ms2string(float samples, char* text) {
  params::writeFloat(samples * 1000.0f / getSampleRate(), text);
}
void AudioEffect::float2string(float value, char* text) { params::writeFloat(value, text); }
void AudioEffect::int2string(int32_t value, char* text) { params::writeInteger(value, text); }
