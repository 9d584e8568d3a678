// Temporary folders and whole-file reads for the log tests.
#pragma once

#include "platform/WindowsHeaders.h"

#include <string>
#include <vector>

namespace testsupport {

// A fresh folder under the temporary folder, removed with everything in it when the object dies.
class TempFolder {
public:
    TempFolder();
    ~TempFolder();
    TempFolder(const TempFolder&) = delete;
    TempFolder& operator=(const TempFolder&) = delete;

    const std::wstring& Path() const { return path_; }
    std::wstring File(const std::wstring& name) const { return path_ + L"\\" + name; }
    // The names of the files in the folder.
    std::vector<std::wstring> Files() const;

private:
    std::wstring path_;
};

// The names of the files and folders in a folder, "." and ".." left out.
std::vector<std::wstring> FilesIn(const std::wstring& folder);

// The file's bytes; empty when it cannot be read. `exists` tells the two apart.
std::string ReadBytes(const std::wstring& path, bool* exists = nullptr);
void WriteBytes(const std::wstring& path, const std::string& bytes);

} // namespace testsupport
