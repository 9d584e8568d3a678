#include "WideFormat.h"

#include <cstdint>

namespace vantrel::platform {
namespace {

class BoundedWriter {
public:
    BoundedWriter(wchar_t* dest, std::size_t max) : dest_(dest), max_(max) {}

    void Put(wchar_t c)
    {
        if (count_ < max_) dest_[count_] = c;
        ++count_;
    }

    void PutString(const wchar_t* s)
    {
        for (; *s != L'\0'; ++s) Put(*s);
    }

    void PutDigits(std::uint32_t value, unsigned base, const wchar_t* digits, int minWidth)
    {
        wchar_t reversed[16];
        int n = 0;
        do {
            reversed[n++] = digits[value % base];
            value /= base;
        } while (value != 0);
        while (n < minWidth) reversed[n++] = L'0';
        while (n > 0) Put(reversed[--n]);
    }

    int Finish()
    {
        if (count_ > max_) return -1;
        if (count_ < max_) dest_[count_] = L'\0';
        return static_cast<int>(count_);
    }

private:
    wchar_t* dest_;
    std::size_t max_;
    std::size_t count_ = 0;
};

const wchar_t kLowerHex[] = L"0123456789abcdef";
const wchar_t kUpperHex[] = L"0123456789ABCDEF";

} // namespace

int FormatWideV(wchar_t* dest, std::size_t max, const wchar_t* format, va_list args)
{
    BoundedWriter out(dest, max);
    for (const wchar_t* f = format; *f != L'\0'; ++f) {
        if (*f != L'%') {
            out.Put(*f);
            continue;
        }
        const wchar_t conversion = f[1];
        switch (conversion) {
        case L's': {
            const wchar_t* s = va_arg(args, const wchar_t*);
            out.PutString(s != nullptr ? s : L"(null)");
            break;
        }
        case L'd': {
            const int value = va_arg(args, int);
            // Negate in unsigned arithmetic so that the most negative value prints correctly.
            std::uint32_t magnitude = static_cast<std::uint32_t>(value);
            if (value < 0) {
                out.Put(L'-');
                magnitude = 0u - magnitude;
            }
            out.PutDigits(magnitude, 10, kLowerHex, 1);
            break;
        }
        case L'x': out.PutDigits(va_arg(args, unsigned int), 16, kLowerHex, 1); break;
        case L'p':
            out.PutDigits(static_cast<std::uint32_t>(reinterpret_cast<std::uintptr_t>(va_arg(args, void*))), 16,
                          kUpperHex, 8);
            break;
        case L'%': out.Put(L'%'); break;
        case L'\0':
            // A lone % at the very end is written as it stands.
            out.Put(L'%');
            return out.Finish();
        default:
            out.Put(L'%');
            out.Put(conversion);
            break;
        }
        ++f;
    }
    return out.Finish();
}

int FormatWide(wchar_t* dest, std::size_t max, const wchar_t* format, ...)
{
    va_list args;
    va_start(args, format);
    const int written = FormatWideV(dest, max, format, args);
    va_end(args);
    return written;
}

} // namespace vantrel::platform
