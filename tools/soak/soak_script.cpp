#include "soak/soak_script.h"

namespace soak {

void Script::next(int32_t frames, BlockActions& actions) {
  actions.midi.clear();
  actions.parameters.clear();
  actions.program = -1;
  auto add = [&](uint8_t status, int32_t d1, int32_t d2) {
    if (actions.midi.size() < kMaxEvents)
      actions.midi.push_back({draw(0, frames - 1), status, uint8_t(d1), uint8_t(d2)});
  };
  // About four notes a second at 512-frame blocks, chords now and then.
  if (draw(0, 99) < 40) {
    const int chord = draw(0, 9) < 2 ? 3 : 1;
    for (int i = 0; i < chord; ++i) {
      const uint8_t key = uint8_t(draw(24, 108));
      add(0x90, key, draw(1, 127));
      if (heldCount == 8) {
        add(0x80, held[0], 64);
        for (int j = 1; j < 8; ++j) held[j - 1] = held[j];
        --heldCount;
      }
      held[heldCount++] = key;
    }
  }
  if (heldCount > 0 && draw(0, 99) < 30) {
    add(0x80, held[0], 64);
    for (int j = 1; j < heldCount; ++j) held[j - 1] = held[j];
    --heldCount;
  }
  if (draw(0, 99) < 10) add(0xE0, draw(0, 127), draw(0, 127));
  if (draw(0, 99) < 8) {
    static constexpr uint8_t kControllers[] = {1, 105, 106, 107};
    add(0xB0, kControllers[draw(0, 3)], draw(0, 127));
  }
  if (draw(0, 999) < 2) add(0xB0, 126, 0);  // all voices off
  if (draw(0, 999) < 3) actions.program = draw(0, 7);
  // Automation: a few parameters move a little most blocks.
  for (int i = draw(0, 2); i > 0; --i)
    actions.parameters.push_back({draw(0, 37), float(draw(0, 1000)) / 1000.0f});
}

}  // namespace soak
