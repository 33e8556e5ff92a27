#include "data/UserFile.h"

#include "core/Error.h"
#include "jet/file/OsFile.h"

#include <cerrno>
#include <cstring>
#include <string>
#include <vector>

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace data {

namespace {

[[noreturn]] void fail(const std::filesystem::path& path, int error) {
    std::error_code unknown;
    const std::filesystem::path full = std::filesystem::absolute(path, unknown);
    throw core::IoError("Cannot create file \"" +
                        (unknown ? path : full).lexically_normal().string() + "\". " +
                        std::strerror(error));
}

// Writes every byte, going on after short writes and interruptions; 0 or the error number.
int writeAll(int fd, std::string_view bytes) {
    while (!bytes.empty()) {
        const ssize_t written = ::write(fd, bytes.data(), bytes.size());
        if (written < 0) {
            if (errno == EINTR) continue;
            return errno;
        }
        bytes.remove_prefix(static_cast<std::size_t>(written));
    }
    return 0;
}

// The temporary file beside the target: removed again unless it took the target's name.
class TemporaryFile {
public:
    explicit TemporaryFile(const std::filesystem::path& target) {
        const std::string pattern =
            (target.parent_path() / ("." + target.filename().string() + ".XXXXXX")).string();
        name_.assign(pattern.begin(), pattern.end());
        name_.push_back('\0');
        fd_ = ::mkstemp(name_.data());
        made_ = fd_ >= 0;
    }
    ~TemporaryFile() {
        if (fd_ >= 0) ::close(fd_);
        if (made_ && !renamed_) ::unlink(name_.data());
    }
    TemporaryFile(const TemporaryFile&) = delete;
    TemporaryFile& operator=(const TemporaryFile&) = delete;

    bool created() const { return made_; }
    int fd() const { return fd_; }
    // Closes the file; 0 or the error number (a full disk may show up only here).
    int close() {
        const int result = ::close(fd_);
        fd_ = -1;
        return result == 0 ? 0 : errno;
    }
    int renameTo(const std::filesystem::path& target) {
        if (::rename(name_.data(), target.c_str()) != 0) return errno;
        renamed_ = true;
        return 0;
    }

private:
    std::vector<char> name_;
    int fd_ = -1;
    bool made_ = false;
    bool renamed_ = false;
};

// A device or another special file cannot be replaced by a rename; it takes the bytes as
// they come.
void writeInPlace(const std::filesystem::path& path, const std::filesystem::path& target,
                  std::string_view bytes) {
    const int fd = ::open(target.c_str(), O_WRONLY | O_CLOEXEC);
    if (fd < 0) fail(path, errno);
    const int error = writeAll(fd, bytes);
    const int closed = ::close(fd) == 0 ? 0 : errno;
    if (error != 0) fail(path, error);
    if (closed != 0) fail(path, closed);
}

mode_t newFileMode() {
    const mode_t mask = ::umask(0);
    ::umask(mask);
    return 0666 & ~mask;
}

} // namespace

void writeUserFile(const std::filesystem::path& path, std::string_view bytes) {
    std::error_code unresolved;
    std::filesystem::path target = path;
    if (std::filesystem::is_symlink(path, unresolved)) {
        target = std::filesystem::weakly_canonical(path, unresolved);
        if (unresolved) fail(path, unresolved.value());
    }
    mode_t mode = newFileMode();
    struct stat existing {};
    if (::stat(target.c_str(), &existing) == 0) {
        if (S_ISDIR(existing.st_mode)) fail(path, EISDIR);
        if (!S_ISREG(existing.st_mode)) {
            writeInPlace(path, target, bytes);
            return;
        }
        // A file the user may not write is not replaced behind its back.
        if (::access(target.c_str(), W_OK) != 0) fail(path, errno);
        mode = existing.st_mode & 07777;
    }

    TemporaryFile temporary(target);
    if (!temporary.created()) fail(path, errno);
    if (::fchmod(temporary.fd(), mode) != 0) fail(path, errno);
    if (const int error = writeAll(temporary.fd(), bytes)) fail(path, error);
    if (::fsync(temporary.fd()) != 0) fail(path, errno);
    if (const int error = temporary.close()) fail(path, error);
    if (const int error = temporary.renameTo(target)) fail(path, error);
    try {
        jet::syncFolderOf(target);
    } catch (const std::exception&) {
        // The new content is in place; only the durability of its name on a power cut is
        // uncertain, and the old content is gone either way.
    }
}

} // namespace data
