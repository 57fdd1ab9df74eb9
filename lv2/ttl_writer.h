// Writes the bundle's Turtle files from the parameter table, the named
// settings and the factory programs, so that nothing is written down twice.
#pragma once

#include <ostream>
#include <string>

namespace lv2 {

// A port symbol made from a parameter's name: lower case, runs of other
// characters as one underscore ("Lkg A->B" gives "lkg_a_b").
std::string portSymbol(int32_t parameterIndex);

void writeManifest(std::ostream& out);
void writePlugin(std::ostream& out);
void writePresets(std::ostream& out);

}  // namespace lv2
