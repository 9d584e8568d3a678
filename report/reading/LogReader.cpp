#include "report/reading/LogReader.h"

#include "report/reading/LogEncoding.h"

#include <algorithm>
#include <cstdint>

namespace report {

namespace {

constexpr std::string_view kFirstLine = "a record's first line: \"0x\", eight hexadecimal digits, \": exe=\"";

// The title and class name together cannot be longer than this: 299 characters each, every one of
// them a line feed that the writer doubled into CR LF, and the text between them. The search for
// the end of the class name stops here, which keeps reading linear whatever the input.
constexpr std::size_t kMostTitleAndClassBytes = 2 * 2 * kTitleLimit + 16;

// The reader parses its own digits: the writer's fixed widths already bound each field, and
// std::from_chars, which checks every digit for overflow, made reading a log a quarter slower.
int HexValue(char c)
{
    if (c >= '0' && c <= '9') return c - '0';
    if (c >= 'a' && c <= 'f') return c - 'a' + 10;
    if (c >= 'A' && c <= 'F') return c - 'A' + 10;
    return -1;
}

// Walks one record. Every step either takes what it expects or notes what it expected and where,
// and everything after a failed step fails too.
class Scanner {
public:
    Scanner(std::string_view text, std::size_t at) : text_(text), at_(at) {}

    bool Ok() const { return failedAt_ == std::string_view::npos; }
    std::size_t At() const { return at_; }
    std::size_t FailedAt() const { return failedAt_; }
    std::string_view Expected() const { return expected_; }

    bool Literal(std::string_view fixed)
    {
        if (!Ok()) return false;
        if (text_.substr(at_, fixed.size()) != fixed) return Fail(fixed);
        at_ += fixed.size();
        return true;
    }

    // %p: exactly eight digits; %x: one to eight.
    std::uint32_t Hex(std::size_t least, std::string_view what)
    {
        std::uint32_t value = 0;
        std::size_t digits = 0;
        for (; Ok() && digits < 8 && at_ + digits < text_.size(); ++digits) {
            const int digit = HexValue(text_[at_ + digits]);
            if (digit < 0) break;
            value = value << 4 | static_cast<std::uint32_t>(digit);
        }
        if (digits < least) {
            Fail(what);
            return 0;
        }
        at_ += digits;
        return value;
    }

    // A field after the fixed text that names it.
    std::uint32_t HexAfter(std::string_view label, std::size_t least, std::string_view what)
    {
        Literal(label);
        return Hex(least, what);
    }

    std::int32_t Decimal()
    {
        const std::size_t start = at_;
        const bool negative = Ok() && at_ < text_.size() && text_[at_] == '-';
        std::int64_t value = 0;
        std::size_t at = at_ + (negative ? 1 : 0);
        for (; at < text_.size() && at - start <= 11 && text_[at] >= '0' && text_[at] <= '9'; ++at) {
            value = value * 10 + (text_[at] - '0');
        }
        value = negative ? -value : value;
        if (!Ok() || at == start + (negative ? 1 : 0) || value < INT32_MIN || value > INT32_MAX) {
            Fail("a decimal number");
            return 0;
        }
        at_ = at;
        return static_cast<std::int32_t>(value);
    }

    std::int32_t DecimalAfter(std::string_view label)
    {
        Literal(label);
        return Decimal();
    }

    bool Flag()
    {
        if (Ok() && at_ < text_.size() && (text_[at_] == '0' || text_[at_] == '1')) return text_[at_++] == '1';
        return Fail("0 or 1");
    }

    bool FlagAfter(std::string_view label)
    {
        Literal(label);
        return Flag();
    }

    // CR LF as written, or LF after a copy through another system; `crlf` tells which.
    bool LineEnd(bool* crlf = nullptr)
    {
        const bool cr = Ok() && text_.substr(at_, 2) == "\r\n";
        const bool lf = !cr && Ok() && text_.substr(at_, 1) == "\n";
        if (crlf) *crlf = cr;
        if (!cr && !lf) return Fail("the end of the line");
        at_ += cr ? 2 : 1;
        return true;
    }

