// Any bytes through the reader, the model and the page writer. Besides what AddressSanitizer and
// UBSan catch: no text from a log can make markup (the page of the same report with every text
// replaced by x has the very same tags), the page keeps to its stated size, has no raw control
// byte, and every record read has its row.
#include "report/reading/LogReader.h"
#include "report/page/LogPage.h"
#include "report/page/PageBounds.h"
#include "tests/report/fuzz/PageOracles.h"

#include <cstdint>
#include <cstdlib>
#include <string>

namespace {

using namespace fuzzoracle;

std::string Page(const report::LogReport& report)
{
    report::StringSink sink;
    report::WriteLogPage(report, sink);
    return sink.text;
}

void BlankLog(report::LogFile& file)
{
    Blank(file.name);
    BlankPrograms(file.log.records);
    for (report::LoggedWindow& r : file.log.records) {
        Blank(r.title);
        BlankName(r.className);
    }
    for (report::Unreadable& piece : file.log.unreadable) Blank(piece.text);
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    const std::string_view bytes(reinterpret_cast<const char*>(data), size);
    // The first bytes double as the log's file name; the first half as an earlier log, so that the
    // comparison sees windows in both.
    report::LogFile after{std::string(bytes.substr(0, 24)), size, static_cast<std::int64_t>(size) * 99991 - 4000000000,
                          report::ReadLog(bytes)};
    report::LogFile before{"before.txt", size / 2, 0, report::ReadLog(bytes.substr(0, size / 2))};
    report::LogReport report = report::MakeLogReport(std::move(after), std::move(before));
    const std::string page = Page(report);

    BlankLog(report.file);
    BlankLog(*report.before);
    for (report::LogFinding& finding : report.findings) Blank(finding.subject);
    if (Tags(page) != Tags(Page(report))) std::abort();

    const std::uint64_t read = size + size / 2;
    if (page.size() > report::MostLogPageBytes(read)) std::abort();
    if (HasControlBytes(page) || Count(page, "<tr id=\"w") != report.file.log.records.size()) std::abort();
    return 0;
}
