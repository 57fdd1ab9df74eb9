#include "render/midi_file.h"

#include <glib.h>
#include <smf.h>

#include <algorithm>
#include <cstring>
#include <memory>
#include <string>
#include <vector>

#include "render/file_io.h"
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

uint32_t bigEndian32(const std::vector<uint8_t>& b, size_t at) {
  return uint32_t(b[at]) << 24 | uint32_t(b[at + 1]) << 16 | uint32_t(b[at + 2]) << 8 | b[at + 3];
}

// The chunk structure is checked before the library parses the events: it
// must not be handed chunks that claim more bytes than the file holds.
void checkChunks(const std::vector<uint8_t>& bytes, const std::string& path) {
  auto fail = [&](const std::string& why) {
    throw RenderError(path + ": not a valid MIDI file: " + why);
  };
  if (bytes.size() < 14 || std::memcmp(bytes.data(), "MThd", 4) != 0) fail("no \"MThd\" header");
  if (bigEndian32(bytes, 4) < 6) fail("header chunk too short");
  size_t at = 0;
  while (at < bytes.size()) {
    if (bytes.size() - at < 8) fail("truncated file (stray bytes after the last chunk)");
    uint64_t length = bigEndian32(bytes, at + 4);
    if (length > bytes.size() - at - 8) fail("truncated file (a chunk runs past the end)");
    at += 8 + size_t(length);
  }
}

}  // namespace

MidiSequence readMidiFile(const std::string& path) {
  std::vector<uint8_t> bytes = readFileBytes(path);
  checkChunks(bytes, path);
  LogCapture log;
  std::unique_ptr<smf_t, SmfDeleter> smf(
      smf_load_from_memory(bytes.data(), static_cast<int>(bytes.size())));
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
