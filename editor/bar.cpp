#include "editor/bar.h"

#include <algorithm>

#include "toolkit/button_state.h"
#include "toolkit/frame.h"
#include "toolkit/offscreen_context.h"

namespace {
constexpr float kFineStep = 0.000025f;
constexpr float kFineDragStep = 0.00025f;
}  // namespace

CBar::CBar(const CRect& rect, CControlListener* owner, int32_t id, CColor back, CColor bar,
           int32_t styleBits)
    : CControl(rect, owner, id),
      background(back),
      barColor(bar),
      style(styleBits | kVertical),
      w(rect.width()),
      h(rect.height()) {}

CBar::~CBar() { releaseImage(); }

void CBar::releaseImage() {
  delete image;
  image = nullptr;
}

bool CBar::attached(CView* container) {
  CControl::attached(container);
  releaseImage();
  image = new COffscreenContext(frame, w, h, background);
  return true;
}

bool CBar::removed(CView* container) {
  releaseImage();
  return CControl::removed(container);
}

float CBar::displayValue() const {
  const bool invert = (style & kBipolar) && !(style & (kFromLeft | kNoBipolarInversion));
  return invert ? 1.0f - getValue() : getValue();
}

CRect CBar::barRect() const {
  // Values the host stored beyond the range (non-numbers too) show at its ends.
  const float shown = displayValue();
  const float dv = shown > 0.0f ? std::min(shown, 1.0f) : 0.0f;
  if (style & kVertical) {
    const auto reach = static_cast<int32_t>(float(h - 5) * dv);
    int32_t first = 2, last = reach + 2;
    if (style & kFromBottom) {
      first = (h - 3) - reach;
      last = h - 3;
    } else if (style & kBipolar) {
      first = std::min((h - 5) / 2 + 2, reach + 2);
      last = std::max((h - 5) / 2 + 2, reach + 2);
    }
    return CRect(2, first, w - 3, last);
  }
  const auto reach = static_cast<int32_t>(float(w - 5) * dv);
  int32_t first = (w - 3) - reach, last = w - 3;
  if (style & kFromLeft) {
    first = 2;
    last = reach + 2;
  } else if (style & kBipolar) {
    first = std::min((w - 5) / 2 + 2, reach + 2);
    last = std::max((w - 5) / 2 + 2, reach + 2);
  }
  return CRect(first, 2, last, h - 3);
}

void CBar::draw(CDrawContext* context) {
  if (image) {
    image->setFillColor(background);
    image->fillRect(CRect(0, 0, w, h));
    const CRect bar = barRect();
    image->setFrameColor(barColor);
    image->drawRect(bar);
    image->setFillColor(barColor);
    image->floodFill(CPoint((bar.left + bar.right) / 2, (bar.top + bar.bottom) / 2));
    image->copyFrom(context, size);
  }
  setDirty(false);
}

float CBar::verticalFraction(const CPoint& where) const {
  const float p = float(where.v - size.top - 2) / float(h - 4);
  return (style & (kFromBottom | kBipolar)) ? 1.0f - p : p;
}

float CBar::horizontalFraction(const CPoint& where) const {
  const float p = float(where.h - size.left - 2) / float(w - 4);
  return (style & kInverseHorizontalDrag) ? 1.0f - p : p;
}

bool CBar::nextStep(CDrawContext* context, CPoint& where) {
  if (!frame) return false;
  context->getMouseLocation(where);
  frame->doIdleStuff();
  return (frame->getCurrentMouseButtons() & kLButton) != 0;
}

void CBar::mouse(CDrawContext* context, CPoint& where, int32_t buttons) {
  if (!mouseEnabled) return;
  const int32_t set = buttons & kAllButtonsAndModifiers;
  if (set == (kLButton | kControl)) {
    setValue(defaultValue);
    notifyIfDirty(context);
  } else if (set == (kRButton | kShift)) {
    // One fine step toward the pointer, kept within 0..1.
    setValue(getValue() + (verticalFraction(where) > getValue() ? kFineStep : -kFineStep));
    bounceValue();
    notifyIfDirty(context);
  } else if (set == (kLButton | kShift)) {
    fineDrag(context, where);
  } else if (set & kLButton) {
    absoluteDrag(context, where);
  }
}

// The value creeps toward the pointer at the pace of the drag idle hook.
void CBar::fineDrag(CDrawContext* context, CPoint& where) {
  beginEdit();
  if (frame) frame->setFocusView(this);
  do {
    const float p = verticalFraction(where);
    setValue(getValue() + (p > getValue() ? kFineDragStep : -kFineDragStep));
    bounceValue();
    notifyIfDirty(context);
  } while (nextStep(context, where));
  endEdit();
}

void CBar::absoluteDrag(CDrawContext* context, CPoint& where) {
  beginEdit();
  do {
    if (style & kVertical)
      setValue(verticalFraction(where));
    else if (style & kHorizontal)
      setValue(horizontalFraction(where));
    bounceValue();
    notifyIfDirty(context);
  } while (nextStep(context, where));
  endEdit();
}

int32_t CBar::onKeyDown(KeyStroke& key) { return stepByKey(key); }
