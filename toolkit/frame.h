// The root of an editor's view tree: a child window of the host's window with
// a background image. It owns its views, keeps the keyboard focus, routes
// presses, keys and drops, and redraws dirty views when idle. Views draw into
// the frame's canvas; the window layer puts the changed pixels on screen.
#pragma once

#include <atomic>
#include <memory>

#include "toolkit/platform_window.h"
#include "toolkit/view_container.h"

class CEditorHost;

class CFrame : public CViewContainer, public WindowEvents {
 public:
  // Opens the platform's window inside parentWindow.
  CFrame(const CRect& size, void* parentWindow, CEditorHost* editor);
  // Runs on the given window layer (the headless one in tests).
  CFrame(const CRect& size, std::unique_ptr<PlatformWindow> window, CEditorHost* editor);
  ~CFrame() override;

  // False when no window could be made.
  bool isOpen() const { return window != nullptr; }
  CEditorHost* getEditor() const { return editor; }

  void setFocusView(CView* view) { focusView = view; }
  CView* getFocusView() const { return focusView; }

  // The knob mode shared by every editor of the process.
  static void setKnobMode(int32_t mode) { knobMode.store(mode); }
  static int32_t getKnobMode() { return knobMode.load(); }

  // The pointer now, read from the window system: usable in tracking loops.
  // After endTracking() the buttons read as up, which ends any loop.
  int32_t getCurrentMouseButtons();
  CPoint getCurrentMouseLocation();
  // The drag idle hook: hands over to the editor.
  void doIdleStuff();

  // Delivers waiting window events (not while a press is being tracked) and
  // redraws every dirty view.
  void idle();
  bool handlePendingPaint();
  // Offers a key to the focus view, then to the views from the last added back.
  int32_t onKeyDown(VstKeyCode& key) override;
  int32_t onKeyUp(VstKeyCode& key) override;

  // True while a press is being tracked (the frame must not be deleted then).
  bool isTracking() const { return tracking; }
  // Ends the running tracking loop at its next step and ignores later presses:
  // the frame is about to go.
  void endTracking() { trackingEnded = true; }

  void windowPaint(const CRect& area) override;
  void windowMouseDown(const CPoint& where, int32_t buttons) override;
  void windowDrop(const CDropItems& drop, const CPoint& where) override;

  // Puts a changed part of the canvas on screen (other surfaces are ignored).
  void showCanvas(const CBitmap* surface, const CRect& area);
  const CBitmap& getCanvas() const { return *canvas; }

 private:
  std::unique_ptr<PlatformWindow> window;
  CBitmap* canvas = nullptr;
  CEditorHost* editor = nullptr;
  CView* focusView = nullptr;
  bool tracking = false;
  bool trackingEnded = false;

  static std::atomic<int32_t> knobMode;
};
