#include "jack/linked_instrument.h"

#include <sys/stat.h>

#include "host/create_instance.h"
#include "render/file_io.h"
#include "render/preset_transfer.h"
#include "render/sound_settings.h"

namespace standalone {

namespace {

constexpr intptr_t kHostVersion = 2400;

intptr_t QS_VSTCALL quietHost(vst::AEffect*, int32_t opcode, int32_t, intptr_t, void*, float) {
  return opcode == vst::audioMasterVersion ? kHostVersion : 0;
}

vst::AEffect* QS_VSTCALL linkedEntry(vst::HostCallback) { return createSynthInstance(quietHost); }

// A bank and the program that was current when it was saved.
void loadBank(plughost::PluginInstance& instrument, const std::string& path) {
  const render::FxBank bank = render::decodeBank(render::readFileBytes(path), path);
  render::applyBank(instrument, bank, path);
  if (bank.currentProgram >= 0 && bank.currentProgram < instrument.effect()->numPrograms)
    instrument.dispatch(vst::effSetProgram, 0, bank.currentProgram);
}

bool exists(const std::string& path) {
  struct stat info;
  return stat(path.c_str(), &info) == 0;
}

}  // namespace

std::unique_ptr<plughost::PluginInstance> createInstrument(float sampleRate, int32_t blockSize) {
  plughost::PluginInstance::Options options;
  options.sampleRate = sampleRate;
  options.blockSize = blockSize;
  auto instrument = plughost::PluginInstance::create(linkedEntry, options);
  if (instrument) instrument->start();
  return instrument;
}

void applySound(plughost::PluginInstance& instrument, const Options& options) {
  if (!options.keepFile.empty() && exists(options.keepFile)) loadBank(instrument, options.keepFile);
  if (!options.bankFile.empty()) loadBank(instrument, options.bankFile);
  if (!options.presetFile.empty()) render::loadPresetFile(instrument, options.presetFile);
  if (!options.program.empty())
    instrument.dispatch(vst::effSetProgram, 0, render::findProgram(instrument, options.program));
  for (const std::string& assignment : options.params)
    render::applyParameterOverride(instrument, assignment);
}

void saveBank(plughost::PluginInstance& instrument, const std::string& path) {
  render::saveBankFile(instrument, path, true);
}

}  // namespace standalone
