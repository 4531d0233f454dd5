#include "input/device_win32.h"

#include <cstring>
#include <vector>

#include "input/device_id.h"
#include "input/object_controls.h"
#include "input/xinput_scan_win32.h"
#include "state/hub_state.h"

IDirectInput8W* direct_input = nullptr;
IDirectInputDevice8W* foot_device = nullptr;

namespace {

// Filled only while devices are enumerated with the XInput filter on.
std::vector<uint32_t> xinput_ids;

ProductGuid product_of(const GUID& guid) {
  ProductGuid product;
  product.data1 = guid.Data1;
  product.data2 = guid.Data2;
  product.data3 = guid.Data3;
  std::memcpy(product.data4, guid.Data4, sizeof product.data4);
  return product;
}

BOOL CALLBACK match_device(LPCDIDEVICEINSTANCEW instance, LPVOID) {
  if (!is_foot_controller(product_of(instance->guidProduct), instance->wUsage, xinput_ids))
    return DIENUM_CONTINUE;
  IDirectInputDevice8W* device = nullptr;
  // A controller that another program holds, or that vanished, leaves the next one a chance.
  if (FAILED(direct_input->CreateDevice(instance->guidInstance, &device, nullptr)))
    return DIENUM_CONTINUE;
  foot_device = device;
  return DIENUM_STOP;
}

ObjectKind kind_of(const GUID& type) {
  if (IsEqualGUID(type, GUID_XAxis)) return ObjectKind::x_axis;
  if (IsEqualGUID(type, GUID_YAxis)) return ObjectKind::y_axis;
  if (IsEqualGUID(type, GUID_ZAxis)) return ObjectKind::z_axis;
  if (IsEqualGUID(type, GUID_RxAxis)) return ObjectKind::rx_axis;
  if (IsEqualGUID(type, GUID_RyAxis)) return ObjectKind::ry_axis;
  if (IsEqualGUID(type, GUID_RzAxis)) return ObjectKind::rz_axis;
  if (IsEqualGUID(type, GUID_Slider)) return ObjectKind::slider;
  if (IsEqualGUID(type, GUID_POV)) return ObjectKind::pov;
  return ObjectKind::other;
}

BOOL CALLBACK setup_object(LPCDIDEVICEOBJECTINSTANCEW object, LPVOID context) {
  const HWND dialog = static_cast<HWND>(context);
  if (object->dwType & DIDFT_AXIS) {
    DIPROPRANGE range;
    std::memset(&range, 0, sizeof range);
    range.diph.dwSize = sizeof(DIPROPRANGE);
    range.diph.dwHeaderSize = sizeof(DIPROPHEADER);
    range.diph.dwObj = object->dwType;
    range.diph.dwHow = DIPH_BYID;
    range.lMin = -1000;
    range.lMax = 1000;
    // The axis bytes assume this range; leave the rest alone rather than half-range them.
    if (FAILED(foot_device->SetProperty(DIPROP_RANGE, &range.diph))) return DIENUM_STOP;
  }
  const auto pair = controls_for_object(kind_of(object->guidType), hub.slider_count, hub.pov_count);
  if (pair) {
    EnableWindow(GetDlgItem(dialog, pair->value_id), TRUE);
    EnableWindow(GetDlgItem(dialog, pair->partner_id), TRUE);
  }
  return DIENUM_CONTINUE;
}

} // namespace

static_assert(sizeof(DIPROPRANGE) == 24 && sizeof(DIPROPHEADER) == 16);

HRESULT device_setup(HWND dialog) {
  HRESULT result =
      DirectInput8Create(GetModuleHandleW(nullptr), DIRECTINPUT_VERSION, IID_IDirectInput8W,
                         reinterpret_cast<void**>(&direct_input), nullptr);
  if (FAILED(result)) return result;

  if (hub.filter_xinput) scan_xinput_ids(xinput_ids);
  result =
      direct_input->EnumDevices(DI8DEVCLASS_GAMECTRL, match_device, nullptr, DIEDFL_ATTACHEDONLY);
  std::vector<uint32_t>().swap(xinput_ids);
  if (FAILED(result)) return result;

  if (foot_device == nullptr) return device_not_found;

  result = foot_device->SetDataFormat(&c_dfDIJoystick2);
  if (FAILED(result)) return result;
  // Exclusive, and still read while another window is in front.
  result = foot_device->SetCooperativeLevel(dialog, DISCL_EXCLUSIVE | DISCL_BACKGROUND);
  if (FAILED(result)) return result;
  result = foot_device->EnumObjects(setup_object, dialog, DIDFT_ALL);
  if (FAILED(result)) return result;
  return 0;
}

void device_release() {
  if (foot_device != nullptr) {
    foot_device->Unacquire();
    foot_device->Release();
    foot_device = nullptr;
  }
  if (direct_input != nullptr) {
    direct_input->Release();
    direct_input = nullptr;
  }
}