    bool LineEndOrEnd() { return Ok() && at_ == text_.size() ? true : LineEnd(); }

    std::string_view RestOfLine()
    {
        const std::size_t end = std::min(text_.find('\n', at_), text_.size());
        std::string_view line = text_.substr(at_, end - at_);
        if (!line.empty() && line.back() == '\r') line.remove_suffix(1);
        at_ += line.size();
        return line;
    }

    // "left,top - right,bottom"
    Rect RectangleAfter(std::string_view label)
    {
        Rect r;
        r.left = DecimalAfter(label);
        r.top = DecimalAfter(",");
        r.right = DecimalAfter(" - ");
        r.bottom = DecimalAfter(",");
        return r;
    }

    // Only the first failure is kept: it is where the record stopped making sense.
    bool Fail(std::string_view expected)
    {
        if (Ok()) {
            failedAt_ = at_;
            expected_ = expected;
        }
        return false;
    }

private:
    std::string_view text_;
    std::size_t at_;
    std::size_t failedAt_ = std::string_view::npos;
    std::string_view expected_;
};

bool StartsRecord(std::string_view text, std::size_t at)
{
    Scanner s(text, at);
    s.HexAfter("0x", 8, "");
    s.Literal(": exe=");
    return s.Ok();
}

// The writer doubles every line feed inside a field into CR LF; a log copied to LF line ends has
// lost that CR along with all the others.
std::string Field(std::string_view raw, bool crlf)
{
    // Most fields hold no line end at all.
    if (!crlf || raw.find('\r') == std::string_view::npos) return std::string(raw);
    std::string field;
    field.reserve(raw.size());
    for (std::size_t i = 0; i < raw.size(); ++i) {
        if (!(crlf && raw[i] == '\r' && i + 1 < raw.size() && raw[i + 1] == '\n')) field += raw[i];
    }
    return field;
}

// From " atom = 0x" to the end of the record. A title may hold that same text, so the caller tries
// each occurrence in turn.
void ReadRecordTail(Scanner& s, LoggedWindow& r)
{
    constexpr std::string_view kHandle = "eight hexadecimal digits";
    r.atom = s.HexAfter("\" atom = 0x", 8, "the atom's eight hexadecimal digits");
    s.LineEnd();
    r.style = s.HexAfter("Style=0x", 1, "the style in hexadecimal");
    r.exStyle = s.HexAfter(" exStyle=0x", 1, "the extended style in hexadecimal");
    r.parent = s.HexAfter(" parent=0x", 8, kHandle);
    r.owner = s.HexAfter(" owner=0x", 8, kHandle);
    r.getParent = s.HexAfter(" getparent=0x", 8, kHandle);
    s.LineEnd();
    r.window = s.RectangleAfter("rcWnd = ");
    r.client = s.RectangleAfter(" rcClient = ");
    r.maximized = s.FlagAfter(" maximized = ");
    r.minimized = s.FlagAfter(" minimized = ");
    s.LineEndOrEnd();
}

// Reads the record at `at`. On failure `failed` is the scanner that got furthest.
bool ReadRecord(std::string_view text, std::size_t at, LoggedWindow& r, std::size_t& end, Scanner& failed)
{
    Scanner s(text, at);
    bool crlf = false;
    if (!StartsRecord(text, at)) {
        s.Fail(kFirstLine);
        failed = s;
        return false;
    }
    r.hwnd = s.HexAfter("0x", 8, kFirstLine);
    s.Literal(": exe=");
    r.exe = std::string(s.RestOfLine());
    s.LineEnd(&crlf);
    s.Literal("title=\"");
    if (!s.Ok()) {
        failed = s;
        return false;
    }

    const std::size_t fields = s.At();
    std::string_view window = text.substr(fields, kMostTitleAndClassBytes);
    // A title may hold line ends, but a line inside it that starts like a record is far more
    // likely the next record after this one was cut short.
    for (std::size_t lf = window.find('\n'); lf != std::string_view::npos; lf = window.find('\n', lf + 1)) {
        if (StartsRecord(text, fields + lf + 1)) {
            window = window.substr(0, lf + 1);
            break;
        }
    }
    failed = s;
    failed.Fail("\" atom = 0x (the end of the class name)");
    bool tailFound = false;
    for (std::size_t atom = window.find("\" atom = 0x"); atom != std::string_view::npos;
         atom = window.find("\" atom = 0x", atom + 1)) {
        Scanner tail(text, fields + atom);
        ReadRecordTail(tail, r);
        if (!tail.Ok()) {
            if (!tailFound && tail.FailedAt() > failed.FailedAt()) failed = tail;
            continue;
        }
        // A class name is the program's own choice and rarely holds quotes; a title is anyone's
        // text (a web page's, a document's): the last separator is the likelier one. A title may
        // hold the whole rest of a record too, so a tail with no separator before it is the title's.
        const std::string_view both = window.substr(0, atom);
        const std::size_t separator = both.rfind("\" class=\"");
        if (separator == std::string_view::npos) {
            if (!tailFound) {
                failed = Scanner(text, fields);
                failed.Fail("\" class=\" (between the title and the class name)");
            }
            tailFound = true;
            continue;
        }
        r.title = Field(both.substr(0, separator), crlf);
        r.className = Field(both.substr(separator + 9), crlf);
        end = tail.At();
        return true;
    }
    return false;
}

class LineCounter {
public:
    explicit LineCounter(std::string_view text) : text_(text) {}
    // The reader asks in increasing order, so counting the whole log costs about one pass.
    int LineAt(std::size_t at)
    {
        if (at >= counted_) {
            line_ += static_cast<int>(std::count(text_.begin() + counted_, text_.begin() + at, '\n'));
        } else {
            line_ -= static_cast<int>(std::count(text_.begin() + at, text_.begin() + counted_, '\n'));
        }
        counted_ = at;
        return line_;
    }

private:
    std::string_view text_;
    std::size_t counted_ = 0;
    int line_ = 1;
};

std::size_t NextLine(std::string_view text, std::size_t at)
{
    const std::size_t lf = text.find('\n', at);
    return lf == std::string_view::npos ? text.size() : lf + 1;
}

bool IsEmptyLine(std::string_view text, std::size_t at)
{
    return text.substr(at, 1) == "\n" || text.substr(at, 2) == "\r\n";
}

} // namespace

Log ReadLog(std::string_view bytes)
{
    Log log;
    std::string decoded;
    const std::string_view text = ToLatin1(bytes, log.encoding, decoded);
    LineCounter lines(text);
    bool firstPiece = true;
    std::size_t at = 0;
    while (at < text.size()) {
        if (IsEmptyLine(text, at)) {
            at = NextLine(text, at);
            continue;
        }
        LoggedWindow record;
        std::size_t end = 0;
        Scanner failed(text, at);
        if (ReadRecord(text, at, record, end, failed)) {
            record.firstLine = lines.LineAt(at);
            record.lastLine = lines.LineAt(end) - (end > at && text[end - 1] == '\n' ? 1 : 0);
            log.records.push_back(std::move(record));
            at = end;
        } else {
            Unreadable piece;
            piece.firstLine = lines.LineAt(at);
            piece.failedLine = lines.LineAt(std::min(failed.FailedAt(), text.size()));
            piece.expected = std::string(failed.Expected());
            log.notALog = firstPiece && piece.failedLine == piece.firstLine && !StartsRecord(text, at);
            std::size_t next = NextLine(text, at);
            while (next < text.size() && !StartsRecord(text, next)) next = NextLine(text, next);
            std::string_view raw = text.substr(at, next - at);
            while (!raw.empty() && (raw.back() == '\n' || raw.back() == '\r')) raw.remove_suffix(1);
            piece.text = std::string(raw);
            piece.lastLine = piece.firstLine + static_cast<int>(std::count(raw.begin(), raw.end(), '\n'));
            log.unreadable.push_back(std::move(piece));
            at = next;
        }
        firstPiece = false;
    }
    log.notALog = log.notALog && log.records.empty();
    return log;
}

} // namespace report
