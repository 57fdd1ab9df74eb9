#include "render/preset_transfer.h"

#include <algorithm>

#include "render/file_io.h"
#include "render/render_error.h"

namespace render {

using plughost::PluginInstance;

namespace {

void checkIdentity(PluginInstance& plugin, int32_t pluginId, const std::string& what) {
  int32_t own = plugin.effect()->uniqueID;
  if (pluginId != own)
    throw RenderError(what + ": made for plug-in \"" + fourCCText(pluginId) + "\", not \"" +
                      fourCCText(own) + "\"");
}

void setParameters(PluginInstance& plugin, const FxProgram& program, const std::string& what) {
  int32_t count = plugin.effect()->numParams;
  if (static_cast<int32_t>(program.params.size()) != count)
    throw RenderError(what + ": holds " + std::to_string(program.params.size()) +
                      " parameters, the plug-in has " + std::to_string(count));
  for (int32_t i = 0; i < count; ++i) plugin.setParameter(i, program.params[size_t(i)]);
  std::vector<char> name(program.name.begin(), program.name.end());
  name.push_back('\0');
  plugin.dispatch(vst::effSetProgramName, 0, 0, name.data());
}

// A plug-in that does not announce chunk storage may only store a chunk it is
// handed, without playing it; selecting the current program again applies it.
void reapplyStoredProgram(PluginInstance& plugin) {
  if (usesChunks(plugin)) return;
  auto current = plugin.dispatch(vst::effGetProgram);
  plugin.dispatch(vst::effSetProgram, 0, current);
}

}  // namespace

bool usesChunks(PluginInstance& plugin) {
  return (plugin.effect()->flags & vst::effFlagsProgramChunks) != 0;
}

FxProgram captureProgram(PluginInstance& plugin, bool opaque) {
  const vst::AEffect* e = plugin.effect();
  FxProgram p;
  p.pluginId = e->uniqueID;
  p.pluginVersion = e->version;
  p.name = plugin.programName();
  p.opaque = opaque;
  p.numParams = e->numParams;
  if (opaque) {
    p.chunk = plugin.getChunk(true);
    if (p.chunk.empty()) throw RenderError("the plug-in hands out no program chunk");
  } else {
    for (int32_t i = 0; i < e->numParams; ++i) p.params.push_back(plugin.getParameter(i));
  }
  return p;
}

FxBank captureBank(PluginInstance& plugin, bool opaque) {
  const vst::AEffect* e = plugin.effect();
  FxBank bank;
  bank.pluginId = e->uniqueID;
  bank.pluginVersion = e->version;
  bank.numPrograms = e->numPrograms;
  bank.opaque = opaque;
  auto current = plugin.dispatch(vst::effGetProgram);
  bank.currentProgram = static_cast<int32_t>(current);
  if (opaque) {
    bank.chunk = plugin.getChunk(false);
    if (bank.chunk.empty()) throw RenderError("the plug-in hands out no bank chunk");
    return bank;
  }
  for (int32_t i = 0; i < e->numPrograms; ++i) {
    plugin.dispatch(vst::effSetProgram, 0, i);
    bank.programs.push_back(captureProgram(plugin, false));
  }
  plugin.dispatch(vst::effSetProgram, 0, current);
  return bank;
}

void applyProgram(PluginInstance& plugin, const FxProgram& program, const std::string& what) {
  checkIdentity(plugin, program.pluginId, what);
  if (!program.opaque) {
    setParameters(plugin, program, what);
    return;
  }
  if (plugin.setChunk(program.chunk, true) == 0)
    throw RenderError(what + ": the plug-in refused the " + std::to_string(program.chunk.size()) +
                      "-byte program chunk");
  reapplyStoredProgram(plugin);
}

void applyBank(PluginInstance& plugin, const FxBank& bank, const std::string& what) {
  checkIdentity(plugin, bank.pluginId, what);
  int32_t count = plugin.effect()->numPrograms;
  if (bank.opaque) {
    if (plugin.setChunk(bank.chunk, false) == 0)
      throw RenderError(what + ": the plug-in refused the " + std::to_string(bank.chunk.size()) +
                        "-byte bank chunk");
    reapplyStoredProgram(plugin);
    return;
  }
  if (static_cast<int32_t>(bank.programs.size()) != count)
    throw RenderError(what + ": holds " + std::to_string(bank.programs.size()) +
                      " programs, the plug-in has " + std::to_string(count));
  for (int32_t i = 0; i < count; ++i) {
    plugin.dispatch(vst::effSetProgram, 0, i);
    setParameters(plugin, bank.programs[size_t(i)], what);
  }
  int32_t current = std::clamp(bank.currentProgram, 0, std::max(count - 1, 0));
  plugin.dispatch(vst::effSetProgram, 0, current);
}

void loadPresetFile(PluginInstance& plugin, const std::string& path) {
  applyProgram(plugin, decodeProgram(readFileBytes(path), path), path);
}

void loadBankFile(PluginInstance& plugin, const std::string& path) {
  applyBank(plugin, decodeBank(readFileBytes(path), path), path);
}

void savePresetFile(PluginInstance& plugin, const std::string& path, bool opaque) {
  writeFileAtomically(path, encodeProgram(captureProgram(plugin, opaque)));
}

void saveBankFile(PluginInstance& plugin, const std::string& path, bool opaque) {
  writeFileAtomically(path, encodeBank(captureBank(plugin, opaque)));
}

}  // namespace render
