// Paths as the logs and the command line give them: both '\' and '/' end a folder's name, whatever
// system the program runs on, since a log from Windows may be read anywhere.
#pragma once

#include <string>
#include <string_view>

namespace report {

// Where the file name starts: after the last '\' or '/', or 0.
std::size_t FileNameStart(std::string_view path);
std::string FileName(std::string_view path);

} // namespace report
