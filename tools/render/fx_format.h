// The VST 2 preset (.fxp) and bank (.fxb) file formats, as plain data: encoding
// to bytes and decoding from bytes, with no plug-in involved.
//
// Every field is big-endian. A file starts with "CcnK" and the size of the rest;
// a preset then holds either the parameter values ("FxCk") or an opaque chunk
// ("FPCh"), a bank either one preset record per program ("FxBk") or one opaque
// chunk ("FBCh").
#pragma once

#include <cstdint>
#include <string>
#include <vector>

namespace render {

// One program: a name and either parameter values or an opaque chunk.
struct FxProgram {
  int32_t pluginId = 0;       // fxID: the plug-in's unique ID
  int32_t pluginVersion = 0;  // fxVersion: the plug-in's version
  std::string name;           // at most 27 characters are stored
  bool opaque = false;        // true: chunk holds the state; false: params do
  int32_t numParams = 0;      // as stored in the file (also for opaque presets)
  std::vector<float> params;
  std::vector<uint8_t> chunk;
};

// A bank: programs in order, or one opaque chunk.
struct FxBank {
  int32_t pluginId = 0;
  int32_t pluginVersion = 0;
  int32_t numPrograms = 0;
  int32_t currentProgram = 0;  // stored from format version 2 on
  bool opaque = false;
  std::vector<FxProgram> programs;  // parameter banks only
  std::vector<uint8_t> chunk;       // opaque banks only
};

std::vector<uint8_t> encodeProgram(const FxProgram& program);
std::vector<uint8_t> encodeBank(const FxBank& bank);

// Decoders throw RenderError naming what is wrong ("what" names the file).
FxProgram decodeProgram(const std::vector<uint8_t>& bytes, const std::string& what);
FxBank decodeBank(const std::vector<uint8_t>& bytes, const std::string& what);

// Four-character code as text, for messages ("QSTV").
std::string fourCCText(int32_t code);

}  // namespace render
