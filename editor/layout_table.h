// Where every panel and control of the editor window sits.
#pragma once

#include <cstdint>

#include "toolkit/rect.h"

enum class CellKind { kKnob, kBar, kSelector };

struct PanelLayout {
  const char* title;
  CRect rect;  // window coordinates
};

// A control with its caption (and readout for knobs and the bar), in
// coordinates relative to its panel.
struct CellLayout {
  int32_t panel;  // index into kPanelLayouts
  CellKind kind;
  const char* caption;
  CRect place;        // knob: top-left point; bar: cell rectangle; selector: its cells
  CRect captionRect;  // selectors only
  int32_t param;
  const char* entries[3];
  int32_t entryCount;
};

inline constexpr int32_t kPanelCount = 6;
inline constexpr int32_t kCellCount = 38;

// In building order: Main, LFOs, String A, String B, Filter, Misc.
extern const PanelLayout kPanelLayouts[kPanelCount];
// Grouped by panel in building order; within a panel in adding order.
extern const CellLayout kCellLayouts[kCellCount];
