#include "report/run/TerminalText.h"

#include "report/text/Utf8.h"

namespace report {

std::string PrintableLine(std::string_view latin1, std::size_t most)
{
    std::string out;
    for (std::size_t i = 0, shown = 0; i < latin1.size() && latin1[i] != '\n' && shown < most; ++i, ++shown) {
        const auto c = static_cast<unsigned char>(latin1[i]);
        if (c == '\r' && i + 1 < latin1.size() && latin1[i + 1] == '\n') break;
        if (c < 0x20 || (c >= 0x7F && c < 0xA0)) {
            AppendByteEscape(out, c);
        } else {
            AppendUtf8(out, c);
        }
    }
    return out;
}

} // namespace report
