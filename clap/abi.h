// The plug-in ABI of the CLAP format, declared by this project: the entry
// point, the factory, the plug-in and host records, process data and events.
// Layouts follow the format's published C definitions (version 1.2); names
// are our own. Everything here is plain C data and function pointers.
#pragma once

#include <cstdint>

namespace clap {

using Id = uint32_t;
constexpr Id kInvalidId = UINT32_MAX;
constexpr uint32_t kNameSize = 256;
constexpr uint32_t kPathSize = 1024;

struct Version {
  uint32_t major, minor, revision;
};
constexpr Version kVersion = {1, 2, 0};
// Hosts and plug-ins of the same major version from 1 on understand each other.
constexpr bool compatible(const Version& v) { return v.major >= 1; }

struct Host;
struct Plugin;

struct PluginDescriptor {
  Version clapVersion;
  const char* id;
  const char* name;
  const char* vendor;
  const char* url;
  const char* manualUrl;
  const char* supportUrl;
  const char* version;
  const char* description;
  const char* const* features;  // null-terminated
};

// What the module exports under the symbol "clap_entry".
struct PluginEntry {
  Version clapVersion;
  bool (*init)(const char* pluginPath);
  void (*deinit)();
  const void* (*getFactory)(const char* factoryId);
};

constexpr char kPluginFactoryId[] = "clap.plugin-factory";

struct PluginFactory {
  uint32_t (*getPluginCount)(const PluginFactory* factory);
  const PluginDescriptor* (*getPluginDescriptor)(const PluginFactory* factory, uint32_t index);
  const Plugin* (*createPlugin)(const PluginFactory* factory, const Host* host,
                                const char* pluginId);
};

struct Host {
  Version clapVersion;
  void* hostData;
  const char* name;
  const char* vendor;
  const char* url;
  const char* version;
  const void* (*getExtension)(const Host* host, const char* extensionId);
  void (*requestRestart)(const Host* host);
  void (*requestProcess)(const Host* host);
  // Thread-safe: asks for a call of Plugin::onMainThread.
  void (*requestCallback)(const Host* host);
};

// Events: a header, then the body its type gives.
struct EventHeader {
  uint32_t size;  // of the whole event
  uint32_t time;  // frame in the block
  uint16_t spaceId;
  uint16_t type;
  uint32_t flags;
};
constexpr uint16_t kCoreEventSpace = 0;

enum EventType : uint16_t {
  kNoteOn = 0,
  kNoteOff = 1,
  kNoteChoke = 2,
  kNoteEnd = 3,
  kNoteExpression = 4,
  kParamValue = 5,
  kParamMod = 6,
  kParamGestureBegin = 7,
  kParamGestureEnd = 8,
  kTransport = 9,
  kMidi = 10,
  kMidiSysex = 11,
  kMidi2 = 12,
};

struct NoteEvent {
  EventHeader header;
  int32_t noteId;  // -1: unspecified
  int16_t portIndex;
  int16_t channel;  // -1: every channel
  int16_t key;      // -1: every key
  double velocity;  // 0..1
};

struct ParamValueEvent {
  EventHeader header;
  Id paramId;
  void* cookie;
  int32_t noteId;
  int16_t portIndex;
  int16_t channel;
  int16_t key;
  double value;
};

struct ParamGestureEvent {
  EventHeader header;
  Id paramId;
};

struct MidiEvent {
  EventHeader header;
  uint16_t portIndex;
  uint8_t data[3];
};

struct InputEvents {
  void* ctx;
  uint32_t (*size)(const InputEvents* list);
  const EventHeader* (*get)(const InputEvents* list, uint32_t index);
};

struct OutputEvents {
  void* ctx;
  // False when the host has no room left.
  bool (*tryPush)(const OutputEvents* list, const EventHeader* event);
};

struct AudioBuffer {
  float** data32;
  double** data64;
  uint32_t channelCount;
  uint32_t latency;
  uint64_t constantMask;
};

struct Process {
  int64_t steadyTime;
  uint32_t framesCount;
  const void* transport;
  const AudioBuffer* audioInputs;
  AudioBuffer* audioOutputs;
  uint32_t audioInputsCount;
  uint32_t audioOutputsCount;
  const InputEvents* inEvents;
  const OutputEvents* outEvents;
};

enum ProcessStatus : int32_t {
  kProcessError = 0,
  kProcessContinue = 1,
  kProcessContinueIfNotQuiet = 2,
  kProcessTail = 3,
  kProcessSleep = 4,
};

struct Plugin {
  const PluginDescriptor* desc;
  void* pluginData;
  bool (*init)(const Plugin* plugin);
  void (*destroy)(const Plugin* plugin);
  bool (*activate)(const Plugin* plugin, double sampleRate, uint32_t minFrames, uint32_t maxFrames);
  void (*deactivate)(const Plugin* plugin);
  bool (*startProcessing)(const Plugin* plugin);
  void (*stopProcessing)(const Plugin* plugin);
  void (*reset)(const Plugin* plugin);
  int32_t (*process)(const Plugin* plugin, const Process* process);
  const void* (*getExtension)(const Plugin* plugin, const char* id);
  void (*onMainThread)(const Plugin* plugin);
};

// Byte streams for state.
struct InputStream {
  void* ctx;
  // Bytes read, 0 at the end, negative on error.
  int64_t (*read)(const InputStream* stream, void* buffer, uint64_t size);
};

struct OutputStream {
  void* ctx;
  // Bytes written (maybe fewer than asked), negative on error.
  int64_t (*write)(const OutputStream* stream, const void* buffer, uint64_t size);
};

}  // namespace clap
