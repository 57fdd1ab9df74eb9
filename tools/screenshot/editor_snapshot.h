// The instrument built into this program, its editor opened on the headless
// window layer and what that window shows read back as pixels.
#pragma once

#include <cstdint>
#include <vector>

#include "host/effect_record.h"
#include "plughost/plugin_host.h"

class SynthEditor;

namespace screenshot {

// Pixels as the toolkit keeps them, 0x00RRGGBB, row after row from the top.
struct EditorImage {
  int32_t width = 0;
  int32_t height = 0;
  std::vector<uint32_t> pixels;

  uint32_t at(int32_t x, int32_t y) const { return pixels[size_t(y) * size_t(width) + size_t(x)]; }
};

// Builds one instance with its editor, as the module's own entry does.
vst::AEffect* QS_VSTCALL linkedEntry(vst::HostCallback host);

// A host's instance of the linked instrument (null if it refuses to start).
std::unique_ptr<plughost::PluginInstance> createLinkedInstance();

// The editor view of an instance made by linkedEntry (null without one).
SynthEditor* editorOf(plughost::PluginInstance& instance);

// Opens the editor of an instance made by linkedEntry on a headless window,
// lets it idle once, copies the window's pixels and closes it again.
EditorImage renderEditor(plughost::PluginInstance& instance);

}  // namespace screenshot
