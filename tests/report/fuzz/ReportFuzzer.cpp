// Any bytes through the reader, the comparison and the page writer. Besides what AddressSanitizer
// and UBSan catch, the page must hold no script element and no raw control byte, and every record
// read must have its row.
#include "report/LogReader.h"
#include "report/Page.h"

#include <cstdint>
#include <cstdlib>
#include <string>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    const std::string_view bytes(reinterpret_cast<const char*>(data), size);
    // The first bytes double as the log's file name; the first half as an earlier log, so that the
    // comparison sees windows in both.
    report::LogFile after{std::string(bytes.substr(0, 24)), size, static_cast<std::int64_t>(size) * 99991 - 4000000000,
                          report::ReadLog(bytes)};
    report::LogFile before{"before.txt", size / 2, 0, report::ReadLog(bytes.substr(0, size / 2))};
    const std::string page = report::WritePage(after, &before);

    std::size_t rows = 0;
    for (std::size_t at = page.find("<tr id=\"w"); at != std::string::npos; at = page.find("<tr id=\"w", at + 1))
        ++rows;
    bool controls = false;
    for (char c : page) controls |= c >= 0 && c < 0x20 && c != '\n';
    if (page.find("<script") != std::string::npos || controls || rows != after.log.records.size()) std::abort();
    return 0;
}
