// Generates the LV2 bundle's Turtle files into the folder named on the command line.
#include <cstdio>
#include <fstream>
#include <set>
#include <string>

#include "lv2/ttl_writer.h"
#include "params/parameter_table.h"

int main(int argc, char** argv) {
  if (argc != 2) {
    std::fprintf(stderr, "usage: %s BUNDLE-FOLDER\n", argv[0]);
    return 2;
  }
  std::set<std::string> symbols;
  for (int32_t i = 0; i < params::kNumParams; ++i) {
    if (!symbols.insert(lv2::portSymbol(i)).second) {
      std::fprintf(stderr, "port symbol %s is not unique\n", lv2::portSymbol(i).c_str());
      return 1;
    }
  }
  const std::string folder = argv[1];
  std::ofstream manifest(folder + "/manifest.ttl"), plugin(folder + "/quillstave.ttl"),
      presets(folder + "/presets.ttl");
  lv2::writeManifest(manifest);
  lv2::writePlugin(plugin);
  lv2::writePresets(presets);
  manifest.close();
  plugin.close();
  presets.close();
  if (!manifest || !plugin || !presets) {
    std::fprintf(stderr, "cannot write the Turtle files into %s\n", folder.c_str());
    return 1;
  }
  return 0;
}
