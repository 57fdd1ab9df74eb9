// The VST 2 binary interface as this project uses it: the effect record, the
// event records, the pin and rectangle records and the opcode numbers. Written
// from the published binary layout; shared by the plug-in and by the project's
// own host programs.
#pragma once

#include <cstddef>
#include <cstdint>
#include <cstring>

#if defined(_WIN32) && !defined(_WIN64)
#define QS_VSTCALL __cdecl
#else
#define QS_VSTCALL
#endif

namespace vst {

// Builds a four-character code with its first character in the top byte.
constexpr int32_t fourCC(const char (&c)[5]) {
  return static_cast<int32_t>((uint32_t(uint8_t(c[0])) << 24) | (uint32_t(uint8_t(c[1])) << 16) |
                              (uint32_t(uint8_t(c[2])) << 8) | uint32_t(uint8_t(c[3])));
}

struct AEffect;

// The dispatcher's and the host callback's value and result are pointer-sized:
// 32 bits on 32-bit Windows, 64 bits on x86-64.
using HostCallback = intptr_t(QS_VSTCALL*)(AEffect* effect, int32_t opcode, int32_t index,
                                           intptr_t value, void* ptr, float opt);
using DispatcherProc = intptr_t(QS_VSTCALL*)(AEffect* effect, int32_t opcode, int32_t index,
                                             intptr_t value, void* ptr, float opt);
using ProcessProc = void(QS_VSTCALL*)(AEffect* effect, float** inputs, float** outputs,
                                      int32_t sampleFrames);
using ProcessDoubleProc = void(QS_VSTCALL*)(AEffect* effect, double** inputs, double** outputs,
                                            int32_t sampleFrames);
using SetParameterProc = void(QS_VSTCALL*)(AEffect* effect, int32_t index, float value);
using GetParameterProc = float(QS_VSTCALL*)(AEffect* effect, int32_t index);
using EntryProc = AEffect*(QS_VSTCALL*)(HostCallback host);

struct AEffect {
  int32_t magic;
  DispatcherProc dispatcher;
  ProcessProc process;
  SetParameterProc setParameter;
  GetParameterProc getParameter;
  int32_t numPrograms;
  int32_t numParams;
  int32_t numInputs;
  int32_t numOutputs;
  int32_t flags;
  intptr_t resvd1;
  intptr_t resvd2;
  int32_t initialDelay;
  int32_t realQualities;
  int32_t offQualities;
  float ioRatio;
  void* object;
  void* user;
  int32_t uniqueID;
  int32_t version;
  ProcessProc processReplacing;
  ProcessDoubleProc processDoubleReplacing;  // never set: part of the reserved tail
  char future[56];
};

constexpr int32_t kEffectMagic = fourCC("VstP");

enum EffectFlags : int32_t {
  effFlagsHasEditor = 1 << 0,
  effFlagsHasClip = 1 << 1,
  effFlagsHasVu = 1 << 2,
  effFlagsCanMono = 1 << 3,
  effFlagsCanReplacing = 1 << 4,
  effFlagsProgramChunks = 1 << 5,
  effFlagsIsSynth = 1 << 8,
  effFlagsNoSoundInStop = 1 << 9,
};

enum EffectOpcode : int32_t {
  effOpen = 0,
  effClose = 1,
  effSetProgram = 2,
  effGetProgram = 3,
  effSetProgramName = 4,
  effGetProgramName = 5,
  effGetParamLabel = 6,
  effGetParamDisplay = 7,
  effGetParamName = 8,
  effGetVu = 9,
  effSetSampleRate = 10,
  effSetBlockSize = 11,
  effMainsChanged = 12,
  effEditGetRect = 13,
  effEditOpen = 14,
  effEditClose = 15,
  effEditDraw = 16,
  effEditMouse = 17,
  effEditKey = 18,
  effEditIdle = 19,
  effEditTop = 20,
  effEditSleep = 21,
  effIdentify = 22,
  effGetChunk = 23,
  effSetChunk = 24,
  effProcessEvents = 25,
  effCanBeAutomated = 26,
  effString2Parameter = 27,
  effGetNumProgramCategories = 28,
  effGetProgramNameIndexed = 29,
  effCopyProgram = 30,
  effConnectInput = 31,
  effConnectOutput = 32,
  effGetInputProperties = 33,
  effGetOutputProperties = 34,
  effGetPlugCategory = 35,
  effGetCurrentPosition = 36,
  effGetDestinationBuffer = 37,
  effOfflineNotify = 38,
  effOfflinePrepare = 39,
  effOfflineRun = 40,
  effProcessVarIo = 41,
  effSetSpeakerArrangement = 42,
  effSetBlockSizeAndSampleRate = 43,
  effSetBypass = 44,
  effGetEffectName = 45,
  effGetErrorText = 46,
  effGetVendorString = 47,
  effGetProductString = 48,
  effGetVendorVersion = 49,
  effVendorSpecific = 50,
  effCanDo = 51,
  effGetTailSize = 52,
  effIdle = 53,
  effGetIcon = 54,
  effSetViewPosition = 55,
  effGetParameterProperties = 56,
  effKeysRequired = 57,
  effGetVstVersion = 58,
  effEditKeyDown = 59,
  effEditKeyUp = 60,
  effSetEditKnobMode = 61,
  effGetMidiProgramName = 62,
  effGetCurrentMidiProgram = 63,
  effGetMidiProgramCategory = 64,
  effHasMidiProgramsChanged = 65,
  effGetMidiKeyName = 66,
  effBeginSetProgram = 67,
  effEndSetProgram = 68,
  effGetSpeakerArrangement = 69,
  effShellGetNextPlugin = 70,
  effStartProcess = 71,
  effStopProcess = 72,
  effSetTotalSampleToProcess = 73,
  effSetPanLaw = 74,
  effBeginLoadBank = 75,
  effBeginLoadProgram = 76,
};

enum HostOpcode : int32_t {
  audioMasterAutomate = 0,
  audioMasterVersion = 1,
  audioMasterCurrentId = 2,
  audioMasterIdle = 3,
  audioMasterWantMidi = 6,
  audioMasterGetTime = 7,
  audioMasterProcessEvents = 8,
  audioMasterGetSampleRate = 16,
  audioMasterGetBlockSize = 17,
  audioMasterGetCurrentProcessLevel = 23,
  audioMasterGetVendorString = 32,
  audioMasterGetProductString = 33,
  audioMasterGetVendorVersion = 34,
  audioMasterCanDo = 37,
  audioMasterUpdateDisplay = 42,
  audioMasterBeginEdit = 43,
  audioMasterEndEdit = 44,
};

constexpr int32_t kPlugCategSynth = 2;
constexpr int32_t kVstMidiType = 1;

struct VstEvent {
  int32_t type;
  int32_t byteSize;
  int32_t deltaFrames;
  int32_t flags;
  char data[16];
};

struct VstMidiEvent {
  int32_t type;
  int32_t byteSize;
  int32_t deltaFrames;
  int32_t flags;
  int32_t noteLength;
  int32_t noteOffset;
  char midiData[4];
  char detune;
  char noteOffVelocity;
  char reserved1;
  char reserved2;
};

// An event list: the header, then numEvents pointers in the same block. The
// array is declared with the two slots of the smallest list; longer lists run
// past it, so their entries are read and written through the addresses below,
// never by indexing the declared array beyond its size.
struct VstEvents {
  int32_t numEvents;
  intptr_t reserved;
  VstEvent* events[2];
};

// Address of entry i of the list's pointer array.
inline std::uintptr_t eventSlot(const VstEvents* list, int32_t i) {
  return reinterpret_cast<std::uintptr_t>(list) + offsetof(VstEvents, events) +
         sizeof(VstEvent*) * static_cast<std::size_t>(i);
}
// Entry i (0 <= i < numEvents) of a list of any length.
inline VstEvent* eventAt(const VstEvents* list, int32_t i) {
  VstEvent* event;
  std::memcpy(&event, reinterpret_cast<const void*>(eventSlot(list, i)), sizeof(event));
  return event;
}
// Stores entry i of a list whose block has room for it.
inline void setEventAt(VstEvents* list, int32_t i, VstEvent* event) {
  std::memcpy(reinterpret_cast<void*>(eventSlot(list, i)), &event, sizeof(event));
}

enum PinFlags : int32_t {
  kVstPinIsActive = 1 << 0,
  kVstPinIsStereo = 1 << 1,
  kVstPinUseSpeaker = 1 << 2,
};

struct VstPinProperties {
  char label[64];
  int32_t flags;
  int32_t arrangementType;
  char shortLabel[8];
  char future[48];
};

struct ERect {
  int16_t top;
  int16_t left;
  int16_t bottom;
  int16_t right;
};

// Buffer sizes hosts provide for the text opcodes.
constexpr int kMaxParamStrLen = 8;
constexpr int kMaxProgNameLen = 24;
constexpr int kMaxEffectNameLen = 32;
constexpr int kMaxVendorStrLen = 64;
constexpr int kMaxProductStrLen = 64;

// The published layouts: pointer-sized fields and padding make the 64-bit
// records larger, and every field must sit where the host expects it.
constexpr bool kPointers64 = sizeof(void*) == 8;
static_assert(offsetof(AEffect, numPrograms) == (kPointers64 ? 40 : 20));
static_assert(offsetof(AEffect, resvd1) == (kPointers64 ? 64 : 40));
static_assert(offsetof(AEffect, ioRatio) == (kPointers64 ? 92 : 60));
static_assert(offsetof(AEffect, object) == (kPointers64 ? 96 : 64));
static_assert(offsetof(AEffect, uniqueID) == (kPointers64 ? 112 : 72));
static_assert(offsetof(AEffect, processReplacing) == (kPointers64 ? 120 : 80));
static_assert(sizeof(AEffect) == (kPointers64 ? 192 : 144));
static_assert(offsetof(VstEvents, events) == (kPointers64 ? 16 : 8));
static_assert(sizeof(VstMidiEvent) == 32);
static_assert(sizeof(VstEvent) == 32);
static_assert(sizeof(VstPinProperties) == 128);
static_assert(sizeof(ERect) == 8);

}  // namespace vst
