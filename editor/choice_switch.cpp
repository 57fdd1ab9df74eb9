#include "editor/choice_switch.h"

#include <cstdio>

#include "toolkit/button_state.h"
#include "toolkit/draw_context.h"

CChoiceSwitch::CChoiceSwitch(const CRect& rect, CControlListener* owner, int32_t id,
                             const char* firstSelected, const char* firstOther,
                             CColor selectedBackColor, CColor selectedTextColor,
                             CColor otherBackColor, CColor otherTextColor, int32_t extension,
                             int32_t layout)
    : CControl(rect, owner, id),
      selectedBack(selectedBackColor),
      selectedText(selectedTextColor),
      otherBack(otherBackColor),
      otherText(otherTextColor),
      selectedExtension(extension),
      orientation(layout) {
  addEntry(firstSelected, firstOther);
}

void CChoiceSwitch::addEntry(const char* selectedLabel, const char* otherLabel) {
  if (count >= kMaxEntries) return;
  Entry& e = entries[count++];
  std::snprintf(e.selected, sizeof(e.selected), "%s", selectedLabel ? selectedLabel : "");
  std::snprintf(e.other, sizeof(e.other), "%s", otherLabel ? otherLabel : "");
}

int32_t CChoiceSwitch::selectedIndex() const {
  // Non-numbers and values beyond the range select the first or last entry.
  const float v = getValue();
  if (!(v > 0.0001f)) return 0;
  if (v >= 1.0f) return count > 0 ? count - 1 : 0;
  const auto i = static_cast<int32_t>((v - 0.0001f) * float(count));
  return i < 0 ? 0 : (i >= count ? count - 1 : i);
}

void CChoiceSwitch::draw(CDrawContext* context) {
  const int32_t selected = selectedIndex();
  const int32_t w = size.width(), h = size.height();
  context->setFont(font);
  for (int32_t i = 0; i < count; ++i) {
    const bool on = i == selected;
    CRect fill, text;
    if (orientation == kSideBySide) {
      const int32_t c = w / count, l = size.left + w * i / count;
      fill = CRect(l + 1, size.top, l + c - 1, size.bottom + (on ? selectedExtension : 0));
      text = CRect(l + 2, size.top, l + c - 1, size.bottom);
    } else {
      const int32_t c = h / count, t = size.top + h * i / count;
      // The cells stop one column short of the right edge: a 38-wide switch
      // fills x 1 to 36.
      fill = CRect(size.left, t + 1, size.right - 1, t + c - 1);
      text = CRect(size.left, t + 2, size.right, t + c - 1);
    }
    context->setFillColor(on ? selectedBack : otherBack);
    context->fillRect(fill);
    context->setFontColor(on ? selectedText : otherText);
    context->drawString(on ? entries[i].selected : entries[i].other, text, false, kCenterText);
  }
  setDirty(false);
}

void CChoiceSwitch::mouse(CDrawContext* context, CPoint& where, int32_t buttons) {
  if (!mouseEnabled || !(buttons & (kLButton | kMButton | kRButton))) return;
  float v = orientation == kSideBySide ? float(where.h - size.left) / float(size.width())
                                       : float(where.v - size.top) / float(size.height());
  setValue(v > 1.0f ? 1.0f : (v < 0.0f ? 0.0f : v));
  notifyIfDirty(context);
}
