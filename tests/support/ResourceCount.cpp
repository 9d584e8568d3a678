#include "tests/support/ResourceCount.h"

#include <gtest/gtest-spi.h>
#include <gtest/gtest.h>
#include <winternl.h>

#include <cstddef>
#include <cstring>
#include <vector>

namespace testsupport {
namespace {

using QuerySystemInformation = LONG(WINAPI*)(ULONG, PVOID, ULONG, PULONG);
constexpr LONG kStatusInfoLengthMismatch = static_cast<LONG>(0xC0000004L);

// The number of entries of this process's handle table: Wine's process list gives the table's
// allocated size as the handle count, so every handle of the process is below that index.
ULONG HandleTableSize()
{
    const auto query = reinterpret_cast<QuerySystemInformation>(
        reinterpret_cast<void*>(::GetProcAddress(::GetModuleHandleW(L"ntdll.dll"), "NtQuerySystemInformation")));
    if (query == nullptr) return 0;
    std::vector<char> buffer(1 << 16);
    LONG status = 0;
    while ((status = query(SystemProcessInformation, buffer.data(), static_cast<ULONG>(buffer.size()), nullptr)) ==
           kStatusInfoLengthMismatch) {
        buffer.resize(buffer.size() * 2);
    }
    if (status != 0) return 0;
    // The entries follow each other at offsets that need not suit the structure's alignment.
    const auto field = [&buffer](std::size_t entry, std::size_t offset, auto value) {
        std::memcpy(&value, buffer.data() + entry + offset, sizeof(value));
        return value;
    };
    for (std::size_t entry = 0;;) {
        if (field(entry, offsetof(SYSTEM_PROCESS_INFORMATION, UniqueProcessId), HANDLE{}) ==
            reinterpret_cast<HANDLE>(static_cast<ULONG_PTR>(::GetCurrentProcessId()))) {
            return field(entry, offsetof(SYSTEM_PROCESS_INFORMATION, HandleCount), ULONG{});
        }
        const ULONG next = field(entry, offsetof(SYSTEM_PROCESS_INFORMATION, NextEntryOffset), ULONG{});
        if (next == 0) return 0;
        entry += next;
    }
}

// Counts the live handles by asking about every slot of the table; Wine hands out handle values
// as (slot + 1) * 4. The system's handle table would answer in one call, but Wine 8's server
// crashes while listing it when any process of the prefix has an empty handle table, which took
// the whole prefix down now and then once tests ran side by side.
DWORD HandlesInOwnTable()
{
    const ULONG slots = HandleTableSize();
    DWORD count = 0;
    for (ULONG slot = 0; slot < slots; ++slot) {
        DWORD flags = 0;
        if (::GetHandleInformation(reinterpret_cast<HANDLE>(static_cast<ULONG_PTR>(slot + 1) * 4), &flags)) ++count;
    }
    return count;
}

// One entry of the GDI handle table the PEB points to; Wine keeps 64-bit fields in both widths.
struct GdiHandleEntry {
    ULONGLONG Object;
    ULONG Owner;
    USHORT Unique;
    BYTE Type;
    BYTE Flags;
    ULONGLONG UserPointer;
};
static_assert(sizeof(GdiHandleEntry) == 24, "the GDI table's entry is 24 bytes");

constexpr int kGdiHandleEntries = 65536;
constexpr std::size_t kPebGdiTableOffset = sizeof(void*) == 8 ? 0xF8 : 0x94;

// The table is the process's own, so every used entry is one of its objects, the stock ones
// included; a constant number of those does not disturb a before-and-after comparison.
DWORD GdiObjectsInHandleTable()
{
    const auto* peb = reinterpret_cast<const BYTE*>(::NtCurrentTeb()->ProcessEnvironmentBlock);
    const auto* table = *reinterpret_cast<const GdiHandleEntry* const*>(peb + kPebGdiTableOffset);
    if (table == nullptr) return 0;
    DWORD count = 0;
    for (int i = 0; i < kGdiHandleEntries; ++i) {
        if (table[i].Type != 0) ++count;
    }
    return count;
}

bool OwnedByThisProcess(HWND window)
{
    DWORD pid = 0;
    ::GetWindowThreadProcessId(window, &pid);
    return pid == ::GetCurrentProcessId();
}

BOOL CALLBACK CountOwnWindow(HWND window, LPARAM count)
{
    if (OwnedByThisProcess(window)) ++*reinterpret_cast<DWORD*>(count);
    return TRUE;
}

BOOL CALLBACK CountOwnTreeOfWindows(HWND window, LPARAM count)
{
    if (OwnedByThisProcess(window)) {
        ++*reinterpret_cast<DWORD*>(count);
        ::EnumChildWindows(window, CountOwnWindow, count);
    }
    return TRUE;
}

// The parent of every message-only window, or null when there is none. The window it is found
// through may be destroyed by its process meanwhile: then another is taken.
HWND MessageOnlyRoot()
{
    for (int attempt = 0; attempt < 100; ++attempt) {
        const HWND any = ::FindWindowExW(HWND_MESSAGE, nullptr, nullptr, nullptr);
        if (any == nullptr) return nullptr;
        if (const HWND root = ::GetAncestor(any, GA_PARENT)) return root;
    }
    return nullptr;
}

// The USER objects a process makes are windows above all: top-level ones, their children and
// message-only ones. Each kind is listed in one call: stepping from one message-only window to
// the next stopped early whenever another process destroyed the window a step stood on, so a
// run beside other cases now and then missed some of this process's windows.
DWORD WindowsOfThisProcess()
{
    DWORD count = 0;
    ::EnumWindows(CountOwnTreeOfWindows, reinterpret_cast<LPARAM>(&count));
    if (const HWND root = MessageOnlyRoot()) ::EnumChildWindows(root, CountOwnWindow, reinterpret_cast<LPARAM>(&count));
    return count;
}

} // namespace

std::string Describe(const ResourceCounts& counts)
{
    return "handles " + std::to_string(counts.handles) + ", GDI objects " + std::to_string(counts.gdiObjects) +
           ", USER objects " + std::to_string(counts.userObjects);
}

DWORD ProcessHandleCount()
{
    DWORD count = 0;
    EXPECT_TRUE(::GetProcessHandleCount(::GetCurrentProcess(), &count));
    // A live process always holds handles; Wine's GetProcessHandleCount answers 0 whatever it
    // holds.
    if (count == 0) count = HandlesInOwnTable();
    EXPECT_NE(0u, count) << "no way to count this process's handles";
    return count;
}

ResourceCounts CountProcessResources()
{
    ResourceCounts counts;
    counts.handles = ProcessHandleCount();
    counts.gdiObjects = ::GetGuiResources(::GetCurrentProcess(), GR_GDIOBJECTS);
    counts.userObjects = ::GetGuiResources(::GetCurrentProcess(), GR_USEROBJECTS);
    // 0 means either "none" or, under Wine, "not implemented"; the fallbacks also answer 0 when
    // there is truly nothing, so asking them then does no harm.
    if (counts.gdiObjects == 0) counts.gdiObjects = GdiObjectsInHandleTable();
    if (counts.userObjects == 0) counts.userObjects = WindowsOfThisProcess();
    return counts;
}

void ExpectNoResourceLeak(const std::function<void()>& operation, int iterations)
{
    operation();
    CountProcessResources(); // counting, too, loads what it needs on first use
    const ResourceCounts before = CountProcessResources();
    for (int i = 0; i < iterations; ++i) operation();
    const ResourceCounts after = CountProcessResources();
    EXPECT_EQ(before, after) << "before: " << Describe(before) << "\nafter " << iterations
                             << " more runs: " << Describe(after);
}

void ExpectLeakReported(const std::function<void(vantrel::platform::ScopedApiOverride&)>& installFault,
                        const std::function<void()>& check, const std::string& report)
{
    vantrel::platform::ScopedApiOverride api;
    installFault(api);
    EXPECT_NONFATAL_FAILURE(check(), report);
}

} // namespace testsupport
