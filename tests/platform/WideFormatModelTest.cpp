// The formatter against a model of its output: random formats and arguments, random limits around
// the output's length, destinations between sentinels.
#include "tests/platform/StringModel.h"

#include "platform/WideFormat.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <string>
#include <vector>

namespace platformtest {

using namespace platformtest;

namespace {

constexpr std::uint32_t kSeed = 20240611u;
constexpr int kCases = 20000;

} // namespace

// Within max characters: the whole output and its length, then a terminator if a cell is left.
// Longer: exactly the first max characters, no terminator, -1. Nothing at or past max otherwise.
TEST(WideFormatModel, RandomFormatsKeepTheLimitContract)
{
    RunModelCases(kSeed, kCases, [](std::mt19937& rng) {
        const FormatCase c = RandomFormat(rng);
        const std::size_t max = rng() % 5 == 0 ? rng() % 4 : RandomLength(rng, c.expected.size());

        Arena actual(max, rng);
        Arena expected = actual;
        long expectedResult = -1;
        if (c.expected.size() <= max) {
            expected.Write(0, c.expected);
            if (c.expected.size() < max) expected.At(c.expected.size()) = L'\0';
            expectedResult = static_cast<long>(c.expected.size());
        } else {
            expected.Write(0, c.expected.substr(0, max));
        }

        wchar_t* dest = actual.Dest();
        auto format = [&](auto... values) -> long {
            return vantrel::platform::FormatWide(dest, max, c.format.c_str(), values...);
        };
        const long result = CallWithArgs(c.args, format);

        return CaseAnswer("max " + std::to_string(max) + ", " + Describe(c),
                          ResultAndCells(std::to_string(result), std::to_string(expectedResult),
                                         actual.Difference(expected, false, 0)));
    });
}

// The record's own format, 21 conversions long, with random values in every field.
TEST(WideFormatModel, RandomRecordsAsTheLogWritesThem)
{
    const wchar_t* const kRecord =
        L"0x%p: exe=%s\ntitle=\"%s\" class=\"%s\" atom = 0x%p\nStyle=0x%x exStyle=0x%x parent=0x%p owner=0x%p "
        L"getparent=0x%p\nrcWnd = %d,%d - %d,%d rcClient = %d,%d - %d,%d maximized = %d minimized = %d\n\n";
    constexpr int kRecords = 2000;
    RunModelCases(kSeed + 1, kRecords, [kRecord](std::mt19937& rng) {
        auto value = [&](ArgKind kind) {
            Arg arg = RandomArg(rng);
            while (arg.kind != kind) arg = RandomArg(rng);
            return arg;
        };
        const Arg hwnd = value(ArgKind::Pointer), exe = value(ArgKind::String), title = value(ArgKind::String),
                  cls = value(ArgKind::String), atom = value(ArgKind::Pointer), style = value(ArgKind::Unsigned),
                  exStyle = value(ArgKind::Unsigned), parent = value(ArgKind::Pointer), owner = value(ArgKind::Pointer),
                  getparent = value(ArgKind::Pointer);
        std::vector<Arg> rect;
        for (int r = 0; r < 8; ++r) rect.push_back(value(ArgKind::Int));
        const int maximized = static_cast<int>(rng() % 2), minimized = static_cast<int>(rng() % 2);

        const std::wstring expected =
            L"0x" + Render(hwnd) + L": exe=" + Render(exe) + L"\ntitle=\"" + Render(title) + L"\" class=\"" +
            Render(cls) + L"\" atom = 0x" + Render(atom) + L"\nStyle=0x" + Render(style) + L" exStyle=0x" +
            Render(exStyle) + L" parent=0x" + Render(parent) + L" owner=0x" + Render(owner) + L" getparent=0x" +
            Render(getparent) + L"\nrcWnd = " + Render(rect[0]) + L"," + Render(rect[1]) + L" - " + Render(rect[2]) +
            L"," + Render(rect[3]) + L" rcClient = " + Render(rect[4]) + L"," + Render(rect[5]) + L" - " +
            Render(rect[6]) + L"," + Render(rect[7]) + L" maximized = " + std::to_wstring(maximized) +
            L" minimized = " + std::to_wstring(minimized) + L"\n\n";

        const std::size_t max = RandomLength(rng, expected.size());
        Arena actual(max, rng);
        Arena wanted = actual;
        const bool fits = expected.size() <= max;
        wanted.Write(0, fits ? expected : expected.substr(0, max));
        if (expected.size() < max) wanted.At(expected.size()) = L'\0';

        auto ptr = [](const Arg& a) { return reinterpret_cast<void*>(a.address); };
        const int result = vantrel::platform::FormatWide(
            actual.Dest(), max, kRecord, ptr(hwnd), exe.text.c_str(), title.text.c_str(), cls.text.c_str(), ptr(atom),
            style.bits, exStyle.bits, ptr(parent), ptr(owner), ptr(getparent), rect[0].number, rect[1].number,
            rect[2].number, rect[3].number, rect[4].number, rect[5].number, rect[6].number, rect[7].number, maximized,
            minimized);

        const int expectedResult = fits ? static_cast<int>(expected.size()) : -1;
        return CaseAnswer("max " + std::to_string(max) + ", expected text " + Describe(expected),
                          ResultAndCells(std::to_string(result), std::to_string(expectedResult),
                                         actual.Difference(wanted, false, 0)));
    });
}

} // namespace platformtest
