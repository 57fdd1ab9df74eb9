// Shared by the tests that open the loaded plug-in's editor in a real window:
// where the " Volume " knob is, the drag they make on it, what the headless
// layer shows for the same drag, and the edit gesture the host saw.
#pragma once

#include <cstdint>
#include <vector>

#include "editor/layout_table.h"
#include "editor/synth_editor.h"
#include "host/audio_effect.h"
#include "plughost/plugin_host.h"
#include "screenshot/editor_snapshot.h"
#include "toolkit/window_headless.h"

namespace host_window {

using screenshot::EditorImage;

constexpr int32_t kVolume = 35;
constexpr int32_t kWidth = 851;
constexpr int32_t kHeight = 311;

// The " Volume " knob's centre in window coordinates, from the layout table.
inline CPoint volumeKnobCentre() {
  for (const CellLayout& cell : kCellLayouts) {
    if (cell.param != kVolume) continue;
    const CRect& panel = kPanelLayouts[cell.panel].rect;
    // A knob cell at (x, y) has its 40 × 40 knob at (x, y + 14).
    return CPoint(panel.left + cell.place.left + 20, panel.top + cell.place.top + 14 + 20);
  }
  return CPoint(-1, -1);
}

// Around the knob from up-left (a third) through straight up (a half) to
// up-right (two thirds): no step sweeps through the knob's gap, so however
// few of the points a tracking loop sees, it ends at two thirds.
inline std::vector<CPoint> volumeDragPath() {
  const CPoint c = volumeKnobCentre();
  return {{c.h - 12, c.v - 12},
          {c.h - 6, c.v - 15},
          {c.h, c.v - 15},
          {c.h + 6, c.v - 15},
          {c.h + 12, c.v - 12}};
}

struct DragResult {
  float value = -1.0f;
  EditorImage shown;
};

// The drag on the headless layer of the linked instrument (program 0), then
// an idle: the value it leaves and the picture.
inline DragResult headlessDrag(const std::vector<CPoint>& path) {
  DragResult result;
  auto plugin = screenshot::createLinkedInstance();
  if (!plugin) return result;
  SynthEditor* editor = screenshot::editorOf(*plugin);
  if (!editor) return result;
  auto window = std::make_unique<HeadlessWindow>(CRect(0, 0, kWidth, kHeight));
  HeadlessWindow* headless = window.get();
  editor->openOn(std::move(window));
  editor->idle();
  std::vector<PointerState> script;
  for (const CPoint& p : path) script.push_back({p, kLButton});
  script.push_back({path.back(), 0});
  headless->scriptPointer(script);
  headless->press(path.front(), kLButton);
  editor->idle();
  result.value = plugin->getParameter(kVolume);
  result.shown.width = kWidth;
  result.shown.height = kHeight;
  const uint32_t* pixels = headless->screen().data();
  result.shown.pixels.assign(pixels, pixels + size_t(kWidth) * size_t(kHeight));
  editor->close();
  return result;
}

// The host calls about one parameter, in order, with runs of automation
// folded into one.
inline std::vector<int32_t> gestureOf(const std::vector<plughost::HostCall>& calls, int32_t index) {
  std::vector<int32_t> gesture;
  for (const auto& call : calls) {
    if (call.index != index) continue;
    if (call.opcode == vst::audioMasterBeginEdit || call.opcode == vst::audioMasterEndEdit ||
        (call.opcode == vst::audioMasterAutomate &&
         (gesture.empty() || gesture.back() != vst::audioMasterAutomate)))
      gesture.push_back(call.opcode);
  }
  return gesture;
}

inline const std::vector<int32_t> kWholeGesture = {
    vst::audioMasterBeginEdit, vst::audioMasterAutomate, vst::audioMasterEndEdit};

// How many pixels differ (all of them when the sizes differ).
inline size_t differingPixels(const EditorImage& a, const EditorImage& b) {
  if (a.pixels.size() != b.pixels.size()) return b.pixels.size();
  size_t count = 0;
  for (size_t i = 0; i < a.pixels.size(); ++i) count += a.pixels[i] != b.pixels[i];
  return count;
}

}  // namespace host_window
