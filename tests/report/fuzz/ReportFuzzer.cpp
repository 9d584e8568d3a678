// Any bytes through the reader, the model and the page writer. Besides what AddressSanitizer and
// UBSan catch: no text from a log can make markup (the page of the same report with every text
// replaced by x has the very same tags), the page keeps to its stated size, has no raw control
// byte, and every record read has its row.
#include "report/LogReader.h"
#include "report/Page.h"

#include <cstdint>
#include <cstdlib>
#include <string>

namespace {

std::string Page(const report::Report& report)
{
    report::StringSink sink;
    report::WritePage(report, sink);
    return sink.text;
}

// Every tag with its attributes, in order; the text between them left out. Text is escaped, so a
// '<' is always markup.
std::string Tags(const std::string& page)
{
    std::string tags;
    for (std::size_t open = page.find('<'); open != std::string::npos; open = page.find('<', open + 1)) {
        const std::size_t close = page.find('>', open);
        if (close == std::string::npos) std::abort();
        tags.append(page, open, close - open + 1);
    }
    return tags;
}

void Blank(std::string& text)
{
    if (!text.empty()) text = "x";
}

// Paths and names keep the separators where the page lets them wrap.
void BlankName(std::string& text)
{
    for (char& c : text) c = std::string_view("\\;,:]").find(c) == std::string_view::npos ? 'x' : c;
}

void BlankLog(report::LogFile& file)
{
    Blank(file.name);
    for (report::WindowRecord& r : file.log.records) {
        BlankName(r.exe);
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
    report::Report report = report::MakeReport(std::move(after), std::move(before));
    const std::string page = Page(report);

    BlankLog(report.file);
    BlankLog(*report.before);
    for (report::Finding& finding : report.findings) Blank(finding.subject);
    if (Tags(page) != Tags(Page(report))) std::abort();

    const std::uint64_t read = size + size / 2;
    if (page.size() > read * report::kMostPageBytesPerLogByte + report::kPageBytesBase) std::abort();
    std::size_t rows = 0;
    for (std::size_t at = page.find("<tr id=\"w"); at != std::string::npos; at = page.find("<tr id=\"w", at + 1))
        ++rows;
    bool controls = false;
    for (char c : page) controls |= c >= 0 && c < 0x20 && c != '\n';
    if (controls || rows != report.file.log.records.size()) std::abort();
    return 0;
}
