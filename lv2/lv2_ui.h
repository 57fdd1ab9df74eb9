// The instrument's editor as an LV2 X11 UI. It knows the DSP only through
// the host: port notifications bring values in, port writes take the user's
// edits out. The values it shows are kept as the instrument keeps them.
#pragma once

#include <lv2/ui/ui.h>

#include <array>
#include <memory>

#include "core/editor_view.h"
#include "core/instrument.h"
#include "params/parameter_table.h"

namespace lv2 {

class Lv2Ui : public core::ParameterSource, public core::EditListener {
 public:
  // Null without a parent window, or when no window can be opened in it.
  static std::unique_ptr<Lv2Ui> create(LV2UI_Write_Function write, LV2UI_Controller controller,
                                       const LV2_Feature* const* features);
  ~Lv2Ui() override;

  LV2UI_Widget widget() const;
  // A port's value changed on the host's side; unknown ports and formats are ignored.
  void portEvent(uint32_t port, uint32_t size, uint32_t format, const void* buffer);
  // The host's idle: events and redrawing. 0 while the UI is open.
  int idle();

  float getParameter(int32_t index) override;
  void getParameterDisplay(int32_t index, char* text) override;
  // Gestures reach hosts that offer the touch feature.
  void beginEdit(int32_t index) override;
  void changeEdit(int32_t index, float value) override;
  void endEdit(int32_t index) override;

 private:
  Lv2Ui(LV2UI_Write_Function write, LV2UI_Controller controller);

  LV2UI_Write_Function write;
  LV2UI_Controller controller;
  const LV2UI_Touch* touch = nullptr;
  std::array<float, params::kNumParams> values{};
  std::unique_ptr<core::EditorView> editor;
};

}  // namespace lv2
