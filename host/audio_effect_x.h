// The extended layer: answers opcodes 25 to 76 and offers the calls back into
// the host that a VST 2.x plug-in makes.
#pragma once

#include "host/audio_effect.h"

class AudioEffectX : public AudioEffect {
 public:
  AudioEffectX(vst::HostCallback audioMaster, int32_t numPrograms, int32_t numParams);
  ~AudioEffectX() override;

  intptr_t dispatcher(int32_t opcode, int32_t index, intptr_t value, void* ptr, float opt) override;

  virtual int32_t processEvents(vst::VstEvents* events);
  virtual bool canParameterBeAutomated(int32_t index);
  virtual bool string2parameter(int32_t index, char* text);
  virtual int32_t getNumCategories();
  virtual bool getProgramNameIndexed(int32_t category, int32_t index, char* text);
  virtual bool copyProgram(int32_t destination);
  virtual void inputConnected(int32_t index, bool state);
  virtual void outputConnected(int32_t index, bool state);
  virtual bool getInputProperties(int32_t index, vst::VstPinProperties* properties);
  virtual bool getOutputProperties(int32_t index, vst::VstPinProperties* properties);
  virtual int32_t getPlugCategory();
  virtual bool setBypass(bool onOff);
  virtual bool getEffectName(char* name);
  virtual bool getErrorText(char* text);
  virtual bool getVendorString(char* text);
  virtual bool getProductString(char* text);
  virtual int32_t getVendorVersion();
  virtual intptr_t vendorSpecific(int32_t index, intptr_t value, void* ptr, float opt);
  virtual int32_t canDo(char* text);
  virtual int32_t getGetTailSize();
  virtual bool keysRequired();
  virtual int32_t getVstVersion();
  virtual int32_t getCurrentMidiProgram();
  virtual bool getSpeakerArrangement(void** input, void** output);
  virtual int32_t setTotalSampleToProcess(int32_t value);

  virtual void isSynth(bool state);
  // Asks the host for MIDI events (filter 1: all of them).
  virtual void wantEvents(int32_t filter);
  virtual bool updateDisplay();
  virtual bool beginEdit(int32_t index);
  virtual bool endEdit(int32_t index);
};
