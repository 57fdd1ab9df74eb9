// The instrument: parameters, programs, MIDI intake and the render loop over
// the engine's eight voices, behind the format-neutral interface.
#pragma once

#include <atomic>
#include <cstdint>
#include <memory>

#include "core/instrument.h"
#include "engine/engine_state.h"
#include "engine/lane_renderer.h"
#include "engine/voice.h"
#include "params/parameter_table.h"
#include "params/program_bank.h"

namespace core {

class Synth : public Instrument, protected engine::EngineState {
 public:
  Synth();
  ~Synth() override;

  void setListener(InstrumentListener* newListener) override {
    listener.store(newListener, std::memory_order_relaxed);
  }
  void midi(const uint8_t* bytes, int32_t size, int32_t frame, int32_t detune) override;
  void setParameter(int32_t index, float value) override;
  float getParameter(int32_t index) override;
  void getParameterName(int32_t index, char* text) override;
  void getParameterLabel(int32_t index, char* text) override;
  void getParameterDisplay(int32_t index, char* text) override;
  int32_t getProgram() override { return curProgram.load(std::memory_order_relaxed); }
  void setProgram(int32_t program) override;
  void getProgramName(char* name) override;
  void setProgramName(const char* name) override;
  bool getProgramNameIndexed(int32_t index, char* name) override;
  bool copyProgram(int32_t destination) override;
  int32_t getState(void** data, bool programOnly) override;
  bool setState(const void* data, int32_t byteSize, bool programOnly) override;
  void render(float* const* inputs, float* const* outputs, int32_t frames, bool replacing) override;
  void setSampleRate(float rate) override { sampleRate.store(rate, std::memory_order_relaxed); }
  float getSampleRate() override { return sampleRate.load(std::memory_order_relaxed); }
  void suspend() override;
  void resume() override {}

  // Renders one block: ramps warp and pitch bend, mixes the voices, applies the volume.
  virtual void renderBlock(float* const* inputs, float* const* outputs, int32_t sampleFrames,
                           bool replacing);
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
  // Stores into program records value by value (see the definition).
  static void storeValue(params::ProgramRecord& record, int32_t index, float value);
  void storeRecords(const unsigned char* bytes, int32_t count, int32_t first);
  // A value the instrument applies by itself, through the listener if there is one.
  void applyOwnChange(int32_t index, float value);

  params::ProgramBank* bank = nullptr;
  engine::LaneRenderer laneRenderer;
  // How the block being rendered renders its voices (voicesInTurn at its start).
  bool renderInTurn = false;
  std::unique_ptr<engine::Voice> voices[engine::kMaxVoices];
  // The same voices as plain pointers, as the renderers take them every frame.
  engine::Voice* voicePointers[engine::kMaxVoices] = {};
  int32_t controllerMap[128];
  int32_t nextVoice = 0;
  std::atomic<int32_t> curProgram{0};
  std::atomic<float> sampleRate{44100.0f};
  std::atomic<InstrumentListener*> listener{nullptr};
};

}  // namespace core
