// The bounded string operations against a model of their contract: random sources over all of
// UTF-16, random destination sizes (0, 1, odd byte counts, the extremes of the size check), and
// destinations between sentinels. The model is the contract stated plainly:
//   - a size of 0 characters or more than the largest accepted: invalid argument, nothing written;
//   - concatenation onto a destination with no terminator within its size: invalid argument,
//     nothing written;
//   - otherwise the result (source, appended source or formatted text) with a terminator if it
//     fits, S_OK; if not, as much as fits with a terminator in the last cell, insufficient buffer.
// Cells after the terminator are never touched.
#include "tests/platform/StringModel.h"

#include "platform/SafeString.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <cstdio>
#include <map>
#include <string>
#include <vector>

namespace platformtest {

using namespace platformtest;
using vantrel::platform::kSafeStringInsufficientBuffer;
using vantrel::platform::kSafeStringInvalidArgument;
using vantrel::platform::kSafeStringMaxChars;

namespace {

constexpr std::uint32_t kSeed = 20240611u;
constexpr int kCases = 20000;
// Every outcome must come up at least this often, or the generator has stopped reaching it.
constexpr int kLeastPerOutcome = 1000;

bool IsValidSize(std::size_t chars) { return chars >= 1 && chars <= kSafeStringMaxChars; }

// The copy step into room cells from `at`.
HRESULT ModelCopyInto(Arena& dest, std::size_t at, std::size_t room, const std::wstring& source)
{
    if (source.size() < room) {
        dest.Write(at, source);
        dest.At(at + source.size()) = L'\0';
        return S_OK;
    }
    dest.Write(at, source.substr(0, room - 1));
    dest.At(at + room - 1) = L'\0';
    return kSafeStringInsufficientBuffer;
}

HRESULT ModelCchCopy(Arena& dest, std::size_t chars, const std::wstring& source)
{
    if (!IsValidSize(chars)) return kSafeStringInvalidArgument;
    return ModelCopyInto(dest, 0, chars, source);
}

HRESULT ModelCbCat(Arena& dest, std::size_t bytes, const std::wstring& source)
{
    const std::size_t chars = bytes / sizeof(wchar_t);
    if (!IsValidSize(chars)) return kSafeStringInvalidArgument;
    std::size_t length = 0;
    while (length < chars && dest.At(length) != L'\0') ++length;
    if (length == chars) return kSafeStringInvalidArgument;
    return ModelCopyInto(dest, length, chars - length, source);
}

// Formatting leaves what copying the whole formatted text would.
HRESULT ModelCbPrintf(Arena& dest, std::size_t bytes, const std::wstring& text)
{
    const std::size_t chars = bytes / sizeof(wchar_t);
    if (!IsValidSize(chars)) return kSafeStringInvalidArgument;
    return ModelCopyInto(dest, 0, chars, text);
}

// Sizes beyond the check's bounds, and sizes that a 32-bit truncation would turn into small valid
// ones.
std::vector<std::size_t> ExtremeChars()
{
    std::vector<std::size_t> sizes = {0, 1, kSafeStringMaxChars, kSafeStringMaxChars + 1, SIZE_MAX};
    if (sizeof(std::size_t) > 4) sizes.push_back(static_cast<std::size_t>((std::uint64_t{1} << 32) + 5));
    return sizes;
}

std::vector<std::size_t> ExtremeBytes()
{
    std::vector<std::size_t> sizes = {0, 1, 2, 3, 2 * kSafeStringMaxChars, 2 * kSafeStringMaxChars + 1, SIZE_MAX};
    if (sizeof(std::size_t) > 4) {
        sizes.push_back(static_cast<std::size_t>(std::uint64_t{2} * kSafeStringMaxChars + 2));
        sizes.push_back(static_cast<std::size_t>((std::uint64_t{1} << 33) + 10));
    }
    return sizes;
}

// A size in characters near `fits` (the least that holds the whole result), or an extreme.
std::size_t RandomChars(std::mt19937& rng, std::size_t fits)
{
    static const std::vector<std::size_t> extremes = ExtremeChars();
    if (rng() % 10 != 0) return RandomLength(rng, fits);
    return extremes[rng() % extremes.size()];
}

// A size in bytes, odd half the time, near 2 * fits, or an extreme.
std::size_t RandomBytes(std::mt19937& rng, std::size_t fits)
{
    static const std::vector<std::size_t> extremes = ExtremeBytes();
    if (rng() % 10 != 0) return 2 * RandomLength(rng, fits) + rng() % 2;
    return extremes[rng() % extremes.size()];
}

// The cells really there: the whole destination when its size is small; for the extreme sizes,
// only what the result needs and a few more, which the operation must leave alone.
std::size_t PhysicalChars(std::mt19937& rng, std::size_t chars, std::size_t fits)
{
    return chars <= 4096 ? chars : fits + rng() % 4;
}

// A source as stored: the text, and now and then a terminator with more text behind it that must
// not be read.
std::wstring Stored(std::mt19937& rng, const std::wstring& text)
{
    std::wstring stored = text;
    if (rng() % 10 == 0) {
        stored.push_back(L'\0');
        stored += RandomText(rng, 1 + rng() % 4);
    }
    return stored;
}

std::string Hr(HRESULT hr)
{
    char text[16];
    std::snprintf(text, sizeof(text), "0x%08lX", static_cast<unsigned long>(hr));
    return text;
}

// Empty when the operation did what the model says; a status other than invalid argument also
// needs a terminator inside the destination, model or not.
std::string Mismatch(HRESULT status, HRESULT expectedStatus, const Arena& actual, const Arena& expected,
                     std::size_t chars)
{
    return ResultAndCells(Hr(status), Hr(expectedStatus),
                          actual.Difference(expected, status != kSafeStringInvalidArgument, chars));
}

class OutcomeCount {
public:
    void Add(HRESULT status) { ++counts_[status]; }

