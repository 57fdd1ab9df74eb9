// The LV2 UI entry point: static callbacks that find the UI and forward.
#include <lv2/ui/ui.h>

#include <cstring>

#include "lv2/lv2_ports.h"
#include "lv2/lv2_ui.h"

namespace {

lv2::Lv2Ui* self(LV2UI_Handle handle) { return static_cast<lv2::Lv2Ui*>(handle); }

LV2UI_Handle instantiate(const LV2UI_Descriptor*, const char* pluginUri, const char*,
                         LV2UI_Write_Function write, LV2UI_Controller controller,
                         LV2UI_Widget* widget, const LV2_Feature* const* features) {
  if (!widget || !pluginUri || std::strcmp(pluginUri, lv2::kPluginUri) != 0) return nullptr;
  try {
    std::unique_ptr<lv2::Lv2Ui> ui = lv2::Lv2Ui::create(write, controller, features);
    if (!ui) return nullptr;
    *widget = ui->widget();
    return ui.release();
  } catch (...) {
    return nullptr;
  }
}

void cleanup(LV2UI_Handle h) { delete self(h); }

void portEvent(LV2UI_Handle h, uint32_t port, uint32_t size, uint32_t format, const void* buffer) {
  self(h)->portEvent(port, size, format, buffer);
}

int idle(LV2UI_Handle h) { return self(h)->idle(); }

const LV2UI_Idle_Interface kIdle = {idle};

const void* extensionData(const char* uri) {
  if (uri && std::strcmp(uri, LV2_UI__idleInterface) == 0) return &kIdle;
  return nullptr;
}

const LV2UI_Descriptor kDescriptor = {lv2::kUiUri, instantiate, cleanup, portEvent, extensionData};

}  // namespace

extern "C" __attribute__((visibility("default"))) const LV2UI_Descriptor* lv2ui_descriptor(
    uint32_t index) {
  return index == 0 ? &kDescriptor : nullptr;
}
