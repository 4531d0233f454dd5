// Test and demo equipment, never shipped with the hub: the DirectInput 8 side of the stand-in
// foot controller. It implements what the hub calls on IDirectInput8W and
// IDirectInputDevice8W, strictly enough that a call out of order fails as it would on a real
// device (reading before Acquire, ranging while acquired); everything else is E_NOTIMPL.
//
// Configured by environment variables, read once at the first DirectInput8Create:
//   PEDALON_STANDIN_DEVICES  comma list of foot, gamepad, wrong-usage, wrong-product, broken;
//                            or none, or two (= foot,foot). Default: foot.
//   PEDALON_STANDIN_PORT     control channel port on 127.0.0.1 (default 45050), or off.
//   PEDALON_STANDIN_SCRIPT   demo, or the path of a motion script, played in a loop.
//   PEDALON_STANDIN_FAIL     comma list of set-up steps to fail: create, enum, format,
//                            cooperation, objects, range; dialog: no window of the loading
//                            thread can be created, so the hub's dialog cannot be either.
//   PEDALON_STANDIN_LOG      a file to log the calls to, or stderr. Nothing by default.

#include "tools/standin/standin.h"

#include <cstdarg>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <fstream>
#include <sstream>

namespace {

FILE* log_file = nullptr;

// ---- identities ----------------------------------------------------------------------

// The foot controller's product GUID: vendor 0xFFFF in the low and product 0x0000 in the high
// half of the first 32 bits, then DirectInput's "PIDVID" tail for HID devices.
constexpr GUID foot_product = {0x0000FFFF, 0x0000, 0x0000, {0, 0, 'P', 'I', 'D', 'V', 'I', 'D'}};
constexpr GUID other_product = {0x0001FFFF, 0x0000, 0x0000, {0, 0, 'P', 'I', 'D', 'V', 'I', 'D'}};

GUID instance_guid(size_t index) {
  return {0x5354414E, static_cast<WORD>(index + 1), 0x0001, {'P', 'E', 'D', 'A', 'L', 'O', 'N', 0}};
}

WORD usage_of(DeviceKind kind) {
  switch (kind) {
  case DeviceKind::gamepad: return 5;
  case DeviceKind::wrong_usage: return 8;
  default: return 4;
  }
}

DWORD device_type_of(DeviceKind kind) {
  switch (kind) {
  case DeviceKind::gamepad:
    return DI8DEVTYPE_GAMEPAD | (DI8DEVTYPEGAMEPAD_STANDARD << 8) | DIDEVTYPE_HID;
  case DeviceKind::wrong_usage:
    return DI8DEVTYPE_SUPPLEMENTAL | (DI8DEVTYPESUPPLEMENTAL_UNKNOWN << 8) | DIDEVTYPE_HID;
  default: return DI8DEVTYPE_JOYSTICK | (DI8DEVTYPEJOYSTICK_STANDARD << 8) | DIDEVTYPE_HID;
  }
}

DIDEVICEINSTANCEW instance_of(size_t index, DeviceKind kind) {
  DIDEVICEINSTANCEW d;
  std::memset(&d, 0, sizeof d);
  d.dwSize = sizeof d;
  d.guidInstance = instance_guid(index);
  d.guidProduct = kind == DeviceKind::wrong_product ? other_product : foot_product;
  d.dwDevType = device_type_of(kind);
  const wchar_t* product = kind == DeviceKind::gamepad         ? L"Game pad (stand-in)"
                           : kind == DeviceKind::wrong_usage   ? L"Multi-axis controller (stand-in)"
                           : kind == DeviceKind::wrong_product ? L"Other controller (stand-in)"
                                                               : L"VR Pedalon (stand-in)";
  swprintf(d.tszInstanceName, MAX_PATH, L"%ls %d", product, static_cast<int>(index + 1));
  swprintf(d.tszProductName, MAX_PATH, L"%ls", product);
  d.wUsagePage = 1;
  d.wUsage = usage_of(kind);
  return d;
}

// ---- the device's objects --------------------------------------------------------------

struct DeviceObject {
  const GUID* type;
  DWORD offset; // in DIJOYSTATE2
  DWORD type_bits;
  WORD instance;
  WORD usage_page;
  WORD usage;
  const wchar_t* name;
};

const DeviceObject device_objects[] = {
    {&GUID_XAxis, 0, DIDFT_ABSAXIS, 0, 1, 0x30, L"X Axis"},
    {&GUID_YAxis, 4, DIDFT_ABSAXIS, 1, 1, 0x31, L"Y Axis"},
    {&GUID_ZAxis, 8, DIDFT_ABSAXIS, 2, 1, 0x32, L"Z Axis"},
    {&GUID_RxAxis, 12, DIDFT_ABSAXIS, 3, 1, 0x33, L"X Rotation"},
    {&GUID_RyAxis, 16, DIDFT_ABSAXIS, 4, 1, 0x34, L"Y Rotation"},
    {&GUID_RzAxis, 20, DIDFT_ABSAXIS, 5, 1, 0x35, L"Z Rotation"},
    {&GUID_Button, 48, DIDFT_PSHBUTTON, 0, 9, 1, L"Button 0"},
    {&GUID_Button, 49, DIDFT_PSHBUTTON, 1, 9, 2, L"Button 1"},
    {&GUID_Button, 50, DIDFT_PSHBUTTON, 2, 9, 3, L"Button 2"},
    {&GUID_Button, 51, DIDFT_PSHBUTTON, 3, 9, 4, L"Button 3"},
};

DIDEVICEOBJECTINSTANCEW object_instance(const DeviceObject& item) {
  DIDEVICEOBJECTINSTANCEW o;
  std::memset(&o, 0, sizeof o);
  o.dwSize = sizeof o;
  o.guidType = *item.type;
  o.dwOfs = item.offset;
  o.dwType = item.type_bits | DIDFT_MAKEINSTANCE(item.instance);
  o.dwFlags = (item.type_bits & DIDFT_AXIS) ? DIDOI_ASPECTPOSITION : 0;
  swprintf(o.tszName, MAX_PATH, L"%ls", item.name);
  o.wUsagePage = item.usage_page;
  o.wUsage = item.usage;
  return o;
}

// The object a property header names: its index in device_objects, or -1.
int find_object(DWORD how, DWORD id) {
  for (int i = 0; i < static_cast<int>(std::size(device_objects)); ++i) {
    const DeviceObject& item = device_objects[i];
    if (how == DIPH_BYOFFSET && id == item.offset) return i;
    if (how == DIPH_BYID && DIDFT_GETINSTANCE(id) == item.instance &&
        (DIDFT_GETTYPE(id) & item.type_bits) != 0)
      return i;
  }
  return -1;
}

// Maps a position of -1000..1000 linearly onto the range the client set; the identity for
// the range -1000..1000.
LONG scaled(int32_t value, LONG min, LONG max) {
  const int64_t span = static_cast<int64_t>(max) - min;
  return static_cast<LONG>(min + ((static_cast<int64_t>(value) + 1000) * span + 1000) / 2000);
}

// ---- COM objects ------------------------------------------------------------------------

struct StandinInput {
  IDirectInput8W iface; // first, so the interface pointer is the object's address
  LONG refs;
};

struct StandinDevice {
  IDirectInputDevice8W iface;
  LONG refs;
  size_t index; // into standin().devices
};

StandinInput* input_of(IDirectInput8W* p) {
  return reinterpret_cast<StandinInput*>(p);
}
StandinDevice* device_of(IDirectInputDevice8W* p) {
  return reinterpret_cast<StandinDevice*>(p);
}

FakeDevice& fake_of(IDirectInputDevice8W* p) {
  return standin().devices[device_of(p)->index];
}

template <typename... Args> HRESULT STDMETHODCALLTYPE not_implemented(Args...) {
  return E_NOTIMPL;
}

// IDirectInput8W

HRESULT STDMETHODCALLTYPE input_query_interface(IDirectInput8W* self, REFIID iid, void** out) {
  if (!out) return E_POINTER;
  *out = nullptr;
  if (iid != IID_IUnknown && iid != IID_IDirectInput8W) return E_NOINTERFACE;
  InterlockedIncrement(&input_of(self)->refs);
  *out = self;
  return S_OK;
}

ULONG STDMETHODCALLTYPE input_add_ref(IDirectInput8W* self) {
  return InterlockedIncrement(&input_of(self)->refs);
}

ULONG STDMETHODCALLTYPE input_release(IDirectInput8W* self) {
  const LONG refs = InterlockedDecrement(&input_of(self)->refs);
  if (refs == 0) delete input_of(self);
  return refs;
}

bool class_matches(DWORD wanted, DeviceKind kind) {
  return wanted == DI8DEVCLASS_ALL || wanted == DI8DEVCLASS_GAMECTRL ||
         LOBYTE(wanted) == LOBYTE(device_type_of(kind));
}

HRESULT STDMETHODCALLTYPE input_enum_devices(IDirectInput8W*, DWORD device_class,
                                             LPDIENUMDEVICESCALLBACKW callback, void* context,
                                             DWORD flags) {
  if (!callback) return DIERR_INVALIDPARAM;
  std::vector<DIDEVICEINSTANCEW> found;
  {
    const StandinLock held;
    Standin& s = standin();
    s.enum_class = device_class;
    s.enum_flags = flags;
    standin_log("EnumDevices(class %lu, flags 0x%lx)", device_class, flags);
    if (s.setup.enumerate) return E_FAIL;
    // Every presented controller is attached; none has force feedback.
    if (!(flags & DIEDFL_FORCEFEEDBACK))
      for (size_t i = 0; i < s.devices.size(); ++i)
        if (class_matches(device_class, s.devices[i].kind))
          found.push_back(instance_of(i, s.devices[i].kind));
  }
  // The callback may call CreateDevice, so it runs without the lock.
  for (const DIDEVICEINSTANCEW& d : found)
    if (callback(&d, context) == DIENUM_STOP) break;
  return DI_OK;
}

// Not const: the header's lpVtbl points to a mutable table.
extern IDirectInputDevice8WVtbl device_vtable;

HRESULT STDMETHODCALLTYPE input_create_device(IDirectInput8W*, REFGUID guid,
                                              LPDIRECTINPUTDEVICE8W* out, LPUNKNOWN outer) {
  if (!out) return E_POINTER;
  *out = nullptr;
  if (outer) return DIERR_NOAGGREGATION;
  const StandinLock held;
  Standin& s = standin();
  for (size_t i = 0; i < s.devices.size(); ++i) {
    if (guid != instance_guid(i)) continue;
    if (s.devices[i].kind == DeviceKind::broken) {
      standin_log("CreateDevice(%zu) fails: a broken controller", i + 1);
      return E_FAIL;
    }
    s.devices[i].created += 1;
    standin_log("CreateDevice(%zu) ok: %s", i + 1, device_kind_name(s.devices[i].kind));
    StandinDevice* d = new StandinDevice{{&device_vtable}, 1, i};
    *out = &d->iface;
    return DI_OK;
  }
  standin_log("CreateDevice: no such instance");
  return DIERR_DEVICENOTREG;
}

IDirectInput8WVtbl input_vtable = {
    .QueryInterface = input_query_interface,
    .AddRef = input_add_ref,
    .Release = input_release,
    .CreateDevice = input_create_device,
    .EnumDevices = input_enum_devices,
    .GetDeviceStatus = not_implemented,
    .RunControlPanel = not_implemented,
    .Initialize = not_implemented,
    .FindDevice = not_implemented,
    .EnumDevicesBySemantics = not_implemented,
    .ConfigureDevices = not_implemented,
};

// IDirectInputDevice8W

HRESULT STDMETHODCALLTYPE device_query_interface(IDirectInputDevice8W* self, REFIID iid,
                                                 void** out) {
  if (!out) return E_POINTER;
  *out = nullptr;
  if (iid != IID_IUnknown && iid != IID_IDirectInputDevice8W) return E_NOINTERFACE;
  InterlockedIncrement(&device_of(self)->refs);
  *out = self;
  return S_OK;
}

ULONG STDMETHODCALLTYPE device_add_ref(IDirectInputDevice8W* self) {
  return InterlockedIncrement(&device_of(self)->refs);
}

ULONG STDMETHODCALLTYPE device_release(IDirectInputDevice8W* self) {
  const LONG refs = InterlockedDecrement(&device_of(self)->refs);
  if (refs == 0) {
    {
      const StandinLock held;
      fake_of(self).acquired = false;
      standin_log("device %zu released", device_of(self)->index + 1);
    }
    delete device_of(self);
  }
  return refs;
}

HRESULT STDMETHODCALLTYPE device_enum_objects(IDirectInputDevice8W*,
                                              LPDIENUMDEVICEOBJECTSCALLBACKW callback,
                                              void* context, DWORD flags) {
  if (!callback) return DIERR_INVALIDPARAM;
  {
    const StandinLock held;
    standin_log("EnumObjects(flags 0x%lx)", flags);
    if (standin().setup.objects) return E_FAIL;
  }
  // No object has force feedback or output; DIDFT_ALL (0) asks for every object.
  if (flags & (DIDFT_FFACTUATOR | DIDFT_FFEFFECTTRIGGER | DIDFT_OUTPUT)) return DI_OK;
  const DWORD kinds = flags & 0xFF;
  for (const DeviceObject& item : device_objects) {
    if (kinds != 0 && (item.type_bits & kinds) == 0) continue;
    const DIDEVICEOBJECTINSTANCEW o = object_instance(item);
    if (callback(&o, context) == DIENUM_STOP) break;
  }
  return DI_OK;
}

HRESULT STDMETHODCALLTYPE device_set_property(IDirectInputDevice8W* self, REFGUID property,
                                              LPCDIPROPHEADER header) {
  // DirectInput's predefined properties are small integers cast to GUID pointers.
  if (&property != &DIPROP_RANGE) return DIERR_UNSUPPORTED;
  if (!header || header->dwSize != sizeof(DIPROPRANGE) ||
      header->dwHeaderSize != sizeof(DIPROPHEADER))
    return DIERR_INVALIDPARAM;
  const DIPROPRANGE* range = reinterpret_cast<const DIPROPRANGE*>(header);
  if (range->lMin >= range->lMax) return DIERR_INVALIDPARAM;
  const StandinLock held;
  FakeDevice& device = fake_of(self);
  standin_log("SetProperty(DIPROP_RANGE, how %lu, object 0x%lx, %ld..%ld)", header->dwHow,
              header->dwObj, range->lMin, range->lMax);
  if (device.acquired) return DIERR_ACQUIRED;
  int first = 0, last = axis_count - 1;
  if (header->dwHow != DIPH_DEVICE) {
    const int object = find_object(header->dwHow, header->dwObj);
    if (object < 0) return DIERR_OBJECTNOTFOUND;
    if (object >= axis_count) return DIERR_UNSUPPORTED; // a button has no range
    first = last = object;
  } else if (header->dwObj != 0) {
    return DIERR_INVALIDPARAM;
  }
  for (int axis = first; axis <= last; ++axis) {
    if (standin().setup.range && axis == 2) return E_FAIL;
    device.range_min[axis] = range->lMin;
    device.range_max[axis] = range->lMax;
  }
  return DI_OK;
}

HRESULT STDMETHODCALLTYPE device_acquire(IDirectInputDevice8W* self) {
  const StandinLock held;
  Standin& s = standin();
  FakeDevice& device = fake_of(self);
  s.acquires += 1;
  if (!device.format_set) return DIERR_INVALIDPARAM;
  if (s.failures.acquires_lost > 0) {
    s.failures.acquires_lost -= 1;
    s.inputs_lost += 1;
    return DIERR_INPUTLOST;
  }
  if (device.acquired) return DI_NOEFFECT;
  device.acquired = true;
  standin_log("Acquire ok");
  return DI_OK;
}

HRESULT STDMETHODCALLTYPE device_unacquire(IDirectInputDevice8W* self) {
  const StandinLock held;
  FakeDevice& device = fake_of(self);
  if (!device.acquired) return DI_NOEFFECT;
  device.acquired = false;
  standin_log("Unacquire");
  return DI_OK;
}

HRESULT STDMETHODCALLTYPE device_get_state(IDirectInputDevice8W* self, DWORD size, void* data) {
  if (!data) return E_POINTER;
  const StandinLock held;
  Standin& s = standin();
  FakeDevice& device = fake_of(self);
  if (!device.acquired) return DIERR_NOTACQUIRED;
  if (size != sizeof(DIJOYSTATE2)) return DIERR_INVALIDPARAM;
  if (s.failures.reads > 0) {
    s.failures.reads -= 1;
    standin_log("GetDeviceState fails with 0x%08lx as asked", s.failures.read_result);
    return s.failures.read_result;
  }
  const Position p = current_position(device);
  press_script_controls();
  DIJOYSTATE2 state;
  std::memset(&state, 0, sizeof state);
  LONG* axes[axis_count] = {&state.lX, &state.lY, &state.lZ, &state.lRx, &state.lRy, &state.lRz};
  for (int i = 0; i < axis_count; ++i)
    *axes[i] = scaled(p.axis[i], device.range_min[i], device.range_max[i]);
  // The controller has no sliders or hats; a test may still fill them to check readouts.
  state.rglSlider[0] = p.slider[0];
  state.rglSlider[1] = p.slider[1];
  for (int i = 0; i < 4; ++i)
    state.rgdwPOV[i] = p.pov[i];
  for (int i = 0; i < button_count; ++i)
    state.rgbButtons[i] = p.button[i] ? 0x80 : 0x00;
  std::memcpy(data, &state, sizeof state);
  s.reads += 1;
  return DI_OK;
}

HRESULT STDMETHODCALLTYPE device_set_data_format(IDirectInputDevice8W* self,
                                                 LPCDIDATAFORMAT format) {
  if (!format) return DIERR_INVALIDPARAM;
  const StandinLock held;
  FakeDevice& device = fake_of(self);
  standin_log("SetDataFormat(%lu bytes, %lu objects)", format->dwDataSize, format->dwNumObjs);
  if (device.acquired) return DIERR_ACQUIRED;
  if (standin().setup.format) return E_FAIL;
  // Only the DIJOYSTATE2 layout (c_dfDIJoystick2: 272 bytes, 164 objects) is spoken here.
  if (format->dwSize != sizeof(DIDATAFORMAT) || format->dwObjSize != sizeof(DIOBJECTDATAFORMAT) ||
      format->dwDataSize != sizeof(DIJOYSTATE2) || format->dwNumObjs != 164 ||
      !(format->dwFlags & DIDF_ABSAXIS))
    return DIERR_INVALIDPARAM;
  device.format_set = true;
  return DI_OK;
}

HRESULT STDMETHODCALLTYPE device_set_cooperative_level(IDirectInputDevice8W* self, HWND window,
                                                       DWORD flags) {
  const StandinLock held;
  FakeDevice& device = fake_of(self);
  standin_log("SetCooperativeLevel(0x%lx)", flags);
  if (standin().setup.cooperation) return E_FAIL;
  const DWORD access = flags & (DISCL_EXCLUSIVE | DISCL_NONEXCLUSIVE);
  const DWORD focus = flags & (DISCL_FOREGROUND | DISCL_BACKGROUND);
  if ((access != DISCL_EXCLUSIVE && access != DISCL_NONEXCLUSIVE) ||
      (focus != DISCL_FOREGROUND && focus != DISCL_BACKGROUND))
    return DIERR_INVALIDPARAM;
  if (window ? !IsWindow(window) : (flags & (DISCL_EXCLUSIVE | DISCL_FOREGROUND)) != 0)
    return E_HANDLE;
  if (device.acquired) return DIERR_ACQUIRED;
  device.cooperation = flags;
  standin().window = window;
  return DI_OK;
}

HRESULT STDMETHODCALLTYPE device_poll(IDirectInputDevice8W* self) {
  const StandinLock held;
  Standin& s = standin();
  FakeDevice& device = fake_of(self);
  s.polls += 1;
  if (!device.acquired) return DIERR_NOTACQUIRED;
  if (s.failures.polls > 0) {
    // As when the device was taken away: it is no longer acquired, and the next Acquire
    // calls report lost input a few times before they succeed.
    s.failures.polls -= 1;
    s.failures.acquires_lost = s.failures.lost_per_poll;
    device.acquired = false;
    return DIERR_NOTACQUIRED;
  }
  return DI_OK;
}

IDirectInputDevice8WVtbl device_vtable = {
    .QueryInterface = device_query_interface,
    .AddRef = device_add_ref,
    .Release = device_release,
    .GetCapabilities = not_implemented,
    .EnumObjects = device_enum_objects,
    .GetProperty = not_implemented,
    .SetProperty = device_set_property,
    .Acquire = device_acquire,
    .Unacquire = device_unacquire,
    .GetDeviceState = device_get_state,
    .GetDeviceData = not_implemented,
    .SetDataFormat = device_set_data_format,
    .SetEventNotification = not_implemented,
    .SetCooperativeLevel = device_set_cooperative_level,
    .GetObjectInfo = not_implemented,
    .GetDeviceInfo = not_implemented,
    .RunControlPanel = not_implemented,
    .Initialize = not_implemented,
    .CreateEffect = not_implemented,
    .EnumEffects = not_implemented,
    .GetEffectInfo = not_implemented,
    .GetForceFeedbackState = not_implemented,
    .SendForceFeedbackCommand = not_implemented,
    .EnumCreatedEffectObjects = not_implemented,
    .Escape = not_implemented,
    .Poll = device_poll,
    .SendDeviceData = not_implemented,
    .EnumEffectsInFile = not_implemented,
    .WriteEffectToFile = not_implemented,
    .BuildActionMap = not_implemented,
    .SetActionMap = not_implemented,
    .GetImageInfo = not_implemented,
};

} // namespace

