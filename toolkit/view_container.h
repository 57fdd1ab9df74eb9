// A view holding child views placed relative to its top-left corner. It owns
// its children and deletes them with itself; children draw in adding order.
#pragma once

#include <vector>

#include "toolkit/color.h"
#include "toolkit/view.h"

class CBitmap;

class CViewContainer : public CView {
 public:
  // background, if given, is drawn first (the container keeps a reference).
  explicit CViewContainer(const CRect& size, CBitmap* background = nullptr);
  ~CViewContainer() override;

  void addView(CView* view);
  // Takes view out of the container; destroy deletes it as well.
  void removeView(CView* view, bool destroy = true);
  void removeAll(bool destroy = true);
  int32_t getNbViews() const { return static_cast<int32_t>(children.size()); }
  CView* getView(int32_t index) const;
  bool isChild(const CView* view) const;

  void setBackground(CBitmap* bitmap);
  CBitmap* getBackground() const { return background; }

  void draw(CDrawContext* context) override;
  void mouse(CDrawContext* context, CPoint& where, int32_t buttons) override;
  int32_t onKeyDown(KeyStroke& key) override;
  int32_t onKeyUp(KeyStroke& key) override;
  bool onDrop(const CDropItems& drop, const CPoint& where) override;
  void update(CDrawContext* context) override;
  bool attached(CView* parent) override;
  bool removed(CView* parent) override;
  bool isContainer() const override { return true; }

  // The topmost child (last added first) whose rectangle holds where, given in
  // this container's own coordinates; null if none.
  CView* childAt(const CPoint& where) const;

 protected:
  // Draws what lies under the children: the background image, if any.
  virtual void drawBackground(CDrawContext* context);
  // Draws the children, each through draw or update.
  void drawChildren(CDrawContext* context, bool onlyDirty);

  std::vector<CView*> children;
  CBitmap* background = nullptr;
};
