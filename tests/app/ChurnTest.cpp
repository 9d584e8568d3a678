// The real program while other processes create, retitle, hide, show and destroy windows as fast
// as they can, and some of those processes end in the middle of a run. Every run must still end
// with exit code 0 and a whole log: every record complete, no window named twice, and the windows
// that stayed put all the while all there.
// VANTREL_CHURN_RUNS sets the number of runs (the soak script asks for 300).
#include "tests/app/LogRecords.h"
#include "tests/app/ProgramRun.h"
#include "tests/support/HelperProcess.h"
#include "tests/support/TempFiles.h"
#include "tests/support/TestWindow.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <memory>
#include <random>
#include <regex>
#include <string>
#include <vector>

namespace apptest {

using testsupport::HelperProcess;

namespace {

// What one churning process has done, kept in memory shared with the test so that the figures
// survive the process being ended.
struct ChurnCounts {
    LONG created;
    LONG retitled;
    LONG hidden;
    LONG shown;
    LONG destroyed;
};

constexpr int kLongLivedChurners = 2;
constexpr int kStableWindows = 3;
constexpr std::size_t kMaxWindowsPerChurner = 24;

std::wstring StableTitle(int i) { return L"stable window " + std::to_wstring(i); }

VANTREL_TEST_HELPER(OwnsStableWindows)
{
    std::vector<std::unique_ptr<testsupport::TestWindow>> windows;
    for (int i = 0; i < kStableWindows; ++i)
        windows.push_back(std::make_unique<testsupport::TestWindow>(testsupport::WindowOptions{StableTitle(i)}));
    return testsupport::SignalReadyAndServe();
}

std::wstring ChurnTitle(std::mt19937& random, LONG serial)
{
    std::wstring title = L"churn " + std::to_wstring(::GetCurrentProcessId()) + L"-" + std::to_wstring(serial);
    const int letters = static_cast<int>(random() % 80);
    if (letters > 0) title += L' ';
    for (int i = 0; i < letters; ++i) title += static_cast<wchar_t>(L'a' + random() % 26);
    return title;
}

// Arguments: the shared counts' mapping name, this churner's slot, a seed, and a lifetime in
// milliseconds after which it ends by itself with its windows still up (0: until it is ended).
VANTREL_TEST_HELPER(ChurnWindows)
{
    if (args.size() != 4) return 2;
    HANDLE mapping = ::OpenFileMappingW(FILE_MAP_WRITE, FALSE, args[0].c_str());
    if (mapping == nullptr) return 3;
    auto* all = static_cast<ChurnCounts*>(::MapViewOfFile(mapping, FILE_MAP_WRITE, 0, 0, 0));
    if (all == nullptr) return 4;
    ChurnCounts& counts = all[std::stoi(args[1])];
    std::mt19937 random(static_cast<unsigned>(std::stoul(args[2])));
    const DWORD lifetime = static_cast<DWORD>(std::stoul(args[3]));

    std::vector<HWND> windows;
    LONG serial = 0;
    testsupport::SignalReady();
    const DWORD start = ::GetTickCount();
    while (lifetime == 0 || ::GetTickCount() - start < lifetime) {
        testsupport::PumpMessages();
        // Destroying an owner takes its owned windows with it.
        windows.erase(std::remove_if(windows.begin(), windows.end(), [](HWND w) { return !::IsWindow(w); }),
                      windows.end());
        const unsigned action = random() % 5;
        if (action == 0 || windows.empty()) {
            if (windows.size() >= kMaxWindowsPerChurner) continue;
            static const DWORD kExStyles[] = {0, 0, WS_EX_APPWINDOW, WS_EX_TOOLWINDOW};
            const HWND owner = !windows.empty() && random() % 4 == 0 ? windows[random() % windows.size()] : nullptr;
            const DWORD style = WS_OVERLAPPEDWINDOW | (random() % 3 != 0 ? WS_VISIBLE : 0);
            const HWND window = ::CreateWindowExW(
                kExStyles[random() % 4], testsupport::TestWindowClass(), ChurnTitle(random, ++serial).c_str(), style,
                static_cast<int>(random() % 800), static_cast<int>(random() % 600),
                100 + static_cast<int>(random() % 300), 80 + static_cast<int>(random() % 200), owner, nullptr,
                ::GetModuleHandleW(nullptr), nullptr);
            if (window != nullptr) {
                windows.push_back(window);
                ::InterlockedIncrement(&counts.created);
            }
            continue;
        }
        const HWND window = windows[random() % windows.size()];
        switch (action) {
        case 1:
            ::SetWindowTextW(window, ChurnTitle(random, ++serial).c_str());
            ::InterlockedIncrement(&counts.retitled);
            break;
        case 2:
            ::ShowWindow(window, SW_HIDE);
            ::InterlockedIncrement(&counts.hidden);
            break;
        case 3:
            ::ShowWindow(window, SW_SHOWNA);
            ::InterlockedIncrement(&counts.shown);
            break;
        default:
            ::DestroyWindow(window);
            ::InterlockedIncrement(&counts.destroyed);
            break;
        }
    }
    return 0;
}

int RunsAsked()
{
    const char* asked = std::getenv("VANTREL_CHURN_RUNS");
    const int runs = asked != nullptr ? std::atoi(asked) : 0;
    return runs > 0 ? runs : 30;
}

struct Figures {
    int runs = 0;
    int records = 0;
    int fewestRecords = 1 << 30;
    int mostRecords = 0;
    int churnRecords = 0;
    int churnersEndedMidRun = 0;
    std::vector<double> runMs;
};

double Milliseconds(const LARGE_INTEGER& from, const LARGE_INTEGER& to)
{
    LARGE_INTEGER frequency;
    ::QueryPerformanceFrequency(&frequency);
    return 1000.0 * static_cast<double>(to.QuadPart - from.QuadPart) / static_cast<double>(frequency.QuadPart);
}

void CheckRun(int run, const ProgramRun& result, const std::wstring& log, Figures& figures)
{
    SCOPED_TRACE("run " + std::to_string(run));
    ASSERT_TRUE(result.boxShown);
    EXPECT_EQ(L"Log file '" + log + L"' has been created.", result.box.text);
    EXPECT_EQ(0u, result.exitCode);
    EXPECT_EQ(result.logWhileBoxUp, testsupport::ReadBytes(log));

    const apptest::ParsedLog parsed = apptest::ParseLog(result.logWhileBoxUp);
    for (const std::string& fault : parsed.faults) ADD_FAILURE() << fault;
    for (const std::string& handle : apptest::RepeatedHandles(parsed.records))
        ADD_FAILURE() << "window 0x" << handle << " is named twice";

    static const std::regex kChurnTitle("churn [0-9]+-[0-9]+( [a-z]+)?");
    std::vector<int> stableSeen(kStableWindows, 0);
    for (const apptest::LoggedRecord& record : parsed.records) {
        if (record.title.compare(0, 6, "churn ") == 0) {
            ++figures.churnRecords;
            EXPECT_TRUE(std::regex_match(record.title, kChurnTitle)) << "a title cut or mixed: " << record.title;
        }
        for (int i = 0; i < kStableWindows; ++i) {
            const std::wstring title = StableTitle(i);
            if (record.title == std::string(title.begin(), title.end())) ++stableSeen[i];
        }
    }
    for (int i = 0; i < kStableWindows; ++i) EXPECT_EQ(1, stableSeen[i]) << "stable window " << i;

    const int records = static_cast<int>(parsed.records.size());
    ++figures.runs;
    figures.records += records;
    figures.fewestRecords = std::min(figures.fewestRecords, records);
    figures.mostRecords = std::max(figures.mostRecords, records);
}

} // namespace

TEST(Churn, EveryRunWritesAWholeLogWhileWindowsComeAndGo)
{
    const int runs = RunsAsked();
    const int slots = kLongLivedChurners + runs;
    const std::wstring mappingName = L"VantrelChurnCounts-" + std::to_wstring(::GetCurrentProcessId());
    HANDLE mapping = ::CreateFileMappingW(INVALID_HANDLE_VALUE, nullptr, PAGE_READWRITE, 0,
                                          static_cast<DWORD>(slots * sizeof(ChurnCounts)), mappingName.c_str());
    ASSERT_NE(nullptr, mapping);
    const auto* counts = static_cast<const ChurnCounts*>(::MapViewOfFile(mapping, FILE_MAP_READ, 0, 0, 0));
    ASSERT_NE(nullptr, counts);

    testsupport::TempFolder folder;
    const std::wstring exe = apptest::CopyProgramAs(folder, L"vantrel.exe");
    const std::wstring log = folder.File(L"vantrel.txt");
    std::mt19937 random(20261208);
    Figures figures;

    HelperProcess stable("OwnsStableWindows");
    std::vector<std::unique_ptr<HelperProcess>> longLived;
    for (int slot = 0; slot < kLongLivedChurners; ++slot) {
        longLived.push_back(std::make_unique<HelperProcess>(
            "ChurnWindows",
            std::vector<std::wstring>{mappingName, std::to_wstring(slot), std::to_wstring(random()), L"0"}));
    }
    for (int run = 0; run < runs && !HasFatalFailure(); ++run) {
        // A churner that ends by itself, most often while the program is enumerating.
        HelperProcess shortLived("ChurnWindows", {mappingName, std::to_wstring(kLongLivedChurners + run),
                                                  std::to_wstring(random()), std::to_wstring(20 + random() % 400)});
        LARGE_INTEGER started, ended;
        ::QueryPerformanceCounter(&started);
        const ProgramRun result = apptest::RunProgram(exe, log);
        ::QueryPerformanceCounter(&ended);
        figures.runMs.push_back(Milliseconds(started, ended));
        if (::WaitForSingleObject(shortLived.Process(), 0) == WAIT_OBJECT_0) ++figures.churnersEndedMidRun;
        CheckRun(run, result, log, figures);
    }
    longLived.clear();

    ChurnCounts total{};
    for (int slot = 0; slot < slots; ++slot) {
        total.created += counts[slot].created;
        total.retitled += counts[slot].retitled;
        total.hidden += counts[slot].hidden;
        total.shown += counts[slot].shown;
        total.destroyed += counts[slot].destroyed;
    }
    EXPECT_LT(0, total.created);
    EXPECT_LT(0, total.destroyed);
    EXPECT_LT(0, figures.churnRecords) << "no churning window was ever logged: the churn did not meet the runs";
    std::sort(figures.runMs.begin(), figures.runMs.end());
    std::printf("churn: %d runs, %s; %d records (%d to %d a run, %d of churning windows)\n"
                "churn: windows created %ld, retitled %ld, hidden %ld, shown %ld, destroyed %ld; "
                "%d of %d short-lived churners ended during their run\n"
                "churn: run time median %.0f ms, slowest %.0f ms\n",
                figures.runs, HasFailure() ? "WITH FAULTS (above)" : "every one exit code 0 with a whole log",
                figures.records, figures.fewestRecords, figures.mostRecords, figures.churnRecords,
                static_cast<long>(total.created), static_cast<long>(total.retitled), static_cast<long>(total.hidden),
                static_cast<long>(total.shown), static_cast<long>(total.destroyed), figures.churnersEndedMidRun, runs,
                figures.runMs.empty() ? 0.0 : figures.runMs[figures.runMs.size() / 2],
                figures.runMs.empty() ? 0.0 : figures.runMs.back());
    ::UnmapViewOfFile(counts);
    ::CloseHandle(mapping);
}

} // namespace apptest
