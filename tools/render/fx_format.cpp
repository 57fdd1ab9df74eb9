#include "render/fx_format.h"

#include <algorithm>
#include <bit>
#include <cstring>

#include "host/effect_record.h"
#include "render/render_error.h"

namespace render {

namespace {

constexpr int32_t kFileMagic = vst::fourCC("CcnK");
constexpr int32_t kProgramParams = vst::fourCC("FxCk");
constexpr int32_t kProgramChunk = vst::fourCC("FPCh");
constexpr int32_t kBankParams = vst::fourCC("FxBk");
constexpr int32_t kBankChunk = vst::fourCC("FBCh");
constexpr size_t kNameBytes = 28;
constexpr size_t kBankReserved = 128;
// Sizes of what precedes the values or chunk.
constexpr size_t kProgramHeader = 7 * 4 + kNameBytes;
constexpr size_t kBankHeader = 7 * 4 + kBankReserved;

class ByteWriter {
 public:
  void u32(uint32_t v) {
    for (int shift = 24; shift >= 0; shift -= 8) bytes.push_back(uint8_t(v >> shift));
  }
  void i32(int32_t v) { u32(static_cast<uint32_t>(v)); }
  void f32(float v) { u32(std::bit_cast<uint32_t>(v)); }
  void raw(const uint8_t* data, size_t size) { bytes.insert(bytes.end(), data, data + size); }
  void zeros(size_t size) { bytes.insert(bytes.end(), size, 0); }
  // Fixed-size text field, NUL-padded; always keeps one terminating NUL.
  void text(const std::string& s, size_t size) {
    size_t n = std::min(s.size(), size - 1);
    raw(reinterpret_cast<const uint8_t*>(s.data()), n);
    zeros(size - n);
  }
  // Fills in the size field at offset 4 once everything is written.
  std::vector<uint8_t> finish() {
    uint32_t rest = static_cast<uint32_t>(bytes.size() - 8);
    for (int i = 0; i < 4; ++i) bytes[4 + i] = uint8_t(rest >> (24 - 8 * i));
    return std::move(bytes);
  }
  std::vector<uint8_t> bytes;
};

class ByteReader {
 public:
  ByteReader(const std::vector<uint8_t>& data, size_t begin, size_t end, const std::string& what)
      : bytes(data), pos(begin), limit(end), name(what) {}

  uint32_t u32() {
    need(4, "a field");
    uint32_t v = 0;
    for (int i = 0; i < 4; ++i) v = (v << 8) | bytes[pos++];
    return v;
  }
  int32_t i32() { return static_cast<int32_t>(u32()); }
  float f32() { return std::bit_cast<float>(u32()); }
  std::string text(size_t size) {
    need(size, "the name");
    const char* start = reinterpret_cast<const char*>(&bytes[pos]);
    pos += size;
    return std::string(start, strnlen(start, size));
  }
  std::vector<uint8_t> raw(size_t size, const char* field) {
    need(size, field);
    std::vector<uint8_t> out(bytes.begin() + long(pos), bytes.begin() + long(pos + size));
    pos += size;
    return out;
  }
  void skip(size_t size) {
    need(size, "the header");
    pos += size;
  }
  size_t position() const { return pos; }
  size_t left() const { return limit - pos; }
  [[noreturn]] void fail(const std::string& why) const { throw RenderError(name + ": " + why); }

