// The log file: created anew for writing only and shared with nobody while open, written as
// single-byte text through a 4096-byte buffer.
#pragma once

#include "platform/GuardedEnumeration.h"
#include "platform/UniqueResource.h"

#include <cstddef>
#include <exception>
#include <utility>

namespace app {

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

    // Writes out what is buffered and closes the file. True only when every byte reached the file,
    // the close succeeded and no writer failed; a false result means the file on disk cannot be
    // trusted to be whole.
    bool Close();

    // Runs a record writer's work inside the window enumeration. An exception it throws must not
    // unwind through the system's frames: it is kept here, ends the enumeration (FALSE), and
    // makes the log count as not written.
    template <class Work>
    BOOL RunWriter(Work&& work) noexcept
    {
        return vantrel::platform::GuardCallback(writerFailure_, std::forward<Work>(work));
    }

    // What stopped a writer, if anything did.
    const std::exception_ptr& WriterFailure() const { return writerFailure_; }

private:
    // After a failed flush the byte lands in a buffer that is never written: Write stops there.
    void Put(char byte)
    {
        if (used_ == kBufferBytes) Flush();
        buffer_[used_++] = byte;
    }
    void Flush();

    vantrel::platform::UniqueHandle file_;
    char buffer_[kBufferBytes];
    std::size_t used_ = 0;
    bool writeFailed_ = false;
    std::exception_ptr writerFailure_;
};

} // namespace app
