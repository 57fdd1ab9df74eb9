// The window layer under a frame: one implementation per platform (X11,
// Win32) and a headless one for tests. The frame draws into its own canvas;
// the window shows canvas pixels, reports the pointer and delivers events.
#pragma once

#include <memory>

#include "toolkit/button_state.h"
#include "toolkit/drop_items.h"
#include "toolkit/rect.h"

class CBitmap;

// Events a window delivers to its frame, in frame coordinates.
class WindowEvents {
 public:
  virtual ~WindowEvents() = default;
  // Part of the window must be shown again (exposed or invalidated).
  virtual void windowPaint(const CRect& area) = 0;
  // A button went down; buttons holds the button and the modifiers held.
  virtual void windowMouseDown(const CPoint& where, int32_t buttons) = 0;
  virtual void windowDrop(const CDropItems& drop, const CPoint& where) = 0;
};

class PlatformWindow {
 public:
  virtual ~PlatformWindow() = default;

  // The frame to deliver events to (none until set).
  virtual void setEvents(WindowEvents* events) = 0;
  // Puts area of the canvas on screen.
  virtual void show(const CBitmap& canvas, const CRect& area) = 0;
  // The pointer position and the buttons and modifiers held now, read from
  // the system (tracking loops read the position first, then the buttons).
  virtual CPoint pointerPosition() = 0;
  virtual int32_t pointerButtons() = 0;
  // Delivers the events waiting for the window (called from the host's idle).
  virtual void processEvents() = 0;
  // Handles one waiting paint request, if any; true if there was one.
  virtual bool handlePendingPaint() = 0;
  // The window's own handle (an X11 Window or an HWND) as an opaque value,
  // for hosts that embed it; null without a window system.
  virtual void* nativeHandle() const { return nullptr; }
};

// The platform's window, a child of parent (an X11 Window or an HWND passed as
// an opaque value) of the given size; null if it cannot be made.
std::unique_ptr<PlatformWindow> createPlatformWindow(void* parent, const CRect& size);
