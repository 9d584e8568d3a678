// vantrel-report's entry on Linux and other POSIX systems: the native file system and the
// standard streams. There is no browser to open.
#include "report/CommandLine.h"

#include <sys/stat.h>

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <memory>

namespace {

struct FileCloser {
    void operator()(std::FILE* file) const { std::fclose(file); }
};
using FilePtr = std::unique_ptr<std::FILE, FileCloser>;

class PosixFiles : public report::FileAccess {
public:
    File Read(const std::string& path, std::uint64_t limit) override
    {
        File result;
        FilePtr file(std::fopen(path.c_str(), "rb"));
        struct stat info {};
        if (!file || fstat(fileno(file.get()), &info) != 0) return Failed(result);
        if (S_ISDIR(info.st_mode)) return result.error = "it is a folder", result;
        result.modified = static_cast<std::int64_t>(info.st_mtime);
        // The size is not trusted (a pipe, a growing file): reading stops one byte past the limit.
        char block[65536];
        std::size_t got = 0;
        while ((got = std::fread(block, 1, sizeof(block), file.get())) > 0) {
            result.bytes.append(block, got);
            if (result.bytes.size() > limit) {
                result.bytes.clear();
                result.tooLarge = true;
                return result;
            }
        }
        if (std::ferror(file.get())) return Failed(result);
        result.size = result.bytes.size();
        result.ok = true;
        return result;
    }

    bool Write(const std::string& path, const std::string& bytes, std::string& error) override
    {
        std::FILE* file = std::fopen(path.c_str(), "wb");
        if (!file) return error = std::strerror(errno), false;
        const bool written = std::fwrite(bytes.data(), 1, bytes.size(), file) == bytes.size();
        const int writeErrno = errno;
        const bool closed = std::fclose(file) == 0;
        if (written && closed) return true;
        error = std::strerror(written ? errno : writeErrno);
        // A page cut short would look whole in a browser.
        std::remove(path.c_str());
        return false;
    }

private:
    static File Failed(File& result)
    {
        result.error = std::strerror(errno);
        return result;
    }
};

} // namespace

int main(int argc, char** argv)
{
    PosixFiles files;
    const report::Outcome outcome = report::Run(std::vector<std::string>(argv + 1, argv + argc), files);
    std::fputs(outcome.message.c_str(), outcome.exitCode == 0 ? stdout : stderr);
    return outcome.exitCode;
}
