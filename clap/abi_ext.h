// The CLAP extensions this project speaks, plug-in and host sides, declared
// by the project from the format's published C definitions.
#pragma once

#include <cstdint>

#include "clap/abi.h"

namespace clap {

// Audio ports.
constexpr char kExtAudioPorts[] = "clap.audio-ports";
constexpr uint32_t kAudioPortIsMain = 1u << 0;
constexpr char kPortStereo[] = "stereo";

struct AudioPortInfo {
  Id id;
  char name[kNameSize];
  uint32_t flags;
  uint32_t channelCount;
  const char* portType;
  Id inPlacePair;
};

struct PluginAudioPorts {
  uint32_t (*count)(const Plugin* plugin, bool isInput);
  bool (*get)(const Plugin* plugin, uint32_t index, bool isInput, AudioPortInfo* info);
};

// Note ports.
constexpr char kExtNotePorts[] = "clap.note-ports";
constexpr uint32_t kNoteDialectClap = 1u << 0;
constexpr uint32_t kNoteDialectMidi = 1u << 1;

struct NotePortInfo {
  Id id;
  uint32_t supportedDialects;
  uint32_t preferredDialect;
  char name[kNameSize];
};

struct PluginNotePorts {
  uint32_t (*count)(const Plugin* plugin, bool isInput);
  bool (*get)(const Plugin* plugin, uint32_t index, bool isInput, NotePortInfo* info);
};

// Parameters.
constexpr char kExtParams[] = "clap.params";
constexpr uint32_t kParamIsStepped = 1u << 0;
constexpr uint32_t kParamIsAutomatable = 1u << 5;
constexpr uint32_t kParamIsEnum = 1u << 16;

struct ParamInfo {
  Id id;
  uint32_t flags;
  void* cookie;
  char name[kNameSize];
  char module[kPathSize];
  double minValue;
  double maxValue;
  double defaultValue;
};

struct PluginParams {
  uint32_t (*count)(const Plugin* plugin);
  bool (*getInfo)(const Plugin* plugin, uint32_t paramIndex, ParamInfo* info);
  bool (*getValue)(const Plugin* plugin, Id paramId, double* value);
  bool (*valueToText)(const Plugin* plugin, Id paramId, double value, char* text,
                      uint32_t capacity);
  bool (*textToValue)(const Plugin* plugin, Id paramId, const char* text, double* value);
  // Parameter events outside process (audio thread while active, else main thread).
  void (*flush)(const Plugin* plugin, const InputEvents* in, const OutputEvents* out);
};

constexpr uint32_t kParamRescanValues = 1u << 0;
constexpr uint32_t kParamRescanText = 1u << 1;

struct HostParams {
  void (*rescan)(const Host* host, uint32_t flags);
  void (*clear)(const Host* host, Id paramId, uint32_t flags);
  void (*requestFlush)(const Host* host);
};

// State.
constexpr char kExtState[] = "clap.state";

struct PluginState {
  bool (*save)(const Plugin* plugin, const OutputStream* stream);
  bool (*load)(const Plugin* plugin, const InputStream* stream);
};

struct HostState {
  void (*markDirty)(const Host* host);
};

// Presets the plug-in itself holds, loaded by a key.
constexpr char kExtPresetLoad[] = "clap.preset-load/2";
constexpr char kExtPresetLoadCompat[] = "clap.preset-load.draft/2";
constexpr uint32_t kPresetLocationFile = 0;
constexpr uint32_t kPresetLocationPlugin = 1;

struct PluginPresetLoad {
  bool (*fromLocation)(const Plugin* plugin, uint32_t locationKind, const char* location,
                       const char* loadKey);
};

struct HostPresetLoad {
  void (*onError)(const Host* host, uint32_t locationKind, const char* location,
                  const char* loadKey, int32_t osError, const char* message);
  void (*loaded)(const Host* host, uint32_t locationKind, const char* location,
                 const char* loadKey);
};

// The editor.
constexpr char kExtGui[] = "clap.gui";
constexpr char kWindowApiX11[] = "x11";
constexpr char kWindowApiWin32[] = "win32";

struct Window {
  const char* api;
  union {
    unsigned long x11;
    void* win32;
    void* ptr;
  };
};

struct GuiResizeHints {
  bool canResizeHorizontally;
  bool canResizeVertically;
  bool preserveAspectRatio;
  uint32_t aspectRatioWidth;
  uint32_t aspectRatioHeight;
};

struct PluginGui {
  bool (*isApiSupported)(const Plugin* plugin, const char* api, bool isFloating);
  bool (*getPreferredApi)(const Plugin* plugin, const char** api, bool* isFloating);
  bool (*create)(const Plugin* plugin, const char* api, bool isFloating);
  void (*destroy)(const Plugin* plugin);
  bool (*setScale)(const Plugin* plugin, double scale);
  bool (*getSize)(const Plugin* plugin, uint32_t* width, uint32_t* height);
  bool (*canResize)(const Plugin* plugin);
  bool (*getResizeHints)(const Plugin* plugin, GuiResizeHints* hints);
  bool (*adjustSize)(const Plugin* plugin, uint32_t* width, uint32_t* height);
  bool (*setSize)(const Plugin* plugin, uint32_t width, uint32_t height);
  bool (*setParent)(const Plugin* plugin, const Window* window);
  bool (*setTransient)(const Plugin* plugin, const Window* window);
  void (*suggestTitle)(const Plugin* plugin, const char* title);
  bool (*show)(const Plugin* plugin);
  bool (*hide)(const Plugin* plugin);
};

// Timers on the main thread, which drive the editor's idle on Linux.
constexpr char kExtTimerSupport[] = "clap.timer-support";

struct PluginTimerSupport {
  void (*onTimer)(const Plugin* plugin, Id timerId);
};

struct HostTimerSupport {
  bool (*registerTimer)(const Host* host, uint32_t periodMs, Id* timerId);
  bool (*unregisterTimer)(const Host* host, Id timerId);
};

}  // namespace clap
