// A window layer without a window system, for tests: presses, pointer moves
// and drops are scripted, and what the frame put on screen can be read back.
#pragma once

#include <deque>
#include <vector>

#include "toolkit/bitmap.h"
#include "toolkit/platform_window.h"

class HeadlessWindow final : public PlatformWindow {
 public:
  explicit HeadlessWindow(const CRect& size);
  ~HeadlessWindow() override;

  void setEvents(WindowEvents* sink) override { events = sink; }
  void show(const CBitmap& canvas, const CRect& area) override;
  // Each position read moves on to the next scripted state; once the script
  // is used up the buttons are up.
  CPoint pointerPosition() override;
  int32_t pointerButtons() override { return current.buttons; }
  void processEvents() override;
  bool handlePendingPaint() override;

  // States the pointer reports one after the other during the next press.
  void scriptPointer(std::vector<PointerState> states);
  // A press at where with buttons (button and modifiers) held; tracking loops
  // then read the script.
  void press(const CPoint& where, int32_t buttons);
  // Queues a press for the next processEvents.
  void queuePress(const CPoint& where, int32_t buttons);
  void drop(const CDropItems& items, const CPoint& where);
  // Asks for part of the window to be shown again, as an expose would.
  void requestPaint(const CRect& area);

  // The pixels put on screen so far.
  const CBitmap& screen() const { return *screenPixels; }
  int32_t pendingPaints() const { return static_cast<int32_t>(paints.size()); }
  int32_t showCount() const { return shows; }

 private:
  WindowEvents* events = nullptr;
  CBitmap* screenPixels;
  std::deque<PointerState> script;
  std::deque<PointerState> presses;
  std::deque<CRect> paints;
  PointerState current;
  int32_t shows = 0;
};
