#include "editor/label.h"

#include <cstdio>

CLabel::CLabel(const CRect& rect, const char* caption) : CParamDisplay(rect) {
  std::snprintf(text, sizeof(text), "%s", caption ? caption : "");
  setDirty(true);
}

// Longer results are cut at the buffer's 255 characters.
bool CLabel::onDrop(const CDropItems& drop, const CPoint& where) {
  if (drop.kind == CDropKind::kFiles && drop.count() > 0) {
    std::snprintf(text, sizeof(text), "%d : %s at %d", drop.count(), drop.items[0].c_str(),
                  where.h - size.left);
    setDirty(true);
  }
  return true;
}
