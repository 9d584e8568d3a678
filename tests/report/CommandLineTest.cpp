// The command line over a table of files: where the page goes, exit codes and messages.
#include "report/CommandLine.h"
#include "tests/report/SampleLog.h"

#include <gtest/gtest.h>

#include <map>

namespace reporttest {

namespace {

class FakeFiles : public report::FileAccess {
public:
    std::map<std::string, std::string> files{{"v.txt", RecordBytes({})},
                                             {"before.txt", RecordBytes({})},
                                             {"dir/my.tools/prog", ""},
                                             {"C:\\Logs\\v.txt", ""},
                                             {"v.html", ""},
                                             {"notes.txt", "hello\r\n" + RecordBytes({}).substr(16)},
                                             {"big.txt", std::string(report::kMostLogBytes + 1, '\n')}};
    std::vector<std::string> written;

    File Read(const std::string& path, std::uint64_t limit) override
    {
        File file;
        const auto found = files.find(path);
        if (found == files.end()) return file.error = "No such file", file;
        if (found->second.size() > limit) return file.tooLarge = true, file;
        file.ok = true, file.bytes = found->second, file.size = found->second.size();
        return file;
    }
    bool Write(const std::string& path, const std::string& bytes, std::string& error) override
    {
        if (path.rfind("readonly/", 0) == 0) return error = "Permission denied", false;
        written.push_back(path);
        files[path] = bytes;
        return true;
    }
};

struct CommandCase {
    std::vector<std::string> arguments;
    int exitCode;
    std::string written; // the page written, if any
    std::string message; // part of the message
    bool open = true;
};

const CommandCase kCases[] = {
    {{"v.txt"}, 0, "v.html", "v.html\n"},
    {{"dir/my.tools/prog"}, 0, "dir/my.tools/prog.html", ""},
    {{"C:\\Logs\\v.txt"}, 0, "C:\\Logs\\v.html", ""},
    {{"v.html"}, 0, "v.html.html", ""},
    {{"before.txt", "v.txt", "-o", "out.htm", "--no-open"}, 0, "out.htm", "out.htm\n", false},
    {{"--", "-o"}, 1, "", "-o: cannot be read: No such file"},
    {{"missing.txt"}, 1, "", "vantrel-report: missing.txt: cannot be read: No such file"},
    {{"missing.txt", "v.txt"}, 1, "", "missing.txt: cannot be read"},
    {{"big.txt"}, 1, "", "big.txt: larger than 16 MiB"},
    {{"notes.txt"}, 1, "", "notes.txt: not a Vantrel log: line 1 reads \"hello\", expected a record's first line"},
    {{"v.txt", "-o", "readonly/p.html"}, 1, "", "readonly/p.html: the page cannot be written: Permission denied"},
    {{"v.txt", "-o", "v.txt"}, 1, "", "v.txt: is a log given to read; not written over"},
    {{}, 1, "", "usage: vantrel-report LOG"},
    {{"a", "b", "c"}, 1, "", "usage:"},
    {{"v.txt", "-o"}, 1, "", "missing value: -o"},
    {{"--bogus", "v.txt"}, 1, "", "unknown option or missing value: --bogus"},
};

void PrintTo(const CommandCase& c, std::ostream* out)
{
    for (const std::string& argument : c.arguments) *out << argument << ' ';
}

class CommandLine : public ::testing::TestWithParam<CommandCase> {};

} // namespace

TEST_P(CommandLine, WritesThePageOrSaysWhyNot)
{
    const CommandCase& c = GetParam();
    FakeFiles files;
    const report::Outcome outcome = report::Run(c.arguments, files);
    EXPECT_EQ(c.exitCode, outcome.exitCode);
    EXPECT_EQ(c.written.empty() ? std::vector<std::string>{} : std::vector<std::string>{c.written}, files.written);
    EXPECT_EQ(c.written, outcome.page);
    EXPECT_NE(std::string::npos, outcome.message.find(c.message)) << outcome.message;
    EXPECT_EQ(c.open && c.exitCode == 0, outcome.open);
}

INSTANTIATE_TEST_SUITE_P(, CommandLine, ::testing::ValuesIn(kCases));

} // namespace reporttest
