// Moves presets (.fxp) and banks (.fxb) between files and a running plug-in,
// the way a host stores and restores a plug-in's sound.
#pragma once

#include <string>

#include "plughost/plugin_host.h"
#include "render/fx_format.h"

namespace render {

// Whether the plug-in announces that it keeps its state in opaque chunks.
bool usesChunks(plughost::PluginInstance& plugin);

// The current program (or the whole bank) as the plug-in reports it. With
// opaque, the state is taken as the plug-in's chunk, else as parameter values.
FxProgram captureProgram(plughost::PluginInstance& plugin, bool opaque);
FxBank captureBank(plughost::PluginInstance& plugin, bool opaque);

// Hands a decoded preset or bank to the plug-in. Parameter records go through
// setParameter and effSetProgramName, opaque chunks through effSetChunk.
// Throws RenderError (naming "what") when the data is for another plug-in,
// does not fit it, or the plug-in refuses it.
void applyProgram(plughost::PluginInstance& plugin, const FxProgram& program,
                  const std::string& what);
void applyBank(plughost::PluginInstance& plugin, const FxBank& bank, const std::string& what);

// File-level conveniences: read and apply, capture and write.
void loadPresetFile(plughost::PluginInstance& plugin, const std::string& path);
void loadBankFile(plughost::PluginInstance& plugin, const std::string& path);
void savePresetFile(plughost::PluginInstance& plugin, const std::string& path, bool opaque);
void saveBankFile(plughost::PluginInstance& plugin, const std::string& path, bool opaque);

}  // namespace render
