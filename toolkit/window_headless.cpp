#include "toolkit/window_headless.h"

#include "toolkit/draw_context.h"

HeadlessWindow::HeadlessWindow(const CRect& size)
    : screenPixels(new CBitmap(size.width(), size.height(), kBlackCColor)) {}

HeadlessWindow::~HeadlessWindow() { screenPixels->forget(); }

void HeadlessWindow::show(const CBitmap& canvas, const CRect& area) {
  CDrawContext context(screenPixels, nullptr);
  context.copyPixels(canvas, area, CPoint(area.left, area.top), false);
  ++shows;
}

CPoint HeadlessWindow::pointerPosition() {
  if (!script.empty()) {
    current = script.front();
    script.pop_front();
  } else {
    current.buttons = 0;
  }
  return current.where;
}

void HeadlessWindow::processEvents() {
  while (!presses.empty()) {
    const PointerState p = presses.front();
    presses.pop_front();
    press(p.where, p.buttons);
  }
  while (handlePendingPaint()) {
  }
}

bool HeadlessWindow::handlePendingPaint() {
  if (paints.empty()) return false;
  const CRect area = paints.front();
  paints.pop_front();
  if (events) events->windowPaint(area);
  return true;
}

void HeadlessWindow::scriptPointer(std::vector<PointerState> states) {
  script.assign(states.begin(), states.end());
}

void HeadlessWindow::press(const CPoint& where, int32_t buttons) {
  current = PointerState{where, buttons};
  if (events) events->windowMouseDown(where, buttons);
}

void HeadlessWindow::queuePress(const CPoint& where, int32_t buttons) {
  presses.push_back(PointerState{where, buttons});
}

void HeadlessWindow::drop(const CDropItems& items, const CPoint& where) {
  if (events) events->windowDrop(items, where);
}

void HeadlessWindow::requestPaint(const CRect& area) { paints.push_back(area); }
