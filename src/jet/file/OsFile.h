#pragma once
// A file handle with positioned reads and writes and an advisory lock, plus the few folder
// operations durability needs; the one place where the engine talks to the OS file API.
#include <chrono>
#include <cstdint>
#include <filesystem>
#include <memory>
#include <span>

namespace jet {

class OsFile {
public:
    // Replace creates the file or empties the one that is there.
    enum class Mode { ReadOnly, ReadWrite, CreateNew, Replace };

    OsFile(const std::filesystem::path& path, Mode mode);
    ~OsFile();
    OsFile(const OsFile&) = delete;
    OsFile& operator=(const OsFile&) = delete;

    // Opens an existing file for reading and writing, or returns null when the OS refuses
    // write access (read-only file or volume, no permission) so the caller can read instead.
    static std::unique_ptr<OsFile> openWritable(const std::filesystem::path& path);

    std::uint64_t size() const;
    // Reads exactly data.size() bytes at offset; returns how many could be read before the end.
    std::size_t readAt(std::uint64_t offset, std::span<std::uint8_t> data) const;
    void writeAt(std::uint64_t offset, std::span<const std::uint8_t> data);
    void truncate(std::uint64_t size);
    void sync();
    // Makes the file's bytes and its size durable, but not its times: enough for a commit, and
    // cheaper than sync() when the size is unchanged, since the file system need not log
    // the modification time first.
    void syncData();
    // Two locks, independent of each other. Writer is held exclusively by the one handle
    // that writes the file, for as long as it is open. Pages is shared by readers for as long
    // as they have the file open and held exclusively by the writer only while a commit
    // changes the file, so readers come and go between commits and never see half of one.
    enum class LockRange { Writer, Pages };
    enum class Lock { Shared, Exclusive };
    // Takes the lock without waiting; false when another handle holds one that conflicts. The
    // lock belongs to this handle: a second handle on the same file conflicts even in this
    // process. An exclusive lock needs a handle open for writing.
    bool tryLock(LockRange range, Lock lock);
    // Takes the lock, waiting up to `patience` for the handle that holds a conflicting one to
    // let go; false when it does not.
    bool lockWithin(LockRange range, Lock lock, std::chrono::milliseconds patience);
    void unlock(LockRange range);
    const std::filesystem::path& path() const { return path_; }
    bool writable() const { return writable_; }

private:
    OsFile(const std::filesystem::path& path, int fd); // adopts a descriptor open for writing
    void adopt(bool writable);

    std::filesystem::path path_;
    int fd_ = -1;
    bool writable_ = false;
};

// Whether files can be created and deleted in the folder holding `file`.
bool folderAcceptsWrites(const std::filesystem::path& file);
// Makes the creation or removal of files in the folder holding `file` durable.
void syncFolderOf(const std::filesystem::path& file);
// Deletes a file; a file that is not there is not an error.
void removeFile(const std::filesystem::path& file);
bool fileExists(const std::filesystem::path& file);

} // namespace jet
