// Where a page's bytes go as they are made.
#pragma once

#include <string>
#include <string_view>

namespace report {

// Where a page's bytes go as they are made: a file, or a string in the tests. A page of a large log
// is never held whole in memory.
class ByteSink {
public:
    virtual ~ByteSink() = default;
    virtual void Write(std::string_view bytes) = 0;
};

class StringSink : public ByteSink {
public:
    void Write(std::string_view bytes) override { text.append(bytes); }
    std::string text;
};

} // namespace report
