// The log file: created anew for writing only and shared with nobody while open, written as
// single-byte text through a 4096-byte buffer.
#pragma once

#include "platform/UniqueResource.h"

#include <cstddef>
#include <exception>

class LogStream {
public:
    static constexpr std::size_t kBufferBytes = 4096;

    // Opens the file; IsOpen() tells whether that worked.
    explicit LogStream(const wchar_t* path);
    ~LogStream();
    LogStream(const LogStream&) = delete;
    LogStream& operator=(const LogStream&) = delete;

    bool IsOpen() const { return file_.IsValid(); }

    // Appends text up to its terminator. Each UTF-16 unit up to U+00FF becomes the byte of the same
    // value, anything above becomes '?', and every line feed is written as CR LF. After a failed
    // write nothing more is written: a full disk is not asked again and again.
    void Write(const wchar_t* text);

    // Writes out what is buffered and closes the file. True only when every byte reached the file
    // and the close succeeded; a false result means the file on disk cannot be trusted to be whole.
    bool Close();

    // An exception that stopped the record writer inside the window enumeration. It must not
    // unwind through the system's frames, so it waits here for the entry, which reports the log
    // as not written once the enumeration is over.
    std::exception_ptr WriterFailure;

private:
    void Put(char byte)
    {
        if (used_ == kBufferBytes) Flush();
        if (writeFailed_) return;
        buffer_[used_++] = byte;
    }
    void Flush();

    platform::UniqueHandle file_;
    char buffer_[kBufferBytes];
    std::size_t used_ = 0;
    bool writeFailed_ = false;
};
