#include "app/LogPath.h"

#include "platform/FileExtension.h"
#include "platform/SafeString.h"

namespace app {

bool MakeLogPath(wchar_t (&path)[kLogPathChars])
{
    wchar_t* fileName = path;
    for (wchar_t* c = path; *c != L'\0'; ++c) {
        if (*c == L'\\' || *c == L'/') fileName = c + 1;
    }
    wchar_t* dot = vantrel::platform::ExtensionOf(fileName);
    const wchar_t* extension = L".txt";
    if (dot != nullptr) {
        dot[1] = L'\0';
        extension = L"txt";
    }
    return SUCCEEDED(vantrel::platform::SafeStringCbCat(path, sizeof(path), extension));
}

} // namespace app
