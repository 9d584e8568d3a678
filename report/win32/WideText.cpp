#include "report/win32/WideText.h"

#include "platform/Win32Api.h"

namespace report {

using vantrel::platform::Api;

std::wstring Wide(std::string_view utf8)
{
    if (utf8.empty()) return {};
    // Windows 2000 takes no flags with CP_UTF8.
    const int length = Api().MultiByteToWideChar(CP_UTF8, 0, utf8.data(), static_cast<int>(utf8.size()), nullptr, 0);
    std::wstring wide(static_cast<std::size_t>(length), L'\0');
    Api().MultiByteToWideChar(CP_UTF8, 0, utf8.data(), static_cast<int>(utf8.size()), &wide[0], length);
    return wide;
}

std::string Utf8(std::wstring_view wide)
{
    if (wide.empty()) return {};
    const int length = static_cast<int>(wide.size());
    const int size = Api().WideCharToMultiByte(CP_UTF8, 0, wide.data(), length, nullptr, 0, nullptr, nullptr);
    std::string utf8(static_cast<std::size_t>(size), '\0');
    Api().WideCharToMultiByte(CP_UTF8, 0, wide.data(), length, &utf8[0], size, nullptr, nullptr);
    return utf8;
}

} // namespace report
