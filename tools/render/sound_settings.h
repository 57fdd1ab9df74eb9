// Program selection and parameter overrides given on the command line, by
// number or by name.
#pragma once

#include <cstdint>
#include <string>

#include "plughost/plugin_host.h"

namespace render {

// Names compare equal after trimming blanks at both ends, ignoring case.
bool namesMatch(const std::string& a, const std::string& b);

// Finds a program by number ("3") or by name ("soft koto"); throws RenderError
// for an unknown one.
int32_t findProgram(plughost::PluginInstance& plugin, const std::string& wanted);

// Finds a parameter by index ("22") or by name ("warp"); throws for an unknown
// or ambiguous one.
int32_t findParameter(plughost::PluginInstance& plugin, const std::string& wanted);

// "NAME=VALUE" or "INDEX=VALUE" split and checked: the value is normalised,
// 0 to 1. Throws RenderError for anything else.
struct ParameterAssignment {
  std::string key;
  float value = 0.0f;
};
ParameterAssignment parseParameterAssignment(const std::string& text);

// Applies an assignment to the parameter it names; answers the parameter's index.
int32_t applyParameterOverride(plughost::PluginInstance& plugin, const std::string& assignment);

}  // namespace render
