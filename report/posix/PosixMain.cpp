// vantrel-report's entry on Linux and other POSIX systems: the native file system and the
// standard streams. There is no browser to open, and no live snapshot to take.
#include "report/run/Run.h"
#include "report/text/Paths.h"

#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <memory>
#include <new>

namespace {

struct FileCloser {
    void operator()(std::FILE* file) const { std::fclose(file); }
};
using FilePtr = std::unique_ptr<std::FILE, FileCloser>;

// A temporary file beside the page, removed unless it was renamed into place.
class TemporaryFile : public report::ByteSink {
public:
    explicit TemporaryFile(const std::string& target)
    {
        const std::size_t name = report::FileNameStart(target);
        path_ = target.substr(0, name) + "." + target.substr(name) + ".XXXXXX";
        const int descriptor = mkstemp(&path_[0]);
        if (descriptor < 0) {
            error_ = errno;
            path_.clear();
            return;
        }
        // mkstemp makes the file private; a page is as readable as any file its user makes.
        const mode_t mask = umask(0);
        umask(mask);
        fchmod(descriptor, 0666 & ~mask);
        file_ = fdopen(descriptor, "wb");
        if (!file_) {
            error_ = errno;
            close(descriptor);
        }
    }
    TemporaryFile(const TemporaryFile&) = delete;
    TemporaryFile& operator=(const TemporaryFile&) = delete;
    ~TemporaryFile()
    {
        if (file_) std::fclose(file_);
        if (!path_.empty()) std::remove(path_.c_str());
    }

    void Write(std::string_view bytes) override
    {
        if (error_ == 0 && std::fwrite(bytes.data(), 1, bytes.size(), file_) != bytes.size()) error_ = errno;
    }

    // Closes the file and renames it to `target`; 0, or the error that stopped it. No fsync: the
    // page can be made again from its log, and the rename alone keeps a reader from ever seeing
    // half of one.
    int MoveTo(const std::string& target)
    {
        if (error_ == 0 && std::fflush(file_) != 0) error_ = errno;
        const int closed = std::fclose(file_);
        file_ = nullptr;
        if (error_ == 0 && closed != 0) error_ = errno;
        if (error_ == 0 && std::rename(path_.c_str(), target.c_str()) != 0) error_ = errno;
        if (error_ == 0) path_.clear();
        return error_;
    }

    int Error() const { return error_; }

private:
    std::string path_;
    std::FILE* file_ = nullptr;
    int error_ = 0;
};

class PosixFiles : public report::FileAccess {
public:
    File Read(const std::string& path, std::uint64_t limit) override
    {
        File result;
        FilePtr file(std::fopen(path.c_str(), "rb"));
        struct stat info {};
        if (!file || fstat(fileno(file.get()), &info) != 0) return Failed(result);
        if (S_ISDIR(info.st_mode)) {
            result.error = "it is a folder";
            return result;
        }
        result.modified = static_cast<std::int64_t>(info.st_mtime);
        // The size is not trusted (a pipe, a growing file): reading stops one byte past the limit.
        // It only saves growing the string as it fills.
        std::size_t used = 0;
        if (S_ISREG(info.st_mode))
            result.bytes.resize(static_cast<std::size_t>(std::min<std::uint64_t>(info.st_size, limit)) + 1);
        while (true) {
            if (used == result.bytes.size()) result.bytes.resize(std::max<std::size_t>(2 * used, 65536));
            const std::size_t got = std::fread(&result.bytes[used], 1, result.bytes.size() - used, file.get());
            used += got;
            if (used > limit) {
                result.bytes.clear();
                result.tooLarge = true;
                return result;
            }
            if (got == 0) break;
        }
        result.bytes.resize(used);
        if (std::ferror(file.get())) return Failed(result);
        result.size = result.bytes.size();
        result.ok = true;
        return result;
    }

    bool SameFile(const std::string& a, const std::string& b) override
    {
        struct stat first {
        }, second{};
        return stat(a.c_str(), &first) == 0 && stat(b.c_str(), &second) == 0 && first.st_dev == second.st_dev &&
               first.st_ino == second.st_ino;
    }

    bool Write(const std::string& path, const std::function<void(report::ByteSink&)>& write,
               std::string& error) override
    {
        TemporaryFile file(path);
        if (file.Error() == 0) write(file);
        const int failure = file.Error() != 0 ? file.Error() : file.MoveTo(path);
        if (failure == 0) return true;
        error = std::strerror(failure);
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
    // No desktop whose windows a taskbar shows: --live says it needs Windows.
    const report::Outcome outcome = report::Run(std::vector<std::string>(argv + 1, argv + argc), files, nullptr);
    std::fputs(outcome.message.c_str(), outcome.exitCode == 0 ? stdout : stderr);
    return outcome.exitCode;
}
