// The body filter lanes with AVX-512 (with its 256-bit forms): all eight lanes
// in one register. Built with AVX-512 enabled for this file only and chosen at
// run time where the processor has it.
#include "engine/body_filter_pack512.h"

namespace engine {

void processBodyLanesAvx512(BodyLaneState& lanes, const BodyLaneFrame& frame, double* output) {
  lanes::processLanes<Avx512Pack, Avx512HalfPack>(lanes, frame, output);
}

}  // namespace engine
