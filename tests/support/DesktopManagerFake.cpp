#undef WINVER
#undef _WIN32_WINNT
#define WINVER 0x0A00
#define _WIN32_WINNT 0x0A00

#include "tests/support/DesktopManagerFake.h"

#include <shobjidl.h>

namespace testsupport {

namespace {

class Manager : public IVirtualDesktopManager {
public:
    HRESULT STDMETHODCALLTYPE QueryInterface(REFIID, void**) override { return E_NOINTERFACE; }
    ULONG STDMETHODCALLTYPE AddRef() override { return ++Desktops().references; }
    ULONG STDMETHODCALLTYPE Release() override { return --Desktops().references; }
    HRESULT STDMETHODCALLTYPE IsWindowOnCurrentVirtualDesktop(HWND hwnd, BOOL* on) override
    {
        ++Desktops().queries;
        *on = Desktops().onCurrent;
        return hwnd == Desktops().window ? S_OK : E_INVALIDARG;
    }
    HRESULT STDMETHODCALLTYPE GetWindowDesktopId(HWND, GUID*) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE MoveWindowToDesktop(HWND, REFGUID) override { return E_NOTIMPL; }
} manager;

} // namespace

FakeDesktops& Desktops()
{
    static FakeDesktops desktops;
    return desktops;
}

HRESULT WINAPI FakeCoCreateInstance(REFCLSID type, LPUNKNOWN, DWORD, REFIID iid, LPVOID* out)
{
    *out = nullptr;
    if (type != __uuidof(VirtualDesktopManager) || iid != __uuidof(IVirtualDesktopManager)) return REGDB_E_CLASSNOTREG;
    manager.AddRef();
    *out = static_cast<IVirtualDesktopManager*>(&manager);
    return S_OK;
}

} // namespace testsupport
