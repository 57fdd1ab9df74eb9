#include "host/synth_plugin_gui.h"

#include <new>

#include "host/module.h"
#include "host/vst_editor.h"

SynthPluginGui::SynthPluginGui(vst::HostCallback master) : SynthPlugin(master) {
  setUniqueID(vst::fourCC("QSTV"));
  // The editor attaches itself to this plug-in while it is built.
  if (!new (std::nothrow) VstEditor(this)) module::outOfMemory = true;
}

SynthPluginGui::~SynthPluginGui() = default;

void SynthPluginGui::setParameter(int32_t index, float value) {
  SynthPlugin::setParameter(index, value);
  if (editor) editor->setParameter(index, value);
}
