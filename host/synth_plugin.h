// The VST 2 layer of the instrument: translates the effect's calls into the
// format-neutral instrument's and its controller changes back into host calls.
#pragma once

#include <cstdint>

#include "core/synth.h"
#include "host/audio_effect_x.h"

class SynthPlugin : public AudioEffectX, protected core::InstrumentListener {
 public:
  explicit SynthPlugin(vst::HostCallback audioMaster);
  ~SynthPlugin() override;

  void setParameter(int32_t index, float value) override;
  float getParameter(int32_t index) override;
  void process(float** inputs, float** outputs, int32_t sampleFrames) override;
  void processReplacing(float** inputs, float** outputs, int32_t sampleFrames) override;
  int32_t getProgram() override;
  void setProgram(int32_t program) override;
  void setProgramName(char* name) override;
  void getProgramName(char* name) override;
  void getParameterLabel(int32_t index, char* label) override;
  void getParameterDisplay(int32_t index, char* text) override;
  void getParameterName(int32_t index, char* text) override;
  int32_t getChunk(void** data, bool isPreset) override;
  int32_t setChunk(void* data, int32_t byteSize, bool isPreset) override;
  void setSampleRate(float rate) override;
  void suspend() override;
  void resume() override;
  int32_t processEvents(vst::VstEvents* events) override;
  bool getProgramNameIndexed(int32_t category, int32_t index, char* text) override;
  bool copyProgram(int32_t destination) override;
  bool getOutputProperties(int32_t index, vst::VstPinProperties* properties) override;
  bool getEffectName(char* name) override;
  bool getVendorString(char* text) override;
  bool getProductString(char* text) override;
  int32_t getVendorVersion() override;
  int32_t canDo(char* text) override;

  core::Instrument& instrument() { return synth; }

 protected:
  // Program changes and MIDI controllers take the plug-in's own parameter
  // path, so that the editor follows.
  void applyParameter(int32_t index, float value) override { setParameter(index, value); }
  void displayChanged() override { updateDisplay(); }

  core::Synth synth;
};
