// The dispatcher: every opcode from -5 to 80 with any index, value and opt,
// and host buffers of the sizes hosts pass, checked for writes past them.
#include <cstdint>
#include <vector>

#include "fuzz/fuzz_host.h"

namespace {

// Bytes the plug-in may write for a text opcode (names of programs are 24,
// parameter texts 16, identity texts 64 and pin labels their record).
size_t textSize(int32_t opcode) {
  switch (opcode) {
    case vst::effGetProgramName:
    case vst::effGetProgramNameIndexed:
      return 24;
    case vst::effGetParamLabel:
    case vst::effGetParamDisplay:
    case vst::effGetParamName:
      return 16;
    case vst::effGetEffectName:
      return 32;
    case vst::effGetInputProperties:
    case vst::effGetOutputProperties:
      return sizeof(vst::VstPinProperties);
    default:
      return 64;
  }
}

// A zero-terminated text of up to 40 bytes from the input.
fuzz::GuardedBuffer textFrom(fuzz::Input& in) {
  const size_t n = size_t(in.range(0, 40));
  fuzz::GuardedBuffer text(n + 1);
  auto* p = static_cast<uint8_t*>(text.data());
  for (size_t i = 0; i < n; ++i) p[i] = in.byte();
  p[n] = 0;
  return text;
}

void call(fuzz::Instance& plugin, fuzz::Input& in) {
  const int32_t opcode = in.range(-5, 80);
  const int32_t index = in.byte() & 1 ? in.range(-2, 40) : in.raw<int32_t>();
  const intptr_t value = in.byte() & 1 ? in.range(-2, 40) : in.raw<intptr_t>();
  const float opt = in.anyFloat();
  switch (opcode) {
    case vst::effClose:
      plugin.dispatch(opcode, index, value, nullptr, opt);
      plugin.forget();
      return;
    case vst::effEditOpen:  // no window system: the editor runs headless
      plugin.dispatch(opcode, index, value, nullptr, opt);
      return;
    case vst::effEditGetRect: {
      vst::ERect* rect = nullptr;
      plugin.dispatch(opcode, index, value, &rect, opt);
      if (rect && rect->bottom - rect->top <= 0) __builtin_trap();  // the editor's size
      return;
    }
    case vst::effGetChunk: {
      void* chunk = nullptr;
      const intptr_t size = plugin.dispatch(opcode, index, value, &chunk, opt);
      unsigned sum = 0;
      for (intptr_t i = 0; chunk && i < size; ++i) sum += static_cast<const uint8_t*>(chunk)[i];
      (void)sum;
      return;
    }
    case vst::effSetChunk: {
      const size_t n = in.byte() & 1 ? (in.byte() & 1 ? 176 : 5632) : size_t(in.range(0, 600));
      std::vector<uint8_t> data = in.bytes(n);
      plugin.dispatch(opcode, index, intptr_t(n), data.data(), opt);
      return;
    }
    case vst::effProcessEvents: {
      std::vector<uint8_t> keys = in.bytes(size_t(in.range(0, 6)));
      plugin.notes(keys, in.byte(), in.range(-4, 600));
      return;
    }
    case vst::effSetProgramName:
    case vst::effString2Parameter:
    case vst::effCanDo: {
      fuzz::GuardedBuffer text = textFrom(in);
      plugin.dispatch(opcode, index, value, text.data(), opt);
      text.check();
      return;
    }
    case vst::effGetSpeakerArrangement: {
      void* input = &input;
      void* output = &output;
      plugin.dispatch(opcode, index, reinterpret_cast<intptr_t>(&input), &output, opt);
      return;
    }
    default: {
      // Text and record opcodes write into the buffer; the others must not care.
      const bool null = (in.byte() & 7) == 0;
      fuzz::GuardedBuffer buffer(textSize(opcode));
      plugin.dispatch(opcode, index, value, null ? nullptr : buffer.data(), opt);
      buffer.check();
      return;
    }
  }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  fuzz::Input in(data, size);
  fuzz::Instance plugin;
  plugin.dispatch(vst::effMainsChanged, 0, 1);
  plugin.notes({60, 67}, 100, 0);
  for (int call_count = 0; call_count < 64 && !in.empty() && plugin.record(); ++call_count) {
    call(plugin, in);
    if (plugin.record() && call_count % 4 == 3) plugin.render(in.range(0, 512), in.byte() & 1);
  }
  if (plugin.record()) plugin.render(256, true);
  return 0;
}
