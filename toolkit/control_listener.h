// Receives the value changes a user makes on a control.
#pragma once

class CControl;
class CDrawContext;

class CControlListener {
 public:
  virtual ~CControlListener() = default;
  // context is the drawing context of a mouse change, null for a key change.
  virtual void valueChanged(CDrawContext* context, CControl* control) = 0;
};
