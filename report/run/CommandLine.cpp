#include "report/run/CommandLine.h"

namespace report {

const char kUsage[] = "usage: vantrel-report LOG [LOG2] [-o PAGE.html] [--no-open]\n"
                      "       vantrel-report --live [-o PAGE.html] [--no-open]\n"
                      "Writes a page about a Vantrel log beside it (LOG.html), or about LOG2 compared with LOG.\n"
                      "With --live (Windows), a page about every window on this desktop and why it has a taskbar\n"
                      "button or none, beside the program (vantrel-report.html).\n"
                      "  -o PAGE.html  write the page there instead\n"
                      "  --no-open     do not open the page in the browser (Windows)\n";

CommandLine ParseCommandLine(const std::vector<std::string>& arguments)
{
    CommandLine line;
    bool optionsEnded = false;
    for (std::size_t i = 0; i < arguments.size(); ++i) {
        const std::string& argument = arguments[i];
        if (optionsEnded || argument.empty() || argument[0] != '-' || argument == "-") {
            line.logs.push_back(argument);
        } else if (argument == "--") {
            optionsEnded = true;
        } else if (argument == "-o" && i + 1 < arguments.size() && line.output.empty()) {
            line.output = arguments[++i];
        } else if (argument == "--no-open") {
            line.open = false;
        } else if (argument == "--live") {
            line.live = true;
        } else if (argument == "-h" || argument == "--help") {
            line.help = true;
            return line;
        } else {
            line.unknown = argument;
            return line;
        }
    }
    return line;
}

} // namespace report
