// Renders a MIDI file (or only input audio) into an audio file, with the
// release tail.
#pragma once

#include <string>

#include "plughost/plugin_host.h"
#include "render/audio_input.h"
#include "render/render_options.h"

namespace render {

struct SongResult {
  std::string output;
  double seconds = 0.0;
  double peakDb = 0.0;
  double rmsDb = 0.0;
};

// The output name used when none is given: out/<MIDI name>.wav.
std::string defaultSongOutput(const RenderOptions& options);

// input may be null. Throws RenderError; no output file remains on failure.
SongResult renderSong(plughost::PluginInstance& plugin, const RenderOptions& options,
                      const AudioInput* input);

}  // namespace render
