// The demo: the built-in phrase through each factory program, one after the
// other, into one audio file, with a summary line per program.
#pragma once

#include <cstdio>

#include "plughost/plugin_host.h"
#include "render/render_options.h"

namespace render {

constexpr int kDemoPrograms = 8;

// Renders programs 0 to 7 (fewer if the plug-in has fewer) for a fixed time
// each, so that every run gives the same samples; prints one line per program
// to summary. Parameter overrides apply on top of each program.
void renderDemo(plughost::PluginInstance& plugin, const RenderOptions& options, std::FILE* summary);

}  // namespace render
