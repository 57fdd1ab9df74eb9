// The instrument with its editor: every parameter change also moves the control on screen.
#pragma once

#include "host/synth_plugin.h"

class SynthPluginGui : public SynthPlugin {
 public:
  explicit SynthPluginGui(vst::HostCallback audioMaster);
  ~SynthPluginGui() override;

  void setParameter(int32_t index, float value) override;
};
