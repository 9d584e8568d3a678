#include "tests/app/ProgramRun.h"

#include <gtest/gtest.h>

namespace apptest {

ProgramRun RunProgram(const std::wstring& exe, const std::wstring& log, const std::wstring& workingFolder)
{
    ProgramRun run;
    std::wstring commandLine = L"\"" + exe + L"\"";
    STARTUPINFOW startup{};
    startup.cb = sizeof(startup);
    PROCESS_INFORMATION info{};
    if (!::CreateProcessW(exe.c_str(), &commandLine[0], nullptr, nullptr, FALSE, 0, nullptr,
                          workingFolder.empty() ? nullptr : workingFolder.c_str(), &startup, &info)) {
        ADD_FAILURE() << "cannot start the program, error " << ::GetLastError();
        return run;
    }
    run.boxShown = tools::WaitForMessageBox(info.dwProcessId, info.hProcess, 60000, run.box);
    if (run.boxShown) {
        run.logWhileBoxUp = testsupport::ReadBytes(log);
        tools::PressOk(run.box.window);
    }
    if (::WaitForSingleObject(info.hProcess, 60000) == WAIT_OBJECT_0)
        ::GetExitCodeProcess(info.hProcess, &run.exitCode);
    ::CloseHandle(info.hThread);
    ::CloseHandle(info.hProcess);
    return run;
}

std::wstring CopyProgramAs(const testsupport::TempFolder& folder, const std::wstring& name)
{
    const std::wstring exe = folder.File(name);
    EXPECT_TRUE(::CopyFileW(VANTREL_TEST_EXE, exe.c_str(), FALSE)) << ::GetLastError();
    return exe;
}

std::string AsLogBytes(const std::wstring& text)
{
    std::string bytes;
    for (const wchar_t unit : text) {
        if (unit == L'\n')
            bytes += "\r\n";
        else
            bytes += unit > 0xFF ? '?' : static_cast<char>(static_cast<unsigned char>(unit));
    }
    return bytes;
}

} // namespace apptest
