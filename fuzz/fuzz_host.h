// What the fuzz targets share: a reader over the fuzzer's bytes, a host that
// builds the instrument and drives it only through its effect record, host
// buffers with guard bytes after them, and the finite-output check. A broken
// guard or a non-finite sample aborts, which the fuzzer reports.
#pragma once

#include <cstddef>
#include <cstdint>
#include <cstring>
#include <vector>

#include "host/effect_record.h"

namespace fuzz {

// Takes values from the front of the fuzzer's input; zeros once it runs out.
class Input {
 public:
  Input(const uint8_t* data, size_t size) : at(data), left(size) {}
  bool empty() const { return left == 0; }
  uint8_t byte() { return left ? (--left, *at++) : 0; }
  template <typename T>
  T raw() {
    T v{};
    const size_t n = left < sizeof(T) ? left : sizeof(T);
    std::memcpy(&v, at, n);
    at += n;
    left -= n;
    return v;
  }
  // An integer in [lo, hi].
  int32_t range(int32_t lo, int32_t hi) {
    const uint32_t span = uint32_t(hi - lo) + 1u;
    return lo + int32_t(raw<uint32_t>() % span);
  }
  // Any float at all: NaN, infinities, denormals, huge values.
  float anyFloat() { return raw<float>(); }
  std::vector<uint8_t> bytes(size_t n) {
    std::vector<uint8_t> out(n);
    for (auto& b : out) b = byte();
    return out;
  }

 private:
  const uint8_t* at;
  size_t left;
};

// A host buffer of the size a host would pass, with guard bytes after it
// that the plug-in must leave alone.
class GuardedBuffer {
 public:
  explicit GuardedBuffer(size_t size, uint8_t fill = 0);
  void* data() { return storage.data(); }
  // Aborts when a guard byte changed.
  void check() const;

 private:
  static constexpr size_t kGuard = 64;
  size_t size;
  std::vector<uint8_t> storage;
};

// One instance of the instrument built through its entry function, closed
// through the dispatcher when it goes.
class Instance {
 public:
  Instance();
  ~Instance();
  Instance(const Instance&) = delete;
  Instance& operator=(const Instance&) = delete;

  vst::AEffect* record() const { return effect; }
  intptr_t dispatch(int32_t opcode, int32_t index = 0, intptr_t value = 0, void* ptr = nullptr,
                    float opt = 0.0f);
  // The instance closed itself (effClose went through the dispatcher).
  void forget() { effect = nullptr; }

  // Renders `frames` frames of the given input (replacing or accumulating) and
  // aborts on a non-finite output sample when the input was finite.
  void render(int32_t frames, bool replacing, float inputLevel = 0.0f);
  // Sends note-ons and note-offs as one event list.
  void notes(const std::vector<uint8_t>& keys, uint8_t velocity, int32_t delta);

 private:
  vst::AEffect* effect = nullptr;
};

// Aborts unless every sample is finite.
void requireFinite(const float* samples, int32_t count, const char* what);

}  // namespace fuzz
