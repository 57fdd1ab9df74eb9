// Reads the DLL's export directory from the file itself: hosts look up "main".
#include <gtest/gtest.h>

#include <cstdint>
#include <cstring>
#include <fstream>
#include <iterator>
#include <set>
#include <string>
#include <vector>

namespace {

std::vector<uint8_t> readFile(const char* path) {
  std::ifstream in(path, std::ios::binary);
  return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

uint32_t u32(const std::vector<uint8_t>& b, size_t at) {
  uint32_t v;
  std::memcpy(&v, &b.at(at + 3) - 3, 4);
  return v;
}

uint16_t u16(const std::vector<uint8_t>& b, size_t at) {
  uint16_t v;
  std::memcpy(&v, &b.at(at + 1) - 1, 2);
  return v;
}

// Names in the export directory of a PE32 image.
std::set<std::string> exportedNames(const std::vector<uint8_t>& image) {
  size_t pe = u32(image, 0x3C);
  EXPECT_EQ(u32(image, pe), 0x4550u);  // "PE\0\0"
  size_t coff = pe + 4;
  uint16_t sections = u16(image, coff + 2);
  uint16_t optionalSize = u16(image, coff + 16);
  size_t optional = coff + 20;
  EXPECT_EQ(u16(image, optional), 0x10Bu) << "a 32-bit image";
  uint32_t exportRva = u32(image, optional + 96);
  size_t sectionTable = optional + optionalSize;
  auto toOffset = [&](uint32_t rva) -> size_t {
    for (uint16_t s = 0; s < sections; ++s) {
      size_t h = sectionTable + 40u * s;
      uint32_t va = u32(image, h + 12), size = u32(image, h + 8), raw = u32(image, h + 20);
      if (rva >= va && rva < va + size) return raw + (rva - va);
    }
    return 0;
  };
  std::set<std::string> names;
  size_t dir = toOffset(exportRva);
  uint32_t count = u32(image, dir + 24);
  size_t nameTable = toOffset(u32(image, dir + 32));
  for (uint32_t i = 0; i < count; ++i)
    names.insert(reinterpret_cast<const char*>(&image.at(toOffset(u32(image, nameTable + 4 * i)))));
  return names;
}

}  // namespace

TEST(DllExports, ExportTableNamesMainAndVstPluginMain) {
  auto image = readFile("quillstave.dll");
  ASSERT_GT(image.size(), 1024u);
  auto names = exportedNames(image);
  EXPECT_TRUE(names.count("main"));
  EXPECT_TRUE(names.count("VSTPluginMain"));
  for (const auto& n : names) EXPECT_EQ(n.find('@'), std::string::npos) << n << " is decorated";
}
