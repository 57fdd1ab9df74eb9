// A container drawn as a framed panel: rounded body with a 2-pixel rim and a
// title tab above it. The frame is rendered once into an image of its own.
#pragma once

#include "toolkit/color.h"
#include "toolkit/view_container.h"

class COffscreenContext;

class CPanel : public CViewContainer {
 public:
  CPanel(const CRect& size, CFrame* frame, CColor surroundings, CColor body, CColor rim,
         int32_t cornerRadius, const char* title, CColor titleColor);
  ~CPanel() override;

  // The rendered panel image (for inspection).
  const COffscreenContext& panelImage() const { return *image; }

 protected:
  void drawBackground(CDrawContext* context) override;

 private:
  void render(CFrame* frame);

  CColor surroundings;
  CColor body;
  CColor rim;
  CColor titleColor;
  int32_t cornerDiameter;
  char title[80] = {};
  COffscreenContext* image = nullptr;
};
