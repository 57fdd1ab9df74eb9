// The voice lanes' frame where the body filters run with AVX-512: the voices
// eight to an AVX2 register, their filters eight to an AVX-512 register, and
// the voices' work that the filters do not wait for run between the filter
// rows. Built with AVX-512 enabled for this file only, and chosen where the
// body filters' AVX-512 kernel is. Everything it uses either inlines into its
// one function or has internal linkage here, so that no copy built for AVX-512
// can stand in for another file's.
#include "engine/body_filter_pack512.h"
#include "engine/voice_lanes_kernel.h"

namespace engine {

void VoiceLanes::renderAvx512(Voice* const* voices, const EngineState& e, uint32_t run, float inA,
                              float inB, BodyFilterLanes& bodies) {
  BodyLaneState& filters = bodies.lanes();
  // Eight lanes to a register in every frame: half the registers of two
  // 256-bit chains, leaving the voices' steps theirs.
  lanes::FrameKernel<8>::renderAmongRows(
      *this, voices, e, run, inA, inB, bodies,
      [&](const BodyLaneFrame& frame, double* output, auto&& steps) __attribute__((always_inline)) {
        lanes::processLanes<Avx512Pack, Avx512Pack>(filters, frame, output, steps);
      });
}

}  // namespace engine
