#include "tests/app/LogRecords.h"

#include <regex>
#include <set>

namespace apptest {
namespace {

const std::regex kFirstLine("0x([0-9A-F]{8}): exe=(.*)");
const std::regex kSecondLine("title=\"(.*)\" class=\"(.*)\" atom = 0x[0-9A-F]{8}");
const std::regex kThirdLine(
    "Style=0x[0-9a-f]{1,8} exStyle=0x[0-9a-f]{1,8} parent=0x[0-9A-F]{8} owner=0x[0-9A-F]{8} getparent=0x[0-9A-F]{8}");
const std::regex kFourthLine("rcWnd = (-?[0-9]+),(-?[0-9]+) - (-?[0-9]+),(-?[0-9]+) "
                             "rcClient = (-?[0-9]+),(-?[0-9]+) - (-?[0-9]+),(-?[0-9]+) "
                             "maximized = [01] minimized = [01]");

// Splits at CR LF; a CR or LF on its own is a fault. The text after the last CR LF is returned as
// a last line, so that a log cut short shows up as a line without its ending.
std::vector<std::string> SplitLines(const std::string& bytes, std::vector<std::string>& faults)
{
    std::vector<std::string> lines;
    std::string line;
    for (std::size_t i = 0; i < bytes.size(); ++i) {
        const char c = bytes[i];
        if (c == '\r' && i + 1 < bytes.size() && bytes[i + 1] == '\n') {
            lines.push_back(line);
            line.clear();
            ++i;
        } else if (c == '\r' || c == '\n') {
            faults.push_back("a lone " + std::string(c == '\r' ? "CR" : "LF") + " at byte " + std::to_string(i));
            line += c;
        } else {
            line += c;
        }
    }
    if (!line.empty()) {
        faults.push_back("the log ends inside a line: \"" + line + "\"");
        lines.push_back(line);
    }
    return lines;
}

} // namespace

ParsedLog ParseLog(const std::string& bytes)
{
    ParsedLog log;
    const std::vector<std::string> lines = SplitLines(bytes, log.faults);
    if (lines.size() % 5 != 0) log.faults.push_back(std::to_string(lines.size()) + " lines, not five per record");
    for (std::size_t at = 0; at + 5 <= lines.size(); at += 5) {
        const std::string where = "record at line " + std::to_string(at + 1) + ": ";
        std::smatch first, second;
        LoggedRecord record;
        if (std::regex_match(lines[at], first, kFirstLine)) {
            record.handle = first[1];
            record.exe = first[2];
        } else {
            log.faults.push_back(where + "first line \"" + lines[at] + "\"");
        }
        if (std::regex_match(lines[at + 1], second, kSecondLine)) {
            record.title = second[1];
            record.className = second[2];
        } else {
            log.faults.push_back(where + "second line \"" + lines[at + 1] + "\"");
        }
        if (!std::regex_match(lines[at + 2], kThirdLine))
            log.faults.push_back(where + "third line \"" + lines[at + 2] + "\"");
        if (!std::regex_match(lines[at + 3], kFourthLine))
            log.faults.push_back(where + "fourth line \"" + lines[at + 3] + "\"");
        if (!lines[at + 4].empty()) log.faults.push_back(where + "no empty line after it");
        log.records.push_back(record);
    }
    return log;
}

std::vector<std::string> RepeatedHandles(const std::vector<LoggedRecord>& records)
{
    std::set<std::string> seen, repeated;
    for (const LoggedRecord& record : records) {
        if (!seen.insert(record.handle).second) repeated.insert(record.handle);
    }
    return {repeated.begin(), repeated.end()};
}

} // namespace apptest
