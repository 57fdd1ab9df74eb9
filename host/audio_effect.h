// The base layer of the plug-in: owns the effect record the host holds, turns
// the record's entry points into virtual calls and answers opcodes 0 to 24.
#pragma once

#include <atomic>
#include <cstdint>

#include "host/effect_record.h"

class AEffEditor;

class AudioEffect {
 public:
  AudioEffect(vst::HostCallback audioMaster, int32_t numPrograms, int32_t numParams);
  virtual ~AudioEffect();

  AudioEffect(const AudioEffect&) = delete;
  AudioEffect& operator=(const AudioEffect&) = delete;

  virtual void setParameter(int32_t index, float value);
  virtual float getParameter(int32_t index);
  // Applies a value and reports it to the host as automation.
  virtual void setParameterAutomated(int32_t index, float value);
  virtual void process(float** inputs, float** outputs, int32_t sampleFrames);
  virtual void processReplacing(float** inputs, float** outputs, int32_t sampleFrames);
  virtual intptr_t dispatcher(int32_t opcode, int32_t index, intptr_t value, void* ptr, float opt);
  virtual void open();
  virtual void close();
  virtual int32_t getProgram();
  virtual void setProgram(int32_t program);
  virtual void setProgramName(char* name);
  virtual void getProgramName(char* name);
  virtual void getParameterLabel(int32_t index, char* label);
  virtual void getParameterDisplay(int32_t index, char* text);
  virtual void getParameterName(int32_t index, char* text);
  virtual float getVu();
  virtual int32_t getChunk(void** data, bool isPreset);
  virtual int32_t setChunk(void* data, int32_t byteSize, bool isPreset);
  virtual void setSampleRate(float rate);
  virtual void setBlockSize(int32_t size);
  virtual void suspend();
  virtual void resume();
  virtual void setUniqueID(int32_t id);
  virtual void setNumInputs(int32_t inputs);
  virtual void setNumOutputs(int32_t outputs);
  virtual void hasVu(bool state);
  virtual void hasClip(bool state);
  virtual void canMono(bool state);
  virtual void canProcessReplacing(bool state);
  virtual void programsAreChunks(bool state);
  virtual void setRealtimeQualities(int32_t qualities);
  virtual void setOfflineQualities(int32_t qualities);
  virtual void setInitialDelay(int32_t delay);
  virtual float getSampleRate();
  virtual int32_t getBlockSize();
  virtual int32_t getMasterVersion();
  virtual int32_t getCurrentUniqueId();
  virtual void masterIdle();
  virtual bool isInputConnected(int32_t input);
  virtual bool isOutputConnected(int32_t output);
  virtual void dB2string(float value, char* text);
  virtual void Hz2string(float samples, char* text);
  virtual void ms2string(float samples, char* text);
  virtual void float2string(float value, char* text);
  virtual void int2string(int32_t value, char* text);

  vst::AEffect* getAeffect() { return &cEffect; }
  AEffEditor* getEditor() const { return editor; }
  // Called by the editor's constructor: stores it and announces it in the
  // flags; by its destructor with null, which withdraws both.
  void setEditor(AEffEditor* newEditor);

  static AudioEffect* fromRecord(vst::AEffect* effect) {
    return static_cast<AudioEffect*>(effect->object);
  }

 protected:
  // Calls the host; answers 0 when there is no host callback.
  intptr_t callHost(int32_t opcode, int32_t index = 0, intptr_t value = 0, void* ptr = nullptr,
                    float opt = 0.0f);
  void setFlag(int32_t flag, bool state);

  std::atomic<float> sampleRate{44100.0f};
  AEffEditor* editor = nullptr;
  vst::HostCallback audioMaster;
  int32_t numPrograms;
  int32_t numParams;
  std::atomic<int32_t> curProgram{0};
  std::atomic<int32_t> blockSize{1024};
  vst::AEffect cEffect;
};