 private:
  void need(size_t size, const char* field) const {
    if (left() < size) fail(std::string("file ends inside ") + field);
  }
  const std::vector<uint8_t>& bytes;
  size_t pos, limit;
  const std::string& name;
};

// Reads "CcnK" and the size, and checks the size against what the file holds;
// answers a reader over the record's contents.
ByteReader openRecord(const std::vector<uint8_t>& bytes, size_t begin, size_t end,
                      const std::string& what) {
  ByteReader header(bytes, begin, end, what);
  if (header.left() < 8 || header.u32() != uint32_t(kFileMagic))
    header.fail("not a VST preset or bank file (no \"CcnK\" header)");
  uint32_t rest = header.u32();
  if (rest != header.left())
    header.fail("size field says " + std::to_string(rest) + " bytes follow, file has " +
                std::to_string(header.left()));
  return ByteReader(bytes, begin + 8, end, what);
}

void writeProgram(ByteWriter& w, const FxProgram& p) {
  w.i32(kFileMagic);
  w.u32(0);  // size, filled in by finish()
  w.i32(p.opaque ? kProgramChunk : kProgramParams);
  w.i32(1);
  w.i32(p.pluginId);
  w.i32(p.pluginVersion);
  w.i32(p.opaque ? p.numParams : static_cast<int32_t>(p.params.size()));
  w.text(p.name, kNameBytes);
  if (p.opaque) {
    w.i32(static_cast<int32_t>(p.chunk.size()));
    w.raw(p.chunk.data(), p.chunk.size());
  } else {
    for (float v : p.params) w.f32(v);
  }
}

FxProgram readProgram(ByteReader& r) {
  FxProgram p;
  int32_t kind = r.i32();
  if (kind != kProgramParams && kind != kProgramChunk) {
    if (kind == kBankParams || kind == kBankChunk)
      r.fail("this is a bank (.fxb), not a preset (.fxp)");
    r.fail("unknown preset kind \"" + fourCCText(kind) + "\"");
  }
  p.opaque = kind == kProgramChunk;
  int32_t version = r.i32();
  if (version < 1) r.fail("unsupported format version " + std::to_string(version));
  p.pluginId = r.i32();
  p.pluginVersion = r.i32();
  p.numParams = r.i32();
  if (p.numParams < 0) r.fail("negative parameter count");
  p.name = r.text(kNameBytes);
  if (p.opaque) {
    int32_t size = r.i32();
    if (size < 0 || size_t(size) != r.left())
      r.fail("chunk size " + std::to_string(size) + " does not match the " +
             std::to_string(r.left()) + " bytes that follow");
    p.chunk = r.raw(size_t(size), "the chunk");
  } else {
    if (size_t(p.numParams) * 4 != r.left())
      r.fail(std::to_string(p.numParams) + " parameters do not match the " +
             std::to_string(r.left()) + " bytes that follow");
    p.params.resize(size_t(p.numParams));
    for (float& v : p.params) v = r.f32();
  }
  return p;
}

}  // namespace

std::string fourCCText(int32_t code) {
  std::string s;
  for (int shift = 24; shift >= 0; shift -= 8) {
    char c = char(uint32_t(code) >> shift);
    s += (c >= 32 && c < 127) ? c : '?';
  }
  return s;
}

std::vector<uint8_t> encodeProgram(const FxProgram& program) {
  ByteWriter w;
  writeProgram(w, program);
  return w.finish();
}

std::vector<uint8_t> encodeBank(const FxBank& bank) {
  ByteWriter w;
  w.i32(kFileMagic);
  w.u32(0);
  w.i32(bank.opaque ? kBankChunk : kBankParams);
  w.i32(2);  // version 2 stores the current program
  w.i32(bank.pluginId);
  w.i32(bank.pluginVersion);
  w.i32(bank.opaque ? bank.numPrograms : static_cast<int32_t>(bank.programs.size()));
  w.i32(bank.currentProgram);
  w.zeros(kBankReserved - 4);
  if (bank.opaque) {
    w.i32(static_cast<int32_t>(bank.chunk.size()));
    w.raw(bank.chunk.data(), bank.chunk.size());
  } else {
    for (const FxProgram& p : bank.programs) {
      ByteWriter inner;
      writeProgram(inner, p);
      std::vector<uint8_t> record = inner.finish();
      w.raw(record.data(), record.size());
    }
  }
  return w.finish();
}

FxProgram decodeProgram(const std::vector<uint8_t>& bytes, const std::string& what) {
  ByteReader r = openRecord(bytes, 0, bytes.size(), what);
  return readProgram(r);
}

FxBank decodeBank(const std::vector<uint8_t>& bytes, const std::string& what) {
  ByteReader r = openRecord(bytes, 0, bytes.size(), what);
  FxBank bank;
  int32_t kind = r.i32();
  if (kind != kBankParams && kind != kBankChunk) {
    if (kind == kProgramParams || kind == kProgramChunk)
      r.fail("this is a preset (.fxp), not a bank (.fxb)");
    r.fail("unknown bank kind \"" + fourCCText(kind) + "\"");
  }
  bank.opaque = kind == kBankChunk;
  int32_t version = r.i32();
  if (version < 1) r.fail("unsupported format version " + std::to_string(version));
  bank.pluginId = r.i32();
  bank.pluginVersion = r.i32();
  bank.numPrograms = r.i32();
  if (bank.numPrograms < 0) r.fail("negative program count");
  int32_t current = r.i32();
  bank.currentProgram = version >= 2 ? current : 0;
  r.skip(kBankReserved - 4);
  if (bank.opaque) {
    int32_t size = r.i32();
    if (size < 0 || size_t(size) != r.left())
      r.fail("chunk size " + std::to_string(size) + " does not match the " +
             std::to_string(r.left()) + " bytes that follow");
    bank.chunk = r.raw(size_t(size), "the chunk");
    return bank;
  }
  for (int32_t i = 0; i < bank.numPrograms; ++i) {
    // Each program is a complete preset record with its own header and size.
    size_t start = r.position();
    if (r.left() < 8) r.fail("file ends before program " + std::to_string(i));
    ByteReader sizeProbe(bytes, start + 4, start + 8, what);
    size_t recordEnd = start + 8 + sizeProbe.u32();
    if (recordEnd > start + r.left())
      r.fail("program " + std::to_string(i) + " runs past the end of the file");
    ByteReader inner = openRecord(bytes, start, recordEnd, what);
    FxProgram p = readProgram(inner);
    if (p.opaque) r.fail("program " + std::to_string(i) + " of a parameter bank is a chunk");
    bank.programs.push_back(std::move(p));
    r.skip(recordEnd - start);
  }
  if (r.left() != 0) r.fail(std::to_string(r.left()) + " stray bytes after the last program");
  return bank;
}

}  // namespace render
