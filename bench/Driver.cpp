// The benchmark's driver: for each desktop size it starts four window owners with N/4 taskbar
// windows each, then times the tool and the floor in alternation, each from process start to its
// message box appearing, confirms the box, and prints medians, their ratio, the cost per window,
// the log's size and the peak working sets. Then, on the same desktop, it times vantrel-report's
// live page from process start to exit against the tool.
//   vantrel-bench.exe [--sizes 250,500,1000,2000,4000] [--runs 5] [--tool PATH] [--floor PATH]
//                     [--owner PATH] [--report PATH] [--full-watch] [--profile]
// --runs is the count for the largest sizes; a size below 2000 gets proportionally more runs, up to
// three times as many: its runs are cheap, and the start-up's jitter weighs more in them.
// Paths default to the build tree's layout around this program. Size 0 gives the fixed cost of
// starting each program and showing its box. --full-watch times with the message-box watch's own
// search instead of the light one (see WaitUntilBoxShown). --profile adds, at the largest size, one
// run of the floor that accounts for its time query by query.

#include "tools/MessageBoxWatch.h"

#include "platform/WindowsHeaders.h"
#include "bench/Clock.h"

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <cwchar>
#include <memory>
#include <string>
#include <vector>

namespace {

constexpr int kOwnerProcesses = 4;
constexpr DWORD kOwnerReadyTimeoutMs = 180000;
constexpr DWORD kBoxTimeoutMs = 120000;
constexpr DWORD kExitTimeoutMs = 30000;
// Wine 8's server fails past about 10,900 windows in one prefix; the desktop's own few come on top.
constexpr int kLargestSize = 5000;

struct Options {
    std::vector<int> sizes{250, 500, 1000, 2000, 4000};
    int runs = 5;
    std::wstring tool;
    std::wstring floor;
    std::wstring owner;
    std::wstring report;
    bool fullWatch = false;
    bool profile = false;
};

struct Measurement {
    bool ok = false;
    double milliseconds = 0;
    SIZE_T peakWorkingSet = 0;
    std::wstring boxText;
};

struct SizeResult {
    int size = 0;
    int runs = 0;
    double toolMs = 0;
    double floorMs = 0;
    double toolMinMs = 0;
    double toolMaxMs = 0;
    double floorMinMs = 0;
    double floorMaxMs = 0;
    ULONGLONG logBytes = 0;
    int records = 0;
    int floorWindows = 0;
    SIZE_T toolPeak = 0;
    SIZE_T floorPeak = 0;
    int failures = 0;
    std::wstring floorProfile;
    double liveMs = 0;
    ULONGLONG pageBytes = 0;
};

class Handle {
public:
    explicit Handle(HANDLE h = nullptr) : h_(h) {}
    ~Handle()
    {
        if (h_ != nullptr && h_ != INVALID_HANDLE_VALUE) ::CloseHandle(h_);
    }
    Handle(const Handle&) = delete;
    Handle& operator=(const Handle&) = delete;
    HANDLE Get() const { return h_; }

private:
    HANDLE h_;
};

std::string Utf8(const std::wstring& text)
{
    const int bytes = ::WideCharToMultiByte(CP_UTF8, 0, text.c_str(), -1, nullptr, 0, nullptr, nullptr);
    std::string utf8(static_cast<size_t>(bytes > 0 ? bytes : 1), '\0');
    ::WideCharToMultiByte(CP_UTF8, 0, text.c_str(), -1, &utf8[0], bytes, nullptr, nullptr);
    utf8.resize(std::char_traits<char>::length(utf8.c_str()));
    return utf8;
}

std::wstring OwnFolder()
{
    wchar_t path[MAX_PATH] = {};
    ::GetModuleFileNameW(nullptr, path, MAX_PATH);
    std::wstring folder = path;
    return folder.substr(0, folder.find_last_of(L'\\') + 1);
}

std::wstring LogPathOf(const std::wstring& tool)
{
    const size_t dot = tool.find_last_of(L'.');
    return (dot == std::wstring::npos ? tool + L"." : tool.substr(0, dot + 1)) + L"txt";
}

// "..\" resolved, so that the log path reads as the tool's own.
std::wstring FullPath(const std::wstring& path)
{
    wchar_t full[MAX_PATH] = {};
    const DWORD length = ::GetFullPathNameW(path.c_str(), MAX_PATH, full, nullptr);
    return length > 0 && length < MAX_PATH ? std::wstring(full) : path;
}

bool ParseSizes(const wchar_t* text, std::vector<int>& sizes)
{
    sizes.clear();
    for (const wchar_t* p = text; *p != L'\0';) {
        wchar_t* end = nullptr;
        const long value = std::wcstol(p, &end, 10);
        if (end == p || value < 0 || value > kLargestSize) return false;
        sizes.push_back(static_cast<int>(value));
        p = *end == L',' ? end + 1 : end;
        if (*end != L',' && *end != L'\0') return false;
    }
    return !sizes.empty();
}

bool ParseOptions(int argc, wchar_t** argv, Options& options)
{
    const std::wstring folder = OwnFolder();
    options.tool = folder + L"..\\app\\vantrel.exe";
    options.floor = folder + L"bench-floor.exe";
    options.owner = folder + L"bench-window-owner.exe";
    options.report = folder + L"..\\report\\vantrel-report.exe";
    for (int i = 1; i < argc; ++i) {
        const std::wstring arg = argv[i];
        const bool hasValue = i + 1 < argc;
        if (arg == L"--sizes" && hasValue) {
            if (!ParseSizes(argv[++i], options.sizes)) return false;
        } else if (arg == L"--runs" && hasValue) {
            options.runs = _wtoi(argv[++i]);
            if (options.runs < 1) return false;
        } else if (arg == L"--tool" && hasValue) {
            options.tool = argv[++i];
        } else if (arg == L"--floor" && hasValue) {
            options.floor = argv[++i];
        } else if (arg == L"--owner" && hasValue) {
            options.owner = argv[++i];
        } else if (arg == L"--report" && hasValue) {
            options.report = argv[++i];
        } else if (arg == L"--full-watch") {
            options.fullWatch = true;
        } else if (arg == L"--profile") {
            options.profile = true;
        } else {
            return false;
        }
    }
    options.tool = FullPath(options.tool);
    options.floor = FullPath(options.floor);
    options.owner = FullPath(options.owner);
    options.report = FullPath(options.report);
    return true;
}

bool StartProcess(const std::wstring& exe, const std::wstring& arguments, PROCESS_INFORMATION& info)
{
    std::wstring commandLine = L"\"" + exe + L"\"" + (arguments.empty() ? L"" : L" " + arguments);
    STARTUPINFOW startup{};
    startup.cb = sizeof(startup);
    info = PROCESS_INFORMATION{};
    return ::CreateProcessW(exe.c_str(), &commandLine[0], nullptr, nullptr, FALSE, 0, nullptr, nullptr, &startup,
                            &info) != FALSE;
}

void EndProcess(HANDLE process)
{
    if (::WaitForSingleObject(process, kExitTimeoutMs) == WAIT_TIMEOUT) {
        ::TerminateProcess(process, 1);
        ::WaitForSingleObject(process, kExitTimeoutMs);
    }
}

// Four processes that own the desktop's taskbar windows for one size, ended by the destructor.
class WindowOwners {
public:
    WindowOwners(const std::wstring& owner, int windows)
    {
        static int generation = 0;
        const std::wstring tag = std::to_wstring(::GetCurrentProcessId()) + L"-" + std::to_wstring(++generation);
        const std::wstring stopName = L"VantrelBenchStop-" + tag;
        stop_ = ::CreateEventW(nullptr, TRUE, FALSE, stopName.c_str());
        for (int index = 0; index < kOwnerProcesses; ++index) {
            const int count = windows / kOwnerProcesses + (index < windows % kOwnerProcesses ? 1 : 0);
            const std::wstring readyName = L"VantrelBenchReady-" + tag + L"-" + std::to_wstring(index);
            readyEvents_.push_back(::CreateEventW(nullptr, TRUE, FALSE, readyName.c_str()));
            PROCESS_INFORMATION info;
            if (!StartProcess(
                    owner, std::to_wstring(index) + L" " + std::to_wstring(count) + L" " + readyName + L" " + stopName,
                    info)) {
                return;
            }
            ::CloseHandle(info.hThread);
            processes_.push_back(info.hProcess);
        }
    }

