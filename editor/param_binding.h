// The views of one parameter in the open window; any of them may be absent.
#pragma once

class CControl;
class CLabel;
class CValueDisplay;

struct ParamBinding {
  CLabel* label = nullptr;
  CControl* control = nullptr;  // knob, bar or selector
  CValueDisplay* display = nullptr;
};
