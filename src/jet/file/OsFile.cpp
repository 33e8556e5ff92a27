#include "jet/file/OsFile.h"

#include "core/Error.h"

#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

namespace jet {

namespace {
[[noreturn]] void throwOs(const std::string& action, const std::filesystem::path& path) {
    throw core::IoError("Cannot " + action + " \"" + path.string() + "\": " + std::strerror(errno) +
                        ".");
}
} // namespace

OsFile::OsFile(const std::filesystem::path& path, Mode mode) : path_(path) {
    int flags = O_CLOEXEC;
    switch (mode) {
    case Mode::ReadOnly:
        flags |= O_RDONLY;
        break;
    case Mode::ReadWrite:
        flags |= O_RDWR;
        break;
    case Mode::CreateNew:
        flags |= O_RDWR | O_CREAT | O_EXCL;
        break;
    }
    fd_ = ::open(path.c_str(), flags, 0666);
    if (fd_ < 0) {
        if (errno == ENOENT) throw core::IoError("Could not find file '" + path.string() + "'.");
        if (errno == EEXIST) throw core::IoError("Database already exists.");
        throwOs(mode == Mode::CreateNew ? "create" : "open", path);
    }
    struct stat st {};
    if (::fstat(fd_, &st) == 0 && S_ISDIR(st.st_mode)) {
        ::close(fd_);
        fd_ = -1;
        throw core::IoError("\"" + path.string() + "\" is a folder, not a database file.");
    }
    writable_ = mode != Mode::ReadOnly;
}

OsFile::~OsFile() {
    if (fd_ >= 0) ::close(fd_);
}

std::uint64_t OsFile::size() const {
    struct stat st {};
    if (::fstat(fd_, &st) != 0) throwOs("read the size of", path_);
    return static_cast<std::uint64_t>(st.st_size);
}

std::size_t OsFile::readAt(std::uint64_t offset, std::span<std::uint8_t> data) const {
    std::size_t done = 0;
    while (done < data.size()) {
        ssize_t n =
            ::pread(fd_, data.data() + done, data.size() - done, static_cast<off_t>(offset + done));
        if (n < 0) {
            if (errno == EINTR) continue;
            throwOs("read", path_);
        }
        if (n == 0) break;
        done += static_cast<std::size_t>(n);
    }
    return done;
}

void OsFile::writeAt(std::uint64_t offset, std::span<const std::uint8_t> data) {
    std::size_t done = 0;
    while (done < data.size()) {
        ssize_t n = ::pwrite(fd_, data.data() + done, data.size() - done,
                             static_cast<off_t>(offset + done));
        if (n < 0) {
            if (errno == EINTR) continue;
            throwOs("write", path_);
        }
        done += static_cast<std::size_t>(n);
    }
}

void OsFile::truncate(std::uint64_t size) {
    if (::ftruncate(fd_, static_cast<off_t>(size)) != 0) throwOs("resize", path_);
}

void OsFile::sync() {
    if (::fsync(fd_) != 0) throwOs("flush", path_);
}

bool OsFile::tryLockExclusive() {
    return ::flock(fd_, LOCK_EX | LOCK_NB) == 0;
}

} // namespace jet
