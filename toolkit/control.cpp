#include "toolkit/control.h"

#include "toolkit/bitmap.h"
#include "toolkit/control_listener.h"
#include "toolkit/editor_host.h"
#include "toolkit/frame.h"
#include "toolkit/key_codes.h"

CControl::CControl(const CRect& rect, CControlListener* owner, int32_t id, CBitmap* image)
    : CView(rect), listener(owner), tag(id) {
  setBackground(image);
}

CControl::~CControl() {
  if (background) background->forget();
}

void CControl::setBackground(CBitmap* bitmap) {
  if (bitmap) bitmap->remember();
  if (background) background->forget();
  background = bitmap;
}

void CControl::bounceValue() {
  const float v = getValue();
  if (v < 0.0f) setValue(0.0f);
  if (v > 1.0f) setValue(1.0f);
}

bool CControl::isDirty() const { return dirty || getValue() != lastDrawnValue; }

void CControl::setDirty(bool state) {
  if (!state) lastDrawnValue = getValue();
  dirty = state;
}

void CControl::beginEdit() {
  if (frame && frame->getEditor()) frame->getEditor()->beginEdit(tag);
}

void CControl::endEdit() {
  if (frame && frame->getEditor()) frame->getEditor()->endEdit(tag);
}

void CControl::notifyIfDirty(CDrawContext* context) {
  if (listener && isDirty()) listener->valueChanged(context, this);
}

int32_t CControl::stepByKey(KeyStroke& key) {
  const float step = (key.modifier & vkey::kModifierShift) ? keyStep * 0.1f : keyStep;
  float v = getValue();
  switch (key.virt) {
    case vkey::kLeft:
    case vkey::kDown:
      v -= step;
      break;
    case vkey::kUp:
    case vkey::kRight:
      v += step;
      break;
    default:
      return -1;
  }
  setValue(v);
  bounceValue();
  notifyIfDirty(nullptr);
  return 1;
}
