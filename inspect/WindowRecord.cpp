#include "inspect/WindowRecord.h"

#include "inspect/ProcessImagePath.h"
#include "platform/Win32Api.h"
#include "platform/WindowTitle.h"

namespace inspect {

using vantrel::platform::Api;

void ReadWindowRecord(HWND hwnd, WindowRecord& record)
{
    record.hwnd = hwnd;
    vantrel::platform::ReadWindowTitle(hwnd, record.title);
    Api().GetClassNameW(hwnd, record.className, WindowRecord::kClassChars);
    GetWindowProcessImagePath(hwnd, record.exe, WindowRecord::kExeChars);

    Api().GetWindowRect(hwnd, &record.window);
    Api().GetClientRect(hwnd, &record.client);
    record.minimized = Api().IsIconic(hwnd) ? 1 : 0;
    record.maximized = Api().IsZoomed(hwnd) ? 1 : 0;
    WINDOWINFO info{};
    info.cbSize = sizeof(info);
    Api().GetWindowInfo(hwnd, &info);
    record.atom = info.atomWindowType;
    record.getParent = Api().GetParent(hwnd);
    record.owner = Api().GetWindow(hwnd, GW_OWNER);
    record.parent = Api().GetAncestor(hwnd, GA_PARENT);
    record.exStyle = static_cast<DWORD>(Api().GetWindowLongW(hwnd, GWL_EXSTYLE));
    record.style = static_cast<DWORD>(Api().GetWindowLongW(hwnd, GWL_STYLE));
}

} // namespace inspect
