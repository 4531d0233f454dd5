#include <benchmark/benchmark.h>

#include "motion/axis_conditioning.h"
#include "motion/heading_tracker.h"
#include "motion/skate.h"
#include "state/hub_state.h"

namespace {

// Every motion step of one tick in skate mode, with the feet pushing, steering and lifting
// in a short repeating pattern so every branch takes its turn.
void full_motion_tick(benchmark::State& state) {
  reset_hub_state();
  preset_heading_tracker();
  hub.drive_mode = mode_skate;
  const TouchMask touches[] = {11, 3, 11, 7, 7, 14, 14, 0, 0, 13, 15, 3};
  uint64_t tick = 0;
  for (auto _ : state) {
    const int32_t swing = static_cast<int32_t>(tick % 64) * 31 - 992;
    TickValues values;
    values.x_byte = condition_axis(swing, hub.x_filter, hub.speed_step);
    values.y_byte = condition_axis(-swing / 2, hub.y_filter, hub.speed_step);
    scale_feet(swing, swing / 4, -swing, swing / 3, values);
    track_heading();
    select_pedals(values.pedal_amount);
    hub.now_ms = 10000 + 33 * tick;
    skate_step(touches[tick % std::size(touches)]);
    benchmark::DoNotOptimize(values);
    benchmark::DoNotOptimize(hub.skate_speed);
    ++tick;
  }
}
BENCHMARK(full_motion_tick);

} // namespace
