// The record path alone, in process: one typical window record formatted, converted to single
// bytes and appended to the log's 4096-byte buffer, again and again, by
//   - the program's own path: platform::SafeStringCbPrintf with the record format, then LogStream
//     (the program's log stream itself: byte conversion, CR LF, 4096-byte blocks to WriteFile);
//   - the C runtime's pipeline for the same bytes: _snwprintf, WideCharToMultiByte to ISO 8859-1
//     (code page 28591), then fwrite to a text-mode stream with a 4096-byte buffer.
// Both write to a file in the temporary folder, which the system caches, so the disk does not set
// the pace; the file is deleted afterwards. Prints records per second for each.
//   bench-record-path.exe [--records 200000] [--rounds 5]

#include "app/LogStream.h"
#include "platform/SafeString.h"

#include "platform/WindowsHeaders.h"

#include <algorithm>
#include <cstdint>
#include <cstdio>
#include <cwchar>
#include <string>
#include <vector>

namespace {

// The record writer's format, as it stands in the program.
const wchar_t kRecordFormat[] =
    L"0x%p: exe=%s\n"
    L"title=\"%s\" class=\"%s\" atom = 0x%p\n"
    L"Style=0x%x exStyle=0x%x parent=0x%p owner=0x%p getparent=0x%p\n"
    L"rcWnd = %d,%d - %d,%d rcClient = %d,%d - %d,%d maximized = %d minimized = %d\n"
    L"\n";

// The same record in the runtime's notation: %ls is a wide string in every runtime, and the
// handles go in as unsigned 32-bit values with eight upper-case digits.
const wchar_t kRuntimeFormat[] =
    L"0x%08X: exe=%ls\n"
    L"title=\"%ls\" class=\"%ls\" atom = 0x%08X\n"
    L"Style=0x%x exStyle=0x%x parent=0x%08X owner=0x%08X getparent=0x%08X\n"
    L"rcWnd = %d,%d - %d,%d rcClient = %d,%d - %d,%d maximized = %d minimized = %d\n"
    L"\n";

constexpr size_t kRecordChars = 2048;
constexpr UINT kIso8859_1 = 28591;

// A typical window: a path under Program Files, a title of some 60 characters with a Latin-1
// letter and two characters the log writes as '?', a registered class.
struct TypicalRecord {
    std::uintptr_t hwnd = 0x0001002C;
    const wchar_t* exe = L"C:\\Program Files\\Contoso Office\\Spreadsheet\\spreadsheet.exe";
    const wchar_t* title = L"Quarterly report \u2013 caf\u00e9 budget \u20ac 2024.xlsx - Spreadsheet";
    const wchar_t* className = L"SpreadsheetMainFrame";
    std::uintptr_t atom = 0xC0F1;
    unsigned int style = 0x14CF0000;
    unsigned int exStyle = 0x100;
    std::uintptr_t parent = 0x00010010;
    std::uintptr_t owner = 0;
    std::uintptr_t getParent = 0;
    RECT window{-8, -8, 1928, 1048};
    RECT client{0, 0, 1920, 1017};
    int maximized = 1;
    int minimized = 0;
};

void* AsPointer(std::uintptr_t value) { return reinterpret_cast<void*>(value); }
unsigned int AsUnsigned32(std::uintptr_t value) { return static_cast<unsigned int>(value & 0xFFFFFFFFu); }

double Now()
{
    static LARGE_INTEGER frequency = [] {
        LARGE_INTEGER f;
        ::QueryPerformanceFrequency(&f);
        return f;
    }();
    LARGE_INTEGER counter;
    ::QueryPerformanceCounter(&counter);
    return static_cast<double>(counter.QuadPart) / static_cast<double>(frequency.QuadPart);
}

// The program's path: what the record writer does after its queries.
bool WriteWithProgramPath(const std::wstring& path, const TypicalRecord& r, int records)
{
    LogStream stream(path.c_str());
    if (!stream.IsOpen()) return false;
    for (int i = 0; i < records; ++i) {
        wchar_t record[kRecordChars];
        platform::SafeStringCbPrintf(record, sizeof(record), kRecordFormat, AsPointer(r.hwnd), r.exe, r.title,
                                     r.className, AsPointer(r.atom), r.style, r.exStyle, AsPointer(r.parent),
                                     AsPointer(r.owner), AsPointer(r.getParent), static_cast<int>(r.window.left),
                                     static_cast<int>(r.window.top), static_cast<int>(r.window.right),
                                     static_cast<int>(r.window.bottom), static_cast<int>(r.client.left),
                                     static_cast<int>(r.client.top), static_cast<int>(r.client.right),
                                     static_cast<int>(r.client.bottom), r.maximized, r.minimized);
        stream.Write(record);
    }
    stream.Close();
    return true;
}

// The C runtime's pipeline for the same bytes.
bool WriteWithRuntimePipeline(const std::wstring& path, const TypicalRecord& r, int records)
{
    FILE* file = _wfopen(path.c_str(), L"w");
    if (file == nullptr) return false;
    std::setvbuf(file, nullptr, _IOFBF, LogStream::kBufferBytes);
    for (int i = 0; i < records; ++i) {
        wchar_t record[kRecordChars];
        char bytes[kRecordChars];
        const int chars = _snwprintf(record, kRecordChars, kRuntimeFormat, AsUnsigned32(r.hwnd), r.exe, r.title,
                                     r.className, AsUnsigned32(r.atom), r.style, r.exStyle, AsUnsigned32(r.parent),
                                     AsUnsigned32(r.owner), AsUnsigned32(r.getParent),
                                     static_cast<int>(r.window.left), static_cast<int>(r.window.top),
                                     static_cast<int>(r.window.right), static_cast<int>(r.window.bottom),
                                     static_cast<int>(r.client.left), static_cast<int>(r.client.top),
                                     static_cast<int>(r.client.right), static_cast<int>(r.client.bottom),
                                     r.maximized, r.minimized);
        if (chars < 0) break;
        // No best fit: a character outside Latin-1 must become '?', as in the log, not a look-alike.
        const int length = ::WideCharToMultiByte(kIso8859_1, WC_NO_BEST_FIT_CHARS, record, chars, bytes,
                                                 static_cast<int>(sizeof(bytes)), nullptr, nullptr);
        std::fwrite(bytes, 1, static_cast<size_t>(length), file);
    }
    std::fclose(file);
    return true;
}

std::string ReadFileBytes(const std::wstring& path)
{
    std::string content;
    FILE* file = _wfopen(path.c_str(), L"rb");
    if (file == nullptr) return content;
    char chunk[4096];
    for (size_t n; (n = std::fread(chunk, 1, sizeof(chunk), file)) > 0;) content.append(chunk, n);
    std::fclose(file);
    return content;
}

double Median(std::vector<double> values)
{
    std::sort(values.begin(), values.end());
    const size_t middle = values.size() / 2;
    return values.size() % 2 == 1 ? values[middle] : (values[middle - 1] + values[middle]) / 2;
}

} // namespace