// ---- shared record, configuration ----------------------------------------------------------

Standin& standin() {
  static Standin record;
  return record;
}

const char* device_kind_name(DeviceKind kind) {
  switch (kind) {
  case DeviceKind::foot: return "foot";
  case DeviceKind::gamepad: return "gamepad";
  case DeviceKind::wrong_usage: return "wrong-usage";
  case DeviceKind::wrong_product: return "wrong-product";
  case DeviceKind::broken: return "broken";
  }
  return "?";
}

void standin_log(const char* format, ...) {
  if (!log_file) return;
  char line[512];
  va_list args;
  va_start(args, format);
  std::vsnprintf(line, sizeof line, format, args);
  va_end(args);
  std::fprintf(log_file, "[%llu] %s\n", static_cast<unsigned long long>(GetTickCount64()), line);
  std::fflush(log_file);
}

namespace {

// Under Wine the Unix root is drive Z:, so a Unix path works whatever the current drive.
std::string host_path(const std::string& path) {
  return !path.empty() && path[0] == '/' ? "Z:" + path : path;
}

} // namespace

Position current_position(const FakeDevice& device) {
  const Standin& s = standin();
  if (!s.script_playing) return device.position;
  return script_position(s.script, GetTickCount64() - s.script_start_ms);
}

// A script line with press=ID clicks that control of the client's dialog, as a user would, so
// the demo can walk through the drive modes by itself. Call under the lock.
void press_script_controls() {
  Standin& s = standin();
  if (!s.script_playing || s.window == nullptr) return;
  const uint64_t played_ms = GetTickCount64() - s.script_start_ms;
  for (int id : script_presses(s.script, s.script_read_ms, played_ms)) {
    standin_log("script presses control %d", id);
    PostMessageW(s.window, WM_COMMAND, MAKEWPARAM(id, BN_CLICKED),
                 reinterpret_cast<LPARAM>(GetDlgItem(s.window, id)));
  }
  s.script_read_ms = played_ms;
}

