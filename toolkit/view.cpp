#include "toolkit/view.h"

#include "toolkit/draw_context.h"
#include "toolkit/frame.h"

CView::CView(const CRect& rect) : size(rect) {}

CView::~CView() {
  if (frame && frame->getFocusView() == this) frame->setFocusView(nullptr);
}

void CView::draw(CDrawContext*) { setDirty(false); }
void CView::mouse(CDrawContext*, CPoint&, int32_t) {}
int32_t CView::onKeyDown(KeyStroke&) { return -1; }
int32_t CView::onKeyUp(KeyStroke&) { return -1; }
bool CView::onDrop(const CDropItems&, const CPoint&) { return false; }

void CView::update(CDrawContext* context) {
  if (!isDirty()) return;
  draw(context);
  setDirty(false);
  context->synchronize();
}

bool CView::attached(CView* container) {
  parent = container;
  frame = container->getFrame();
  return true;
}

bool CView::removed(CView*) {
  if (frame && frame->getFocusView() == this) frame->setFocusView(nullptr);
  frame = nullptr;
  return true;
}
