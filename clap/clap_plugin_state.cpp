// The plug-in's state (a small header, the current program and the bank) and
// the factory programs loaded by key.
#include <cstdlib>
#include <cstring>
#include <vector>

#include "clap/clap_plugin.h"
#include "params/program_bank.h"

namespace clap_format {

namespace {

constexpr char kMagic[4] = {'Q', 'S', 'C', 'L'};
constexpr uint32_t kStateVersion = 1;
constexpr int32_t kFactoryPrograms = 8;

struct StateHeader {
  char magic[4];
  uint32_t version;
  int32_t program;
  uint32_t bankSize;
};

bool writeAll(const clap::OutputStream* stream, const void* data, uint64_t size) {
  const auto* bytes = static_cast<const uint8_t*>(data);
  while (size > 0) {
    const int64_t written = stream->write(stream, bytes, size);
    if (written <= 0 || static_cast<uint64_t>(written) > size) return false;
    bytes += written;
    size -= static_cast<uint64_t>(written);
  }
  return true;
}

}  // namespace

bool ClapPlugin::save(const clap::OutputStream* stream) {
  if (!stream || !stream->write) return false;
  void* bank = nullptr;
  const int32_t size = synth.getState(&bank, false);
  if (size <= 0 || !bank) return false;
  StateHeader header{};
  std::memcpy(header.magic, kMagic, sizeof kMagic);
  header.version = kStateVersion;
  header.program = synth.getProgram();
  header.bankSize = static_cast<uint32_t>(size);
  return writeAll(stream, &header, sizeof header) && writeAll(stream, bank, uint64_t(size));
}

// Reads to the end, or one byte past what a state can hold; a state of any
// other shape is refused and the current one kept.
bool ClapPlugin::load(const clap::InputStream* stream) {
  if (!stream || !stream->read) return false;
  const size_t expected = sizeof(StateHeader) + sizeof(params::ProgramBank);
  std::vector<uint8_t> bytes(expected + 1);
  size_t got = 0;
  while (got < bytes.size()) {
    const int64_t n = stream->read(stream, bytes.data() + got, bytes.size() - got);
    if (n < 0 || static_cast<uint64_t>(n) > bytes.size() - got) return false;
    if (n == 0) break;
    got += static_cast<size_t>(n);
  }
  if (got != expected) return false;
  StateHeader header;
  std::memcpy(&header, bytes.data(), sizeof header);
  if (std::memcmp(header.magic, kMagic, sizeof kMagic) != 0 || header.version != kStateVersion ||
      header.bankSize != sizeof(params::ProgramBank) || header.program < 0 ||
      header.program >= params::kNumPrograms)
    return false;
  if (!synth.setState(bytes.data() + sizeof header, static_cast<int32_t>(header.bankSize), false))
    return false;
  synth.setProgram(header.program);
  valuesReloaded();
  return true;
}

// The factory programs, keyed "0" to "7": the program is selected and its
// values made the factory's again.
bool ClapPlugin::loadFactoryProgram(uint32_t locationKind, const char* loadKey) {
  if (locationKind != clap::kPresetLocationPlugin || !loadKey || !*loadKey) return false;
  char* end = nullptr;
  const long number = std::strtol(loadKey, &end, 10);
  if (*end != '\0' || number < 0 || number >= kFactoryPrograms) return false;
  const auto factory = std::make_unique<params::ProgramBank>();
  params::writeFactoryPresets(*factory);
  const int32_t program = static_cast<int32_t>(number);
  synth.setProgram(program);
  synth.setState(&factory->programs[program], sizeof(params::ProgramRecord), true);
  synth.setProgram(program);
  valuesReloaded();
  return true;
}

}  // namespace clap_format
