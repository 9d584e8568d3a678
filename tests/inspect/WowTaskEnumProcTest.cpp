#include "inspect/WowTasks.h"

#include "tests/support/GuardedBuffer.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace inspecttest {

using inspect::WowTaskEnumProc;
using inspect::WowTaskQuery;

namespace {

struct Enumerated {
    BOOL stop;
    std::wstring buffer;
};

Enumerated Offer(DWORD soughtThread, DWORD taskThread, const char* fileName, int capacity)
{
    testsupport::GuardedBuffer buffer(static_cast<std::size_t>(capacity));
    buffer.data[0] = L'\0';
    WowTaskQuery query{soughtThread, buffer.Get(), capacity};
    Enumerated result;
    result.stop = WowTaskEnumProc(taskThread, 1, 2, const_cast<PSZ>("MODULE"), const_cast<PSZ>(fileName),
                                  reinterpret_cast<LPARAM>(&query));
    EXPECT_TRUE(buffer.GuardIntact()) << "written past the buffer";
    result.buffer = buffer.Text();
    return result;
}

} // namespace

TEST(WowTaskEnumProc, TakesOnlyTheTaskOfTheSoughtThread)
{
    const Enumerated other = Offer(7, 8, "C:\\APPS\\OTHER.EXE", 260);
    EXPECT_FALSE(other.stop);
    EXPECT_EQ(L"", other.buffer);

    const Enumerated mine = Offer(7, 7, "C:\\APPS\\MINE.EXE", 260);
    EXPECT_TRUE(mine.stop);
    EXPECT_EQ(L"C:\\APPS\\MINE.EXE", mine.buffer);
}

TEST(WowTaskEnumProc, CutsALongNameToTheRoomAndTerminatesIt)
{
    const std::string name = "C:\\" + std::string(300, 'L') + ".EXE";
    for (int capacity : {1, 2, 16, 260}) {
        SCOPED_TRACE(capacity);
        const Enumerated found = Offer(7, 7, name.c_str(), capacity);
        EXPECT_TRUE(found.stop);
        EXPECT_EQ(std::wstring(name.begin(), name.begin() + (capacity - 1)), found.buffer);
    }
    // Exactly filling the room, terminator included, is not a cut.
    const Enumerated exact = Offer(7, 7, "ABC", 4);
    EXPECT_EQ(L"ABC", exact.buffer);
}

} // namespace inspecttest
