#include "report/CommandLine.h"

#include "report/LogReader.h"
#include "report/Numbers.h"
#include "report/Page.h"

namespace report {

namespace {

const char kUsage[] = "usage: vantrel-report LOG [LOG2] [-o PAGE.html] [--no-open]\n"
                      "Writes a page about a Vantrel log beside it (LOG.html), or about LOG2 compared with LOG.\n"
                      "  -o PAGE.html  write the page there instead\n"
                      "  --no-open     do not open the page in the browser (Windows)\n";

Outcome Failure(int exitCode, std::string message) { return {exitCode, {}, false, std::move(message)}; }

// A line of someone else's file, safe to print on a terminal: control bytes as \xNN, at most 80
// characters, ISO 8859-1 as UTF-8.
std::string Printable(const std::string& text, std::size_t from)
{
    std::string out;
    for (std::size_t i = from; i < text.size() && text[i] != '\n' && out.size() < 80; ++i) {
        const auto c = static_cast<unsigned char>(text[i]);
        if (c < 0x20 || (c >= 0x7F && c < 0xA0)) {
            if (c == '\r' && i + 1 < text.size() && text[i + 1] == '\n') continue;
            out += "\\x";
            out += "0123456789ABCDEF"[c >> 4];
            out += "0123456789ABCDEF"[c & 0xF];
        } else if (c >= 0x80) {
            out += static_cast<char>(0xC0 | c >> 6);
            out += static_cast<char>(0x80 | (c & 0x3F));
        } else {
            out += static_cast<char>(c);
        }
    }
    return out;
}

std::string LineOf(const std::string& text, int line)
{
    std::size_t at = 0;
    for (int n = 1; n < line && at != std::string::npos; ++n) {
        at = text.find('\n', at);
        if (at != std::string::npos) ++at;
    }
    return at == std::string::npos ? std::string() : Printable(text, at);
}

bool ReadLogFile(const std::string& path, FileAccess& files, LogFile& file, Outcome& failure)
{
    FileAccess::File read = files.Read(path, kMostLogBytes);
    const std::string name = "vantrel-report: " + path + ": ";
    if (read.tooLarge) {
        failure = Failure(1, name + "larger than 16 MiB, more than any Vantrel log holds; not read\n");
        return false;
    }
    if (!read.ok) {
        failure = Failure(1, name + "cannot be read: " + read.error + "\n");
        return false;
    }
    file.name = path.substr(path.find_last_of("\\/") + 1);
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

} // namespace

std::string PagePath(const std::string& log)
{
    const std::size_t folder = log.find_last_of("\\/");
    const std::size_t name = folder == std::string::npos ? 0 : folder + 1;
    const std::size_t dot = log.rfind('.');
    // A leading dot names a hidden file, not an extension.
    const bool hasExtension = dot != std::string::npos && dot > name;
    return (hasExtension ? log.substr(0, dot) : log) + ".html";
}

Outcome Run(const std::vector<std::string>& arguments, FileAccess& files)
{
    std::vector<std::string> logs;
    std::string output;
    bool open = true, optionsEnded = false;
    for (std::size_t i = 0; i < arguments.size(); ++i) {
        const std::string& argument = arguments[i];
        if (optionsEnded || argument.empty() || argument[0] != '-' || argument == "-") {
            logs.push_back(argument);
        } else if (argument == "--") {
            optionsEnded = true;
        } else if (argument == "-o" && i + 1 < arguments.size() && output.empty()) {
            output = arguments[++i];
        } else if (argument == "--no-open") {
            open = false;
        } else if (argument == "-h" || argument == "--help") {
            return {0, {}, false, kUsage};
        } else {
            return Failure(1, "vantrel-report: unknown option or missing value: " + argument + "\n" + kUsage);
        }
    }
    if (logs.empty() || logs.size() > 2 || (!output.empty() && output.find_first_not_of("\\/") == std::string::npos)) {
        return Failure(1, kUsage);
    }

    std::string page = output.empty() ? PagePath(logs.back()) : output;
    for (const std::string& log : logs) {
        if (page != log) continue;
        // A log that is itself named .html must never be written over by its own page.
        if (!output.empty())
            return Failure(1, "vantrel-report: " + page + ": is a log given to read; not written over\n");
        page += ".html";
    }

    LogFile before, after;
    Outcome failure;
    if (logs.size() == 2 && !ReadLogFile(logs.front(), files, before, failure)) return failure;
    if (!ReadLogFile(logs.back(), files, after, failure)) return failure;
    const std::string html = WritePage(after, logs.size() == 2 ? &before : nullptr);
    std::string error;
    if (!files.Write(page, html, error)) {
        return Failure(1, "vantrel-report: " + page + ": the page cannot be written: " + error + "\n");
    }
    return {0, page, open, page + "\n"};
}

} // namespace report
