#pragma once

#include <cstddef>
#include <cstdint>

#include "state/endpoint.h"
#include "state/joy_state.h"

// What the tick and the network steps need from the outside world. The Windows program fills
// it with DirectInput, the dialog and Winsock; the tests with recorders and a fake clock.
// Device results are COM-style: negative is a failure.
struct Seam {
  virtual bool has_device() = 0;
  virtual int32_t poll() = 0;
  virtual int32_t acquire() = 0;
  virtual int32_t read_state(JoyState& state) = 0;

  // Sets the text of the dialog control with this id.
  virtual void set_text(int control_id, const wchar_t* text) = 0;

  // True when the datagram was handed to the network.
  virtual bool send(const Endpoint& to, const uint8_t* bytes, size_t size) = 0;

  // Milliseconds since the system started.
  virtual uint64_t tick_count_ms() = 0;

  // Ends the process. The Windows program's never returns; a test's records the status and
  // returns, so every caller returns at once after calling it.
  virtual void exit_process(int status) = 0;

protected:
  ~Seam() = default;
};

// COM-style results the core tells apart.
inline constexpr int32_t di_ok = 0;
inline constexpr int32_t di_err_input_lost = static_cast<int32_t>(0x8007001E);
