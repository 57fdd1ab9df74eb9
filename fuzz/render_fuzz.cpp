// Parameter values (any float), sample rates and block sizes, notes, program
// changes and suspends, then rendering: the output is finite whenever the
// input is, and a non-finite input stops spoiling it once it has passed.
#include <cmath>
#include <cstdint>
#include <vector>

#include "fuzz/fuzz_host.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  fuzz::Input in(data, size);
  fuzz::Instance plugin;
  plugin.dispatch(vst::effMainsChanged, 0, 1);
  for (int step = 0; step < 48 && !in.empty(); ++step) {
    switch (in.byte() % 9) {
      case 0:
      case 1: {
        const int32_t index = in.range(-2, 40);
        const float value = in.byte() & 1 ? in.anyFloat() : float(in.byte()) / 255.0f;
        plugin.record()->setParameter(plugin.record(), index, value);
        fuzz::GuardedBuffer text(16);
        plugin.dispatch(vst::effGetParamDisplay, index, 0, text.data());
        text.check();
        break;
      }
      case 2:
        plugin.dispatch(vst::effSetSampleRate, 0, 0, nullptr,
                        in.byte() & 1 ? in.anyFloat() : float(in.range(1, 384000)));
        break;
      case 3:
        plugin.dispatch(vst::effSetBlockSizeAndSampleRate, 0, in.raw<int32_t>(), nullptr,
                        in.anyFloat());
        break;
      case 4: {
        std::vector<uint8_t> keys = in.bytes(size_t(in.range(1, 8)));
        plugin.notes(keys, in.byte(), in.range(-2, 2000));
        break;
      }
      case 5:
        plugin.dispatch(vst::effSetProgram, 0, in.range(0, 31));
        break;
      case 6:
        plugin.dispatch(vst::effMainsChanged, 0, in.byte() & 1);
        break;
      case 7: {
        // Host input: mostly silence or a plain signal, now and then not a number.
        const uint8_t kind = in.byte();
        float level = 0.0f;
        if (kind & 1) level = float(in.byte()) / 64.0f;
        if ((kind & 0x1E) == 0x1E) level = in.anyFloat();
        plugin.render(in.range(0, 1024), kind & 0x20, level);
        break;
      }
      default:
        plugin.render(in.range(0, 1024), in.byte() & 1);
        break;
    }
  }
  plugin.render(1024, true);
  return 0;
}
