// Program entry: start-up and shutdown of the hub. Everything else runs inside the monitor
// dialog on this thread, or in the listener thread.

#include <windows.h>

#include <commctrl.h>
#include <objbase.h>
#include <shellapi.h>

#include <cstdlib>

#include "app/dialog_win32.h"
#include "app/end_reason_win32.h"
#include "app/message_box_win32.h"
#include "app/options.h"
#include "app/seam_win32.h"
#include "net/endpoint.h"
#include "net/links.h"
#include "net/listener.h"
#include "net/sockets.h"
#include "res/resource.h"
#include "state/hub_state.h"

namespace {

// Runs for the life of the process; only a failed bind or receive ends it, and the process
// with it.
DWORD WINAPI listener_thread(void*) {
  const int status = run_listener(listen_socket, listen_port);
  say_why_it_ends(status,
                  status == 1 ? L"UDP port 45041 cannot be bound (does another hub run?)"
                              : L"receiving on UDP port 45041 failed",
                  udp_last_error());
  std::exit(status);
}

void read_command_line() {
  int argc = 0;
  wchar_t** argv = CommandLineToArgvW(GetCommandLineW(), &argc);
  if (argv == nullptr) return;
  if (has_noxinput_option(argc, argv)) hub.filter_xinput = true;
  LocalFree(argv);
}

} // namespace

int WINAPI wWinMain(HINSTANCE instance, HINSTANCE, PWSTR, int) {
  const HRESULT com = CoInitializeEx(nullptr, COINIT_MULTITHREADED);
  if (FAILED(com)) {
    say_why_it_ends(1, L"COM cannot be initialised", com);
    return 1;
  }
  InitCommonControls();
  udp_startup(); // a failure shows in the next step
  listen_socket = udp_open();
  if (!udp_valid(listen_socket)) {
    say_why_it_ends(1, L"the listening socket cannot be opened", udp_last_error());
    std::exit(1);
  }

  // The listener may store a remote app's address as soon as it runs; the default must not
  // overwrite it later.
  preset_remote_app();
  const HANDLE listener = CreateThread(nullptr, 0, listener_thread, nullptr, 0, nullptr);
  if (listener != nullptr) CloseHandle(listener); // never joined; it ends with the process

  send_socket = udp_open();
  send_start_hello(program_seam);
  preset_heading_tracker();
  read_command_line();

  const INT_PTR ended =
      DialogBoxParamW(instance, MAKEINTRESOURCEW(IDD_MONITOR), nullptr, monitor_dialog_proc, 0);
  if (ended == -1) {
    // The peers were greeted; the feeder must not wait for a hub that never ran.
    const long error = static_cast<long>(GetLastError());
    send_shutdown(program_seam);
    say_why_it_ends(1, L"the monitor dialog cannot be created", error);
    show_error(L"The monitor window cannot be created. The app will now exit.", monitor_caption);
    CoUninitialize();
    return 1;
  }
  CoUninitialize();
  return 0;
}
