// The page's markup, built in one pass. Text from a log or a file name enters it through Text or
// Utf8Text only, which escape every character that could end an element, an attribute or a
// comment, and show control characters visibly.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>

namespace report {

class Markup {
public:
    // Markup written by this program itself; never anything read from a file.
    Markup& Tag(std::string_view markup)
    {
        out_ += markup;
        return *this;
    }
    // ISO 8859-1 text from a log.
    Markup& Text(std::string_view latin1);
    // UTF-8 text, a file name; a byte that is not part of valid UTF-8 shows as \xNN.
    Markup& Utf8Text(std::string_view utf8);

    std::string& Result() { return out_; }

private:
    void Character(std::uint32_t code);
    std::string out_;
};

} // namespace report
