// Reads a log back into records and says what is wrong with its form: every record must be four
// lines and an empty one, each line ended by CR LF, each line in the record's exact layout.
#pragma once

#include <string>
#include <vector>

namespace apptest {

struct LoggedRecord {
    std::string handle; // the eight hex digits of the first line
    std::string exe;
    std::string title;
    std::string className;
};

struct ParsedLog {
    std::vector<LoggedRecord> records;
    std::vector<std::string> faults; // empty when the whole log is well formed
};

// For logs whose titles hold no line breaks: a break inside a title reads as a malformed record.
ParsedLog ParseLog(const std::string& bytes);

// The handles named by more than one record.
std::vector<std::string> RepeatedHandles(const std::vector<LoggedRecord>& records);

} // namespace apptest
