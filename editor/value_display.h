// A readout whose text buffer the plug-in's display routine fills.
#pragma once

#include "toolkit/param_display.h"

class CValueDisplay : public CParamDisplay {
 public:
  explicit CValueDisplay(const CRect& size);

  // The 256-byte text buffer, for writing; mark the view dirty afterwards.
  char* getText() { return text; }

 protected:
  const char* displayText() const override { return text; }

 private:
  char text[256] = "---";
};
