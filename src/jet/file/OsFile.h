#pragma once
// A file handle with positioned reads and writes and an advisory lock; the one place where
// the engine talks to the operating system's file API.
#include <cstdint>
#include <filesystem>
#include <span>

namespace jet {

class OsFile {
public:
    enum class Mode { ReadOnly, ReadWrite, CreateNew };

    OsFile(const std::filesystem::path& path, Mode mode);
    ~OsFile();
    OsFile(const OsFile&) = delete;
    OsFile& operator=(const OsFile&) = delete;

    std::uint64_t size() const;
    // Reads exactly data.size() bytes at offset; returns how many could be read before the end.
    std::size_t readAt(std::uint64_t offset, std::span<std::uint8_t> data) const;
    void writeAt(std::uint64_t offset, std::span<const std::uint8_t> data);
    void truncate(std::uint64_t size);
    void sync();
    // Takes an exclusive lock without waiting; false when another handle holds one.
    bool tryLockExclusive();
    const std::filesystem::path& path() const { return path_; }
    bool writable() const { return writable_; }

private:
    std::filesystem::path path_;
    int fd_ = -1;
    bool writable_ = false;
};

} // namespace jet
