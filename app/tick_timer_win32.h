#pragma once

#include <windows.h>

// The heartbeat of the monitor dialog: one tick_message posted to the dialog every 33 ms.
//
// A window timer is served on the system clock interval (15.625 ms unless some program asks
// for finer), so a 33 ms SetTimer fires about every 47 ms. The tick therefore comes from a
// periodic waitable timer of the hub's own, high-resolution where Windows offers it, waited on
// by a small thread that posts the tick to the dialog's thread. The ticks themselves run on the
// dialog's thread as before, between commands, and never pile up: while one tick message is
// unhandled, the thread posts no second one.
inline constexpr UINT tick_message = WM_APP + 1;

// Starts the ticks for `dialog`. Falls back to a waitable timer under a raised timer
// resolution, and last to a 33 ms window timer (WM_TIMER), where the better way is refused.
void start_tick_timer(HWND dialog);

// Stops the ticks. No tick message is taken after this, including one already posted.
void stop_tick_timer(HWND dialog);

// Called for tick_message and WM_TIMER: whether a tick is due (false once stopped).
bool take_tick();
