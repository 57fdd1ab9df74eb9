// A tiny VST 2 instrument for the renderer's tests. It writes an impulse of
// 1 + channel on the left output at the exact frame of each note-on and −0.25
// at each note-off, copies the first input to the right output, and keeps a
// small bank of named programs whose parameters and chunks the tests read back.
// Built twice: with PROBE_CHUNKS it announces opaque chunk storage.
#include <algorithm>
#include <cmath>
#include <cstring>

#include "host/effect_record.h"

namespace {

constexpr int kPrograms = 3;
constexpr int kParams = 5;
constexpr int kNameBytes = 24;
constexpr int kRecordBytes = kParams * 4 + kNameBytes;
constexpr int kMaxEvents = 4096;
constexpr const char* kParamNames[kParams] = {"Warp", "Gain A", " Decay ", "Mix", "MIX"};
constexpr const char* kProgramNames[kPrograms] = {"Alpha", "Beta", "Gamma"};

struct Probe {
  vst::AEffect effect{};
  float values[kPrograms][kParams] = {};
  char names[kPrograms][kNameBytes] = {};
  int current = 0;
  struct Pending {
    int32_t delta;
    uint8_t status, data1, data2;
  } pending[kMaxEvents];
  int pendingCount = 0;
  unsigned char chunk[kPrograms * kRecordBytes] = {};
};

Probe* probeOf(vst::AEffect* e) { return static_cast<Probe*>(e->object); }

void writeRecord(const Probe& p, int program, unsigned char* out) {
  std::memcpy(out, p.values[program], kParams * 4);
  std::memcpy(out + kParams * 4, p.names[program], kNameBytes);
}

void readRecord(Probe& p, int program, const unsigned char* in) {
  std::memcpy(p.values[program], in, kParams * 4);
  std::memcpy(p.names[program], in + kParams * 4, kNameBytes);
  p.names[program][kNameBytes - 1] = '\0';
}

void copyText(void* ptr, const char* text, size_t size) {
  std::strncpy(static_cast<char*>(ptr), text, size - 1);
  static_cast<char*>(ptr)[size - 1] = '\0';
}

intptr_t QS_VSTCALL dispatch(vst::AEffect* e, int32_t opcode, int32_t index, intptr_t value,
                             void* ptr, float) {
  Probe& p = *probeOf(e);
  switch (opcode) {
    case vst::effClose:
      delete &p;
      return 1;
    case vst::effSetProgram:
      if (value >= 0 && value < kPrograms) p.current = int(value);
      return 0;
    case vst::effGetProgram:
      return p.current;
    case vst::effSetProgramName:
      copyText(p.names[p.current], static_cast<const char*>(ptr), kNameBytes);
      return 0;
    case vst::effGetProgramName:
      copyText(ptr, p.names[p.current], kNameBytes);
      return 0;
    case vst::effGetProgramNameIndexed:
      if (index < 0 || index >= kPrograms) return 0;
      copyText(ptr, p.names[index], kNameBytes);
      return 1;
    case vst::effGetParamName:
      if (index >= 0 && index < kParams) copyText(ptr, kParamNames[index], 16);
      return 0;
    case vst::effGetChunk: {
      bool preset = index != 0;
      if (preset) {
        writeRecord(p, p.current, p.chunk);
      } else {
        for (int i = 0; i < kPrograms; ++i) writeRecord(p, i, p.chunk + i * kRecordBytes);
      }
      *static_cast<void**>(ptr) = p.chunk;
      return preset ? kRecordBytes : kPrograms * kRecordBytes;
    }
    case vst::effSetChunk: {
      const auto* in = static_cast<const unsigned char*>(ptr);
      if (index != 0) {
        if (value != kRecordBytes) return 0;
        readRecord(p, p.current, in);
      } else {
        if (value != kPrograms * kRecordBytes) return 0;
        for (int i = 0; i < kPrograms; ++i) readRecord(p, i, in + i * kRecordBytes);
      }
      return 1;
    }
    case vst::effProcessEvents: {
      const auto* list = static_cast<const vst::VstEvents*>(ptr);
      for (int32_t i = 0; i < list->numEvents && p.pendingCount < kMaxEvents; ++i) {
        const auto* m = reinterpret_cast<const vst::VstMidiEvent*>(vst::eventAt(list, i));
        if (m->type != vst::kVstMidiType) continue;
        p.pending[p.pendingCount++] = {m->deltaFrames, uint8_t(m->midiData[0]),
                                       uint8_t(m->midiData[1]), uint8_t(m->midiData[2])};
      }
      return 1;
    }
    case vst::effCanDo:
      return std::strcmp(static_cast<const char*>(ptr), "receiveVstMidiEvent") == 0 ? 1 : -1;
    case vst::effGetPlugCategory:
      return vst::kPlugCategSynth;
    case vst::effGetVstVersion:
      return 2400;
    default:
      return 0;
  }
}

void QS_VSTCALL processReplacing(vst::AEffect* e, float** inputs, float** outputs, int32_t frames) {
  Probe& p = *probeOf(e);
  for (int32_t i = 0; i < frames; ++i) {
    outputs[0][i] = 0.0f;
    outputs[1][i] = inputs[0][i];
  }
  for (int i = 0; i < p.pendingCount; ++i) {
    const Probe::Pending& m = p.pending[i];
    if (m.delta < 0 || m.delta >= frames) {
      outputs[0][0] = NAN;  // a misplaced event spoils the block visibly
      continue;
    }
    int kind = m.status & 0xF0;
    if (kind == 0x90 && m.data2 > 0) {
      outputs[0][m.delta] += float(1 + (m.status & 0x0F));
    } else if (kind == 0x80 || kind == 0x90) {
      outputs[0][m.delta] -= 0.25f;
    }
  }
  p.pendingCount = 0;
}

void QS_VSTCALL setParameter(vst::AEffect* e, int32_t index, float value) {
  if (index >= 0 && index < kParams) probeOf(e)->values[probeOf(e)->current][index] = value;
}

float QS_VSTCALL getParameter(vst::AEffect* e, int32_t index) {
  if (index < 0 || index >= kParams) return 0.0f;
  return probeOf(e)->values[probeOf(e)->current][index];
}

}  // namespace

extern "C" __attribute__((visibility("default"))) vst::AEffect* VSTPluginMain(
    vst::HostCallback host) {
  if (!host || host(nullptr, vst::audioMasterVersion, 0, 0, nullptr, 0.0f) == 0) return nullptr;
  Probe* p = new Probe;
  vst::AEffect& e = p->effect;
  e.magic = vst::kEffectMagic;
  e.dispatcher = dispatch;
  e.process = processReplacing;
  e.processReplacing = processReplacing;
  e.setParameter = setParameter;
  e.getParameter = getParameter;
  e.numPrograms = kPrograms;
  e.numParams = kParams;
  e.numInputs = 2;
  e.numOutputs = 2;
  e.flags = vst::effFlagsIsSynth | vst::effFlagsCanReplacing;
#ifdef PROBE_CHUNKS
  e.flags |= vst::effFlagsProgramChunks;
  e.uniqueID = vst::fourCC("QsPc");
#else
  e.uniqueID = vst::fourCC("QsPp");
#endif
  e.version = 7;
  e.ioRatio = 1.0f;
  e.object = p;
  for (int prog = 0; prog < kPrograms; ++prog) {
    std::strcpy(p->names[prog], kProgramNames[prog]);
    for (int i = 0; i < kParams; ++i) p->values[prog][i] = float(prog * 10 + i + 1) / 64.0f;
  }
  return &e;
}
