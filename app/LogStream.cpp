#include "app/LogStream.h"

#include "inspect/RecordText.h"

#include <cstdint>

namespace app {

LogStream::LogStream(const wchar_t* path)
    : file_(vantrel::platform::Api().CreateFileW(path, GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL,
                                                 nullptr))
{
}

LogStream::~LogStream() { Close(); }

void LogStream::Write(const wchar_t* text)
{
    if (!IsOpen()) return;
    for (; *text != L'\0' && !writeFailed_; ++text) {
        const wchar_t unit = *text;
        if (unit == L'\n') {
            Put('\r');
            Put('\n');
        } else {
            Put(inspect::LoggedByte(static_cast<std::uint16_t>(unit)));
        }
    }
}

void LogStream::Flush()
{
    if (used_ == 0 || writeFailed_) return;
    // A synchronous write to a file writes everything or fails; anything less (a full disk, a
    // quota) leaves a gap in the log, so the first short write ends the writing.
    DWORD written = 0;
    const BOOL ok =
        vantrel::platform::Api().WriteFile(file_.Get(), buffer_, static_cast<DWORD>(used_), &written, nullptr);
    if (!ok || written != used_) writeFailed_ = true;
    used_ = 0;
}

bool LogStream::Close()
{
    if (!IsOpen()) return false;
    Flush();
    const bool closed = file_.Close();
    return closed && !writeFailed_ && !writerFailure_;
}

} // namespace app
