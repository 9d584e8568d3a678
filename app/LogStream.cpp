#include "app/LogStream.h"

LogStream::LogStream(const wchar_t* path)
    : file_(platform::Api().CreateFileW(path, GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS,
                                        FILE_ATTRIBUTE_NORMAL, nullptr))
{
}

LogStream::~LogStream() { Close(); }

void LogStream::Write(const wchar_t* text)
{
    if (!IsOpen()) return;
    for (; *text != L'\0'; ++text) {
        const wchar_t unit = *text;
        if (unit == L'\n') {
            Put('\r');
            Put('\n');
        } else {
            Put(unit > 0xFF ? '?' : static_cast<char>(static_cast<unsigned char>(unit)));
        }
    }
}

void LogStream::Flush()
{
    std::size_t done = 0;
    while (done < used_) {
        DWORD written = 0;
        if (!platform::Api().WriteFile(file_.Get(), buffer_ + done, static_cast<DWORD>(used_ - done),
                                       &written, nullptr) ||
            written == 0) {
            break;
        }
        done += written;
    }
    used_ = 0;
}

void LogStream::Close()
{
    if (!IsOpen()) return;
    Flush();
    file_.Reset();
}
