// The state of eight body filters laid out side by side: every array holds
// element j of lane l at j * kLanes + l, so that one element of all the lanes
// is a row that SIMD registers load at once. `BodyFilter` is one lane's view;
// `BodyFilterLanes::process` runs the lanes of one sample frame together.
#pragma once

#include <cstdint>
#include <vector>

namespace engine {

// The columns and per-lane values of eight filters.
struct BodyLaneState {
  static constexpr int kLanes = 8;
  // Outputs beyond this (80 dB above full scale) come only from a recursion that
  // runs away: the lane is silenced.
  static constexpr double kRunawayLevel = 1.0e4;

  explicit BodyLaneState(int capacity);
  BodyLaneState(const BodyLaneState&) = delete;
  BodyLaneState& operator=(const BodyLaneState&) = delete;

  int capacity = 1;
  // Plain pointers into `storage`, each `capacity` rows of kLanes: the kernels,
  // built for other instruction sets, use no inline library code on them.
  double* coefficientsA = nullptr;
  double* coefficientsB = nullptr;
  // Set B minus set A, kept as the sets are loaded: the morph needs only it.
  double* coefficientsStep = nullptr;
  double* effective = nullptr;
  // One state row per element, updated in place: element j of the new state is
  // written only after element j of the old state has been read.
  double* state = nullptr;

  int32_t order[kLanes] = {};
  double gain[kLanes] = {};
  double warpFactor[kLanes] = {};
  double normaliser[kLanes] = {};
  double lastOutput[kLanes] = {};
  // Counts every processed sample and is never reset; unsigned so that it wraps
  // (in step with intervals that divide 2^32) instead of overflowing.
  uint32_t processCount[kLanes] = {};
  int32_t refreshInterval[kLanes] = {};

  // Bit l: lane l's effective coefficients are those of its current sets and
  // gain at the morph `morphUsed[l]` (bit for bit), so that recomputing them
  // at that morph would give them again.
  uint32_t coefficientsCurrent = 0;
  double morphUsed[kLanes] = {};

  // The state update of a lane's last sample may still be owed: the lane kernels
  // apply it together with the next sample's feedback pass (the two chains then
  // run side by side). Its output and warping are kept for it here.
  uint32_t owed = 0;  // bit l: lane l owes its update
  double owedOutput[kLanes] = {};
  double owedLambda[kLanes] = {};

  // Applies the owed state update of a lane now, if any. Everything that reads
  // or changes a lane's state, order or effective coefficients does this first.
  // (Out of line, as everything the kernels call.)
  void settle(int lane);
  // Zeroes one lane's state column and last output; nothing is owed any more.
  void resetLane(int lane);
  // The lane's coefficient sets, gain or order changed.
  void coefficientsChanged(int lane) { coefficientsCurrent &= ~(1u << lane); }

 private:
  std::vector<double> storage;
};

// What the voices hand to the filters for one sample frame.
struct BodyLaneFrame {
  uint32_t active = 0;  // bit l: lane l's filter runs this frame
  double input[BodyLaneState::kLanes] = {};
  double lambda[BodyLaneState::kLanes] = {};
  double morph[BodyLaneState::kLanes] = {};
};

// One kernel per instruction set; every kernel gives the bits of
// `BodyFilter::process` in every active lane. The other lanes keep their
// filters as they are (an update they owe may be applied).
using BodyLaneKernel = void (*)(BodyLaneState& lanes, const BodyLaneFrame& frame, double* output);
void processBodyLanesSse2(BodyLaneState& lanes, const BodyLaneFrame& frame, double* output);
void processBodyLanesAvx(BodyLaneState& lanes, const BodyLaneFrame& frame, double* output);
void processBodyLanesAvx512(BodyLaneState& lanes, const BodyLaneFrame& frame, double* output);

class BodyFilterLanes {
 public:
  enum class Kernel { sse2, avx, avx512 };

  explicit BodyFilterLanes(int capacity);

  BodyLaneState& lanes() { return data; }

  // Whether the processor and this build offer a kernel.
  static bool available(Kernel kernel);
  // Picks the kernel, if available (else SSE2). Default: the fastest available.
  void setKernel(Kernel kernel);
  Kernel getKernel() const { return kernel; }

  // Filters one sample in every active lane; `output` receives each active lane's
  // result (the other entries receive meaningless values, or none).
  void process(const BodyLaneFrame& frame, double* output) { run(data, frame, output); }

 private:
  BodyLaneState data;
  Kernel kernel = Kernel::sse2;
  BodyLaneKernel run = processBodyLanesSse2;
};

}  // namespace engine
