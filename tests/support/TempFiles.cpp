#include "tests/support/TempFiles.h"

#include <gtest/gtest.h>

namespace testsupport {

TempFolder::TempFolder()
{
    wchar_t temp[MAX_PATH] = {};
    ::GetTempPathW(MAX_PATH, temp);
    // Process ids come round again, and a case that was killed left its folder behind: a name
    // that is taken is passed over, never shared.
    static int counter = 0;
    for (;;) {
        path_ = std::wstring(temp) + L"vantrel-test-" + std::to_wstring(::GetCurrentProcessId()) + L"-" +
                std::to_wstring(++counter);
        if (::CreateDirectoryW(path_.c_str(), nullptr)) return;
        const DWORD error = ::GetLastError();
        if (error != ERROR_ALREADY_EXISTS) {
            ADD_FAILURE() << "cannot create a temporary folder: error " << error;
            return;
        }
    }
}

TempFolder::~TempFolder()
{
    for (const std::wstring& name : Files()) ::DeleteFileW(File(name).c_str());
    ::RemoveDirectoryW(path_.c_str());
}

std::vector<std::wstring> TempFolder::Files() const { return FilesIn(path_); }

std::vector<std::wstring> FilesIn(const std::wstring& folder)
{
    std::vector<std::wstring> names;
    WIN32_FIND_DATAW found{};
    HANDLE search = ::FindFirstFileW((folder + L"\\*").c_str(), &found);
    if (search == INVALID_HANDLE_VALUE) return names;
    do {
        const std::wstring name = found.cFileName;
        if (name != L"." && name != L"..") names.push_back(name);
    } while (::FindNextFileW(search, &found));
    ::FindClose(search);
    return names;
}

std::string ReadBytes(const std::wstring& path, bool* exists)
{
    HANDLE file = ::CreateFileW(path.c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr, OPEN_EXISTING,
                                0, nullptr);
    if (exists != nullptr) *exists = file != INVALID_HANDLE_VALUE;
    if (file == INVALID_HANDLE_VALUE) return {};
    std::string bytes;
    char chunk[65536];
    DWORD read = 0;
    while (::ReadFile(file, chunk, sizeof(chunk), &read, nullptr) && read != 0) bytes.append(chunk, read);
    ::CloseHandle(file);
    return bytes;
}

void WriteBytes(const std::wstring& path, const std::string& bytes)
{
    HANDLE file = ::CreateFileW(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr);
    ASSERT_NE(INVALID_HANDLE_VALUE, file);
    DWORD written = 0;
    ::WriteFile(file, bytes.data(), static_cast<DWORD>(bytes.size()), &written, nullptr);
    ::CloseHandle(file);
}

} // namespace testsupport
