#include "app/dialog_win32.h"

#include "app/cycles.h"
#include "app/feeder_win32.h"
#include "app/message_box_win32.h"
#include "app/seam_win32.h"
#include "app/tick_timer_win32.h"
#include "input/device_win32.h"
#include "input/tick.h"
#include "net/links.h"
#include "res/resource.h"
#include "state/hub_state.h"

namespace {

void on_init(HWND dialog) {
  program_seam.dialog = dialog;
  const HRESULT setup = device_setup(dialog);
  if (setup == device_not_found) {
    send_shutdown(program_seam); // the hub ends anyway; a feeder that misses it times out
    show_error(L"Pedalon not found. The application will now exit.", monitor_caption);
    EndDialog(dialog, 0);
  } else if (FAILED(setup)) {
    show_error(L"Error Initializing DirectInput", monitor_caption);
    EndDialog(dialog, 0);
  }
  // Also after a failure: the dialog is already ending and sees no tick.
  start_tick_timer(dialog);
}

void on_tick(HWND dialog) {
  if (!take_tick()) return; // posted before the ticks stopped
  if (input_tick(program_seam) >= 0) return;
  send_shutdown(program_seam); // the dialog ends either way
  stop_tick_timer(dialog);
  show_error(L"Error Reading Input State. The app will now exit.", read_error_caption);
  EndDialog(dialog, 1);
}

void on_close(HWND dialog) {
  if (!send_shutdown(program_seam)) program_seam.exit_process(1);
  EndDialog(dialog, 0);
}

void on_speed_adjust(HWND dialog) {
  wchar_t caption[speed_caption_capacity];
  const int32_t step = next_speed_step(hub.speed_step);
  if (!format_speed_caption(step, caption)) return;
  hub.speed_step = step;
  SetWindowTextW(GetDlgItem(dialog, IDC_SPEED_ADJUST), caption);
}

void on_command(HWND dialog, int id) {
  switch (id) {
  case IDCANCEL: on_close(dialog); break;
  case IDC_SWITCH_MODE: hub.drive_mode = next_drive_mode(hub.drive_mode); break;
  case IDC_SPEED_ADJUST: on_speed_adjust(dialog); break;
  case IDC_START_FEEDER: launch_feeder(dialog); break;
  default: break;
  }
}

} // namespace

INT_PTR CALLBACK monitor_dialog_proc(HWND dialog, UINT message, WPARAM wparam, LPARAM) {
  switch (message) {
  case WM_INITDIALOG: on_init(dialog); return TRUE;
  case tick_message:
  case WM_TIMER: on_tick(dialog); return TRUE;
  case WM_ACTIVATE:
    if (wparam != 0 && foot_device != nullptr) foot_device->Acquire();
    // Left to the default handling as well, which puts the keyboard focus back on the control
    // that had it.
    return FALSE;
  case WM_DESTROY:
    stop_tick_timer(dialog);
    device_release();
    return TRUE;
  case WM_COMMAND: on_command(dialog, LOWORD(wparam)); return TRUE;
  default: return FALSE;
  }
}