std::string start_script(std::string_view name) {
  Standin& s = standin();
  if (name == "off") {
    s.script_playing = false;
    s.script_name = "off";
    return {};
  }
  std::string text;
  if (name == "demo") {
    text = demo_script_text;
  } else {
    std::ifstream file(host_path(std::string(name)), std::ios::binary);
    if (!file) return "cannot read the script " + std::string(name);
    std::ostringstream all;
    all << file.rdbuf();
    text = all.str();
  }
  MotionScript script;
  const std::string error = parse_script(text, script);
  if (!error.empty()) return std::string(name) + ": " + error;
  s.script = script;
  s.script_playing = true;
  s.script_start_ms = GetTickCount64();
  s.script_read_ms = 0;
  s.script_name = std::string(name);
  return {};
}

namespace {

std::string environment(const char* name) {
  const char* value = std::getenv(name);
  return value ? value : "";
}

// Configuration mistakes go to stderr whatever the log says: a test must not pass on a
// stand-in that silently presents something else than was asked for.
void complain(const std::string& text) {
  std::fprintf(stderr, "pedalon stand-in: %s\n", text.c_str());
}

std::vector<std::string> comma_list(const std::string& text) {
  std::vector<std::string> items;
  std::stringstream in(text);
  std::string item;
  while (std::getline(in, item, ','))
    if (!item.empty()) items.push_back(item);
  return items;
}

void configure_devices(Standin& s) {
  std::string wanted = environment("PEDALON_STANDIN_DEVICES");
  if (wanted.empty()) wanted = "foot";
  for (const std::string& item : comma_list(wanted)) {
    FakeDevice d;
    if (item == "none") continue;
    if (item == "two") {
      s.devices.push_back(d);
      s.devices.push_back(d);
      continue;
    }
    if (item == "foot")
      d.kind = DeviceKind::foot;
    else if (item == "gamepad")
      d.kind = DeviceKind::gamepad;
    else if (item == "wrong-usage")
      d.kind = DeviceKind::wrong_usage;
    else if (item == "wrong-product")
      d.kind = DeviceKind::wrong_product;
    else if (item == "broken")
      d.kind = DeviceKind::broken;
    else {
      complain("unknown device '" + item +
               "' in PEDALON_STANDIN_DEVICES (foot, gamepad, wrong-usage, wrong-product, "
               "broken, two, none); presenting no controller");
      s.devices.clear();
      return;
    }
    s.devices.push_back(d);
  }
}

void configure_failures(Standin& s) {
  for (const std::string& item : comma_list(environment("PEDALON_STANDIN_FAIL"))) {
    if (item == "create")
      s.setup.create = true;
    else if (item == "enum")
      s.setup.enumerate = true;
    else if (item == "format")
      s.setup.format = true;
    else if (item == "cooperation")
      s.setup.cooperation = true;
    else if (item == "objects")
      s.setup.objects = true;
    else if (item == "range")
      s.setup.range = true;
    else if (item != "dialog") // taken when the stand-in is loaded, see DllMain
      complain("unknown step '" + item +
               "' in PEDALON_STANDIN_FAIL (create, enum, format, cooperation, objects, range, "
               "dialog)");
  }
}

// Returns the control port, 0 for none.
uint16_t configure() {
  const std::string log = environment("PEDALON_STANDIN_LOG");
  if (log == "stderr")
    log_file = stderr;
  else if (!log.empty())
    log_file = std::fopen(host_path(log).c_str(), "a");

  const StandinLock held;
  Standin& s = standin();
  configure_devices(s);
  configure_failures(s);
  const std::string script = environment("PEDALON_STANDIN_SCRIPT");
  if (!script.empty()) {
    const std::string error = start_script(script);
    if (!error.empty()) complain(error);
  }
  const std::string port = environment("PEDALON_STANDIN_PORT");
  int64_t n = 45050;
  if (port == "off") return 0;
  if (!port.empty() && (!parse_integer(port, n) || n < 1 || n > 65535)) {
    complain("bad PEDALON_STANDIN_PORT '" + port + "'; using 45050");
    n = 45050;
  }
  standin_log("%zu controller(s), control port %d, script %s", s.devices.size(),
              static_cast<int>(n), s.script_name.c_str());
  return static_cast<uint16_t>(n);
}

} // namespace

