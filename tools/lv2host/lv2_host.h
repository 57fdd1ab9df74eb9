// A small LV2 host on lilv for the tests and the tools: finds a plug-in by
// URI on LV2_PATH, runs it block by block with MIDI at frames, and saves,
// restores and loads presets as a host does.
#pragma once

#include <lilv/lilv.h>
#include <lv2/urid/urid.h>

#include <cstdint>
#include <map>
#include <memory>
#include <string>
#include <vector>

namespace lv2host {

// The URID map and unmap a host hands to plug-ins.
class UridMap {
 public:
  UridMap();
  LV2_URID map(const char* uri);
  const char* unmap(LV2_URID id) const;
  LV2_URID_Map* mapFeature() { return &mapData; }
  LV2_URID_Unmap* unmapFeature() { return &unmapData; }

 private:
  std::map<std::string, LV2_URID> ids;
  std::vector<std::string> uris;
  LV2_URID_Map mapData;
  LV2_URID_Unmap unmapData;
};

// One lilv world that has read every bundle on LV2_PATH.
class World {
 public:
  World();
  ~World();
  World(const World&) = delete;
  World& operator=(const World&) = delete;

  LilvWorld* get() const { return world; }
  // The plug-in with this URI, or null.
  const LilvPlugin* plugin(const char* uri) const;
  UridMap& urids() { return uridMap; }

 private:
  LilvWorld* world;
  UridMap uridMap;
};

struct MidiAt {
  uint32_t frame;
  uint8_t bytes[3];
  // Sent as an event of another type when set (a host's mistake, or news).
  const char* otherType = nullptr;
};

class Instance {
 public:
  // Instantiates with the URID map (and without it when mapFeature is false);
  // null when the plug-in refuses.
  static std::unique_ptr<Instance> create(World& world, const LilvPlugin* plugin, double rate,
                                          uint32_t maxBlock, bool mapFeature = true);
  ~Instance();
  Instance(const Instance&) = delete;
  Instance& operator=(const Instance&) = delete;

  // The control port with this symbol (ports are found by symbol, as hosts do).
  float& control(const char* symbol);
  float& control(uint32_t index) { return controls[index]; }
  float* input(int channel) { return audioIn[size_t(channel)].data(); }
  const float* output(int channel) const { return audioOut[size_t(channel)].data(); }
  // Leaves a port unconnected (null buffer) or connects it to the instance's own.
  void connect(uint32_t port, bool connected);

  void activate();
  void deactivate();
  // Runs one block with these MIDI messages; the outputs hold 'frames' samples.
  void run(uint32_t frames, const std::vector<MidiAt>& midi = {});

  // The instance's state (ports and properties) as Turtle text.
  std::string saveState();
  // Restores a state made by saveState, ports included.
  bool restoreState(const std::string& text);
  // Applies a preset's port values, as a host's preset menu does.
  bool loadPreset(const char* presetUri);

  LilvInstance* get() const { return instance; }

 private:
  Instance(World& world, const LilvPlugin* plugin, uint32_t maxBlock);
  void connectAll();
  static void setPort(const char* symbol, void* self, const void* value, uint32_t size,
                      uint32_t type);
  static const void* getPort(const char* symbol, void* self, uint32_t* size, uint32_t* type);

  World& world;
  const LilvPlugin* plugin;
  LilvInstance* instance = nullptr;
  uint32_t maxBlock;
  std::vector<float> controls;
  std::vector<std::vector<float>> audioIn, audioOut;
  std::vector<uint64_t> midiBuffer;  // 8-byte aligned atom storage
  std::vector<bool> unconnected;
  float unknownPort = 0.0f;
  bool active = false;
};

}  // namespace lv2host
