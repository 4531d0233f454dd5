#include <benchmark/benchmark.h>

#include "input/tick.h"
#include "net/listener.h"
#include "state/hub_state.h"

namespace {

// A seam that costs nothing, so the benchmark measures the tick itself: conditioning, the
// readout formatting, the frames and their change tests.
struct QuietSeam : Seam {
  JoyState state{};
  uint64_t clock_ms = 10000;
  bool has_device() override { return true; }
  int32_t poll() override { return 0; }
  int32_t acquire() override { return 0; }
  int32_t read_state(JoyState& out) override {
    out = state;
    return 0;
  }
  void set_text(int, const wchar_t* text) override { benchmark::DoNotOptimize(text); }
  bool send(const Endpoint&, const uint8_t* bytes, size_t) override {
    benchmark::DoNotOptimize(bytes);
    return true;
  }
  uint64_t tick_count_ms() override { return clock_ms; }
  void exit_process(int) override {}
};

// One whole tick with the feeder and a remote app connected, the axes moving every tick.
void whole_input_tick(benchmark::State& state) {
  reset_hub_state();
  preset_heading_tracker();
  preset_remote_app();
  hub.feeder_ready = 1;
  hub.remote_connected = 1;
  QuietSeam seam;
  seam.state.rgbButtons[0] = seam.state.rgbButtons[1] = 0x80;
  int32_t tick = 0;
  for (auto _ : state) {
    const int32_t swing = (tick % 64) * 31 - 992;
    seam.state.lX = swing;
    seam.state.lZ = -swing;
    seam.state.lRx = swing / 4;
    seam.clock_ms += 33;
    benchmark::DoNotOptimize(input_tick(seam));
    ++tick;
  }
}
BENCHMARK(whole_input_tick);

// The listener's reading of a full-length remote input.
void read_remote_input(benchmark::State& state) {
  reset_hub_state();
  const uint8_t datagram[] = {0x20, 0x80, 0x05, 0xFF, 0x00, 1, 2, 3, 4};
  const Endpoint sender{loopback_ipv4, 50000};
  for (auto _ : state)
    read_datagram(datagram, sizeof datagram, sender);
  benchmark::DoNotOptimize(hub.remote_relay4.load());
}
BENCHMARK(read_remote_input);

} // namespace
