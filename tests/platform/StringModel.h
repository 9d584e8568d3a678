// What the randomised tests of the bounded string operations and the formatter share: random
// UTF-16 text, a destination inside a guarded array, a comparison that names the first cell that
// differs, random formats with the text they must produce, and the runner of the model cases.
#pragma once

#include <gtest/gtest.h>

#include <climits>
#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <functional>
#include <iomanip>
#include <random>
#include <sstream>
#include <stdexcept>
#include <string>
#include <vector>

namespace platformtest {

constexpr wchar_t kSentinel = 0xCCCC;
constexpr std::size_t kGuard = 16;

// Any unit but the terminator, weighted toward the ones that trip up code which treats text as
// characters: surrogates (paired or not), the non-characters, and units near the byte boundary.
inline wchar_t RandomUnit(std::mt19937& rng)
{
    static const wchar_t kAwkward[] = {0xFFFF, 0xFFFE, 0xFEFF, 0x0001, 0x007F,   0x00FF,
                                       0x0100, L'%',   L'\n',  L'"',   kSentinel};
    switch (rng() % 8) {
    case 0: return static_cast<wchar_t>(0xD800 + rng() % 0x800);
    case 1: return kAwkward[rng() % (sizeof(kAwkward) / sizeof(kAwkward[0]))];
    case 2:
    case 3: return static_cast<wchar_t>(0x20 + rng() % 0x5F);
    default: return static_cast<wchar_t>(1 + rng() % 0xFFFF);
    }
}

inline std::wstring RandomText(std::mt19937& rng, std::size_t length)
{
    std::wstring text(length, L' ');
    for (wchar_t& c : text) c = RandomUnit(rng);
    return text;
}

// A length near `around` most of the time, so that the cases crowd at the edges that matter.
inline std::size_t RandomLength(std::mt19937& rng, std::size_t around)
{
    if (rng() % 3 != 0) {
        const long long near = static_cast<long long>(around) + static_cast<long long>(rng() % 7) - 3;
        return near < 0 ? 0 : static_cast<std::size_t>(near);
    }
    return rng() % (around + 9);
}

// Printable form of a wide string for failure messages.
inline std::string Describe(const std::wstring& text)
{
    std::string out = "\"";
    for (wchar_t c : text) {
        if (c >= 0x20 && c < 0x7F && c != L'\\' && c != L'"') {
            out += static_cast<char>(c);
        } else {
            char escaped[8];
            std::snprintf(escaped, sizeof(escaped), "\\u%04X", static_cast<unsigned>(c));
            out += escaped;
        }
    }
    return out + "\" (" + std::to_string(text.size()) + " units)";
}

// A destination of destChars cells inside a larger array whose guard cells before and after hold
// sentinels. The destination itself starts out with random units, so that a terminator the code
// under test forgets to write is not supplied by chance.
class Arena {
public:
    Arena(std::size_t destChars, std::mt19937& rng) : destChars_(destChars), cells_(destChars + 2 * kGuard, kSentinel)
    {
        for (std::size_t i = 0; i < destChars; ++i) At(i) = RandomUnit(rng);
    }

    wchar_t* Dest() { return cells_.data() + kGuard; }
    std::size_t DestChars() const { return destChars_; }

    // The models write through this, so that a model that strays past the destination is an error
    // of the test and not a silent agreement with a faulty implementation.
    wchar_t& At(std::size_t i)
    {
        if (i >= destChars_) throw std::logic_error("the model reaches past the destination");
        return cells_[kGuard + i];
    }

    void Write(std::size_t at, const std::wstring& text)
    {
        for (std::size_t i = 0; i < text.size(); ++i) At(at + i) = text[i];
    }

