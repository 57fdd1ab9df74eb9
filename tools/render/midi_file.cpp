#include "render/midi_file.h"

#include <glib.h>
#include <smf.h>

#include <algorithm>
#include <cerrno>
#include <cstdio>
#include <cstring>
#include <memory>
#include <string>
#include <vector>

#include "render/render_error.h"

namespace render {

namespace {

// The library reports problems through the GLib log; they are collected here
// instead of being printed, and the first serious one becomes the error.
struct LogCapture {
  std::vector<std::string> problems;

  static void collect(const gchar*, GLogLevelFlags level, const gchar* message, gpointer self) {
    if (level & (G_LOG_LEVEL_ERROR | G_LOG_LEVEL_CRITICAL | G_LOG_LEVEL_WARNING))
      static_cast<LogCapture*>(self)->problems.emplace_back(message ? message : "");
  }

  LogCapture() {
    handler = g_log_set_handler("libsmf", GLogLevelFlags(G_LOG_LEVEL_MASK), collect, this);
  }
  ~LogCapture() { g_log_remove_handler("libsmf", handler); }
  guint handler = 0;
};

std::string describe(const std::string& message) {
  // Messages read "SMF error: MThd signature not found, ..."; keep the substance.
  for (const char* prefix : {"SMF error: ", "SMF warning: "})
    if (message.rfind(prefix, 0) == 0) return message.substr(std::string(prefix).size());
  return message;
}

struct SmfDeleter {
  void operator()(smf_t* smf) const { smf_delete(smf); }
};

}  // namespace

MidiSequence readMidiFile(const std::string& path) {
  if (std::FILE* probe = std::fopen(path.c_str(), "rb")) {
    std::fclose(probe);
  } else {
    throw RenderError("cannot open " + path + ": " + std::strerror(errno));
  }
  LogCapture log;
  std::unique_ptr<smf_t, SmfDeleter> smf(smf_load(path.c_str()));
  if (!smf || !log.problems.empty()) {
    std::string why = log.problems.empty() ? "cannot read the file" : describe(log.problems[0]);
    throw RenderError(path + ": not a valid MIDI file: " + why);
  }
  if (smf->ppqn <= 0)
    throw RenderError(path + ": SMPTE time division is not supported, only beats");
  if (smf->format != 0 && smf->format != 1)
    throw RenderError(path + ": MIDI file format " + std::to_string(smf->format) +
                      " is not supported (only 0 and 1)");

  MidiSequence sequence;
  smf_event_t* event = nullptr;
  while ((event = smf_get_next_event(smf.get())) != nullptr) {
    sequence.lengthSeconds = std::max(sequence.lengthSeconds, event->time_seconds);
    if (event->midi_buffer_length < 1) continue;
    uint8_t status = event->midi_buffer[0];
    if (status < 0x80 || status >= 0xF0) continue;  // meta, system exclusive, system
    TimedMidi m;
    m.seconds = event->time_seconds;
    m.status = status;
    if (event->midi_buffer_length > 1) m.data1 = event->midi_buffer[1] & 0x7F;
    if (event->midi_buffer_length > 2) m.data2 = event->midi_buffer[2] & 0x7F;
    sequence.events.push_back(m);
  }
  if (!log.problems.empty())
    throw RenderError(path + ": not a valid MIDI file: " + describe(log.problems[0]));
  return sequence;
}

}  // namespace render
