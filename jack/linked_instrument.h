// The instrument linked into the program and driven through its VST 2
// record, so that the renderer's program, preset and bank code serves it. Its
// host callback answers without locking or allocating: the instrument calls
// it from the audio thread when a MIDI controller moves a value.
#pragma once

#include <memory>
#include <string>

#include "jack/standalone_options.h"
#include "plughost/plugin_host.h"

namespace standalone {

// A started instance (open, rate and block size set, resumed).
std::unique_ptr<plughost::PluginInstance> createInstrument(float sampleRate, int32_t blockSize);

// Applies the options' sound in the order the usage text gives; throws
// render::RenderError naming what is wrong.
void applySound(plughost::PluginInstance& instrument, const Options& options);

// Writes the bank (opaque, with the current program) to a .fxb file.
void saveBank(plughost::PluginInstance& instrument, const std::string& path);

}  // namespace standalone
