// A minimal CLAP host for the tests: loads a module by its entry record,
// creates the plug-in through the factory and drives it through its record
// and extensions only. The host side answers the params, state and timer
// extensions and counts what the plug-in asks of it.
#pragma once

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "clap/abi_ext.h"

namespace claphost {

class Module {
 public:
  // Null on failure, with the reason in error.
  static std::unique_ptr<Module> load(const std::string& path, std::string& error);
  ~Module();

  const clap::PluginEntry& entry() const { return *entryRecord; }
  const clap::PluginFactory* factory() const { return pluginFactory; }

 private:
  Module() = default;
  void* handle = nullptr;
  const clap::PluginEntry* entryRecord = nullptr;
  const clap::PluginFactory* pluginFactory = nullptr;
};

// Events for one block, in time order as the host gives them.
class EventList {
 public:
  void note(uint32_t time, uint16_t type, int16_t key, double velocity, int16_t channel = 0);
  void midi(uint32_t time, uint8_t status, uint8_t data1, uint8_t data2);
  void param(uint32_t time, uint32_t id, double value);
  // Any bytes as an event (for malformed ones).
  void raw(const void* event, size_t size);
  void clear() { storage.clear(), offsets.clear(); }
  size_t size() const { return offsets.size(); }
  const clap::InputEvents* input();

 private:
  std::vector<uint64_t> storage;  // 8-byte aligned events back to back
  std::vector<size_t> offsets;    // in bytes
  clap::InputEvents list{};
};

class Instance {
 public:
  // Created, initialised and, if asked, activated and started.
  static std::unique_ptr<Instance> create(const Module& module, double rate = 44100.0,
                                          uint32_t maxFrames = 512, bool start = true);
  ~Instance();

  const clap::Plugin* plugin() const { return record; }
  template <typename Ext>
  const Ext* extension(const char* id) const {
    return static_cast<const Ext*>(record->getExtension(record, id));
  }

  // One block: silent inputs, outputs kept in left and right. Answers the status.
  int32_t process(uint32_t frames, EventList* events = nullptr);
  std::vector<float> left, right;
  // Parameter events the plug-in sent in the last process or flush.
  struct Sent {
    uint16_t type;
    uint32_t id;
    double value;
  };
  std::vector<Sent> sent;

  double value(uint32_t id) const;
  std::string text(uint32_t id, double value) const;
  bool fromText(uint32_t id, const std::string& text, double& value) const;
  void flush(EventList& events);

  // State as bytes; load() reads the bytes 'chunk' at a time.
  std::vector<uint8_t> save() const;
  bool load(const std::vector<uint8_t>& bytes, size_t chunk = 1 << 20) const;

  // Main-thread work the plug-in asked for (callbacks) and the editor timers.
  void runMainThread();
  void fireTimers();

  // Counts of the plug-in's requests.
  int callbackRequests = 0, flushRequests = 0, rescans = 0, dirtyMarks = 0;
  std::vector<uint32_t> timers;

 private:
  Instance();
  static Instance* of(const clap::Host* host);
  clap::Host host{};
  const clap::Plugin* record = nullptr;
  clap::HostParams hostParams{};
  clap::HostState hostState{};
  clap::HostTimerSupport hostTimers{};
  uint32_t nextTimer = 1;
  bool started = false;
};

}  // namespace claphost
