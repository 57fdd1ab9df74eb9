#include "lv2/lv2_ui.h"

#include <cstring>

#include "editor/synth_editor.h"
#include "params/program_bank.h"
#include "params/value_mapping.h"

namespace lv2 {

namespace {

const void* feature(const LV2_Feature* const* features, const char* uri) {
  if (!features) return nullptr;
  for (; *features; ++features)
    if ((*features)->URI && std::strcmp((*features)->URI, uri) == 0) return (*features)->data;
  return nullptr;
}

}  // namespace

Lv2Ui::Lv2Ui(LV2UI_Write_Function writer, LV2UI_Controller owner)
    : write(writer), controller(owner) {
  // Until the host's notifications arrive, the values of a new instance.
  params::ProgramBank bank;
  params::writeFactoryPresets(bank);
  for (int32_t i = 0; i < params::kNumParams; ++i)
    values[size_t(i)] = params::storedValue(i, bank.programs[0].values[i]);
}

std::unique_ptr<Lv2Ui> Lv2Ui::create(LV2UI_Write_Function write, LV2UI_Controller controller,
                                     const LV2_Feature* const* features) {
  void* parent = const_cast<void*>(feature(features, LV2_UI__parent));
  if (!parent || !write) return nullptr;
  std::unique_ptr<Lv2Ui> ui(new Lv2Ui(write, controller));
  ui->touch = static_cast<const LV2UI_Touch*>(feature(features, LV2_UI__touch));
  ui->editor = std::make_unique<SynthEditor>(*ui, *ui);
  if (!ui->editor->open(parent) || !ui->editor->nativeWindow()) return nullptr;
  if (const auto* resize = static_cast<const LV2UI_Resize*>(feature(features, LV2_UI__resize)))
    if (resize->ui_resize)
      resize->ui_resize(resize->handle, ui->editor->getWidth(), ui->editor->getHeight());
  return ui;
}

// The editor goes first: closing it may still read the values.
Lv2Ui::~Lv2Ui() { editor.reset(); }

LV2UI_Widget Lv2Ui::widget() const { return editor->nativeWindow(); }

void Lv2Ui::portEvent(uint32_t port, uint32_t size, uint32_t format, const void* buffer) {
  if (port >= uint32_t(params::kNumParams) || format != 0 || size != sizeof(float) || !buffer)
    return;
  float value;
  std::memcpy(&value, buffer, sizeof value);
  values[port] = params::storedValue(int32_t(port), value);
  editor->setParameter(int32_t(port), value);
}

int Lv2Ui::idle() {
  editor->idle();
  return 0;
}

float Lv2Ui::getParameter(int32_t index) {
  return index >= 0 && index < params::kNumParams ? values[size_t(index)] : 0.0f;
}

void Lv2Ui::getParameterDisplay(int32_t index, char* text) {
  const params::DisplayContext context =
      params::displayContextFor(values[params::kPolyphony], values[params::kVolume]);
  params::writeDisplay(index, getParameter(index), context, text);
}

void Lv2Ui::beginEdit(int32_t index) {
  if (touch && touch->touch && index >= 0 && index < params::kNumParams)
    touch->touch(touch->handle, uint32_t(index), true);
}

void Lv2Ui::endEdit(int32_t index) {
  if (touch && touch->touch && index >= 0 && index < params::kNumParams)
    touch->touch(touch->handle, uint32_t(index), false);
}

// The value goes to the DSP through the host; the host's notification of it
// may come later, so the editor shows it at once.
void Lv2Ui::changeEdit(int32_t index, float value) {
  if (index < 0 || index >= params::kNumParams) return;
  values[size_t(index)] = params::storedValue(index, value);
  write(controller, uint32_t(index), sizeof(float), 0, &value);
  editor->setParameter(index, value);
}

}  // namespace lv2
