#include "toolkit/knob.h"

#include <cmath>
#include <numbers>

#include "toolkit/bitmap.h"
#include "toolkit/button_state.h"
#include "toolkit/draw_context.h"
#include "toolkit/frame.h"

namespace {

constexpr double kPi = std::numbers::pi;
constexpr double kStartAngle = 5.0 * kPi / 4.0;  // value 0
constexpr double kArc = 3.0 * kPi / 2.0;         // clockwise sweep to value 1
constexpr float kMaxJump = 0.5f;

}  // namespace

CKnob::CKnob(const CRect& rect, CControlListener* owner, int32_t id, CBitmap* face,
             CBitmap* handleImage, const CPoint& faceOffset)
    : CControl(rect, owner, id, face), handle(handleImage), offset(faceOffset) {
  if (handle) handle->remember();
}

CKnob::~CKnob() {
  if (handle) handle->forget();
}

CPoint CKnob::handleCentre() const {
  const double radius = size.width() / 2.0;
  // A non-number (or infinity) stored by the host shows at the start of the arc.
  const double v = std::isfinite(getValue()) ? double(getValue()) : 0.0;
  const double a = kStartAngle - v * kArc;
  const double reach = radius - insetValue;
  return CPoint(static_cast<int32_t>(radius + std::cos(a) * reach + 0.5),
                static_cast<int32_t>(radius - std::sin(a) * reach + 0.5));
}

void CKnob::draw(CDrawContext* context) {
  if (background) background->draw(context, size, offset);
  if (handle) {
    const CPoint c = handleCentre();
    const int32_t x = size.left + c.h - handle->getWidth() / 2;
    const int32_t y = size.top + c.v - handle->getHeight() / 2;
    handle->drawTransparent(context, CRect(x, y, x + handle->getWidth(), y + handle->getHeight()));
  }
  setDirty(false);
}

// Angles run counter-clockwise from the positive x axis with y pointing up.
// The 90° gap below the knob gives 0 on its left half (straight down
// included) and 1 on its right half.
float CKnob::valueFromPoint(const CPoint& where) const {
  const double dx = where.h - (size.left + size.width() / 2.0);
  const double dy = (size.top + size.height() / 2.0) - where.v;
  double a = std::atan2(dy, dx);
  if (a <= -kPi / 2.0) a += 2.0 * kPi;
  const double v = (kStartAngle - a) / kArc;
  return static_cast<float>(v < 0.0 ? 0.0 : (v > 1.0 ? 1.0 : v));
}

void CKnob::mouse(CDrawContext* context, CPoint& where, int32_t buttons) {
  if (!mouseEnabled || !(buttons & kLButton)) return;
  if ((buttons & kAllButtonsAndModifiers) == (kLButton | kControl)) {
    setValue(defaultValue);
    notifyIfDirty(context);
    return;
  }
  if (frame) frame->setFocusView(this);
  beginEdit();
  bool linear = CFrame::getKnobMode() == kLinearMode;
  if (buttons & kAlt) linear = !linear;
  if (linear)
    trackLinear(context, where, buttons);
  else
    trackCircular(context, where);
  endEdit();
}

bool CKnob::nextStep(CDrawContext* context, CPoint& where, int32_t& buttons) {
  if (!frame) return false;
  context->getMouseLocation(where);
  frame->doIdleStuff();
  buttons = frame->getCurrentMouseButtons();
  return (buttons & kLButton) != 0;
}

// The value follows the pointer's angle; a jump of more than half the range
// (sweeping through the gap) pins the value to the end it came from.
void CKnob::trackCircular(CDrawContext* context, CPoint& where) {
  float accepted = valueFromPoint(where);
  setValue(accepted);
  CPoint last = where;
  int32_t buttons = 0;
  do {
    if (where != last) {
      last = where;
      const float v = valueFromPoint(where);
      if (v - accepted > kMaxJump) {
        setValue(0.0f);
      } else if (accepted - v > kMaxJump) {
        setValue(1.0f);
      } else {
        accepted = v;
        setValue(v);
      }
    }
    notifyIfDirty(context);
  } while (nextStep(context, where, buttons));
}

// Right and up raise the value by 1/200 per pixel, 1/300 with Shift; toggling
// Shift re-bases the drag so that the value does not jump.
void CKnob::trackLinear(CDrawContext* context, CPoint& where, int32_t buttons) {
  CPoint origin = where;
  float startValue = getValue();
  bool fine = buttons & kShift;
  do {
    if (bool(buttons & kShift) != fine) {
      fine = !fine;
      origin = where;
      startValue = getValue();
    }
    const float range = fine ? 300.0f : 200.0f;
    setValue(startValue + float((where.h - origin.h) + (origin.v - where.v)) / range);
    bounceValue();
    notifyIfDirty(context);
  } while (nextStep(context, where, buttons));
}

int32_t CKnob::onKeyDown(KeyStroke& key) { return stepByKey(key); }
