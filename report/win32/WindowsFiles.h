// vantrel-report's files on Windows: the native file system behind the portable code's port,
// paths in UTF-8 turned into the system's wide ones.
#pragma once

#include "report/run/Ports.h"

namespace report {

// Reads share the file every way, so that a log still open in an editor can be read. Identity is
// the volume's serial number and the file's index. A page is written to a temporary file in the
// page's folder, renamed over the page (through to the disk) once it is whole and closed, and
// removed on any failure or exception. Errors are the system's own text for its error.
class WindowsFiles : public FileAccess {
public:
    File Read(const std::string& path, std::uint64_t limit) override;
    bool SameFile(const std::string& a, const std::string& b) override;
    bool Write(const std::string& path, const std::function<void(ByteSink&)>& write, std::string& error) override;
};

} // namespace report
