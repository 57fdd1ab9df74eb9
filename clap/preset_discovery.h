// The factory through which hosts list the eight factory programs as presets
// held inside the plug-in, each loaded by its number with the preset-load
// extension.
#pragma once

#include "clap/abi_presets.h"

namespace clap_format {

const clap::PresetDiscoveryFactory* presetDiscoveryFactory();

}  // namespace clap_format
