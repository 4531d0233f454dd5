#include "input/xinput_scan_win32.h"

#include <objbase.h>
#include <oleauto.h>
#include <wbemcli.h>

#include <new>

#include "input/device_id.h"

namespace {

constexpr long next_timeout_ms = 10000;
constexpr ULONG batch_size = 20;

void note_device(IWbemClassObject* device, BSTR property, std::vector<uint32_t>& ids) {
  VARIANT value;
  VariantInit(&value);
  if (SUCCEEDED(device->Get(property, 0, &value, nullptr, nullptr)) && value.vt == VT_BSTR &&
      value.bstrVal != nullptr) {
    if (const auto id = xinput_id_of(value.bstrVal)) {
      try {
        ids.push_back(*id);
      } catch (const std::bad_alloc&) {
        // One id fewer only means that device is not skipped.
      }
    }
  }
  VariantClear(&value);
}

} // namespace

HRESULT scan_xinput_ids(std::vector<uint32_t>& ids) {
  IWbemLocator* locator = nullptr;
  HRESULT result = CoCreateInstance(CLSID_WbemLocator, nullptr, CLSCTX_INPROC_SERVER,
                                    IID_IWbemLocator, reinterpret_cast<void**>(&locator));
  if (FAILED(result)) return result;

  BSTR name_space = SysAllocString(L"\\\\.\\root\\cimv2");
  BSTR class_name = SysAllocString(L"Win32_PNPEntity");
  BSTR property = SysAllocString(L"DeviceID");
  IWbemServices* services = nullptr;
  IEnumWbemClassObject* devices = nullptr;

  if (name_space == nullptr || class_name == nullptr || property == nullptr) result = E_OUTOFMEMORY;
  if (SUCCEEDED(result))
    result = locator->ConnectServer(name_space, nullptr, nullptr, nullptr, 0, nullptr, nullptr,
                                    &services);
  if (SUCCEEDED(result))
    result =
        CoSetProxyBlanket(services, RPC_C_AUTHN_WINNT, RPC_C_AUTHZ_NONE, nullptr,
                          RPC_C_AUTHN_LEVEL_CALL, RPC_C_IMP_LEVEL_IMPERSONATE, nullptr, EOAC_NONE);
  if (SUCCEEDED(result)) result = services->CreateInstanceEnum(class_name, 0, nullptr, &devices);

  // WMI ends the list with an empty batch; a timed-out batch is not an error.
  while (SUCCEEDED(result)) {
    IWbemClassObject* batch[batch_size] = {};
    ULONG returned = 0;
    result = devices->Next(next_timeout_ms, batch_size, batch, &returned);
    for (ULONG i = 0; i < returned && i < batch_size; ++i) {
      note_device(batch[i], property, ids);
      batch[i]->Release();
    }
    if (returned == 0) break;
  }

  if (devices != nullptr) devices->Release();
  if (services != nullptr) services->Release();
  locator->Release();
  SysFreeString(name_space); // each of these accepts nullptr
  SysFreeString(class_name);
  SysFreeString(property);
  return FAILED(result) ? result : S_OK;
}
