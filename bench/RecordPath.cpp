// The record path alone, in process: one typical window record formatted, converted to single
// bytes and appended to the log's 4096-byte buffer, again and again, by
//   - the program's own path: WriteWindowRecord, the record writer's formatting and writing (its
//     formatter with the record format, then the log stream's byte conversion, CR LF and
//     4096-byte blocks to WriteFile);
//   - the C runtime's pipeline for the same bytes: _snwprintf, WideCharToMultiByte to ISO 8859-1
//     (code page 28591), then fwrite to a text-mode stream with a 4096-byte buffer.
// Both write to a file in the temporary folder, which the system caches, so the disk does not set
// the pace; the file is deleted afterwards. Prints records per second for each, after checking
// that both wrote the same bytes.
// It also counts, in the program's path and in the record writer's whole per-window callback
// (over windows of its own), the heap allocations made through operator new and the sizes of the
// log's WriteFile calls.
//   bench-record-path.exe [--records 200000] [--rounds 5]

#include "app/LogStream.h"
#include "app/RecordWriter.h"
#include "platform/Win32Api.h"

#include "platform/WindowsHeaders.h"
#include "bench/Clock.h"

#include <algorithm>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cwchar>
#include <new>
#include <string>
#include <vector>

using app::LogStream;
using app::WindowRecord;
using app::WriteWindowRecord;
using app::LogWindowProc;

namespace {

// Counted only while Counting is set; the program is single-threaded.
bool Counting = false;
long Allocations = 0;

} // namespace

void* operator new(std::size_t size)
{
    if (Counting) ++Allocations;
    if (void* p = std::malloc(size != 0 ? size : 1)) return p;
    throw std::bad_alloc();
}
void operator delete(void* p) noexcept { std::free(p); }
void operator delete(void* p, std::size_t) noexcept { std::free(p); }

