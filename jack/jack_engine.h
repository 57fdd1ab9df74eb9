// The JACK client: a MIDI input port and two audio inputs and outputs, whose
// process callback hands each period's MIDI to the instrument at its frames
// and renders the period. The callback allocates nothing and takes no lock.
#pragma once

#include <jack/jack.h>

#include <array>
#include <atomic>
#include <string>
#include <vector>

#include "host/effect_record.h"

namespace standalone {

class JackEngine {
 public:
  // The most MIDI messages taken in one period; more are dropped.
  static constexpr int32_t kMaxEvents = 512;

  JackEngine() = default;
  ~JackEngine();
  JackEngine(const JackEngine&) = delete;
  JackEngine& operator=(const JackEngine&) = delete;

  // Connects to a running server (never starts one); false with the reason
  // in error.
  bool open(const std::string& clientName, std::string& error);
  float sampleRate() const;
  int32_t bufferSize() const;
  // Starts calling the instrument; false with the reason in error.
  bool start(vst::AEffect* effect, std::string& error);
  // Connects the outputs to the system's playback ports and every hardware
  // MIDI source to the MIDI input; answers how many connections were made.
  int connectToSystem();
  // Stops the callbacks and leaves the server.
  void close();
  // The server went away.
  bool stopped() const { return serverGone.load(std::memory_order_relaxed); }
  // The server's frame time of the first period the instrument played, once
  // it has played one. The instrument's clock (which seeds a note's noise and
  // pan) counts from there.
  bool firstFrame(uint32_t& frame) const;

 private:
  static int processThunk(jack_nframes_t frames, void* self);
  static void shutdownThunk(void* self);
  void process(jack_nframes_t frames);
  void takeMidi(jack_nframes_t frames);

  jack_client_t* client = nullptr;
  jack_port_t* midiIn = nullptr;
  std::array<jack_port_t*, 2> audioIn{}, audioOut{};
  std::atomic<vst::AEffect*> instrument{nullptr};
  std::atomic<bool> serverGone{false};
  std::atomic<bool> played{false};
  std::atomic<uint32_t> startFrame{0};
  // The event list handed to the instrument: a header with room for every pointer.
  std::array<vst::VstMidiEvent, kMaxEvents> events{};
  std::vector<char> listStorage;
};

}  // namespace standalone
