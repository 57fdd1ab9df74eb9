// Helpers for the renderer's tests: scratch folders, running the tool, reading
// its audio, and writing MIDI and preset files byte by byte.
#pragma once

#include <gtest/gtest.h>
#include <sndfile.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cstdint>
#include <cstdio>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>
#include <vector>

namespace render_test {

namespace fs = std::filesystem;

// A fresh folder per test, removed afterwards.
struct ScratchFolder {
  ScratchFolder() {
    const auto* info = ::testing::UnitTest::GetInstance()->current_test_info();
    path = fs::temp_directory_path() / ("qs_render_" + std::to_string(getpid()) + "_" +
                                        info->test_suite_name() + "_" + info->name());
    fs::remove_all(path);
    fs::create_directories(path);
  }
  ~ScratchFolder() { fs::remove_all(path); }
  std::string operator/(const std::string& name) const { return (path / name).string(); }
  // Names of everything in the folder.
  std::vector<std::string> entries() const {
    std::vector<std::string> names;
    for (const auto& e : fs::directory_iterator(path)) names.push_back(e.path().filename());
    return names;
  }
  fs::path path;
};

inline std::string slurp(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  std::stringstream s;
  s << in.rdbuf();
  return s.str();
}

inline std::vector<uint8_t> readBytes(const std::string& path) {
  std::string s = slurp(path);
  return std::vector<uint8_t>(s.begin(), s.end());
}

inline void writeBytes(const std::string& path, const std::vector<uint8_t>& bytes) {
  std::ofstream out(path, std::ios::binary);
  out.write(reinterpret_cast<const char*>(bytes.data()), std::streamsize(bytes.size()));
}

inline std::string shellQuoted(const std::string& s) {
  std::string q = "'";
  for (char c : s) q += c == '\'' ? std::string("'\\''") : std::string(1, c);
  return q + "'";
}

struct ToolRun {
  int exitCode = -1;
  std::string out, err;
};

// Runs quillstave-render with the arguments, collecting stdout and stderr.
inline ToolRun runTool(const ScratchFolder& folder, const std::vector<std::string>& args) {
  std::string command = shellQuoted(QS_RENDER_TOOL);
  for (const auto& a : args) command += " " + shellQuoted(a);
  std::string outPath = (folder.path / ".stdout").string(),
              errPath = (folder.path / ".stderr").string();
  command += " >" + shellQuoted(outPath) + " 2>" + shellQuoted(errPath);
  ToolRun run;
  int status = std::system(command.c_str());
  run.exitCode = WIFEXITED(status) ? WEXITSTATUS(status) : -1;
  run.out = slurp(outPath);
  run.err = slurp(errPath);
  fs::remove(outPath);
  fs::remove(errPath);
  return run;
}

struct Audio {
  int rate = 0;
  int channels = 0;
  int format = 0;
  std::vector<std::vector<float>> samples;  // per channel
  size_t frames() const { return samples.empty() ? 0 : samples[0].size(); }
};

inline Audio readAudio(const std::string& path) {
  Audio audio;
  SF_INFO info{};
  SNDFILE* file = sf_open(path.c_str(), SFM_READ, &info);
  if (!file) {
    ADD_FAILURE() << "cannot read " << path;
    return audio;
  }
  audio.rate = info.samplerate;
  audio.channels = info.channels;
  audio.format = info.format;
  std::vector<float> interleaved(size_t(info.frames) * size_t(info.channels));
  sf_readf_float(file, interleaved.data(), info.frames);
  sf_close(file);
  audio.samples.assign(size_t(info.channels), std::vector<float>(size_t(info.frames)));
  for (size_t i = 0; i < size_t(info.frames); ++i)
    for (size_t c = 0; c < size_t(info.channels); ++c)
      audio.samples[c][i] = interleaved[i * size_t(info.channels) + c];
  return audio;
}

// Big-endian byte building, for MIDI and preset files made by hand.
struct Bytes {
  std::vector<uint8_t> data;
  Bytes& text(const std::string& s) {
    data.insert(data.end(), s.begin(), s.end());
    return *this;
  }
  Bytes& u8(uint8_t v) {
    data.push_back(v);
    return *this;
  }
  Bytes& u16(uint16_t v) { return u8(uint8_t(v >> 8)).u8(uint8_t(v)); }
  Bytes& u32(uint32_t v) { return u16(uint16_t(v >> 16)).u16(uint16_t(v)); }
  Bytes& f32(float v) {
    uint32_t bits;
    std::memcpy(&bits, &v, 4);
    return u32(bits);
  }
  Bytes& f32le(float v) {
    uint8_t b[4];
    std::memcpy(b, &v, 4);
    data.insert(data.end(), b, b + 4);
    return *this;
  }
  Bytes& zeros(size_t n) {
    data.insert(data.end(), n, 0);
    return *this;
  }
  Bytes& name(const std::string& s, size_t field) {
    text(s);
    return zeros(field - s.size());
  }
  Bytes& append(const std::vector<uint8_t>& more) {
    data.insert(data.end(), more.begin(), more.end());
    return *this;
  }
  // MIDI variable-length quantity.
  Bytes& vlq(uint32_t v) {
    uint8_t b[5];
    int n = 0;
    b[n++] = uint8_t(v & 0x7F);
    while (v >>= 7) b[n++] = uint8_t((v & 0x7F) | 0x80);
    while (n) u8(b[--n]);
    return *this;
  }
  size_t size() const { return data.size(); }
};

// A chunk: four-letter type, 32-bit size, contents.
inline std::vector<uint8_t> chunk(const std::string& type, const std::vector<uint8_t>& body) {
  Bytes b;
  b.text(type).u32(uint32_t(body.size())).append(body);
  return b.data;
}

// A whole MIDI file from a header and track bodies (each ending in its own
// end-of-track event).
inline std::vector<uint8_t> midiFile(int format, int ppqn,
                                     const std::vector<std::vector<uint8_t>>& tracks) {
  Bytes header;
  header.u16(uint16_t(format)).u16(uint16_t(tracks.size())).u16(uint16_t(ppqn));
  Bytes file;
  file.append(chunk("MThd", header.data));
  for (const auto& t : tracks) file.append(chunk("MTrk", t));
  return file.data;
}

}  // namespace render_test
