#include "screenshot/editor_snapshot.h"

#include <memory>
#include <new>
#include <stdexcept>

#include "editor/synth_editor.h"
#include "host/module.h"
#include "host/synth_plugin_gui.h"
#include "host/vst_editor.h"
#include "toolkit/bitmap.h"
#include "toolkit/window_headless.h"

namespace screenshot {

vst::AEffect* QS_VSTCALL linkedEntry(vst::HostCallback host) {
  if (!host || host(nullptr, vst::audioMasterVersion, 0, 0, nullptr, 0.0f) == 0) return nullptr;
  auto* plugin = new (std::nothrow) SynthPluginGui(host);
  if (plugin && module::outOfMemory) {
    delete plugin;
    return nullptr;
  }
  return plugin ? plugin->getAeffect() : nullptr;
}

std::unique_ptr<plughost::PluginInstance> createLinkedInstance() {
  auto instance =
      plughost::PluginInstance::create(&linkedEntry, plughost::PluginInstance::Options{});
  if (instance) instance->start();
  return instance;
}

SynthEditor* editorOf(plughost::PluginInstance& instance) {
  auto* shell = dynamic_cast<VstEditor*>(AudioEffect::fromRecord(instance.effect())->getEditor());
  return shell ? dynamic_cast<SynthEditor*>(shell->view()) : nullptr;
}

EditorImage renderEditor(plughost::PluginInstance& instance) {
  SynthEditor* editor = editorOf(instance);
  if (!editor) throw std::runtime_error("the instance has no editor");
  const CRect size(0, 0, editor->getWidth(), editor->getHeight());
  auto window = std::make_unique<HeadlessWindow>(size);
  HeadlessWindow* shown = window.get();
  editor->openOn(std::move(window));
  editor->idle();

  EditorImage image;
  const CBitmap& screen = shown->screen();
  image.width = screen.getWidth();
  image.height = screen.getHeight();
  image.pixels.assign(screen.data(), screen.data() + size_t(image.width) * size_t(image.height));
  editor->close();
  return image;
}

}  // namespace screenshot
