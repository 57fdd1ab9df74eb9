// A fixed caption. Files dropped on it replace the caption with the number of
// files, the first path and the drop position within the label.
#pragma once

#include "toolkit/param_display.h"

class CLabel : public CParamDisplay {
 public:
  CLabel(const CRect& size, const char* caption);

  // Accepts every drop; only file drops change the text.
  bool onDrop(const CDropItems& drop, const CPoint& where) override;
  const char* getText() const { return text; }

 protected:
  const char* displayText() const override { return text; }

 private:
  char text[256] = {};
};
