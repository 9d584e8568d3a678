#include "report/win32/ThisDesktop.h"

#include "report/win32/LiveCollection.h"
#include "report/win32/WideText.h"

#include "platform/Win32Api.h"

#include <algorithm>
#include <string_view>

namespace report {

using vantrel::platform::Api;

LiveSnapshot ThisDesktop::Snapshot() { return TakeSnapshot(); }

std::string ThisDesktop::ProgramPath()
{
    std::wstring path(32768, L'\0');
    const DWORD length = Api().GetModuleFileNameW(nullptr, &path[0], static_cast<DWORD>(path.size()));
    return Utf8(std::wstring_view(path.c_str(), std::min<std::size_t>(length, path.size())));
}

} // namespace report