    ~WindowOwners()
    {
        if (stop_ != nullptr) ::SetEvent(stop_);
        for (HANDLE process : processes_) {
            EndProcess(process);
            ::CloseHandle(process);
        }
        for (HANDLE ready : readyEvents_) ::CloseHandle(ready);
        if (stop_ != nullptr) ::CloseHandle(stop_);
    }

    WindowOwners(const WindowOwners&) = delete;
    WindowOwners& operator=(const WindowOwners&) = delete;

    // True once every owner has all its windows up.
    bool WaitUntilReady()
    {
        if (processes_.size() != static_cast<size_t>(kOwnerProcesses)) return false;
        for (size_t i = 0; i < processes_.size(); ++i) {
            HANDLE waits[2] = {readyEvents_[i], processes_[i]};
            if (::WaitForMultipleObjects(2, waits, FALSE, kOwnerReadyTimeoutMs) != WAIT_OBJECT_0) return false;
        }
        return true;
    }

private:
    HANDLE stop_ = nullptr;
    std::vector<HANDLE> readyEvents_;
    std::vector<HANDLE> processes_;
};

// The moment the process's message box is up. The watch's own search asks the window system about
// every top-level window on each pass; with thousands of windows, polling that way every few
// milliseconds loads the server as much as the program being timed does. Asking only for dialog
// windows is one server request per pass, so the light search polls every millisecond.
bool WaitUntilBoxShown(DWORD processId, HANDLE process)
{
    const double deadline = NowMilliseconds() + kBoxTimeoutMs;
    for (;;) {
        for (HWND box = ::FindWindowExW(nullptr, nullptr, L"#32770", nullptr); box != nullptr;
             box = ::FindWindowExW(nullptr, box, L"#32770", nullptr)) {
            DWORD owner = 0;
            ::GetWindowThreadProcessId(box, &owner);
            if (owner == processId && ::IsWindowVisible(box)) return true;
        }
        if (NowMilliseconds() > deadline) return false;
        if (::WaitForSingleObject(process, 1) == WAIT_OBJECT_0) return false;
    }
}

Measurement RunOnce(const std::wstring& exe, bool fullWatch, const std::wstring& arguments = L"")
{
    Measurement result;
    PROCESS_INFORMATION info;
    const double start = NowMilliseconds();
    if (!StartProcess(exe, arguments, info)) {
        std::fprintf(stderr, "cannot start %s (error %lu)\n", Utf8(exe).c_str(), ::GetLastError());
        return result;
    }
    Handle process(info.hProcess);
    Handle thread(info.hThread);

    tools::ShownMessageBox box;
    bool shown = false;
    if (fullWatch) {
        shown = tools::WaitForMessageBox(info.dwProcessId, info.hProcess, kBoxTimeoutMs, box);
        result.milliseconds = NowMilliseconds() - start;
    } else {
        shown = WaitUntilBoxShown(info.dwProcessId, info.hProcess);
        result.milliseconds = NowMilliseconds() - start;
        // The box is up, so this finds it on the first pass.
        shown = shown && tools::WaitForMessageBox(info.dwProcessId, info.hProcess, kBoxTimeoutMs, box);
    }
    if (!shown) {
        std::fprintf(stderr, "%s showed no message box\n", Utf8(exe).c_str());
        ::TerminateProcess(info.hProcess, 1);
        ::WaitForSingleObject(info.hProcess, kExitTimeoutMs);
        return result;
    }

    // Read while the process lives: the peak is reached by the time the box is up.
    PROCESS_MEMORY_COUNTERS counters{};
    counters.cb = sizeof(counters);
    if (::GetProcessMemoryInfo(info.hProcess, &counters, sizeof(counters))) {
        result.peakWorkingSet = counters.PeakWorkingSetSize;
    }
    result.boxText = box.text;

    tools::PressOk(box.window);
    DWORD exitCode = 1;
    if (::WaitForSingleObject(info.hProcess, kExitTimeoutMs) == WAIT_OBJECT_0) {
        ::GetExitCodeProcess(info.hProcess, &exitCode);
    } else {
        ::TerminateProcess(info.hProcess, 1);
        ::WaitForSingleObject(info.hProcess, kExitTimeoutMs);
    }
    result.ok = exitCode == 0;
    if (!result.ok) std::fprintf(stderr, "%s exited with %lu\n", Utf8(exe).c_str(), exitCode);
    return result;
}

// A program that shows no box: from its start to its exit with code 0.
double RunToExit(const std::wstring& exe, const std::wstring& arguments)
{
    PROCESS_INFORMATION info;
    const double start = NowMilliseconds();
    if (!StartProcess(exe, arguments, info)) return 0;
    Handle process(info.hProcess);
    Handle thread(info.hThread);
    DWORD exitCode = 1;
    if (::WaitForSingleObject(info.hProcess, kBoxTimeoutMs) == WAIT_OBJECT_0) {
        ::GetExitCodeProcess(info.hProcess, &exitCode);
    } else {
        ::TerminateProcess(info.hProcess, 1);
        ::WaitForSingleObject(info.hProcess, kExitTimeoutMs);
    }
    const double elapsed = NowMilliseconds() - start;
    if (exitCode != 0) std::fprintf(stderr, "%s exited with %lu\n", Utf8(exe).c_str(), exitCode);
    return exitCode == 0 ? elapsed : 0;
}

ULONGLONG FileBytes(const std::wstring& path)
{
    WIN32_FILE_ATTRIBUTE_DATA data{};
    if (!::GetFileAttributesExW(path.c_str(), GetFileExInfoStandard, &data)) return 0;
    return (static_cast<ULONGLONG>(data.nFileSizeHigh) << 32) | data.nFileSizeLow;
}

// The log's size and how many records it holds (each begins with the handle, then ": exe=").
bool ReadLog(const std::wstring& path, ULONGLONG& bytes, int& records)
{
    Handle file(::CreateFileW(path.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING, 0, nullptr));
    if (file.Get() == INVALID_HANDLE_VALUE) return false;
    LARGE_INTEGER size;
    if (!::GetFileSizeEx(file.Get(), &size)) return false;
    std::string content(static_cast<size_t>(size.QuadPart), '\0');
    DWORD read = 0;
    if (!content.empty() && !::ReadFile(file.Get(), &content[0], static_cast<DWORD>(content.size()), &read, nullptr)) {
        return false;
    }
    bytes = static_cast<ULONGLONG>(size.QuadPart);
    records = 0;
    for (size_t at = content.find(": exe="); at != std::string::npos; at = content.find(": exe=", at + 1)) ++records;
    return true;
}

int RunsFor(const Options& options, int size)
{
    constexpr int kFullRunsFrom = 2000;
    if (size >= kFullRunsFrom) return options.runs;
    const int scaled = size > 0 ? options.runs * kFullRunsFrom / size : 3 * options.runs;
    return std::max(options.runs, std::min(3 * options.runs, scaled));
}

double Median(std::vector<double> values)
{
    if (values.empty()) return 0;
    std::sort(values.begin(), values.end());
    const size_t middle = values.size() / 2;
    return values.size() % 2 == 1 ? values[middle] : (values[middle - 1] + values[middle]) / 2;
}

SizeResult MeasureSize(const Options& options, int size)
{
    SizeResult result;
    result.size = size;
    result.runs = RunsFor(options, size);
    std::fprintf(stderr, "N = %d: starting %d window owners...\n", size, kOwnerProcesses);
    const double setUp = NowMilliseconds();
    WindowOwners owners(options.owner, size);
    if (!owners.WaitUntilReady()) {
        std::fprintf(stderr, "N = %d: the window owners did not get ready\n", size);
        result.failures = 1;
        return result;
    }
    std::fprintf(stderr, "N = %d: windows up in %.0f ms; one warm-up each, then %d runs each\n", size,
                 NowMilliseconds() - setUp, result.runs);

    // Warm-up: the first start of each program pays for loading its pages.
    RunOnce(options.tool, options.fullWatch);
    RunOnce(options.floor, options.fullWatch);

    std::vector<double> tool;
    std::vector<double> floor;
    for (int run = 0; run < result.runs; ++run) {
        // Alternate which goes first, so that drift within a pair does not favour one side.
        for (int turn = 0; turn < 2; ++turn) {
            const bool toolTurn = (turn == 0) == (run % 2 == 0);
            const Measurement m = RunOnce(toolTurn ? options.tool : options.floor, options.fullWatch);
            if (!m.ok) {
                ++result.failures;
                continue;
            }
            if (toolTurn) {
                tool.push_back(m.milliseconds);
                result.toolPeak = std::max(result.toolPeak, m.peakWorkingSet);
                ReadLog(LogPathOf(options.tool), result.logBytes, result.records);
            } else {
                floor.push_back(m.milliseconds);
                result.floorPeak = std::max(result.floorPeak, m.peakWorkingSet);
                result.floorWindows = _wtoi(m.boxText.c_str());
            }
        }
        std::fprintf(stderr, "  run %d: tool %.0f ms, floor %.0f ms\n", run + 1, tool.empty() ? 0.0 : tool.back(),
                     floor.empty() ? 0.0 : floor.back());
    }
    // The live page of the same desktop: every top-level window, the hidden ones too, and more asked
    // of each than the tool asks.
    const std::wstring page = OwnFolder() + L"bench-live.html";
    RunToExit(options.report, L"--live --no-open -o \"" + page + L"\"");
    std::vector<double> live;
    for (int run = 0; run < result.runs; ++run) {
        const double ms = RunToExit(options.report, L"--live --no-open -o \"" + page + L"\"");
        if (ms > 0) live.push_back(ms);
    }
    result.liveMs = Median(live);
    result.pageBytes = FileBytes(page);
    const bool largest = size == *std::max_element(options.sizes.begin(), options.sizes.end());
    if (options.profile && largest)
        result.floorProfile = RunOnce(options.floor, options.fullWatch, L"--profile").boxText;
    result.toolMs = Median(tool);
    result.floorMs = Median(floor);
    if (!tool.empty()) {
        result.toolMinMs = *std::min_element(tool.begin(), tool.end());
        result.toolMaxMs = *std::max_element(tool.begin(), tool.end());
    }
    if (!floor.empty()) {
        result.floorMinMs = *std::min_element(floor.begin(), floor.end());
        result.floorMaxMs = *std::max_element(floor.begin(), floor.end());
    }
    return result;
}

void PrintTable(const Options& options, const std::vector<SizeResult>& results)
{
    std::printf("\nTool vs floor, process start to message box; median of the runs of each (alternating, after "
                "one warm-up each)%s\n\n",
                options.fullWatch ? ", timed with the full message-box search" : "");
    std::printf("%6s %5s %10s %10s %7s %12s %12s %10s %8s %11s %11s %15s %15s\n", "N", "runs", "tool ms", "floor ms",
                "ratio", "tool us/win", "floor us/win", "log bytes", "records", "tool peak", "floor peak",
                "tool min-max", "floor min-max");
    for (const SizeResult& r : results) {
        if (r.toolMs == 0 || r.floorMs == 0) {
            std::printf("%6d  (failed)\n", r.size);
            continue;
        }
        char toolRange[32];
        char floorRange[32];
        std::snprintf(toolRange, sizeof(toolRange), "%.0f-%.0f", r.toolMinMs, r.toolMaxMs);
        std::snprintf(floorRange, sizeof(floorRange), "%.0f-%.0f", r.floorMinMs, r.floorMaxMs);
        // With no windows (--sizes 0) the table shows the fixed cost of starting and ending.
        char toolPerWindow[32] = "-";
        char floorPerWindow[32] = "-";
        if (r.size > 0) {
            std::snprintf(toolPerWindow, sizeof(toolPerWindow), "%.1f", r.toolMs * 1000.0 / r.size);
            std::snprintf(floorPerWindow, sizeof(floorPerWindow), "%.1f", r.floorMs * 1000.0 / r.size);
        }
        std::printf("%6d %5d %10.1f %10.1f %7.3f %12s %12s %10llu %8d %9.1f M %9.1f M %15s %15s%s\n", r.size, r.runs,
                    r.toolMs, r.floorMs, r.toolMs / r.floorMs, toolPerWindow, floorPerWindow, r.logBytes, r.records,
                    static_cast<double>(r.toolPeak) / (1024.0 * 1024.0),
                    static_cast<double>(r.floorPeak) / (1024.0 * 1024.0), toolRange, floorRange,
                    r.records != r.floorWindows ? "  (floor saw a different count!)" : "");
        if (r.failures != 0) std::printf("       %d run(s) failed and were left out\n", r.failures);
    }

    const SizeResult* at1000 = nullptr;
    const SizeResult* at4000 = nullptr;
    for (const SizeResult& r : results) {
        if (r.size == 1000 && r.toolMs > 0) at1000 = &r;
        if (r.size == 4000 && r.toolMs > 0) at4000 = &r;
    }
    if (at1000 != nullptr && at4000 != nullptr) {
        std::printf("\nGrowth time(4000)/time(1000): tool %.2f, floor %.2f (linear would be 4.00)\n",
                    at4000->toolMs / at1000->toolMs, at4000->floorMs / at1000->floorMs);
    }
    std::printf("Peak working set: PROCESS_MEMORY_COUNTERS.PeakWorkingSetSize, read while the box is up; "
                "log bytes and records: the tool's last log of that size.\n");
    std::printf("\nLive page (vantrel-report --live, process start to exit) vs the tool (start to its box), "
                "medians on the same desktop\n\n%6s %10s %12s %7s %12s\n",
                "N", "tool ms", "live ms", "ratio", "page bytes");
    for (const SizeResult& r : results) {
        if (r.toolMs == 0 || r.liveMs == 0) {
            std::printf("%6d  (failed)\n", r.size);
            continue;
        }
        std::printf("%6d %10.1f %12.1f %7.3f %12llu\n", r.size, r.toolMs, r.liveMs, r.liveMs / r.toolMs, r.pageBytes);
    }
    for (const SizeResult& r : results) {
        if (!r.floorProfile.empty()) std::printf("\nFloor profile, N = %d: %s\n", r.size, Utf8(r.floorProfile).c_str());
    }
    std::fflush(stdout);
}

} // namespace

int wmain(int argc, wchar_t** argv)
{
    Options options;
    if (!ParseOptions(argc, argv, options)) {
        std::fputs("usage: vantrel-bench [--sizes 250,500,1000,2000,4000] [--runs 5] [--tool PATH] [--floor PATH]"
                   " [--owner PATH] [--report PATH] [--full-watch] [--profile]\n",
                   stderr);
        return 2;
    }
    std::fprintf(stderr, "tool: %s\nfloor: %s\nlog: %s\n", Utf8(options.tool).c_str(), Utf8(options.floor).c_str(),
                 Utf8(LogPathOf(options.tool)).c_str());
    std::vector<SizeResult> results;
    for (int size : options.sizes) results.push_back(MeasureSize(options, size));
    PrintTable(options, results);
    for (const SizeResult& r : results) {
        if (r.toolMs == 0 || r.floorMs == 0) return 1;
    }
    return 0;
}
