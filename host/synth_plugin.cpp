#include "host/synth_plugin.h"

#include <cstdio>
#include <cstring>

namespace {

constexpr char kEffectName[] = "Quillstave";
constexpr char kVendorString[] = "quillstave.org";
constexpr char kProductString[] = "Quillstave Plucked String Synthesizer";

}  // namespace

SynthPlugin::SynthPlugin(vst::HostCallback master)
    : AudioEffectX(master, params::kNumPrograms, params::kNumParams) {
  if (audioMaster) {
    setNumInputs(2);
    setNumOutputs(2);
    canProcessReplacing(true);
    hasVu(false);
    hasClip(false);
    isSynth(true);
    setUniqueID(vst::fourCC("QSTV"));
  }
  synth.setSampleRate(AudioEffect::getSampleRate());
  synth.setListener(this);
}

SynthPlugin::~SynthPlugin() { synth.setListener(nullptr); }

void SynthPlugin::setParameter(int32_t index, float value) { synth.setParameter(index, value); }
float SynthPlugin::getParameter(int32_t index) { return synth.getParameter(index); }

void SynthPlugin::process(float** inputs, float** outputs, int32_t sampleFrames) {
  synth.render(inputs, outputs, sampleFrames, false);
}

void SynthPlugin::processReplacing(float** inputs, float** outputs, int32_t sampleFrames) {
  synth.render(inputs, outputs, sampleFrames, true);
}

int32_t SynthPlugin::getProgram() { return synth.getProgram(); }
void SynthPlugin::setProgram(int32_t program) { synth.setProgram(program); }
void SynthPlugin::setProgramName(char* name) { synth.setProgramName(name); }
void SynthPlugin::getProgramName(char* name) { synth.getProgramName(name); }

bool SynthPlugin::getProgramNameIndexed(int32_t, int32_t index, char* text) {
  return synth.getProgramNameIndexed(index, text);
}

bool SynthPlugin::copyProgram(int32_t destination) { return synth.copyProgram(destination); }

void SynthPlugin::getParameterLabel(int32_t index, char* label) {
  synth.getParameterLabel(index, label);
}

void SynthPlugin::getParameterDisplay(int32_t index, char* text) {
  synth.getParameterDisplay(index, text);
}

void SynthPlugin::getParameterName(int32_t index, char* text) {
  synth.getParameterName(index, text);
}

int32_t SynthPlugin::getChunk(void** data, bool isPreset) { return synth.getState(data, isPreset); }

int32_t SynthPlugin::setChunk(void* data, int32_t byteSize, bool isPreset) {
  return synth.setState(data, byteSize, isPreset) ? 1 : 0;
}

void SynthPlugin::setSampleRate(float rate) {
  AudioEffectX::setSampleRate(rate);
  synth.setSampleRate(rate);
}

void SynthPlugin::suspend() { synth.suspend(); }

void SynthPlugin::resume() {
  synth.resume();
  wantEvents(1);
}

int32_t SynthPlugin::processEvents(vst::VstEvents* events) {
  for (int32_t i = 0; i < events->numEvents; ++i) {
    const vst::VstEvent* event = vst::eventAt(events, i);
    if (!event || event->type != vst::kVstMidiType) continue;
    const auto& midi = *reinterpret_cast<const vst::VstMidiEvent*>(event);
    synth.midi(reinterpret_cast<const uint8_t*>(midi.midiData), 3, midi.deltaFrames, midi.detune);
  }
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
