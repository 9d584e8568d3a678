#include "tests/support/ResourceCount.h"

#include <gtest/gtest.h>
#include <winternl.h>

#include <vector>

namespace testsupport {
namespace {

// One entry of the system's handle table in the form Wine gives it.
struct SystemHandleEntry {
    ULONG OwnerPid;
    BYTE ObjectType;
    BYTE HandleFlags;
    USHORT HandleValue;
    PVOID ObjectPointer;
    ULONG AccessMask;
};

struct SystemHandleTable {
    ULONG Count;
    SystemHandleEntry Handles[1];
};

constexpr ULONG kSystemHandleInformation = 16;
constexpr LONG kStatusInfoLengthMismatch = static_cast<LONG>(0xC0000004L);

using QuerySystemInformation = LONG(WINAPI*)(ULONG, PVOID, ULONG, PULONG);

DWORD HandlesInSystemTable()
{
    const auto query = reinterpret_cast<QuerySystemInformation>(
        reinterpret_cast<void*>(::GetProcAddress(::GetModuleHandleW(L"ntdll.dll"), "NtQuerySystemInformation")));
    if (query == nullptr) return 0;
    std::vector<char> buffer(1 << 16);
    LONG status = 0;
    while ((status = query(kSystemHandleInformation, buffer.data(), static_cast<ULONG>(buffer.size()), nullptr)) ==
           kStatusInfoLengthMismatch) {
        buffer.resize(buffer.size() * 2);
    }
    if (status != 0) return 0;
    const auto* table = reinterpret_cast<const SystemHandleTable*>(buffer.data());
    DWORD count = 0;
    for (ULONG i = 0; i < table->Count; ++i) {
        if (table->Handles[i].OwnerPid == ::GetCurrentProcessId()) ++count;
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

// The USER objects a process makes are windows above all: top-level ones, their children and
// message-only ones.
DWORD WindowsOfThisProcess()
{
    DWORD count = 0;
    ::EnumWindows(CountOwnTreeOfWindows, reinterpret_cast<LPARAM>(&count));
    for (HWND window = ::FindWindowExW(HWND_MESSAGE, nullptr, nullptr, nullptr); window != nullptr;
         window = ::FindWindowExW(HWND_MESSAGE, window, nullptr, nullptr)) {
        CountOwnTreeOfWindows(window, reinterpret_cast<LPARAM>(&count));
    }
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
    // holds, but its system handle table is exact.
    if (count == 0) count = HandlesInSystemTable();
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
    CountProcessResources();  // counting, too, loads what it needs on first use
    const ResourceCounts before = CountProcessResources();
    for (int i = 0; i < iterations; ++i) operation();
    const ResourceCounts after = CountProcessResources();
    EXPECT_EQ(before, after) << "before: " << Describe(before) << "\nafter " << iterations
                             << " more runs: " << Describe(after);
}

} // namespace testsupport
