#include "toolkit/frame.h"

#include "toolkit/bitmap.h"
#include "toolkit/draw_context.h"
#include "toolkit/editor_host.h"

std::atomic<int32_t> CFrame::knobMode{0};

CFrame::CFrame(const CRect& rect, void* parentWindow, CEditorHost* owner)
    : CFrame(rect, createPlatformWindow(parentWindow, rect), owner) {}

CFrame::CFrame(const CRect& rect, std::unique_ptr<PlatformWindow> platform, CEditorHost* owner)
    : CViewContainer(rect),
      window(std::move(platform)),
      canvas(new CBitmap(rect.width(), rect.height())),
      editor(owner) {
  frame = this;
  if (window) window->setEvents(this);
}

CFrame::~CFrame() {
  removeAll(true);
  if (window) window->setEvents(nullptr);
  window.reset();
  canvas->forget();
  frame = nullptr;  // the view part outlives the frame part: it must not call back
}

int32_t CFrame::getCurrentMouseButtons() {
  return window && !trackingEnded ? window->pointerButtons() : 0;
}

CPoint CFrame::getCurrentMouseLocation() { return window ? window->pointerPosition() : CPoint(); }

void CFrame::doIdleStuff() {
  if (editor) editor->doIdleStuff();
}

void CFrame::idle() {
  if (window && !tracking) window->processEvents();
  CDrawContext context(canvas, this);
  update(&context);
  context.synchronize();
}

bool CFrame::handlePendingPaint() { return window && window->handlePendingPaint(); }

int32_t CFrame::onKeyDown(VstKeyCode& key) {
  if (focusView && focusView->onKeyDown(key) != -1) return 1;
  for (auto it = children.rbegin(); it != children.rend(); ++it)
    if ((*it)->onKeyDown(key) != -1) return 1;
  return -1;
}

int32_t CFrame::onKeyUp(VstKeyCode& key) {
  if (focusView && focusView->onKeyUp(key) != -1) return 1;
  for (auto it = children.rbegin(); it != children.rend(); ++it)
    if ((*it)->onKeyUp(key) != -1) return 1;
  return -1;
}

void CFrame::windowPaint(const CRect& area) {
  if (isDirty()) {
    CDrawContext context(canvas, this);
    update(&context);
  }
  if (window) window->show(*canvas, area);
}

void CFrame::windowMouseDown(const CPoint& where, int32_t buttons) {
  if (tracking || trackingEnded || !(buttons & (kLButton | kMButton | kRButton))) return;
  tracking = true;
  CDrawContext context(canvas, this);
  CPoint local = where;
  mouse(&context, local, buttons);
  context.synchronize();
  tracking = false;
}

void CFrame::windowDrop(const CDropItems& drop, const CPoint& where) {
  CViewContainer::onDrop(drop, where);
}

void CFrame::showCanvas(const CBitmap* surface, const CRect& area) {
  if (window && surface == canvas) window->show(*canvas, area);
}
