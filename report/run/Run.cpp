#include "report/run/Run.h"

#include "report/analysis/LogReport.h"
#include "report/page/LivePage.h"
#include "report/page/LogPage.h"
#include "report/reading/LogReader.h"
#include "report/run/CommandLine.h"
#include "report/run/TerminalText.h"
#include "report/text/Numbers.h"
#include "report/text/Paths.h"

#include <algorithm>
#include <new>

namespace report {

namespace {

Outcome Failure(int exitCode, std::string message) { return {exitCode, {}, false, std::move(message)}; }

std::string LineOf(const std::string& text, int line)
{
    std::size_t at = 0;
    for (int n = 1; n < line && at != std::string::npos; ++n) {
        at = text.find('\n', at);
        if (at != std::string::npos) ++at;
    }
    return at == std::string::npos ? std::string() : PrintableLine(std::string_view(text).substr(at), 80);
}

bool ReadLogFile(const std::string& path, FileAccess& files, LogFile& file, Outcome& failure)
{
    FileAccess::File read = files.Read(path, kMostLogBytes);
    const std::string name = "vantrel-report: " + path + ": ";
    if (read.tooLarge) {
        failure = Failure(1, name + "larger than " + Decimal(kMostLogBytes >> 20) +
                                 " MiB, more than any Vantrel log holds; not read\n");
        return false;
    }
    if (!read.ok) {
        failure = Failure(1, name + "cannot be read: " + read.error + "\n");
        return false;
    }
    file.name = FileName(path);
    file.size = read.size;
    file.modified = read.modified;
    file.log = ReadLog(read.bytes);
    if (file.log.notALog) {
        const Unreadable& first = file.log.unreadable.front();
        failure = Failure(1, name + "not a Vantrel log: line " + Decimal(first.failedLine) + " reads \"" +
                                 LineOf(first.text, first.failedLine - first.firstLine + 1) + "\", expected " +
                                 first.expected + "\n");
        return false;
    }
    return true;
}

// The live page: the snapshot is taken only once the command line is known to be good.
Outcome RunLive(const std::string& output, bool open, FileAccess& files, Desktop& desktop)
{
    const std::string page = output.empty() ? PagePath(desktop.ProgramPath()) : output;
    try {
        const LiveSnapshot snapshot = desktop.Snapshot();
        std::string error;
        if (!files.Write(
                page, [&](ByteSink& out) { WriteLivePage(snapshot, out); }, error)) {
            return Failure(1, "vantrel-report: " + page + ": the page cannot be written: " + error + "\n");
        }
    } catch (const std::bad_alloc&) {
        return Failure(1, "vantrel-report: not enough memory to take this desktop's snapshot and make its page\n");
    }
    return {0, page, open, page + "\n"};
}

// The page must never be one of the logs, however either is spelt. -o names it outright, so a
// log there is refused. The default name of a log that is itself named .html ("a.html" for
// "a.html") steps on to "a.html.html", and on again while that is a log too (given with it, or a
// link to one); past as many steps as there are logs, it is refused. Empty when refused.
std::string PageThatIsNoLog(std::string candidate, bool fromOption, const std::vector<std::string>& logs,
                            FileAccess& files)
{
    for (std::size_t step = 0; step <= logs.size(); ++step) {
        const bool isALog = std::any_of(logs.begin(), logs.end(),
                                        [&](const std::string& log) { return files.SameFile(candidate, log); });
        if (!isALog) return candidate;
        if (fromOption) break;
        candidate += ".html";
    }
    return {};
}

} // namespace

std::string PagePath(const std::string& log)
{
    const std::size_t name = FileNameStart(log);
    const std::size_t dot = log.rfind('.');
    // A leading dot names a hidden file, not an extension.
    const bool hasExtension = dot != std::string::npos && dot > name;
    return (hasExtension ? log.substr(0, dot) : log) + ".html";
}

Outcome Run(const std::vector<std::string>& arguments, FileAccess& files, Desktop* desktop)
{
    const CommandLine line = ParseCommandLine(arguments);
    if (line.help) return {0, {}, false, kUsage};
    if (!line.unknown.empty()) {
        return Failure(1, "vantrel-report: unknown option or missing value: " + line.unknown + "\n" + kUsage);
    }
    const std::vector<std::string>& logs = line.logs;
    const std::string& output = line.output;
    const bool open = line.open, live = line.live;
    const bool outputIsAFolder = !output.empty() && output.find_first_not_of("\\/") == std::string::npos;
    if (live && desktop == nullptr) return Failure(1, "vantrel-report: --live needs Windows\n");
    if (live && (!logs.empty() || outputIsAFolder)) return Failure(1, kUsage);
    if (live) return RunLive(output, open, files, *desktop);
    if (logs.empty() || logs.size() > 2 || outputIsAFolder) return Failure(1, kUsage);

    const std::string named = output.empty() ? PagePath(logs.back()) : output;
    const std::string page = PageThatIsNoLog(named, !output.empty(), logs, files);
    if (page.empty() && !output.empty()) {
        return Failure(1, "vantrel-report: " + named + ": is a log given to read; not written over\n");
    }
    if (page.empty()) {
        return Failure(1, "vantrel-report: " + named + ": is a log given to read, and so is " + named +
                              ".html and each name after it; give the page a name with -o\n");
    }

    // Memory runs out on a large log in a 32-bit process long before the disk does: that is an
    // answer about the log, not a crash.
    const std::string* reading = &logs.back();
    try {
        LogFile after;
        std::optional<LogFile> before;
        Outcome failure;
        if (logs.size() == 2) {
            reading = &logs.front();
            before.emplace();
            if (!ReadLogFile(logs.front(), files, *before, failure)) return failure;
            reading = &logs.back();
        }
        if (!ReadLogFile(logs.back(), files, after, failure)) return failure;
        const LogReport report = MakeLogReport(std::move(after), std::move(before));
        std::string error;
        if (!files.Write(
                page, [&](ByteSink& out) { WriteLogPage(report, out); }, error)) {
            return Failure(1, "vantrel-report: " + page + ": the page cannot be written: " + error + "\n");
        }
    } catch (const std::bad_alloc&) {
        return Failure(1, "vantrel-report: " + *reading + ": not enough memory to read it and make its page\n");
    }
    return {0, page, open, page + "\n"};
}

} // namespace report
