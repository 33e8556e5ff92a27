// The POSIX implementation; a Windows port replaces this file (CreateFileW, ReadFile with
// OVERLAPPED offsets, LockFileEx, FlushFileBuffers, folder syncs as no-ops).
#include "jet/file/OsFile.h"

#include "core/Error.h"

#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <sys/stat.h>
#include <thread>
#include <unistd.h>

namespace jet {

namespace {

[[noreturn]] void throwOs(const std::string& action, const std::filesystem::path& path, int error) {
    throw core::IoError("Cannot " + action + " \"" + path.string() + "\": " + std::strerror(error) +
                        ".");
}

bool refusesWriting(int error) {
    return error == EACCES || error == EPERM || error == EROFS;
}

std::filesystem::path folderOf(const std::filesystem::path& file) {
    auto folder = file.parent_path();
    return folder.empty() ? std::filesystem::path(".") : folder;
}

int openFlags(OsFile::Mode mode) {
    switch (mode) {
    case OsFile::Mode::ReadOnly:
        return O_RDONLY;
    case OsFile::Mode::ReadWrite:
        return O_RDWR;
    case OsFile::Mode::CreateNew:
        return O_RDWR | O_CREAT | O_EXCL;
    case OsFile::Mode::Replace:
        return O_RDWR | O_CREAT | O_TRUNC;
    }
    return O_RDONLY;
}

[[noreturn]] void throwOpenError(const std::filesystem::path& path, OsFile::Mode mode, int error) {
    bool creating = mode == OsFile::Mode::CreateNew || mode == OsFile::Mode::Replace;
    if (creating && (error == ENOENT || error == ENOTDIR))
        throw core::IoError("Cannot create \"" + path.string() + "\": the folder \"" +
                            folderOf(path).string() + "\" does not exist.");
    if (error == ENOENT) throw core::IoError("Could not find file '" + path.string() + "'.");
    if (error == EEXIST) throw core::IoError("Database already exists.");
    throwOs(creating ? "create" : "open", path, error);
}

} // namespace

OsFile::OsFile(const std::filesystem::path& path, Mode mode) : path_(path) {
    fd_ = ::open(path.c_str(), openFlags(mode) | O_CLOEXEC, 0666);
    if (fd_ < 0) throwOpenError(path, mode, errno);
    adopt(mode != Mode::ReadOnly);
}

OsFile::OsFile(const std::filesystem::path& path, int fd) : path_(path), fd_(fd) {
    adopt(true);
}

void OsFile::adopt(bool writable) {
    struct stat st {};
    if (::fstat(fd_, &st) == 0 && S_ISDIR(st.st_mode)) {
        ::close(fd_);
        fd_ = -1;
        throw core::IoError("\"" + path_.string() + "\" is a folder, not a database file.");
    }
    writable_ = writable;
}

OsFile::~OsFile() {
    // Closing the descriptor also releases its locks.
    if (fd_ >= 0) ::close(fd_);
}

std::unique_ptr<OsFile> OsFile::openWritable(const std::filesystem::path& path) {
    int fd = ::open(path.c_str(), O_RDWR | O_CLOEXEC);
    if (fd < 0) {
        int error = errno;
        if (refusesWriting(error)) return nullptr;
        throwOpenError(path, Mode::ReadWrite, error);
    }
    return std::unique_ptr<OsFile>(new OsFile(path, fd));
}

std::uint64_t OsFile::size() const {
    struct stat st {};
    if (::fstat(fd_, &st) != 0) throwOs("read the size of", path_, errno);
    return static_cast<std::uint64_t>(st.st_size);
}

std::size_t OsFile::readAt(std::uint64_t offset, std::span<std::uint8_t> data) const {
    std::size_t done = 0;
    while (done < data.size()) {
        ssize_t n =
            ::pread(fd_, data.data() + done, data.size() - done, static_cast<off_t>(offset + done));
        if (n < 0) {
            if (errno == EINTR) continue;
            throwOs("read", path_, errno);
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
            throwOs("write", path_, errno);
        }
        done += static_cast<std::size_t>(n);
    }
}

void OsFile::truncate(std::uint64_t size) {
    if (::ftruncate(fd_, static_cast<off_t>(size)) != 0) throwOs("resize", path_, errno);
}

void OsFile::sync() {
    if (::fsync(fd_) != 0) throwOs("flush", path_, errno);
}

void OsFile::syncData() {
    if (::fdatasync(fd_) != 0) throwOs("flush", path_, errno);
}

namespace {
// Open-file-description locks on one byte each, far past the largest file Jet allows, so
// they never cover data: like flock they belong to the open file (two opens in one process
// conflict as two programs do, and closing releases them), but each byte is a lock of its own.
constexpr off_t kLockBytes = off_t{1} << 40;

off_t lockByte(OsFile::LockRange range) {
    return kLockBytes + (range == OsFile::LockRange::Writer ? 0 : 1);
}

int setLock(int fd, OsFile::LockRange range, short type) {
    struct flock request {};
    request.l_type = type;
    request.l_whence = SEEK_SET;
    request.l_start = lockByte(range);
    request.l_len = 1;
    return ::fcntl(fd, F_OFD_SETLK, &request);
}
} // namespace

bool OsFile::tryLock(LockRange range, Lock lock) {
    const short type = lock == Lock::Shared ? F_RDLCK : F_WRLCK;
    while (setLock(fd_, range, type) != 0) {
        if (errno == EINTR) continue;
        if (errno == EAGAIN || errno == EACCES) return false;
        throwOs("lock", path_, errno);
    }
    return true;
}

bool OsFile::lockWithin(LockRange range, Lock lock, std::chrono::milliseconds patience) {
    // Polled rather than blocking: a blocking lock has no timeout, and a signal-based one
    // would disturb the caller's own handlers.
    const auto deadline = std::chrono::steady_clock::now() + patience;
    for (;;) {
        if (tryLock(range, lock)) return true;
        if (std::chrono::steady_clock::now() >= deadline) return false;
        std::this_thread::sleep_for(std::chrono::milliseconds(10));
    }
}

void OsFile::unlock(LockRange range) {
    while (setLock(fd_, range, F_UNLCK) != 0)
        if (errno != EINTR) throwOs("unlock", path_, errno);
}

bool folderAcceptsWrites(const std::filesystem::path& file) {
    // AT_EACCESS asks about the effective user, the one that will create the journal.
    return ::faccessat(AT_FDCWD, folderOf(file).c_str(), W_OK | X_OK, AT_EACCESS) == 0;
}

void syncFolderOf(const std::filesystem::path& file) {
    auto folder = folderOf(file);
    int fd = ::open(folder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (fd < 0) throwOs("open the folder", folder, errno);
    int result = ::fsync(fd);
    int error = errno;
    ::close(fd);
    // Some file systems cannot sync a folder at all; their metadata is then as durable as
    // they make it, and refusing every commit there would help nobody.
    if (result != 0 && error != EINVAL && error != ENOTSUP)
        throwOs("flush the folder", folder, error);
}

void removeFile(const std::filesystem::path& file) {
    if (::unlink(file.c_str()) != 0 && errno != ENOENT) throwOs("delete", file, errno);
}

bool fileExists(const std::filesystem::path& file) {
    struct stat st {};
    return ::lstat(file.c_str(), &st) == 0;
}

} // namespace jet
