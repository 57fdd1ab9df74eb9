// A minimal VST 2 host: loads a plug-in module through its entry point, hands
// it a callback that records every call, and drives it only through the
// effect record. Used by the tests and by the command-line tools.
#pragma once

#include <cstdint>
#include <memory>
#include <mutex>
#include <string>
#include <vector>

#include "host/effect_record.h"

namespace plughost {

// A loaded module (shared object or DLL) and its entry point.
class PluginModule {
 public:
  // Loads the module at path; on failure returns null and describes why in error.
  static std::unique_ptr<PluginModule> load(const std::string& path, std::string& error);
  ~PluginModule();

  PluginModule(const PluginModule&) = delete;
  PluginModule& operator=(const PluginModule&) = delete;

  vst::EntryProc entry() const { return entryProc; }
  // The symbol the entry was found under ("VSTPluginMain" or "main").
  const std::string& entryName() const { return entrySymbol; }
  // Looks up any exported symbol (null when absent).
  void* symbol(const char* name) const;

 private:
  PluginModule() = default;
  void* handle = nullptr;
  vst::EntryProc entryProc = nullptr;
  std::string entrySymbol;
};

// One call the plug-in made into the host.
struct HostCall {
  int32_t opcode;
  int32_t index;
  intptr_t value;
  float opt;
  bool nullEffect;
};

// One plug-in instance with a recording host callback.
class PluginInstance {
 public:
  struct Options {
    // What the host answers to the version query (0 makes plug-ins refuse to load).
    intptr_t hostVersion = 2400;
    float sampleRate = 44100.0f;
    int32_t blockSize = 512;
  };

  // Calls the entry point; returns null when the plug-in refuses or returns a bad record.
  static std::unique_ptr<PluginInstance> create(const PluginModule& module, const Options& options);
  static std::unique_ptr<PluginInstance> create(const PluginModule& module) {
    return create(module, Options{});
  }
  // The same through an entry point linked into the program itself.
  static std::unique_ptr<PluginInstance> create(vst::EntryProc entry, const Options& options);
  ~PluginInstance();  // closes the instance unless close() was called

  PluginInstance(const PluginInstance&) = delete;
  PluginInstance& operator=(const PluginInstance&) = delete;

  vst::AEffect* effect() const { return record; }
  intptr_t dispatch(int32_t opcode, int32_t index = 0, intptr_t value = 0, void* ptr = nullptr,
                    float opt = 0.0f);
  // effClose; answers what the plug-in answered. The record is gone afterwards.
  intptr_t close();

  // A text opcode with a zero-filled buffer of the given size.
  std::string text(int32_t opcode, int32_t index = 0, intptr_t value = 0, size_t size = 256);
  std::string parameterName(int32_t index) { return text(vst::effGetParamName, index); }
  std::string parameterLabel(int32_t index) { return text(vst::effGetParamLabel, index); }
  std::string parameterDisplay(int32_t index) { return text(vst::effGetParamDisplay, index); }
  std::string programName() { return text(vst::effGetProgramName); }
  // Name of program index without selecting it; empty when the plug-in does not answer.
  std::string programNameIndexed(int32_t index) {
    return text(vst::effGetProgramNameIndexed, index, -1);
  }

  // A copy of the plug-in's program (preset) or bank chunk; empty when it has none.
  std::vector<uint8_t> getChunk(bool preset);
  // Hands a chunk to the plug-in; answers what the plug-in answered (1 accepted, 0 refused).
  intptr_t setChunk(const std::vector<uint8_t>& data, bool preset);

  void setParameter(int32_t index, float value);
  float getParameter(int32_t index);

  // Open, set rate and block size, resume: what a host does before playing.
  void start();
  // Sends MIDI messages as one event list: each is (deltaFrames, status, data1, data2).
  struct Midi {
    int32_t deltaFrames;
    uint8_t status, data1, data2;
    int8_t detune = 0;
  };
  intptr_t sendMidi(const std::vector<Midi>& messages);
  void processReplacing(float** inputs, float** outputs, int32_t frames);
  void process(float** inputs, float** outputs, int32_t frames);

  // Calls recorded so far (a copy), and a count of one opcode.
  std::vector<HostCall> calls() const;
  size_t countCalls(int32_t opcode) const;
  void clearCalls();

  const Options& options() const { return opts; }

 private:
  PluginInstance() = default;
  static intptr_t QS_VSTCALL callback(vst::AEffect* effect, int32_t opcode, int32_t index,
                                      intptr_t value, void* ptr, float opt);
  intptr_t answer(int32_t opcode, int32_t index, intptr_t value, float opt, bool nullEffect);

  vst::AEffect* record = nullptr;
  Options opts;
  mutable std::mutex callsMutex;
  std::vector<HostCall> recorded;
};

}  // namespace plughost
