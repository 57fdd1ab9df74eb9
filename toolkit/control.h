// A view with a value from 0 to 1 that the user changes. It is dirty while its
// value differs from the value it last drew, or after being marked dirty.
#pragma once

#include <atomic>
#include <cstdint>

#include "toolkit/view.h"

class CBitmap;
class CControlListener;

class CControl : public CView {
 public:
  // background, if given, is kept with a reference of the control's own.
  CControl(const CRect& size, CControlListener* listener = nullptr, int32_t tag = 0,
           CBitmap* background = nullptr);
  ~CControl() override;

  virtual void setValue(float v) { value.store(v, std::memory_order_relaxed); }
  float getValue() const { return value.load(std::memory_order_relaxed); }
  void setDefaultValue(float v) { defaultValue = v; }
  float getDefaultValue() const { return defaultValue; }
  void setKeyStep(float step) { keyStep = step; }
  float getKeyStep() const { return keyStep; }
  // Limits the value to 0..1.
  void bounceValue();

  void setTag(int32_t t) { tag = t; }
  int32_t getTag() const { return tag; }
  void setListener(CControlListener* l) { listener = l; }
  CControlListener* getListener() const { return listener; }

  void setBackground(CBitmap* bitmap);
  CBitmap* getBackground() const { return background; }

  bool isDirty() const override;
  // Clearing the flag records the current value as the one drawn.
  void setDirty(bool state = true) override;

  // Tells the frame's editor that a user gesture on this control starts or ends.
  void beginEdit();
  void endEdit();

 protected:
  // Calls the listener when the control is dirty.
  void notifyIfDirty(CDrawContext* context);
  // Adds or subtracts the key step (a tenth of it with Shift) for arrow keys;
  // answers −1 for other keys.
  int32_t stepByKey(KeyStroke& key);

  CControlListener* listener = nullptr;
  int32_t tag = 0;
  std::atomic<float> value{0.0f};
  float lastDrawnValue = -1.0f;
  float defaultValue = 0.5f;
  float keyStep = 0.1f;
  CBitmap* background = nullptr;
};