namespace {

// The record format in the runtime's notation: %ls is a wide string in every runtime, and the
// handles go in as unsigned 32-bit values with eight upper-case digits.
const wchar_t kRuntimeFormat[] = L"0x%08X: exe=%ls\n"
                                 L"title=\"%ls\" class=\"%ls\" atom = 0x%08X\n"
                                 L"Style=0x%x exStyle=0x%x parent=0x%08X owner=0x%08X getparent=0x%08X\n"
                                 L"rcWnd = %d,%d - %d,%d rcClient = %d,%d - %d,%d maximized = %d minimized = %d\n"
                                 L"\n";

constexpr size_t kRecordChars = 2048;
constexpr UINT kIso8859_1 = 28591;

// A typical window: a path under Program Files, a title of some 60 characters with a Latin-1
// letter and two characters the log writes as '?', a registered class, maximized.
WindowRecord TypicalRecord()
{
    WindowRecord r;
    r.hwnd = reinterpret_cast<HWND>(static_cast<std::uintptr_t>(0x0001002C));
    std::wcscpy(r.exe, L"C:\\Program Files\\Contoso Office\\Spreadsheet\\spreadsheet.exe");
    std::wcscpy(r.title, L"Quarterly report \u2013 caf\u00e9 budget \u20ac 2024.xlsx - Spreadsheet");
    std::wcscpy(r.className, L"SpreadsheetMainFrame");
    r.atom = 0xC0F1;
    r.style = 0x14CF0000;
    r.exStyle = 0x100;
    r.parent = reinterpret_cast<HWND>(static_cast<std::uintptr_t>(0x00010010));
    r.window = RECT{-8, -8, 1928, 1048};
    r.client = RECT{0, 0, 1920, 1017};
    r.maximized = 1;
    return r;
}

unsigned int AsUnsigned32(HWND value)
{
    return static_cast<unsigned int>(reinterpret_cast<std::uintptr_t>(value) & 0xFFFFFFFFu);
}

// The program's path: what the record writer does once a window's queries are done.
bool WriteWithProgramPath(const std::wstring& path, const WindowRecord& record, int records)
{
    LogStream stream(path.c_str());
    if (!stream.IsOpen()) return false;
    for (int i = 0; i < records; ++i) WriteWindowRecord(record, stream);
    stream.Close();
    return true;
}

// The C runtime's pipeline for the same bytes.
bool WriteWithRuntimePipeline(const std::wstring& path, const WindowRecord& r, int records)
{
    FILE* file = _wfopen(path.c_str(), L"w");
    if (file == nullptr) return false;
    std::setvbuf(file, nullptr, _IOFBF, LogStream::kBufferBytes);
    for (int i = 0; i < records; ++i) {
        wchar_t record[kRecordChars];
        char bytes[kRecordChars];
        const int chars = _snwprintf(
            record, kRecordChars, kRuntimeFormat, AsUnsigned32(r.hwnd), r.exe, r.title, r.className,
            static_cast<unsigned int>(r.atom), static_cast<unsigned int>(r.style), static_cast<unsigned int>(r.exStyle),
            AsUnsigned32(r.parent), AsUnsigned32(r.owner), AsUnsigned32(r.getParent), static_cast<int>(r.window.left),
            static_cast<int>(r.window.top), static_cast<int>(r.window.right), static_cast<int>(r.window.bottom),
            static_cast<int>(r.client.left), static_cast<int>(r.client.top), static_cast<int>(r.client.right),
            static_cast<int>(r.client.bottom), r.maximized, r.minimized);
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

// The log's writes, seen through the program's own platform table.
struct WriteCounts {
    long calls = 0;
    long fullBlocks = 0;
    DWORD lastBytes = 0;
};
WriteCounts Writes;
decltype(&::WriteFile) RealWriteFile = nullptr;

BOOL WINAPI CountingWriteFile(HANDLE file, LPCVOID data, DWORD bytes, LPDWORD written, LPOVERLAPPED overlapped)
{
    ++Writes.calls;
    if (bytes == LogStream::kBufferBytes) ++Writes.fullBlocks;
    Writes.lastBytes = bytes;
    return RealWriteFile(file, data, bytes, written, overlapped);
}

struct Accounting {
    long allocations = 0;
    WriteCounts writes;
    int records = 0;
};

// Runs work with allocations and the log's writes counted.
template <class Work>
Accounting Account(Work work)
{
    vantrel::platform::ScopedApiOverride api;
    RealWriteFile = api.Original().WriteFile;
    api->WriteFile = &CountingWriteFile;
    Writes = WriteCounts{};
    Allocations = 0;
    Counting = true;
    Accounting result;
    result.records = work();
    Counting = false;
    result.allocations = Allocations;
    result.writes = Writes;
    return result;
}

const wchar_t kOwnClassName[] = L"VantrelRecordPathWindow";

// Visible, unowned top-level windows that the record writer logs like any other.
std::vector<HWND> CreateOwnWindows(int count)
{
    WNDCLASSEXW windowClass{};
    windowClass.cbSize = sizeof(windowClass);
    windowClass.lpfnWndProc = &::DefWindowProcW;
    windowClass.hInstance = ::GetModuleHandleW(nullptr);
    windowClass.lpszClassName = kOwnClassName;
    ::RegisterClassExW(&windowClass);
    std::vector<HWND> windows;
    for (int i = 0; i < count; ++i) {
        const std::wstring title = L"Record path window " + std::to_wstring(i) + L" caf\u00e9 \u20ac";
        const HWND hwnd = ::CreateWindowExW(0, kOwnClassName, title.c_str(), WS_OVERLAPPEDWINDOW, 10 * i, 10 * i, 400,
                                            300, nullptr, nullptr, windowClass.hInstance, nullptr);
        if (hwnd == nullptr) break;
        ::ShowWindow(hwnd, SW_SHOWNOACTIVATE);
        windows.push_back(hwnd);
    }
    return windows;
}

int CountRecords(const std::string& log)
{
    int records = 0;
    for (size_t at = log.find(": exe="); at != std::string::npos; at = log.find(": exe=", at + 1)) ++records;
    return records;
}

void PrintAccounting(const char* what, const Accounting& a)
{
    std::printf("%-58s %7d records %6ld allocations (%.2f per record) %5ld WriteFile calls, %ld of 4096 bytes, "
                "last %lu\n",
                what, a.records, a.allocations, a.records > 0 ? static_cast<double>(a.allocations) / a.records : 0.0,
                a.writes.calls, a.writes.fullBlocks, static_cast<unsigned long>(a.writes.lastBytes));
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
    const WindowRecord record = TypicalRecord();

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
            const double start = NowMilliseconds();
            if (programTurn) {
                WriteWithProgramPath(programFile, record, records);
                program.push_back(records * 1000.0 / (NowMilliseconds() - start));
            } else {
                WriteWithRuntimePipeline(runtimeFile, record, records);
                runtime.push_back(records * 1000.0 / (NowMilliseconds() - start));
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
    std::printf("%-62s %14.0f %10.1f\n", "program: WriteWindowRecord (own formatter + LogStream)", programRate,
                programRate * static_cast<double>(recordBytes) / 1e6);
    std::printf("%-62s %14.0f %10.1f\n", "C runtime: _snwprintf + WideCharToMultiByte(28591) + fwrite", runtimeRate,
                runtimeRate * static_cast<double>(recordBytes) / 1e6);
    std::printf("\nprogram / C runtime: %.2f; identical bytes: %s\n", programRate / runtimeRate, same ? "yes" : "NO");

    // Heap and write accounting: the record path alone, then the whole callback over real windows.
    // A counter that cannot see an allocation would report zero for anything: show it one first.
    const Accounting probe = Account([] {
        void* held = ::operator new(16);
        ::operator delete(held);
        return 1;
    });
    if (probe.allocations != 1) {
        std::fputs("the allocation counter does not see operator new; no figures\n", stderr);
        return 1;
    }
    const Accounting path = Account([&] {
        WriteWithProgramPath(programFile, record, 1000);
        return 1000;
    });
    const std::vector<HWND> windows = CreateOwnWindows(64);
    const Accounting callback = Account([&] {
        LogStream stream(programFile.c_str());
        app::LogPass pass{stream, {}};
        vantrel::platform::Api().EnumWindows(&LogWindowProc, reinterpret_cast<LPARAM>(&pass));
        stream.Close();
        return 0;
    });
    Accounting callbackWithRecords = callback;
    callbackWithRecords.records = CountRecords(ReadFileBytes(programFile));
    for (HWND hwnd : windows) ::DestroyWindow(hwnd);
    ::DeleteFileW(programFile.c_str());
    std::printf("\nHeap allocations (operator new) and the log's writes\n");
    PrintAccounting("WriteWindowRecord, 1000 typical records", path);
    PrintAccounting("LogWindowProc over the desktop, with 64 windows of its own", callbackWithRecords);
    std::fflush(stdout);
    return same ? 0 : 1;
}
