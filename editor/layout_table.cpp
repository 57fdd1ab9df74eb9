#include "editor/layout_table.h"

#include "params/parameter_table.h"

using namespace params;

namespace {

enum Panel : int32_t {
  kMainPanel,
  kLfoPanel,
  kStringAPanel,
  kStringBPanel,
  kFilterPanel,
  kMiscPanel
};

constexpr CellLayout knob(int32_t panel, const char* caption, int32_t x, int32_t y, int32_t param) {
  return CellLayout{panel, CellKind::kKnob, caption, CRect(x, y, x, y), CRect(), param, {}, 0};
}

}  // namespace

const PanelLayout kPanelLayouts[kPanelCount] = {
    {"Main", CRect(10, 130, 130, 303)},     {"LFOs", CRect(140, 210, 490, 303)},
    {"String A", CRect(140, 10, 490, 103)}, {"String B", CRect(140, 110, 490, 203)},
    {"Filter", CRect(500, 20, 840, 193)},   {"Misc", CRect(500, 210, 840, 303)},
};

const CellLayout kCellLayouts[kCellCount] = {
    knob(kMainPanel, "Volume", 15, 15, kVolume),
    knob(kMainPanel, "Bright", 65, 15, kBright),
    knob(kMainPanel, "Attack", 15, 95, kAttack),
    knob(kMainPanel, "Release", 65, 95, kRelease),

    knob(kLfoPanel, "A Freq", 15, 15, kLfoAFreq),
    knob(kLfoPanel, "A Amp", 65, 15, kLfoAAmp),
    knob(kLfoPanel, "B Freq", 115, 15, kLfoBFreq),
    knob(kLfoPanel, "B Amp", 165, 15, kLfoBAmp),
    knob(kLfoPanel, "Wrp F", 240, 15, kLfoWarpFreq),
    knob(kLfoPanel, "Wrp A", 290, 15, kLfoWarpAmp),

    knob(kStringAPanel, "Decay", 15, 15, kGainA),
    knob(kStringAPanel, "Cutoff", 65, 15, kCutoffA),
    knob(kStringAPanel, "Saturation", 115, 15, kSaturationA),
    knob(kStringAPanel, "Coupling", 190, 15, kLeakAB),
    knob(kStringAPanel, "Quantize", 240, 15, kQuantizeNoise),
    knob(kStringAPanel, "Cpl Cutoff", 290, 15, kLeakageCut),

    knob(kStringBPanel, "Decay", 15, 15, kGainB),
    knob(kStringBPanel, "Cutoff", 65, 15, kCutoffB),
    knob(kStringBPanel, "Saturation", 115, 15, kSaturationB),
    knob(kStringBPanel, "Detune", 165, 15, kDetuneB),
    {kStringBPanel,
     CellKind::kSelector,
     "Polarity",
     CRect(215, 39, 253, 65),
     CRect(209, 15, 259, 27),
     kLineBPolarity,
     {"- ive", "+ ive"},
     2},
    knob(kStringBPanel, "Coupling", 290, 15, kLeakBA),

    {kFilterPanel, CellKind::kBar, "Mix", CRect(15, 15, 45, 163), CRect(), kMix, {}, 0},
    {kFilterPanel,
     CellKind::kSelector,
     "Flt. Pos.",
     CRect(55, 32, 93, 71),
     CRect(49, 15, 99, 27),
     kFilterPos,
     {"A > B", "B > A", "Output"},
     3},
    knob(kFilterPanel, "Filter 1", 130, 15, kBodyType1),
    knob(kFilterPanel, "Filter 2", 180, 15, kBodyType2),
    knob(kFilterPanel, "Warp", 230, 15, kWarp),
    knob(kFilterPanel, "Res.", 280, 15, kReso),
    knob(kFilterPanel, "Order", 55, 95, kFilterOrder),
    knob(kFilterPanel, "Attack", 130, 95, kFilterAttack),
    knob(kFilterPanel, "Decay", 180, 95, kFilterDecay),
    knob(kFilterPanel, "Sustain", 230, 95, kFilterSustain),
    knob(kFilterPanel, "Release", 280, 95, kFilterRelease),

    {kMiscPanel,
     CellKind::kSelector,
     "Quality",
     CRect(15, 39, 53, 65),
     CRect(9, 15, 59, 27),
     kQuality,
     {"normal", "high"},
     2},
    knob(kMiscPanel, "Voices", 105, 15, kPolyphony),
    knob(kMiscPanel, "Rand Pan", 180, 15, kRandomPan),
    knob(kMiscPanel, "Vel > Vol", 230, 15, kVelToVol),
    knob(kMiscPanel, "Vel > Brt", 280, 15, kVelToBright),
};
