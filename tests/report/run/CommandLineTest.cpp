// The command line over a table of files: where the page goes, exit codes and messages.
#include "report/run/Run.h"
#include "tests/report/SampleLog.h"

#include <gtest/gtest.h>

#include <map>
#include <new>

namespace reporttest {

namespace {

class FakeFiles : public report::FileAccess {
public:
    std::map<std::string, std::string> files{{"v.txt", RecordBytes({})},
                                             {"before.txt", RecordBytes({})},
                                             {"empty.txt", ""},
                                             {"dir/my.tools/prog", ""},
                                             {"C:\\Logs\\v.txt", ""},
                                             {"v.html", ""},
                                             {"a.html", RecordBytes({})},
                                             {"a.html.html", RecordBytes({})},
                                             {"l.html", RecordBytes({})},
                                             {"full/p.html", "the previous page"},
                                             {"notes.txt", "hello\r\n" + RecordBytes({}).substr(16)},
                                             {"big.txt", std::string(report::kMostLogBytes + 1, '\n')}};
    // Other spellings of one file, as the file system resolves them; l.html.html is a link to l.html.
    std::map<std::string, std::string> sameAs{
        {"./v.txt", "v.txt"},     {"V.TXT", "v.txt"},   {"./a.html.html", "a.html.html"},
        {"A.HTML", "a.html"},     {"A.html", "a.html"}, {"A.html.html", "a.html.html"},
        {"l.html.html", "l.html"}};
    std::vector<std::string> written;

