#include "host/audio_effect_x.h"

#include "host/editor_interface.h"

AudioEffectX::AudioEffectX(vst::HostCallback master, int32_t programs, int32_t params)
    : AudioEffect(master, programs, params) {}

AudioEffectX::~AudioEffectX() = default;

intptr_t AudioEffectX::dispatcher(int32_t opcode, int32_t index, intptr_t value, void* ptr,
                                  float opt) {
  if (opcode < vst::effProcessEvents || opcode > vst::effBeginLoadProgram)
    return AudioEffect::dispatcher(opcode, index, value, ptr, opt);

  char* text = static_cast<char*>(ptr);
  auto key = [&] {
    // The modifier travels in opt; truncate toward zero, keep the low byte. A
    // value no int can hold (or a non-number) carries no modifier.
    const bool fits = opt >= -2147483648.0f && opt < 2147483648.0f;
    const int32_t modifier = fits ? static_cast<int32_t>(opt) : 0;
    return VstKeyCode{index, static_cast<unsigned char>(value & 0xFF),
                      static_cast<unsigned char>(modifier & 0xFF)};
  };
  switch (opcode) {
    case vst::effProcessEvents:
      return ptr ? processEvents(static_cast<vst::VstEvents*>(ptr)) : 1;
    case vst::effCanBeAutomated:
      return canParameterBeAutomated(index) ? 1 : 0;
    case vst::effString2Parameter:
      return text && string2parameter(index, text) ? 1 : 0;
    case vst::effGetNumProgramCategories:
      return getNumCategories();
    case vst::effGetProgramNameIndexed:
      return text && getProgramNameIndexed(static_cast<int32_t>(value), index, text) ? 1 : 0;
    case vst::effCopyProgram:
      return copyProgram(index) ? 1 : 0;
    case vst::effConnectInput:
      inputConnected(index, value != 0);
      return 1;
    case vst::effConnectOutput:
      outputConnected(index, value != 0);
      return 1;
    case vst::effGetInputProperties:
      return ptr && getInputProperties(index, static_cast<vst::VstPinProperties*>(ptr)) ? 1 : 0;
    case vst::effGetOutputProperties:
      return ptr && getOutputProperties(index, static_cast<vst::VstPinProperties*>(ptr)) ? 1 : 0;
    case vst::effGetPlugCategory:
      return getPlugCategory();
    case vst::effSetBlockSizeAndSampleRate:
      setBlockSize(static_cast<int32_t>(value));
      setSampleRate(opt);
      return 1;
    case vst::effSetBypass:
      return setBypass(value != 0) ? 1 : 0;
    case vst::effGetEffectName:
      return text && getEffectName(text) ? 1 : 0;
    case vst::effGetErrorText:
      return text && getErrorText(text) ? 1 : 0;
    case vst::effGetVendorString:
      return text && getVendorString(text) ? 1 : 0;
    case vst::effGetProductString:
      return text && getProductString(text) ? 1 : 0;
    case vst::effGetVendorVersion:
      return getVendorVersion();
    case vst::effVendorSpecific:
      return vendorSpecific(index, value, ptr, opt);
    case vst::effCanDo:
      return text ? canDo(text) : 0;
    case vst::effGetTailSize:
      return getGetTailSize();
    case vst::effKeysRequired:
      return keysRequired() ? 0 : 1;
    case vst::effGetVstVersion:
      return getVstVersion();
    // 1 when the editor used the key, else 0: hosts take any other answer as
    // "used" and would lose their own keys (the space bar for transport).
    case vst::effEditKeyDown:
      if (editor) {
        VstKeyCode k = key();
        return editor->onKeyDown(k) == 1 ? 1 : 0;
      }
      return 0;
    case vst::effEditKeyUp:
      if (editor) {
        VstKeyCode k = key();
        return editor->onKeyUp(k) == 1 ? 1 : 0;
      }
      return 0;
    case vst::effSetEditKnobMode:
      return editor ? (editor->setKnobMode(static_cast<int32_t>(value)) ? 1 : 0) : 0;
    case vst::effGetCurrentMidiProgram:
      return getCurrentMidiProgram();
    case vst::effGetSpeakerArrangement:
      getSpeakerArrangement(reinterpret_cast<void**>(value), static_cast<void**>(ptr));
      return 0;
    case vst::effSetTotalSampleToProcess:
      return setTotalSampleToProcess(static_cast<int32_t>(value));
    default:
      return 0;
  }
}

int32_t AudioEffectX::processEvents(vst::VstEvents*) { return 0; }
bool AudioEffectX::canParameterBeAutomated(int32_t) { return true; }
bool AudioEffectX::string2parameter(int32_t, char*) { return false; }
int32_t AudioEffectX::getNumCategories() { return 1; }
bool AudioEffectX::getProgramNameIndexed(int32_t, int32_t, char*) { return false; }
bool AudioEffectX::copyProgram(int32_t) { return false; }
void AudioEffectX::inputConnected(int32_t, bool) {}
void AudioEffectX::outputConnected(int32_t, bool) {}
bool AudioEffectX::getInputProperties(int32_t, vst::VstPinProperties*) { return false; }
bool AudioEffectX::getOutputProperties(int32_t, vst::VstPinProperties*) { return false; }
int32_t AudioEffectX::getPlugCategory() {
  return (cEffect.flags & vst::effFlagsIsSynth) ? vst::kPlugCategSynth : 0;
}
bool AudioEffectX::setBypass(bool) { return false; }
bool AudioEffectX::getEffectName(char*) { return false; }
bool AudioEffectX::getErrorText(char*) { return false; }
bool AudioEffectX::getVendorString(char*) { return false; }
bool AudioEffectX::getProductString(char*) { return false; }
int32_t AudioEffectX::getVendorVersion() { return 0; }
intptr_t AudioEffectX::vendorSpecific(int32_t, intptr_t, void*, float) { return 0; }
int32_t AudioEffectX::canDo(char*) { return 0; }
int32_t AudioEffectX::getGetTailSize() { return 0; }
bool AudioEffectX::keysRequired() { return false; }
int32_t AudioEffectX::getVstVersion() { return 2300; }
int32_t AudioEffectX::getCurrentMidiProgram() { return -1; }

bool AudioEffectX::getSpeakerArrangement(void** input, void** output) {
  if (input) *input = nullptr;
  if (output) *output = nullptr;
  return false;
}

int32_t AudioEffectX::setTotalSampleToProcess(int32_t value) { return value; }

void AudioEffectX::isSynth(bool state) { setFlag(vst::effFlagsIsSynth, state); }

void AudioEffectX::wantEvents(int32_t filter) { callHost(vst::audioMasterWantMidi, 0, filter); }
bool AudioEffectX::updateDisplay() { return callHost(vst::audioMasterUpdateDisplay) != 0; }
bool AudioEffectX::beginEdit(int32_t index) {
  return callHost(vst::audioMasterBeginEdit, index) != 0;
}
bool AudioEffectX::endEdit(int32_t index) { return callHost(vst::audioMasterEndEdit, index) != 0; }