extern "C" HRESULT WINAPI DirectInput8Create(HINSTANCE, DWORD version, REFIID iid, void** out,
                                             LPUNKNOWN outer) {
  static const bool configured = [] {
    const uint16_t port = configure();
    if (port != 0) start_control_channel(port);
    return true;
  }();
  (void)configured;
  if (!out) return E_POINTER;
  *out = nullptr;
  {
    const StandinLock held;
    standin().version = version;
    standin_log("DirectInput8Create(version 0x%lx)", version);
    if (standin().setup.create) return E_FAIL;
  }
  if (outer) return DIERR_NOAGGREGATION;
  if (version < 0x0800) return DIERR_OLDDIRECTINPUTVERSION;
  if (version > 0x0800) return DIERR_BETADIRECTINPUTVERSION;
  if (iid != IID_IDirectInput8W) return E_NOINTERFACE; // the hub speaks the wide interface
  StandinInput* input = new StandinInput{{&input_vtable}, 1};
  *out = &input->iface;
  return DI_OK;
}

namespace {

LRESULT CALLBACK refuse_windows(int code, WPARAM w, LPARAM l) {
  if (code == HCBT_CREATEWND) return 1; // the window is not created
  return CallNextHookEx(nullptr, code, w, l);
}

} // namespace

// The hub loads the stand-in before its first window, on the thread that makes the dialog.
extern "C" BOOL WINAPI DllMain(HINSTANCE, DWORD reason, void*) {
  if (reason != DLL_PROCESS_ATTACH) return TRUE;
  for (const std::string& item : comma_list(environment("PEDALON_STANDIN_FAIL")))
    if (item == "dialog") SetWindowsHookExW(WH_CBT, refuse_windows, nullptr, GetCurrentThreadId());
  return TRUE;
}