    File Read(const std::string& path, std::uint64_t limit) override
    {
        File file;
        if (path == "huge-in-memory.txt") throw std::bad_alloc();
        const auto found = files.find(Resolved(path));
        if (found == files.end()) {
            file.error = "No such file";
            return file;
        }
        file.tooLarge = found->second.size() > limit;
        file.ok = !file.tooLarge;
        file.bytes = file.ok ? found->second : std::string();
        file.size = file.bytes.size();
        return file;
    }
    bool SameFile(const std::string& a, const std::string& b) override
    {
        return files.count(Resolved(a)) != 0 && Resolved(a) == Resolved(b);
    }
    bool Write(const std::string& path, const std::function<void(report::ByteSink&)>& write,
               std::string& error) override
    {
        if (path.rfind("readonly/", 0) == 0) {
            error = "Permission denied";
            return false;
        }
        report::StringSink sink;
        write(sink);
        // The disk fills up: the page is not replaced.
        if (path.rfind("full/", 0) == 0) {
            error = "No space left on device";
            return false;
        }
        written.push_back(path);
        files[path] = sink.text;
        return true;
    }

private:
    std::string Resolved(const std::string& path) const
    {
        const auto alias = sameAs.find(path);
        return alias == sameAs.end() ? path : alias->second;
    }
};

// A desktop of one window, as the Windows entry would take it; none elsewhere.
class FakeDesktop : public report::Desktop {
public:
    report::LiveSnapshot Snapshot() override
    {
        report::LiveSnapshot snapshot;
        snapshot.windows.emplace_back().record.title = "the one window here";
        return snapshot;
    }
    std::string ProgramPath() override { return "C:\\Tools\\vantrel-report.exe"; }
};

struct CommandCase {
    std::vector<std::string> arguments;
    int exitCode;
    std::string written; // the page written, if any
    std::string message; // part of the message
    bool open = true;
    bool windows = true; // whether there is a desktop to take a snapshot of
};

const CommandCase kCases[] = {
    {{"v.txt"}, 0, "v.html", "v.html\n"},
    {{"empty.txt"}, 0, "empty.html", "empty.html\n"},
    {{"dir/my.tools/prog"}, 0, "dir/my.tools/prog.html", "dir/my.tools/prog.html\n"},
    {{"C:\\Logs\\v.txt"}, 0, "C:\\Logs\\v.html", "C:\\Logs\\v.html\n"},
    {{"v.html"}, 0, "v.html.html", "v.html.html\n"},
    // A page named after a log that is named .html steps on past every log, however it is spelt.
    {{"a.html.html", "a.html"}, 0, "a.html.html.html", "a.html.html.html\n"},
    {{"a.html", "a.html.html"}, 0, "a.html.html.html", "a.html.html.html\n"},
    {{"./a.html.html", "A.HTML"}, 0, "A.html.html.html", "A.html.html.html\n"},
    {{"l.html"}, 1, "", "l.html: is a log given to read, and so is l.html.html and each name after it"},
    {{"l.html.html"}, 0, "l.html.html.html", "l.html.html.html\n"},
    {{"before.txt", "v.txt", "-o", "out.htm", "--no-open"}, 0, "out.htm", "out.htm\n", false},
    {{"--", "-o"}, 1, "", "vantrel-report: -o: cannot be read: No such file"},
    {{"missing.txt"}, 1, "", "vantrel-report: missing.txt: cannot be read: No such file"},
    {{"missing.txt", "v.txt"}, 1, "", "missing.txt: cannot be read"},
    {{"big.txt"}, 1, "", "big.txt: larger than 16 MiB"},
    {{"notes.txt"}, 1, "", "notes.txt: not a Vantrel log: line 1 reads \"hello\", expected a record's first line"},
    {{"v.txt", "-o", "readonly/p.html"}, 1, "", "readonly/p.html: the page cannot be written: Permission denied"},
    {{"v.txt", "-o", "v.txt"}, 1, "", "v.txt: is a log given to read; not written over"},
    {{"v.txt", "-o", "./v.txt"}, 1, "", "./v.txt: is a log given to read; not written over"},
    {{"before.txt", "v.txt", "-o", "V.TXT"}, 1, "", "V.TXT: is a log given to read; not written over"},
    {{"v.txt", "-o", "full/p.html"}, 1, "", "full/p.html: the page cannot be written: No space left on device"},
    {{"v.txt", "huge-in-memory.txt"}, 1, "", "huge-in-memory.txt: not enough memory to read it and make its page"},
    {{}, 1, "", "usage: vantrel-report LOG"},
    {{"a", "b", "c"}, 1, "", "usage:"},
    {{"v.txt", "-o"}, 1, "", "missing value: -o"},
    {{"--bogus", "v.txt"}, 1, "", "unknown option or missing value: --bogus"},
    {{"--live"}, 0, "C:\\Tools\\vantrel-report.html", "C:\\Tools\\vantrel-report.html\n"},
    {{"--no-open", "--live", "-o", "full/live.html"}, 1, "", "full/live.html: the page cannot be written"},
    {{"--live", "-o", "live.html", "--no-open"}, 0, "live.html", "live.html\n", false},
    {{"--live", "v.txt"}, 1, "", "usage: vantrel-report LOG"},
    {{"--live"}, 1, "", "vantrel-report: --live needs Windows", true, false},
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
    FakeDesktop desktop;
    const report::Outcome outcome = report::Run(c.arguments, files, c.windows ? &desktop : nullptr);
    EXPECT_EQ(c.exitCode, outcome.exitCode);
    EXPECT_EQ(c.written.empty() ? std::vector<std::string>{} : std::vector<std::string>{c.written}, files.written);
    EXPECT_EQ(c.written, outcome.page);
    EXPECT_NE(std::string::npos, outcome.message.find(c.message)) << outcome.message;
    EXPECT_EQ(c.open && c.exitCode == 0, outcome.open);
    // No failure touches what was there before.
    EXPECT_EQ("the previous page", files.files["full/p.html"]);
    for (const char* log : {"v.txt", "a.html", "a.html.html", "l.html"}) EXPECT_EQ(RecordBytes({}), files.files[log]);
    // A live page is of the desktop's snapshot.
    if (!c.written.empty() && c.arguments.front() == "--live") {
        EXPECT_NE(std::string::npos, files.files[c.written].find("the one window here"));
    }
}

INSTANTIATE_TEST_SUITE_P(, CommandLine, ::testing::ValuesIn(kCases));

} // namespace reporttest