int wmain(int argc, wchar_t** argv)
{
    int records = 200000;
    int rounds = 5;
    for (int i = 1; i + 1 < argc; i += 2) {
        if (std::wcscmp(argv[i], L"--records") == 0) records = _wtoi(argv[i + 1]);
        if (std::wcscmp(argv[i], L"--rounds") == 0) rounds = _wtoi(argv[i + 1]);
    }
    if (records < 1 || rounds < 1 || argc % 2 == 0) {
        std::fputs("usage: bench-record-path [--records 200000] [--rounds 5]\n", stderr);
        return 2;
    }

    wchar_t folder[MAX_PATH] = {};
    ::GetTempPathW(MAX_PATH, folder);
    const std::wstring stem = std::wstring(folder) + L"vantrel-record-path-" + std::to_wstring(::GetCurrentProcessId());
    const std::wstring programFile = stem + L"-program.txt";
    const std::wstring runtimeFile = stem + L"-runtime.txt";
    const TypicalRecord record;

    // Both sides must produce the same bytes, or the comparison means nothing.
    if (!WriteWithProgramPath(programFile, record, 100) || !WriteWithRuntimePipeline(runtimeFile, record, 100)) {
        std::fputs("cannot write to the temporary folder\n", stderr);
        return 1;
    }
    const std::string programBytes = ReadFileBytes(programFile);
    const std::string runtimeBytes = ReadFileBytes(runtimeFile);
    const bool same = programBytes == runtimeBytes && !programBytes.empty();
    const size_t recordBytes = programBytes.size() / 100;

    std::vector<double> program;
    std::vector<double> runtime;
    for (int round = 0; round < rounds; ++round) {
        // Alternate which goes first, so that drift within a round does not favour one side.
        for (int turn = 0; turn < 2; ++turn) {
            const bool programTurn = (turn == 0) == (round % 2 == 0);
            const double start = Now();
            if (programTurn) {
                WriteWithProgramPath(programFile, record, records);
                program.push_back(records / (Now() - start));
            } else {
                WriteWithRuntimePipeline(runtimeFile, record, records);
                runtime.push_back(records / (Now() - start));
            }
        }
    }
    ::DeleteFileW(programFile.c_str());
    ::DeleteFileW(runtimeFile.c_str());

    const double programRate = Median(program);
    const double runtimeRate = Median(runtime);
    std::printf("\nRecord path, in process: one typical record (%u bytes in the log) formatted, converted and "
                "appended, %d records per round, median of %d rounds each (alternating), written to a file in "
                "the temporary folder\n\n",
                static_cast<unsigned>(recordBytes), records, rounds);
    std::printf("%-62s %14s %10s\n", "pipeline", "records/s", "MB/s");
    std::printf("%-62s %14.0f %10.1f\n", "program: SafeStringCbPrintf + LogStream (4096-byte blocks)", programRate,
                programRate * static_cast<double>(recordBytes) / 1e6);
    std::printf("%-62s %14.0f %10.1f\n", "C runtime: _snwprintf + WideCharToMultiByte(28591) + fwrite", runtimeRate,
                runtimeRate * static_cast<double>(recordBytes) / 1e6);
    std::printf("\nprogram / C runtime: %.2f; identical bytes: %s\n", programRate / runtimeRate, same ? "yes" : "NO");
    std::fflush(stdout);
    return same ? 0 : 1;
}
