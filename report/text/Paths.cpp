#include "report/text/Paths.h"

namespace report {

std::size_t FileNameStart(std::string_view path)
{
    const std::size_t slash = path.find_last_of("\\/");
    return slash == std::string_view::npos ? 0 : slash + 1;
}

std::string FileName(std::string_view path) { return std::string(path.substr(FileNameStart(path))); }

} // namespace report
