#include "platform/SafeString.h"

#include "tests/support/GuardedBuffer.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace platformtest {

using vantrel::platform::kSafeStringInsufficientBuffer;
using vantrel::platform::kSafeStringInvalidArgument;
using vantrel::platform::SafeStringCbCat;
using vantrel::platform::SafeStringCbPrintf;
using vantrel::platform::SafeStringCchCopy;
using testsupport::GuardedBuffer;

namespace {

std::wstring Repeat(wchar_t c, std::size_t n) { return std::wstring(n, c); }

} // namespace

TEST(SafeStringCbCat, AppendsAtTheLimitsOfAPathBuffer)
{
    struct Case {
        std::size_t existing;
        HRESULT status;
        std::wstring appended;
    };
    // In 260 characters: 256 + "txt" fits; 257 keeps only "tx"; 259 leaves no room at all.
    const Case cases[] = {
        {0, S_OK, L"txt"},
        {256, S_OK, L"txt"},
        {257, kSafeStringInsufficientBuffer, L"tx"},
        {258, kSafeStringInsufficientBuffer, L"t"},
        {259, kSafeStringInsufficientBuffer, L""},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.existing);
        GuardedBuffer path(260);
        const std::wstring start = Repeat(L'a', c.existing);
        std::copy(start.c_str(), start.c_str() + start.size() + 1, path.Get());

        EXPECT_EQ(c.status, SafeStringCbCat(path.Get(), 520, L"txt"));
        EXPECT_EQ(start + c.appended, path.Text());
        EXPECT_TRUE(path.GuardIntact());
    }
}

TEST(SafeStringCbCat, DestinationWithoutTerminatorIsRejectedUntouched)
{
    GuardedBuffer path(260, L'x');
    EXPECT_EQ(kSafeStringInvalidArgument, SafeStringCbCat(path.Get(), 520, L"txt"));
    for (std::size_t i = 0; i < 260; ++i) ASSERT_EQ(L'x', path.data[i]) << i;
    EXPECT_TRUE(path.GuardIntact());
}

TEST(SafeStringBoundedOperations, InvalidSizesWriteNothing)
{
    GuardedBuffer buffer(4);
    const std::size_t tooLarge = vantrel::platform::kSafeStringMaxChars + 1;
    EXPECT_EQ(kSafeStringInvalidArgument, SafeStringCchCopy(buffer.Get(), 0, L"abc"));
    EXPECT_EQ(kSafeStringInvalidArgument, SafeStringCchCopy(buffer.Get(), tooLarge, L"abc"));
    EXPECT_EQ(kSafeStringInvalidArgument, SafeStringCbCat(buffer.Get(), 0, L"abc"));
    EXPECT_EQ(kSafeStringInvalidArgument, SafeStringCbCat(buffer.Get(), 1, L"abc")); // half a character
    EXPECT_EQ(kSafeStringInvalidArgument, SafeStringCbPrintf(buffer.Get(), 0, L"abc"));
    EXPECT_EQ(kSafeStringInvalidArgument, SafeStringCbPrintf(buffer.Get(), tooLarge * 2, L"abc"));
    for (wchar_t c : buffer.data) EXPECT_EQ(testsupport::kUntouched, c);
}

TEST(SafeStringCchCopy, CutsToRoomMinusOneAndReports)
{
    struct Case {
        std::size_t room;
        const wchar_t* source;
        HRESULT status;
        const wchar_t* result;
    };
    const Case cases[] = {
        {1, L"", S_OK, L""},        {1, L"a", kSafeStringInsufficientBuffer, L""},
        {4, L"abc", S_OK, L"abc"},  {3, L"abc", kSafeStringInsufficientBuffer, L"ab"},
        {10, L"abc", S_OK, L"abc"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.source);
        GuardedBuffer buffer(c.room);
        EXPECT_EQ(c.status, SafeStringCchCopy(buffer.Get(), c.room, c.source));
        EXPECT_EQ(std::wstring(c.result), buffer.Text());
        EXPECT_TRUE(buffer.GuardIntact());
    }
}

TEST(SafeStringCbPrintf, KeepsAtMost999CharactersOfAMessage)
{
    struct Case {
        std::size_t length;
        HRESULT status;
        std::size_t kept;
    };
    const Case cases[] = {{998, S_OK, 998},
                          {999, S_OK, 999},
                          {1000, kSafeStringInsufficientBuffer, 999},
                          {1500, kSafeStringInsufficientBuffer, 999}};
    for (const Case& c : cases) {
        SCOPED_TRACE(c.length);
        GuardedBuffer message(1000);
        const std::wstring text = Repeat(L'm', c.length);
        EXPECT_EQ(c.status, SafeStringCbPrintf(message.Get(), 2000, L"%s", text.c_str()));
        EXPECT_EQ(text.substr(0, c.kept), message.Text());
        EXPECT_TRUE(message.GuardIntact());
    }
}

TEST(SafeStringCbPrintf, FormatsTheToolsMessages)
{
    wchar_t message[1000];
    EXPECT_EQ(S_OK,
              SafeStringCbPrintf(message, sizeof(message), L"Log file '%s' has been created.", L"C:\\Tools\\prog.txt"));
    EXPECT_STREQ(L"Log file 'C:\\Tools\\prog.txt' has been created.", message);
}

} // namespace platformtest
