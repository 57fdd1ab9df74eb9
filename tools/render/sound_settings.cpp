#include "render/sound_settings.h"

#include <cctype>
#include <cmath>
#include <cstdlib>
#include <vector>

#include "render/render_error.h"

namespace render {

using plughost::PluginInstance;

namespace {

std::string trimmed(const std::string& s) {
  size_t begin = s.find_first_not_of(" \t");
  if (begin == std::string::npos) return {};
  size_t end = s.find_last_not_of(" \t");
  return s.substr(begin, end - begin + 1);
}

bool isNumber(const std::string& s) {
  if (s.empty() || s.size() > 9) return false;
  for (char c : s)
    if (!std::isdigit(static_cast<unsigned char>(c))) return false;
  return true;
}

// Program names as the plug-in lists them; plug-ins that do not list names
// by index are asked program by program.
std::vector<std::string> programNames(PluginInstance& plugin) {
  int32_t count = plugin.effect()->numPrograms;
  std::vector<std::string> names;
  bool anyNamed = false;
  for (int32_t i = 0; i < count; ++i) {
    names.push_back(plugin.programNameIndexed(i));
    anyNamed = anyNamed || !names.back().empty();
  }
  if (anyNamed || count == 0) return names;
  auto current = plugin.dispatch(vst::effGetProgram);
  for (int32_t i = 0; i < count; ++i) {
    plugin.dispatch(vst::effSetProgram, 0, i);
    names[size_t(i)] = plugin.programName();
  }
  plugin.dispatch(vst::effSetProgram, 0, current);
  return names;
}

}  // namespace

bool namesMatch(const std::string& a, const std::string& b) {
  std::string x = trimmed(a), y = trimmed(b);
  if (x.size() != y.size()) return false;
  for (size_t i = 0; i < x.size(); ++i)
    if (std::tolower(static_cast<unsigned char>(x[i])) !=
        std::tolower(static_cast<unsigned char>(y[i])))
      return false;
  return true;
}

int32_t findProgram(PluginInstance& plugin, const std::string& wanted) {
  int32_t count = plugin.effect()->numPrograms;
  std::string key = trimmed(wanted);
  if (isNumber(key)) {
    long number = std::strtol(key.c_str(), nullptr, 10);
    if (number >= count)
      throw RenderError("no program " + key + " (the plug-in has " + std::to_string(count) + ")");
    return static_cast<int32_t>(number);
  }
  std::vector<std::string> names = programNames(plugin);
  for (size_t i = 0; i < names.size(); ++i)
    if (namesMatch(names[i], key)) return static_cast<int32_t>(i);
  throw RenderError("no program named \"" + key + "\"");
}

int32_t findParameter(PluginInstance& plugin, const std::string& wanted) {
  int32_t count = plugin.effect()->numParams;
  std::string key = trimmed(wanted);
  if (isNumber(key)) {
    long number = std::strtol(key.c_str(), nullptr, 10);
    if (number >= count)
      throw RenderError("no parameter " + key + " (the plug-in has " + std::to_string(count) + ")");
    return static_cast<int32_t>(number);
  }
  int32_t found = -1;
  for (int32_t i = 0; i < count; ++i) {
    if (!namesMatch(plugin.parameterName(i), key)) continue;
    if (found >= 0)
      throw RenderError("parameter name \"" + key + "\" is ambiguous (" + std::to_string(found) +
                        " and " + std::to_string(i) + ")");
    found = i;
  }
  if (found < 0) throw RenderError("no parameter named \"" + key + "\"");
  return found;
}

ParameterAssignment parseParameterAssignment(const std::string& text) {
  size_t equals = text.rfind('=');
  if (equals == std::string::npos || trimmed(text.substr(0, equals)).empty())
    throw RenderError("--param \"" + text + "\": expected NAME=VALUE");
  std::string number = trimmed(text.substr(equals + 1));
  char* end = nullptr;
  double value = std::strtod(number.c_str(), &end);
  if (number.empty() || *end != '\0' || !std::isfinite(value) || value < 0.0 || value > 1.0)
    throw RenderError("--param \"" + text + "\": the value must be a number from 0 to 1");
  return {text.substr(0, equals), static_cast<float>(value)};
}

int32_t applyParameterOverride(PluginInstance& plugin, const std::string& assignment) {
  ParameterAssignment a = parseParameterAssignment(assignment);
  int32_t index = findParameter(plugin, a.key);
  plugin.setParameter(index, a.value);
  return index;
}

}  // namespace render
