// The instrument: parameters, programs, MIDI intake and the render loop on top
// of the plug-in layers.
#pragma once

#include <atomic>
#include <cstdint>
#include <memory>

#include "engine/engine_state.h"
#include "engine/lane_renderer.h"
#include "engine/voice.h"
#include "host/audio_effect_x.h"
#include "params/parameter_table.h"
#include "params/program_bank.h"

class SynthPlugin : public AudioEffectX, protected engine::EngineState {
 public:
  explicit SynthPlugin(vst::HostCallback audioMaster);
  ~SynthPlugin() override;

  void setParameter(int32_t index, float value) override;
  float getParameter(int32_t index) override;
  void process(float** inputs, float** outputs, int32_t sampleFrames) override;
  void processReplacing(float** inputs, float** outputs, int32_t sampleFrames) override;
  void setProgram(int32_t program) override;
  void setProgramName(char* name) override;
  void getProgramName(char* name) override;
  void getParameterLabel(int32_t index, char* label) override;
  void getParameterDisplay(int32_t index, char* text) override;
  void getParameterName(int32_t index, char* text) override;
  int32_t getChunk(void** data, bool isPreset) override;
  int32_t setChunk(void* data, int32_t byteSize, bool isPreset) override;
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

  // Renders one block: ramps warp and pitch bend, mixes the voices, applies the volume.
  virtual void renderBlock(float** inputs, float** outputs, int32_t sampleFrames, bool replacing);
  // Pushes the Quality setting into every voice's body filter.
  virtual void updateVoiceQuality();
  // Pushes a changed LFO rate (parameter 6, 16 or 23) into the sounding voices.
  virtual void updateLfoRates(int32_t parameterIndex);
  // Releases every voice playing the key.
  virtual void noteOff(int32_t note);
  // Chooses a voice for the note and leaves it pending there.
  virtual void noteOn(int32_t velocity, int32_t note, int32_t detune, int32_t deltaFrames);
  // Parameter index 39: a hook for derived instruments; does nothing here.
  virtual void extraParameterHook();
  virtual void initFactoryPresets();
  double* randomBodyCoefs(bool forType1) override;

 protected:
  float noteSampleRate() const override { return sampleRate.load(std::memory_order_relaxed); }
  params::ProgramRecord& currentRecord() { return bank->programs[curProgram.load()]; }
  // One frame of every active voice, panned into a stereo pair.
  virtual void mixVoices(float inA, float inB, float& left, float& right);
  void handleMidi(const vst::VstMidiEvent& event);
  // Stores into program records value by value (see the definition).
  static void storeValue(params::ProgramRecord& record, int32_t index, float value);
  void storeRecords(const unsigned char* bytes, int32_t count, int32_t first);

  params::ProgramBank* bank = nullptr;
  engine::LaneRenderer laneRenderer;
  std::unique_ptr<engine::Voice> voices[engine::kMaxVoices];
  int32_t controllerMap[128];
  int32_t nextVoice = 0;
};
