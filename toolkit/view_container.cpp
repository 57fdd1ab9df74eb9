#include "toolkit/view_container.h"

#include <algorithm>

#include "toolkit/bitmap.h"
#include "toolkit/draw_context.h"

namespace {

// Moves a context's origin to a container's top-left corner for its lifetime.
class OriginShift {
 public:
  OriginShift(CDrawContext* c, const CRect& r) : context(c), saved(c->getOffset()) {
    context->setOffset(CPoint(saved.h + r.left, saved.v + r.top));
  }
  ~OriginShift() { context->setOffset(saved); }
  OriginShift(const OriginShift&) = delete;
  OriginShift& operator=(const OriginShift&) = delete;

 private:
  CDrawContext* context;
  CPoint saved;
};

}  // namespace

CViewContainer::CViewContainer(const CRect& rect, CBitmap* image) : CView(rect) {
  setBackground(image);
}

CViewContainer::~CViewContainer() {
  removeAll(true);
  if (background) background->forget();
}

void CViewContainer::setBackground(CBitmap* bitmap) {
  if (bitmap) bitmap->remember();
  if (background) background->forget();
  background = bitmap;
  setDirty(true);
}

void CViewContainer::addView(CView* view) {
  if (!view) return;
  children.push_back(view);
  view->setParentView(this);
  if (isAttached()) view->attached(this);
}

void CViewContainer::removeView(CView* view, bool destroy) {
  auto it = std::find(children.begin(), children.end(), view);
  if (it == children.end()) return;
  children.erase(it);
  if (view->isAttached()) view->removed(this);
  if (destroy) delete view;
}

void CViewContainer::removeAll(bool destroy) {
  while (!children.empty()) removeView(children.back(), destroy);
}

CView* CViewContainer::getView(int32_t index) const {
  if (index < 0 || index >= getNbViews()) return nullptr;
  return children[size_t(index)];
}

bool CViewContainer::isChild(const CView* view) const {
  return std::find(children.begin(), children.end(), view) != children.end();
}

CView* CViewContainer::childAt(const CPoint& where) const {
  for (auto it = children.rbegin(); it != children.rend(); ++it)
    if ((*it)->getViewSize().pointInside(where)) return *it;
  return nullptr;
}

void CViewContainer::drawBackground(CDrawContext* context) {
  if (background) background->draw(context, size);
}

void CViewContainer::drawChildren(CDrawContext* context, bool onlyDirty) {
  OriginShift shift(context, size);
  for (CView* child : children) {
    if (onlyDirty) {
      child->update(context);
    } else {
      child->draw(context);
      child->setDirty(false);
    }
  }
}

void CViewContainer::draw(CDrawContext* context) {
  drawBackground(context);
  drawChildren(context, false);
  setDirty(false);
}

void CViewContainer::update(CDrawContext* context) {
  if (isDirty()) {
    CView::update(context);
    return;
  }
  drawChildren(context, true);
}

void CViewContainer::mouse(CDrawContext* context, CPoint& where, int32_t buttons) {
  CPoint local(where.h - size.left, where.v - size.top);
  CView* child = childAt(local);
  if (!child) return;
  OriginShift shift(context, size);
  child->mouse(context, local, buttons);
}

int32_t CViewContainer::onKeyDown(KeyStroke& key) {
  for (CView* child : children)
    if (child->onKeyDown(key) != -1) return 1;
  return -1;
}

int32_t CViewContainer::onKeyUp(KeyStroke& key) {
  for (CView* child : children)
    if (child->onKeyUp(key) != -1) return 1;
  return -1;
}

bool CViewContainer::onDrop(const CDropItems& drop, const CPoint& where) {
  const CPoint local(where.h - size.left, where.v - size.top);
  CView* child = childAt(local);
  return child && child->onDrop(drop, local);
}

bool CViewContainer::attached(CView* container) {
  CView::attached(container);
  for (CView* child : children) child->attached(this);
  return true;
}

bool CViewContainer::removed(CView* container) {
  for (CView* child : children) child->removed(this);
  return CView::removed(container);
}