    // Empty when the two arenas agree cell for cell; otherwise the first cell that differs.
    // With mustBeTerminated, the destination must also hold a terminator within its first
    // `within` cells whatever the model says.
    std::string Difference(const Arena& expected, bool mustBeTerminated, std::size_t within) const
    {
        for (std::size_t i = 0; i < cells_.size(); ++i) {
            if (cells_[i] == expected.cells_[i]) continue;
            const long long index = static_cast<long long>(i) - static_cast<long long>(kGuard);
            const char* where = index < 0                                       ? " (guard before the destination)"
                                : static_cast<std::size_t>(index) >= destChars_ ? " (guard past the destination)"
                                                                                : "";
            char message[160];
            std::snprintf(message, sizeof(message), "dest[%lld]%s holds U+%04X, expected U+%04X", index, where,
                          static_cast<unsigned>(cells_[i]), static_cast<unsigned>(expected.cells_[i]));
            return message;
        }
        if (mustBeTerminated) {
            for (std::size_t i = 0; i < within && i < destChars_; ++i)
                if (cells_[kGuard + i] == L'\0') return std::string();
            return "no terminator inside the destination";
        }
        return std::string();
    }

private:
    std::size_t destChars_;
    std::vector<wchar_t> cells_;
};

// ---- Random formats and the text they must produce ----

enum class ArgKind { String, Int, Unsigned, Pointer };

struct Arg {
    ArgKind kind;
    std::wstring text;
    int number;
    unsigned int bits;
    std::uintptr_t address;
};

// The recursion that passes the arguments instantiates one call per sequence of argument types,
// so the number of value conversions per format is kept small.
constexpr std::size_t kMaxArgs = 4;

struct FormatCase {
    std::wstring format;
    std::vector<Arg> args;
    std::wstring expected;
};

inline std::wstring Hex(std::uint32_t value, bool upper, int width)
{
    std::wostringstream out;
    if (upper) out << std::uppercase;
    out << std::hex << std::setfill(L'0') << std::setw(width) << value;
    return out.str();
}

inline Arg RandomArg(std::mt19937& rng)
{
    static const int kInts[] = {INT_MIN, INT_MIN + 1, -10, -1, 0, 1, 9, 10, INT_MAX};
    static const unsigned int kBits[] = {0u, 1u, 0xFu, 0x10u, 0x7FFFFFFFu, 0x80000000u, 0xFFFFFFFFu};
    const std::uint64_t wide = (static_cast<std::uint64_t>(rng()) << 32) | rng();
    const std::uintptr_t kAddresses[] = {
        0, 1, 0xFFFFFFFFu, UINTPTR_MAX, UINTPTR_MAX - 0xFFFFFFFFu, static_cast<std::uintptr_t>(0x123456789ABCDEF0ull)};
    Arg arg{static_cast<ArgKind>(rng() % 4), std::wstring(), 0, 0u, 0};
    const bool edge = rng() % 3 == 0;
    switch (arg.kind) {
    case ArgKind::String: arg.text = RandomText(rng, rng() % 8 == 0 ? rng() % 80 : rng() % 10); break;
    case ArgKind::Int:
        arg.number = edge ? kInts[rng() % (sizeof(kInts) / sizeof(kInts[0]))] : static_cast<std::int32_t>(rng());
        break;
    case ArgKind::Unsigned:
        arg.bits = edge ? kBits[rng() % (sizeof(kBits) / sizeof(kBits[0]))] : static_cast<unsigned int>(rng());
        break;
    case ArgKind::Pointer:
        // On 64-bit the random addresses have their upper half set; only the lower half is printed.
        arg.address =
            edge ? kAddresses[rng() % (sizeof(kAddresses) / sizeof(kAddresses[0]))] : static_cast<std::uintptr_t>(wide);
        break;
    }
    return arg;
}

// The log's conversions stated plainly: %s the text as it stands, %d signed decimal, %x unsigned
// lower-case hexadecimal, %p eight upper-case digits of the lower 32 bits.
inline std::wstring Render(const Arg& arg)
{
    switch (arg.kind) {
    case ArgKind::String: return arg.text;
    case ArgKind::Int: return std::to_wstring(arg.number);
    case ArgKind::Unsigned: return Hex(arg.bits, false, 1);
    case ArgKind::Pointer: return Hex(static_cast<std::uint32_t>(arg.address), true, 8);
    }
    return std::wstring();
}

// Literal text, "%%", unknown conversions (written as they stand) and up to kMaxArgs value
// conversions in random order, now and then with a lone '%' at the very end.
inline FormatCase RandomFormat(std::mt19937& rng)
{
    static const wchar_t kConversion[] = {L's', L'd', L'x', L'p'};
    FormatCase c;
    const unsigned pieces = rng() % 9;
    for (unsigned piece = 0; piece < pieces; ++piece) {
        switch (rng() % 4) {
        case 0: {
            std::wstring literal = RandomText(rng, rng() % 8);
            for (wchar_t& ch : literal)
                if (ch == L'%') ch = L'#';
            c.format += literal;
            c.expected += literal;
            break;
        }
        case 1:
            if (rng() % 2 == 0) {
                c.format += L"%%";
                c.expected += L'%';
            } else {
                wchar_t unknown = RandomUnit(rng);
                while (unknown == L's' || unknown == L'd' || unknown == L'x' || unknown == L'p' || unknown == L'%')
                    unknown = RandomUnit(rng);
                c.format += {L'%', unknown};
                c.expected += {L'%', unknown};
            }
            break;
        default:
            if (c.args.size() < kMaxArgs) {
                const Arg arg = RandomArg(rng);
                c.format += {L'%', kConversion[static_cast<int>(arg.kind)]};
                c.expected += Render(arg);
                c.args.push_back(arg);
            }
            break;
        }
    }
    if (rng() % 10 == 0) {
        c.format += L'%';
        c.expected += L'%';
    }
    return c;
}

inline std::string Describe(const FormatCase& c)
{
    std::string out = "format " + Describe(c.format);
    for (const Arg& arg : c.args) {
        switch (arg.kind) {
        case ArgKind::String: out += ", s " + Describe(arg.text); break;
        case ArgKind::Int: out += ", d " + std::to_string(arg.number); break;
        case ArgKind::Unsigned: out += ", x " + std::to_string(arg.bits); break;
        case ArgKind::Pointer: out += ", p " + std::to_string(static_cast<unsigned long long>(arg.address)); break;
        }
    }
    return out;
}

// Calls fn(values...) with each argument passed as the C type its conversion reads, as a real
// variadic call would pass it; the pack grows by one argument per step.
template <typename Fn, typename... Values>
long CallWithArgs(const std::vector<Arg>& args, Fn& fn, Values... values)
{
    if constexpr (sizeof...(Values) < kMaxArgs) {
        if (sizeof...(Values) < args.size()) {
            const Arg& arg = args[sizeof...(Values)];
            switch (arg.kind) {
            case ArgKind::String: return CallWithArgs(args, fn, values..., arg.text.c_str());
            case ArgKind::Int: return CallWithArgs(args, fn, values..., arg.number);
            case ArgKind::Unsigned: return CallWithArgs(args, fn, values..., arg.bits);
            case ArgKind::Pointer: return CallWithArgs(args, fn, values..., reinterpret_cast<void*>(arg.address));
            }
        }
    }
    return fn(values...);
}

// How a run differs from the model: the returned value first where it differs, then the cells.
inline std::string ResultAndCells(const std::string& result, const std::string& expectedResult,
                                  const std::string& cells)
{
    if (result == expectedResult) return cells;
    return "returned " + result + ", expected " + expectedResult + "; " + cells;
}

// A case's answer to the runner below: nothing where the code and the model agree, else what the
// case tried and how they differ.
inline std::string CaseAnswer(const std::string& tried, const std::string& difference)
{
    return difference.empty() ? difference : tried + "\n  " + difference;
}

// Runs `cases` model cases drawn from `seed`. A case answers what it tried and how the code and the
// model differ, or nothing where they agree; a difference fails the test with the seed and the
// case's number. The first five differences tell all, so the run ends there.
inline void RunModelCases(std::uint32_t seed, int cases, const std::function<std::string(std::mt19937&)>& oneCase)
{
    std::mt19937 rng(seed);
    int failures = 0;
    for (int i = 0; i < cases && failures < 5; ++i) {
        const std::string difference = oneCase(rng);
        if (difference.empty()) continue;
        ++failures;
        ADD_FAILURE() << "seed " << seed << ", case " << i << ": " << difference;
    }
}

} // namespace platformtest
