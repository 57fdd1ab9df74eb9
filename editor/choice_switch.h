// A selector of up to ten cells, stacked or side by side, one highlighted.
// A press anywhere sends the raw position as the value; the plug-in's own
// mapping decides which entry that is.
#pragma once

#include "toolkit/color.h"
#include "toolkit/control.h"
#include "toolkit/font.h"

class CChoiceSwitch : public CControl {
 public:
  static constexpr int32_t kMaxEntries = 10;
  static constexpr int32_t kSideBySide = 1;

  CChoiceSwitch(const CRect& size, CControlListener* listener, int32_t tag,
                const char* firstSelected, const char* firstOther, CColor selectedBack,
                CColor selectedText, CColor otherBack, CColor otherText, int32_t selectedExtension,
                int32_t orientation);

  // Appends an entry; ignored once ten are present.
  void addEntry(const char* selectedText, const char* otherText);
  int32_t getCount() const { return count; }
  // The entry the value selects: truncate((value − 0.0001) × count).
  int32_t selectedIndex() const;
  void setFont(CFont id) { font = id; }

  void draw(CDrawContext* context) override;
  void mouse(CDrawContext* context, CPoint& where, int32_t buttons) override;

 private:
  struct Entry {
    char selected[80] = {};
    char other[80] = {};
  };

  Entry entries[kMaxEntries];
  int32_t count = 0;
  CColor selectedBack, selectedText, otherBack, otherText;
  int32_t selectedExtension = 0;
  int32_t orientation = 2;
  CFont font = kNormalFontSmall;
};
