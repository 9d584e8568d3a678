// The page's markup. Safe by construction: markup enters only as a Literal, which nothing but a
// string literal converts to, or through the typed helpers (numbers); text from a log or a file
// name enters only through Text and Utf8Text, which escape every character that could end an
// element, an attribute or a comment, and show control characters visibly. `Tag(record.title)`
// does not compile.
#pragma once

#include "report/model/LoggedWindow.h"
#include "report/page/ByteSink.h"

#include <charconv>
#include <cstdint>
#include <memory>
#include <string>
#include <string_view>
#include <type_traits>

namespace report {

// Markup written by this program itself.
class Literal {
public:
    template <std::size_t N>
    constexpr Literal(const char (&text)[N]) : text_(text, N - 1)
    {
    }
    constexpr std::string_view View() const { return text_; }

private:
    std::string_view text_;
};

class Markup {
public:
    explicit Markup(ByteSink& sink) : sink_(sink), block_(new char[kBlock]) {}
    Markup(const Markup&) = delete;
    Markup& operator=(const Markup&) = delete;
    // What is still buffered is lost unless Finish was called: a page cut short is no page.
    ~Markup() = default;

    Markup& Tag(Literal markup)
    {
        Append(markup.View());
        return *this;
    }
    // ISO 8859-1 text from a log.
    Markup& Text(std::string_view latin1);
    // UTF-8 text, a file name; a byte that is not part of valid UTF-8 shows as \xNN.
    Markup& Utf8Text(std::string_view utf8);
    // A Windows path from a log, as Text, with a line-break opportunity after each '\' so that a
    // long path wraps between folder names, never inside one.
    Markup& PathText(std::string_view latin1) { return BreakableText(latin1, "\\"); }
    // A class or file name from a log, as Text, that may wrap only after a separator within it
    // ("HwndWrapper[App;;…]"), never inside a word.
    Markup& NameText(std::string_view latin1) { return BreakableText(latin1, ";,:]"); }
    // Any integer of its own type, the largest 64-bit ones too.
    template <class Integer, std::enable_if_t<std::is_integral_v<Integer> && !std::is_same_v<Integer, bool>, int> = 0>
    Markup& Number(Integer value)
    {
        char digits[24];
        const char* end = std::to_chars(digits, digits + sizeof(digits), value).ptr;
        Append(std::string_view(digits, static_cast<std::size_t>(end - digits)));
        return *this;
    }

    // "0x0001004C", as the log writes handles.
    Markup& Handle(std::uint32_t handle);
    // "0,0 - 160,226", as the log writes rectangles.
    Markup& Rectangle(const Rect& r);

    // Hands the rest to the sink.
    void Finish();

private:
    // Pages are made of many short pieces: they are gathered here and handed on a block at a time.
    static constexpr std::size_t kBlock = 1 << 16;
    void Append(std::string_view bytes)
    {
        if (used_ + bytes.size() > kBlock) Finish();
        if (bytes.size() > kBlock) {
            sink_.Write(bytes);
            return;
        }
        bytes.copy(block_.get() + used_, bytes.size());
        used_ += bytes.size();
    }
    void Append(char c)
    {
        if (used_ == kBlock) Finish();
        block_[used_++] = c;
    }
    Markup& BreakableText(std::string_view latin1, Literal breakAfter);
    void Character(std::uint32_t code);

    ByteSink& sink_;
    // On the heap: a thread's stack is no place for 64 KiB.
    std::unique_ptr<char[]> block_;
    std::size_t used_ = 0;
};

} // namespace report
