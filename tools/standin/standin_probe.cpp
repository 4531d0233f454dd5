// Test and demo equipment, never shipped with the hub: a small DirectInput 8 client that opens
// the first foot controller as the hub does and prints what it sees, so the stand-in (or any
// dinput8.dll) can be looked at under Wine without the hub.
//
//   standin-probe [READS [INTERVAL_MS]]   default 5 reads, 33 ms apart
//
// Each read line: "read <result> x .. y .. z .. rx .. ry .. rz .. buttons .."; a failed poll
// prints "poll <result>" and the results of the Acquire calls that follow it.

#define CINTERFACE
#include <windows.h>

#include <dinput.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>

namespace {

constexpr GUID foot_product = {0x0000FFFF, 0x0000, 0x0000, {0, 0, 'P', 'I', 'D', 'V', 'I', 'D'}};

IDirectInput8W* input = nullptr;
IDirectInputDevice8W* device = nullptr;

BOOL CALLBACK on_device(const DIDEVICEINSTANCEW* d, void*) {
  std::printf("device \"%ls\" product %08lx usage %u:%u type 0x%lx\n", d->tszInstanceName,
              d->guidProduct.Data1, d->wUsagePage, d->wUsage, d->dwDevType);
  if (d->guidProduct != foot_product || (d->wUsage != 4 && d->wUsage != 5)) return DIENUM_CONTINUE;
  const HRESULT r = input->lpVtbl->CreateDevice(input, d->guidInstance, &device, nullptr);
  std::printf("  CreateDevice 0x%08lx\n", r);
  return SUCCEEDED(r) ? DIENUM_STOP : DIENUM_CONTINUE;
}

BOOL CALLBACK on_object(const DIDEVICEOBJECTINSTANCEW* o, void*) {
  std::printf("object \"%ls\" type 0x%lx offset %lu\n", o->tszName, o->dwType, o->dwOfs);
  if (!(o->dwType & DIDFT_AXIS)) return DIENUM_CONTINUE;
  DIPROPRANGE range;
  range.diph.dwSize = sizeof range;
  range.diph.dwHeaderSize = sizeof range.diph;
  range.diph.dwObj = o->dwType;
  range.diph.dwHow = DIPH_BYID;
  range.lMin = -1000;
  range.lMax = 1000;
  const HRESULT r = device->lpVtbl->SetProperty(device, DIPROP_RANGE, &range.diph);
  if (FAILED(r)) {
    std::printf("  SetProperty(DIPROP_RANGE) 0x%08lx\n", r);
    return DIENUM_STOP;
  }
  return DIENUM_CONTINUE;
}

} // namespace

int main(int argc, char** argv) {
  const int reads = argc > 1 ? std::atoi(argv[1]) : 5;
  const int interval_ms = argc > 2 ? std::atoi(argv[2]) : 33;
  HRESULT r = DirectInput8Create(GetModuleHandleW(nullptr), DIRECTINPUT_VERSION, IID_IDirectInput8W,
                                 reinterpret_cast<void**>(&input), nullptr);
  std::printf("DirectInput8Create 0x%08lx\n", r);
  if (FAILED(r)) return 1;
  r = input->lpVtbl->EnumDevices(input, DI8DEVCLASS_GAMECTRL, on_device, nullptr,
                                 DIEDFL_ATTACHEDONLY);
  std::printf("EnumDevices 0x%08lx\n", r);
  if (!device) {
    std::printf("no foot controller\n");
    return 2;
  }
  const HWND window = CreateWindowExW(0, L"STATIC", L"probe", WS_OVERLAPPEDWINDOW, 0, 0, 10, 10,
                                      nullptr, nullptr, GetModuleHandleW(nullptr), nullptr);
  std::printf("SetDataFormat 0x%08lx\n", device->lpVtbl->SetDataFormat(device, &c_dfDIJoystick2));
  std::printf(
      "SetCooperativeLevel 0x%08lx\n",
      device->lpVtbl->SetCooperativeLevel(device, window, DISCL_EXCLUSIVE | DISCL_BACKGROUND));
  std::printf("EnumObjects 0x%08lx\n",
              device->lpVtbl->EnumObjects(device, on_object, nullptr, DIDFT_ALL));
  std::fflush(stdout);
  for (int i = 0; i < reads; ++i) {
    Sleep(interval_ms);
    r = device->lpVtbl->Poll(device);
    if (FAILED(r)) {
      std::printf("poll 0x%08lx acquire", r);
      do {
        r = device->lpVtbl->Acquire(device);
        std::printf(" 0x%08lx", r);
      } while (r == DIERR_INPUTLOST);
      std::printf("\n");
      std::fflush(stdout);
      continue;
    }
    DIJOYSTATE2 s;
    r = device->lpVtbl->GetDeviceState(device, sizeof s, &s);
    std::printf("read 0x%08lx x %ld y %ld z %ld rx %ld ry %ld rz %ld buttons", r, s.lX, s.lY, s.lZ,
                s.lRx, s.lRy, s.lRz);
    for (int b = 0; b < 128; ++b)
      if (SUCCEEDED(r) && (s.rgbButtons[b] & 0x80)) std::printf(" %d", b);
    std::printf("\n");
    std::fflush(stdout);
    if (FAILED(r)) break;
  }
  device->lpVtbl->Unacquire(device);
  device->lpVtbl->Release(device);
  input->lpVtbl->Release(input);
  return 0;
}
