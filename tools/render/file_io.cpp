#include "render/file_io.h"

#include <unistd.h>

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <filesystem>

#include "render/render_error.h"

namespace render {

namespace fs = std::filesystem;

std::vector<uint8_t> readFileBytes(const std::string& path) {
  std::FILE* file = std::fopen(path.c_str(), "rb");
  if (!file) throw RenderError("cannot open " + path + ": " + std::strerror(errno));
  std::vector<uint8_t> bytes;
  uint8_t buffer[65536];
  size_t got = 0;
  while ((got = std::fread(buffer, 1, sizeof buffer, file)) > 0)
    bytes.insert(bytes.end(), buffer, buffer + got);
  bool failed = std::ferror(file) != 0;
  std::fclose(file);
  if (failed) throw RenderError("cannot read " + path);
  return bytes;
}

void makeParentFolders(const std::string& path) {
  fs::path parent = fs::path(path).parent_path();
  if (parent.empty()) return;
  std::error_code error;
  fs::create_directories(parent, error);
  if (error) throw RenderError("cannot create folder " + parent.string() + ": " + error.message());
}

std::string temporaryNameFor(const std::string& path) {
  fs::path p(path);
  std::string name = "." + p.filename().string() + ".part" + std::to_string(getpid());
  return (p.parent_path() / name).string();
}

void commitTemporary(const std::string& temporary, const std::string& path) {
  if (std::rename(temporary.c_str(), path.c_str()) != 0) {
    std::string why = std::strerror(errno);
    std::remove(temporary.c_str());
    throw RenderError("cannot create " + path + ": " + why);
  }
}

void writeFileAtomically(const std::string& path, const std::vector<uint8_t>& bytes) {
  makeParentFolders(path);
  std::string temporary = temporaryNameFor(path);
  std::FILE* file = std::fopen(temporary.c_str(), "wb");
  if (!file) throw RenderError("cannot create " + path + ": " + std::strerror(errno));
  bool ok = std::fwrite(bytes.data(), 1, bytes.size(), file) == bytes.size();
  ok = (std::fclose(file) == 0) && ok;
  if (!ok) {
    std::remove(temporary.c_str());
    throw RenderError("cannot write " + path);
  }
  commitTemporary(temporary, path);
}

}  // namespace render
