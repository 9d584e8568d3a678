// vantrel-report's entry on Windows: a console program for wide paths. Dropped on by a log in
// Explorer, it writes the page beside the log and opens it in the default browser; started with
// no log from Explorer, it does the same with the live page of this desktop, beside itself.
#include "report/run/Run.h"
#include "report/win32/Console.h"
#include "report/win32/ThisDesktop.h"
#include "report/win32/WideText.h"
#include "report/win32/WindowsFiles.h"

#include "platform/ComApartment.h"
#include "platform/Win32Api.h"

#include <new>
#include <string>
#include <vector>

namespace {

using report::Print;
using report::Utf8;
using report::Wide;
using vantrel::platform::Api;

int RunFromConsole(int argc, wchar_t** argv, bool ownConsole)
{
    // One apartment for the whole run: the snapshot asks the virtual desktop manager through it,
    // and ShellExecuteW needs COM on its thread to open the page.
    const vantrel::platform::ComApartment com;
    std::vector<std::string> arguments;
    for (int i = 1; i < argc; ++i) arguments.push_back(Utf8(argv[i]));
    // Opened from Explorer with no log, the one page there is to make is this desktop's.
    if (arguments.empty() && ownConsole) arguments.push_back("--live");
    report::WindowsFiles files;
    report::ThisDesktop desktop;
    const report::Outcome outcome = report::Run(arguments, files, &desktop);
    Print(outcome.exitCode == 0 ? STD_OUTPUT_HANDLE : STD_ERROR_HANDLE, outcome.message);
    if (outcome.exitCode != 0 && ownConsole) {
        Api().MessageBoxW(nullptr, Wide(outcome.message).c_str(), L"vantrel-report", MB_OK | MB_ICONWARNING);
    }
    if (outcome.exitCode == 0 && outcome.open && !outcome.page.empty()) {
        const auto opened = reinterpret_cast<INT_PTR>(
            Api().ShellExecuteW(nullptr, L"open", Wide(outcome.page).c_str(), nullptr, nullptr, SW_SHOWNORMAL));
        if (opened <= 32) Print(STD_ERROR_HANDLE, "vantrel-report: the page is written but could not be opened\n");
    }
    return outcome.exitCode;
}

} // namespace

int wmain(int argc, wchar_t** argv)
{
    const bool ownConsole = report::HasConsoleOfItsOwn();
    try {
        return RunFromConsole(argc, argv, ownConsole);
    } catch (const std::bad_alloc&) {
        report::PrintOutOfMemory(ownConsole);
        return 1;
    }
}
