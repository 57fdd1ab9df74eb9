#include "jack/jack_engine.h"

#include <jack/midiport.h>

#include <cstdio>
#include <cstring>

namespace standalone {

namespace {

const char* const kAudioInNames[2] = {"in_a", "in_b"};
const char* const kAudioOutNames[2] = {"out_left", "out_right"};

// Channel messages only: system messages mean nothing to the instrument.
bool isChannelMessage(const jack_midi_event_t& event) {
  return event.size >= 1 && event.size <= 3 && event.buffer[0] >= 0x80 && event.buffer[0] < 0xF0;
}

void quiet(const char*) {}
void printError(const char* message) {
  std::fprintf(stderr, "quillstave-jack: JACK: %s\n", message);
}

}  // namespace

JackEngine::~JackEngine() { close(); }

bool JackEngine::open(const std::string& clientName, std::string& error) {
  jack_status_t status{};
  // The library's own account of a failed connection would only repeat ours.
  jack_set_error_function(quiet);
  jack_set_info_function(quiet);
  client = jack_client_open(clientName.c_str(), JackNoStartServer, &status);
  jack_set_error_function(printError);
  if (!client) {
    error = (status & JackServerFailed)
                ? "no JACK server is running (start one, e.g. with "
                  "qjackctl, jackd or PipeWire's JACK support)"
                : "cannot connect to the JACK server (status " + std::to_string(int(status)) + ")";
    return false;
  }
  midiIn = jack_port_register(client, "midi_in", JACK_DEFAULT_MIDI_TYPE, JackPortIsInput, 0);
  for (int i = 0; i < 2; ++i) {
    audioIn[size_t(i)] =
        jack_port_register(client, kAudioInNames[i], JACK_DEFAULT_AUDIO_TYPE, JackPortIsInput, 0);
    audioOut[size_t(i)] = jack_port_register(client, kAudioOutNames[i], JACK_DEFAULT_AUDIO_TYPE,
                                             JackPortIsOutput | JackPortIsTerminal, 0);
  }
  if (!midiIn || !audioIn[0] || !audioIn[1] || !audioOut[0] || !audioOut[1]) {
    error = "the JACK server refused the client's ports";
    return false;
  }
  listStorage.assign(sizeof(vst::VstEvents) + kMaxEvents * sizeof(vst::VstEvent*), 0);
  jack_set_process_callback(client, processThunk, this);
  jack_on_shutdown(client, shutdownThunk, this);
  return true;
}

float JackEngine::sampleRate() const {
  return client ? static_cast<float>(jack_get_sample_rate(client)) : 0.0f;
}

int32_t JackEngine::bufferSize() const {
  return client ? static_cast<int32_t>(jack_get_buffer_size(client)) : 0;
}

bool JackEngine::start(vst::AEffect* effect, std::string& error) {
  instrument.store(effect, std::memory_order_relaxed);
  if (jack_activate(client) != 0) {
    error = "the JACK server would not start the client";
    return false;
  }
  return true;
}

int JackEngine::connectToSystem() {
  int made = 0;
  const char** playback = jack_get_ports(client, nullptr, JACK_DEFAULT_AUDIO_TYPE,
                                         JackPortIsPhysical | JackPortIsInput);
  for (int i = 0; playback && playback[i] && i < 2; ++i)
    made += jack_connect(client, jack_port_name(audioOut[size_t(i)]), playback[i]) == 0;
  if (playback) jack_free(playback);
  const char** sources = jack_get_ports(client, nullptr, JACK_DEFAULT_MIDI_TYPE,
                                        JackPortIsPhysical | JackPortIsOutput);
  for (int i = 0; sources && sources[i]; ++i)
    made += jack_connect(client, sources[i], jack_port_name(midiIn)) == 0;
  if (sources) jack_free(sources);
  return made;
}

void JackEngine::close() {
  if (!client) return;
  jack_deactivate(client);
  jack_client_close(client);
  client = nullptr;
}

bool JackEngine::firstFrame(uint32_t& frame) const {
  if (!played.load(std::memory_order_relaxed)) return false;
  frame = startFrame.load(std::memory_order_relaxed);
  return true;
}

int JackEngine::processThunk(jack_nframes_t frames, void* self) {
  static_cast<JackEngine*>(self)->process(frames);
  return 0;
}

void JackEngine::shutdownThunk(void* self) {
  static_cast<JackEngine*>(self)->serverGone.store(true, std::memory_order_relaxed);
}

void JackEngine::process(jack_nframes_t frames) {
  vst::AEffect* effect = instrument.load(std::memory_order_relaxed);
  if (!effect) return;
  if (!played.load(std::memory_order_relaxed)) {
    startFrame.store(jack_last_frame_time(client), std::memory_order_relaxed);
    played.store(true, std::memory_order_relaxed);
  }
  takeMidi(frames);
  float* in[2];
  float* out[2];
  for (int i = 0; i < 2; ++i) {
    in[i] = static_cast<float*>(jack_port_get_buffer(audioIn[size_t(i)], frames));
    out[i] = static_cast<float*>(jack_port_get_buffer(audioOut[size_t(i)], frames));
  }
  effect->processReplacing(effect, in, out, static_cast<int32_t>(frames));
}

// The period's MIDI, as one event list at the frames JACK gives.
void JackEngine::takeMidi(jack_nframes_t frames) {
  void* buffer = jack_port_get_buffer(midiIn, frames);
  const uint32_t count = buffer ? jack_midi_get_event_count(buffer) : 0;
  auto* list = reinterpret_cast<vst::VstEvents*>(listStorage.data());
  int32_t n = 0;
  for (uint32_t i = 0; i < count && n < kMaxEvents; ++i) {
    jack_midi_event_t event;
    if (jack_midi_event_get(&event, buffer, i) != 0 || !isChannelMessage(event)) continue;
    vst::VstMidiEvent& e = events[size_t(n)];
    std::memset(&e, 0, sizeof e);
    e.type = vst::kVstMidiType;
    e.byteSize = sizeof e;
    e.deltaFrames = static_cast<int32_t>(event.time);
    std::memcpy(e.midiData, event.buffer, event.size);
    vst::setEventAt(list, n++, reinterpret_cast<vst::VstEvent*>(&e));
  }
  if (n == 0) return;
  list->numEvents = n;
  vst::AEffect* effect = instrument.load(std::memory_order_relaxed);
  effect->dispatcher(effect, vst::effProcessEvents, 0, 0, list, 0.0f);
}

}  // namespace standalone
