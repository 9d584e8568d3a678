#include "platform/WideFormat.h"

#include <gtest/gtest.h>

#include <climits>
#include <cstdint>
#include <string>

namespace platformtest {

using vantrel::platform::FormatWide;

namespace {

std::wstring Format1(const wchar_t* format, ...)
{
    wchar_t out[256];
    va_list args;
    va_start(args, format);
    const int n = vantrel::platform::FormatWideV(out, 255, format, args);
    va_end(args);
    EXPECT_GE(n, 0);
    return std::wstring(out);
}

void* Ptr(std::uintptr_t v) { return reinterpret_cast<void*>(v); }

} // namespace

TEST(WideFormat, ConversionsAsTheLogWritesThem)
{
    EXPECT_EQ(L"0x0001002C", Format1(L"0x%p", Ptr(0x1002C)));
    EXPECT_EQ(L"0x0000C0F1", Format1(L"0x%p", Ptr(0xC0F1)));
    EXPECT_EQ(L"0xFFFFFFFF", Format1(L"0x%p", Ptr(0xFFFFFFFFu)));
    EXPECT_EQ(L"0x94cf0000", Format1(L"0x%x", 0x94CF0000u));
    EXPECT_EQ(L"0x0", Format1(L"0x%x", 0u));
    EXPECT_EQ(L"-32000,0,2147483647", Format1(L"%d,%d,%d", -32000, 0, INT_MAX));
    EXPECT_EQ(L"-2147483648", Format1(L"%d", INT_MIN));
    EXPECT_EQ(L"a\"b\nc", Format1(L"%s", L"a\"b\nc"));
    EXPECT_EQ(L"100%", Format1(L"100%%"));
    EXPECT_EQ(L"%q%", Format1(L"%q%"));
}

TEST(WideFormat, ReportsOutputThatDoesNotFit)
{
    wchar_t out[8];
    std::fill(out, out + 8, L'#');
    // Exactly the limit: whole output, no terminator written (the caller supplies it).
    EXPECT_EQ(5, FormatWide(out, 5, L"%s", L"hello"));
    EXPECT_EQ(L'#', out[5]);
    // Over the limit: first max characters, -1, nothing beyond.
    std::fill(out, out + 8, L'#');
    EXPECT_EQ(-1, FormatWide(out, 5, L"%d", 1234567));
    EXPECT_EQ(std::wstring(L"12345"), std::wstring(out, 5));
    EXPECT_EQ(L'#', out[5]);
    // Under the limit: terminated.
    EXPECT_EQ(3, FormatWide(out, 5, L"%x", 0xabcu));
    EXPECT_STREQ(L"abc", out);
}

} // namespace platformtest
