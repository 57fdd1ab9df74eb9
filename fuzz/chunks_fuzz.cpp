// Chunks of any size and bytes, program or bank, followed by setProgram: the
// parameter texts, the names and the sound must all survive them.
#include <cstdint>
#include <vector>

#include "fuzz/fuzz_host.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  fuzz::Input in(data, size);
  fuzz::Instance plugin;
  plugin.dispatch(vst::effMainsChanged, 0, 1);
  for (int round = 0; round < 3 && !in.empty(); ++round) {
    const uint8_t how = in.byte();
    const bool preset = how & 1;
    size_t n = (how & 6) == 0 ? size_t(in.range(0, 6000)) : (preset ? 176 : 5632);
    std::vector<uint8_t> chunk = in.bytes(n);
    plugin.dispatch(vst::effSetChunk, preset ? 1 : 0, intptr_t(n), chunk.data());
    plugin.dispatch(vst::effSetProgram, 0, in.range(-1, 32));

    for (int32_t index = 0; index < 38; ++index) {
      for (int32_t opcode : {vst::effGetParamDisplay, vst::effGetParamLabel}) {
        fuzz::GuardedBuffer text(16);
        plugin.dispatch(opcode, index, 0, text.data());
        text.check();
      }
    }
    fuzz::GuardedBuffer name(24);
    plugin.dispatch(vst::effGetProgramName, 0, 0, name.data());
    name.check();
    void* out = nullptr;
    const intptr_t got = plugin.dispatch(vst::effGetChunk, in.byte() & 1, 0, &out);
    unsigned sum = 0;
    for (intptr_t i = 0; out && i < got; ++i) sum += static_cast<const uint8_t*>(out)[i];
    (void)sum;

    plugin.notes({uint8_t(in.byte() & 0x7F), 64, 100}, uint8_t(in.byte() | 1), in.range(0, 100));
    for (int block = 0; block < 4; ++block) plugin.render(512, true, block == 1 ? 0.5f : 0.0f);
  }
  return 0;
}
