#include "platform/Accessibility.h"

#include <oleacc.h>

#include "platform/Handles.h"

namespace zv::win {

namespace {

// From oleacc.h, written here so that no oleacc import library is needed: the service is made
// through COM, which loads oleacc.dll when it is first asked for.
constexpr CLSID kAccPropServices = {0xb5f8350b, 0x0548, 0x48b1, {0xa6, 0xee, 0x88, 0xbd, 0x00, 0xb4, 0xa5, 0xe7}};
constexpr IID kIAccPropServices = {0x6e26e776, 0x04f0, 0x495d, {0x80, 0xe4, 0x33, 0x30, 0x35, 0x2e, 0x31, 0x69}};
constexpr GUID kNameProperty = {0x608d3df8, 0x8128, 0x4aa7, {0xa4, 0x28, 0xf5, 0x5e, 0x49, 0x26, 0x72, 0x91}};

// COM for the rest of the process once a name was asked for: annotations live as long as their
// windows, and the service answers for them.
struct Service {
  OleScope ole;
  ComPtr<IAccPropServices> props;
  Service() {
    ::CoCreateInstance(kAccPropServices, nullptr, CLSCTX_INPROC_SERVER, kIAccPropServices, props.put_void());
  }
};

Service* g_service = nullptr;  // never torn down: windows may outlive static destructors

IAccPropServices* Props(bool create) {
  if (!g_service && create) g_service = new Service;
  return g_service ? g_service->props.get() : nullptr;
}

}  // namespace

bool ScreenReaderRunning() {
  BOOL on = FALSE;
  return ::SystemParametersInfoW(SPI_GETSCREENREADER, 0, &on, 0) && on;
}

bool AnnotateName(HWND control, LONG object, const wchar_t* name) {
  // Nothing to take away where nothing was ever named.
  IAccPropServices* props = control ? Props(name != nullptr) : nullptr;
  if (!props) return name == nullptr;
  MSAAPROPID id = kNameProperty;
  const HRESULT hr = name ? props->SetHwndPropStr(control, static_cast<DWORD>(object), CHILDID_SELF, id, name)
                          : props->ClearHwndProps(control, static_cast<DWORD>(object), CHILDID_SELF, &id, 1);
  return SUCCEEDED(hr);
}

}  // namespace zv::win
