#include "ComApartment.h"

#include "RuntimeFunction.h"

namespace vantrel::platform {

ComApartment::ComApartment()
{
    const auto join = Find<&Win32Api::CoInitializeEx>();
    const auto leave = Find<&Win32Api::CoUninitialize>();
    if (!join || !leave) return;
    const HRESULT result = join(nullptr, COINIT_APARTMENTTHREADED | COINIT_DISABLE_OLE1DDE);
    if (SUCCEEDED(result)) leave_ = leave.Get();
    usable_ = SUCCEEDED(result) || result == RPC_E_CHANGED_MODE;
}

ComApartment::~ComApartment()
{
    if (leave_ != nullptr) leave_();
}

} // namespace vantrel::platform
