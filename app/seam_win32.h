#pragma once

#include <windows.h>

#include "state/seam.h"

// The Seam of the running program: the foot controller through DirectInput, the monitor
// dialog's controls, Winsock and the system clock.
struct ProgramSeam final : Seam {
  HWND dialog = nullptr;   // set when the dialog is created; texts go to its controls
  int last_send_error = 0; // of the last send that failed, to say why the hub ends

  bool has_device() override;
  int32_t poll() override;
  int32_t acquire() override;
  int32_t read_state(JoyState& state) override;
  void set_text(int control_id, const wchar_t* text) override;
  bool send(const Endpoint& to, const uint8_t* bytes, size_t size) override;
  uint64_t tick_count_ms() override;
  void exit_process(int status) override;
};

extern ProgramSeam program_seam;