    void ExpectEachOutcomeOften(const char* operation)
    {
        for (HRESULT status : {S_OK, kSafeStringInsufficientBuffer, kSafeStringInvalidArgument}) {
            std::printf("%s: %d cases returned %s\n", operation, counts_[status], Hr(status).c_str());
            EXPECT_GE(counts_[status], kLeastPerOutcome) << operation << " " << Hr(status);
        }
    }

private:
    std::map<HRESULT, int> counts_;
};

} // namespace

TEST(SafeStringModel, CchCopyAgreesWithTheModel)
{
    OutcomeCount outcomes;
    RunModelCases(kSeed, kCases, [&](std::mt19937& rng) {
        const std::wstring source = RandomText(rng, rng() % 4 == 0 ? rng() % 64 : rng() % 12);
        const std::wstring stored = Stored(rng, source);
        const std::size_t chars = RandomChars(rng, source.size() + 1);

        Arena actual(PhysicalChars(rng, chars, source.size() + 1), rng);
        Arena expected = actual;
        const HRESULT expectedStatus = ModelCchCopy(expected, chars, source);
        const HRESULT status = vantrel::platform::SafeStringCchCopy(actual.Dest(), chars, stored.c_str());
        outcomes.Add(status);

        return CaseAnswer("chars " + std::to_string(chars) + ", source " + Describe(stored),
                          Mismatch(status, expectedStatus, actual, expected, chars));
    });
    outcomes.ExpectEachOutcomeOften("SafeStringCchCopy");
}

TEST(SafeStringModel, CbCatAgreesWithTheModel)
{
    OutcomeCount outcomes;
    RunModelCases(kSeed + 2, kCases, [&](std::mt19937& rng) {
        const std::wstring existing = RandomText(rng, rng() % 16);
        const std::wstring source = RandomText(rng, rng() % 4 == 0 ? rng() % 64 : rng() % 12);
        const std::wstring stored = Stored(rng, source);
        const std::size_t fits = existing.size() + source.size() + 1;
        // Now and then aim at the edge where only the terminator has room.
        const std::size_t bytes = RandomBytes(rng, rng() % 4 == 0 ? existing.size() + 1 : fits);
        const std::size_t chars = bytes / sizeof(wchar_t);

        Arena actual(PhysicalChars(rng, chars, fits), rng);
        if (actual.DestChars() == chars && rng() % 10 == 0) {
            // The random fill already holds no terminator.
        } else if (existing.size() < actual.DestChars()) {
            actual.Write(0, existing);
            actual.At(existing.size()) = L'\0';
            // What lies past the terminator, zeros included, is not part of the string.
            for (std::size_t j = existing.size() + 1; j < actual.DestChars(); ++j)
                if (rng() % 8 == 0) actual.At(j) = L'\0';
        } else {
            actual.Write(0, existing.substr(0, actual.DestChars()));
        }
        Arena expected = actual;
        const HRESULT expectedStatus = ModelCbCat(expected, bytes, source);
        const HRESULT status = vantrel::platform::SafeStringCbCat(actual.Dest(), bytes, stored.c_str());
        outcomes.Add(status);

        return CaseAnswer("bytes " + std::to_string(bytes) + ", existing " + Describe(existing) + ", source " +
                              Describe(stored),
                          Mismatch(status, expectedStatus, actual, expected, chars));
    });
    outcomes.ExpectEachOutcomeOften("SafeStringCbCat");
}

TEST(SafeStringModel, CbPrintfAgreesWithTheModel)
{
    OutcomeCount outcomes;
    RunModelCases(kSeed + 3, kCases, [&](std::mt19937& rng) {
        const FormatCase c = RandomFormat(rng);
        const std::size_t bytes = RandomBytes(rng, c.expected.size() + 1);
        const std::size_t chars = bytes / sizeof(wchar_t);

        Arena actual(PhysicalChars(rng, chars, c.expected.size() + 1), rng);
        Arena expected = actual;
        const HRESULT expectedStatus = ModelCbPrintf(expected, bytes, c.expected);
        wchar_t* dest = actual.Dest();
        auto print = [&](auto... values) -> long {
            return vantrel::platform::SafeStringCbPrintf(dest, bytes, c.format.c_str(), values...);
        };
        const HRESULT status = CallWithArgs(c.args, print);
        outcomes.Add(status);

        return CaseAnswer("bytes " + std::to_string(bytes) + ", " + Describe(c) + ", expected text " +
                              Describe(c.expected),
                          Mismatch(status, expectedStatus, actual, expected, chars));
    });
    outcomes.ExpectEachOutcomeOften("SafeStringCbPrintf");
}

} // namespace platformtest
