// What every page fuzzer holds its pages to, whatever model they were made from.
#pragma once

#include <cstdlib>
#include <map>
#include <string>
#include <string_view>
#include <vector>

namespace fuzzoracle {

// Every tag with its attributes, in order; the text between them left out. Text is escaped, so a
// '<' is always markup.
inline std::string Tags(const std::string& page)
{
    std::string tags;
    for (std::size_t open = page.find('<'); open != std::string::npos; open = page.find('<', open + 1)) {
        const std::size_t close = page.find('>', open);
        if (close == std::string::npos) std::abort();
        tags.append(page, open, close - open + 1);
    }
    return tags;
}

inline void Blank(std::string& text)
{
    if (!text.empty()) text = "x";
}

// Paths and names keep the separators where the page finds a file name or lets them wrap.
inline void BlankName(std::string& text)
{
    for (char& c : text) c = std::string_view("\\/;,:]").find(c) == std::string_view::npos ? 'x' : c;
}

// Programs' paths blanked as names are, yet each still its own program: the page colours windows
// by program, so a blank must not merge two. Each distinct path gets the number of its first
// window after its first blanked character, which keeps where the separators are and which runs
// between them are empty.
template <class Record>
void BlankPrograms(std::vector<Record>& records)
{
    std::map<std::string, std::string> blanks;
    for (Record& r : records) {
        const auto [it, added] = blanks.emplace(r.exe, r.exe);
        if (added) {
            BlankName(it->second);
            const std::size_t first = it->second.find('x');
            if (first != std::string::npos) it->second.insert(first + 1, std::to_string(blanks.size()));
        }
        r.exe = it->second;
    }
}

inline std::size_t Count(const std::string& page, std::string_view what)
{
    std::size_t n = 0;
    for (std::size_t at = page.find(what); at != std::string::npos; at = page.find(what, at + 1)) ++n;
    return n;
}

// A raw control byte other than a line end: text that should have been shown escaped.
inline bool HasControlBytes(const std::string& page)
{
    for (char c : page) {
        if (c >= 0 && c < 0x20 && c != '\n') return true;
    }
    return false;
}

} // namespace fuzzoracle
