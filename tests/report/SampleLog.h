// Logs as the tool writes them, for the tests to read.
#pragma once

#include <cstdint>
#include <string>

namespace reporttest {

struct Sample {
    std::uint32_t hwnd = 0x0001004C;
    std::string exe = "C:\\windows\\system32\\winemine.exe";
    std::string title = "WineMine";
    std::string className = "WineMine";
    std::uint32_t style = 0x14ca0000, exStyle = 0x100, owner = 0;
    std::string rect = "0,0 - 160,226";
    int minimized = 0;
};

// One record in the tool's own bytes: CR LF line ends, a LF inside a field doubled into CR LF.
std::string RecordBytes(const Sample& s);

} // namespace reporttest
