#include "app/tick_timer_win32.h"

#include <atomic>

// Debian's mingw-w64 headers lack it; Windows 10 1803 and later accept it.
#ifndef CREATE_WAITABLE_TIMER_HIGH_RESOLUTION
#define CREATE_WAITABLE_TIMER_HIGH_RESOLUTION 0x00000002
#endif

namespace {

constexpr LONG tick_period_ms = 33;
constexpr UINT_PTR window_timer_id = 0;
constexpr UINT finest_resolution_ms = 1;
constexpr SIZE_T thread_stack_bytes = 64 * 1024; // it only waits and posts

struct TickTimer {
  HWND dialog = nullptr;
  HANDLE timer = nullptr;
  HANDLE stop = nullptr;
  HANDLE thread = nullptr;
  HMODULE winmm = nullptr; // loaded only to raise the timer resolution
  bool window_timer = false;
  bool running = false;             // the dialog's thread only
  std::atomic<bool> pending{false}; // a tick message is posted and not yet taken
};

TickTimer tick_timer;

// Windows 11 lowers the timer resolution and the speed of a window-owning process whose window
// is hidden or minimised, the hub's usual state while the player is in the headset. Windows
// that does not know this setting refuses it, which changes nothing; older ones lack the call.
void opt_out_of_power_throttling() {
  using SetInformation = BOOL(WINAPI*)(HANDLE, PROCESS_INFORMATION_CLASS, void*, DWORD);
  const auto set_information = reinterpret_cast<SetInformation>(reinterpret_cast<void*>(
      GetProcAddress(GetModuleHandleW(L"kernel32.dll"), "SetProcessInformation")));
  if (set_information == nullptr) return;
  PROCESS_POWER_THROTTLING_STATE state;
  ZeroMemory(&state, sizeof state);
  state.Version = PROCESS_POWER_THROTTLING_CURRENT_VERSION;
  // Controlled, and not set: neither slowed down nor allowed to ignore the timer resolution.
  state.ControlMask =
      PROCESS_POWER_THROTTLING_EXECUTION_SPEED | PROCESS_POWER_THROTTLING_IGNORE_TIMER_RESOLUTION;
  state.StateMask = 0;
  if (set_information(GetCurrentProcess(), ProcessPowerThrottling, &state, sizeof state)) return;
  // Windows 10 before 21H2 knows only the execution speed.
  state.ControlMask = PROCESS_POWER_THROTTLING_EXECUTION_SPEED;
  set_information(GetCurrentProcess(), ProcessPowerThrottling, &state, sizeof state);
}

DWORD WINAPI post_ticks(void*) {
  const HANDLE waits[] = {tick_timer.stop, tick_timer.timer};
  for (;;) {
    const DWORD woke = WaitForMultipleObjects(2, waits, FALSE, INFINITE);
    if (woke != WAIT_OBJECT_0 + 1) return 0; // stopped, or a handle went wrong
    // Expiries while a tick waits to be handled are dropped, not queued.
    if (tick_timer.pending.exchange(true)) continue;
    if (!PostMessageW(tick_timer.dialog, tick_message, 0, 0)) tick_timer.pending = false;
  }
}

// timeBeginPeriod or timeEndPeriod at 1 ms. The multimedia library is loaded for the
// fallback alone, so that the usual way costs no more memory than it needs.
void set_timer_resolution(const char* call) {
  if (tick_timer.winmm == nullptr) tick_timer.winmm = LoadLibraryW(L"winmm.dll");
  if (tick_timer.winmm == nullptr) return;
  using TimePeriod = UINT(WINAPI*)(UINT);
  const auto period =
      reinterpret_cast<TimePeriod>(reinterpret_cast<void*>(GetProcAddress(tick_timer.winmm, call)));
  if (period != nullptr) period(finest_resolution_ms);
}

// A waitable timer of these flags, armed to expire every tick; nullptr where it is refused.
HANDLE periodic_timer(DWORD flags) {
  HANDLE timer = CreateWaitableTimerExW(nullptr, nullptr, flags, TIMER_ALL_ACCESS);
  if (timer == nullptr) return nullptr;
  LARGE_INTEGER first;
  first.QuadPart = -10000LL * tick_period_ms; // relative, in 100 ns units
  // Periodic, so that late wake-ups do not shift the ticks that follow.
  if (SetWaitableTimer(timer, &first, tick_period_ms, nullptr, nullptr, FALSE)) return timer;
  CloseHandle(timer);
  return nullptr;
}

HANDLE create_periodic_timer() {
  if (HANDLE timer = periodic_timer(CREATE_WAITABLE_TIMER_HIGH_RESOLUTION)) return timer;
  // Older Windows: a normal waitable timer keeps to the system clock interval, which this
  // process asks to be 1 ms while it ticks.
  set_timer_resolution("timeBeginPeriod");
  return periodic_timer(0);
}

void release_waitable_timer() {
  if (tick_timer.thread != nullptr) {
    SetEvent(tick_timer.stop);
    WaitForSingleObject(tick_timer.thread, INFINITE);
    CloseHandle(tick_timer.thread);
    tick_timer.thread = nullptr;
  }
  if (tick_timer.timer != nullptr) {
    CancelWaitableTimer(tick_timer.timer);
    CloseHandle(tick_timer.timer);
    tick_timer.timer = nullptr;
  }
  if (tick_timer.stop != nullptr) {
    CloseHandle(tick_timer.stop);
    tick_timer.stop = nullptr;
  }
  if (tick_timer.winmm != nullptr) {
    set_timer_resolution("timeEndPeriod");
    FreeLibrary(tick_timer.winmm);
    tick_timer.winmm = nullptr;
  }
}

bool start_waitable_timer() {
  tick_timer.timer = create_periodic_timer();
  tick_timer.stop = CreateEventW(nullptr, TRUE, FALSE, nullptr);
  if (tick_timer.timer != nullptr && tick_timer.stop != nullptr)
    tick_timer.thread = CreateThread(nullptr, thread_stack_bytes, post_ticks, nullptr,
                                     STACK_SIZE_PARAM_IS_A_RESERVATION, nullptr);
  if (tick_timer.thread == nullptr) {
    release_waitable_timer();
    return false;
  }
  // It only waits and posts; waking on time is all it must do.
  SetThreadPriority(tick_timer.thread, THREAD_PRIORITY_HIGHEST);
  return true;
}

} // namespace

void start_tick_timer(HWND dialog) {
  if (tick_timer.running) return;
  opt_out_of_power_throttling();
  tick_timer.dialog = dialog;
  tick_timer.pending = false;
  tick_timer.window_timer = !start_waitable_timer();
  if (tick_timer.window_timer) SetTimer(dialog, window_timer_id, tick_period_ms, nullptr);
  tick_timer.running = true;
}

void stop_tick_timer(HWND dialog) {
  if (!tick_timer.running) return;
  tick_timer.running = false;
  if (tick_timer.window_timer) KillTimer(dialog, window_timer_id);
  release_waitable_timer();
}

bool take_tick() {
  if (!tick_timer.running) return false;
  // Taken before the tick runs, so an expiry during a long tick brings the next one at once.
  tick_timer.pending = false;
  return true;
}
