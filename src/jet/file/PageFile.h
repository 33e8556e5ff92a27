#pragma once
// The database file seen as numbered pages (4 KiB in Jet 4 files, 2 KiB in Jet 3 ones), read
// through a cache and changed in atomic transactions backed by a rollback journal. Every page
// number is checked against the file's size, so a damaged pointer becomes an error, not a crash.
#include "jet/file/Bytes.h"
#include "jet/file/CommitStep.h"
#include "jet/file/DirtyPages.h"
#include "jet/file/FileFormat.h"
#include "jet/file/OsFile.h"
#include "jet/file/PageFormat.h"

#include <array>
#include <filesystem>
#include <functional>
#include <map>
#include <memory>
#include <optional>
#include <span>
#include <string>
#include <vector>

namespace jet {

// Room for the largest page; a smaller page fills its start and the rest stays zero.
using PageBytes = std::array<std::uint8_t, kPageSize>;
using PageRef = std::shared_ptr<const PageBytes>;

class PageFile {
public:
    enum class Access { ReadOnly, ReadWrite };

    // ReadWrite keeps other writers out for as long as the file is open; ReadOnly keeps
    // commits out for as long as it is open, so a reader never sees half of one. Each waits a
    // moment for a conflicting hold (another writer; a commit) to end and then gives up with
    // core::InUseError, in this process or another. ReadWrite rolls back a journal left by a
    // crash. When the OS refuses write access to the file or its folder, the file opens
    // read-only instead: writable() is false. A ReadOnly open rolls such a journal back too
    // when it can write, and refuses the file with core::IoError when it cannot, rather than
    // show half-written pages.
    static std::unique_ptr<PageFile> open(const std::filesystem::path& path, Access access);
    // A new empty file, locked for writing. Refuses a file that exists and a missing folder.
    static std::unique_ptr<PageFile> create(const std::filesystem::path& path,
                                            const FileFormat& format = FileFormat::jet4());
    // Wraps a file opened by the caller; a writable one is locked and settled as open() does.
    explicit PageFile(std::unique_ptr<OsFile> file);
    // Deletes the writer's journal.
    ~PageFile();
    PageFile(const PageFile&) = delete;
    PageFile& operator=(const PageFile&) = delete;

    bool writable() const { return readOnlyReason_.empty(); }
    // The layout of the file, named by its header; an empty file is a new Jet 4 one.
    const FileFormat& format() const { return *format_; }
    std::size_t pageSize() const { return format_->pageSize; }
    // A page's own bytes, without the unused rest of its buffer.
    ByteSpan bytes(const PageRef& page) const { return ByteSpan(page->data(), pageSize()); }
    // Whether opening undid a commit that a crash interrupted.
    bool recoveredJournal() const { return recovered_; }
    const std::filesystem::path& path() const { return file_->path(); }

    // Includes the pages appended by the open transaction.
    std::uint32_t pageCount() const { return pageCount_; }
    // The page's bytes, decoded when the file is encoded, as the open transaction left them.
    // Throws FormatError for a page number beyond the end of the file.
    PageRef read(std::uint32_t page) const;
    // Hands each of these pages (ascending numbers) to `visit` with its bytes as read() gives
    // them, valid during the call only, and keeps none in the cache: one pass over a whole
    // table reads neighbouring pages a run at a time instead of one allocation each.
    void visitPages(std::span<const std::uint32_t> pages,
                    const std::function<void(std::uint32_t, ByteSpan)>& visit) const;
    // Files with a non-zero database key have every page but the header RC4-encoded; pages
    // are decoded on reading and encoded again on writing.
    void setEncodingKey(std::optional<std::array<std::uint8_t, 4>> key);

    // Changes are held in memory until commit(); a failed commit rolls the transaction back.
    void begin();
    bool inTransaction() const { return inTransaction_; }
    void write(std::uint32_t page, const PageBytes& bytes);
    // The page's bytes to change in place, as write() would with a changed copy: the page
    // becomes part of the transaction, and a reader holding its bytes keeps what it saw (the
    // page is copied first then). Valid until the next call that changes the transaction.
    PageBytes& modify(std::uint32_t page);
    // Adds a page at the end and returns its number.
    std::uint32_t append(const PageBytes& bytes);
    // Returns once the change is durable. A crash before that leaves the file, once reopened,
    // exactly as it was before begin(). Waits a few seconds for readers that have the file
    // open to close it; when they do not, the transaction is rolled back with
    // core::InUseError and the file is unchanged.
    void commit();
    // Savepoints inside a transaction, for statements that must land whole or not at all
    // within a larger transaction. They nest; each is released or rolled back in turn.
    void beginSavepoint();
    void releaseSavepoint();
    void rollbackToSavepoint();
    std::size_t savepointDepth() const { return savepoints_.size(); }
    // Forgets the transaction's writes and appended pages; nothing to do without one.
    void rollback();

    // Lets tests stop or fail a commit before any of its I/O steps.
    void setFaultHook(FaultHook hook) { faultHook_ = std::move(hook); }

    const OsFile& os() const { return *file_; }

private:
    PageFile(std::unique_ptr<OsFile> file, std::string readOnlyReason);

    void settleAsWriter();
    void settleAsReader();
    void rollBackForReader(const std::filesystem::path& journal);
    void loadSize();
    void dropCache() const;
    void requireIntact() const;
    void requireWritable() const;
    void requireTransaction() const;
    void encode(std::uint32_t page, std::span<std::uint8_t> bytes) const;
    void writeJournal(CommitSteps& steps, const std::filesystem::path& journal);
    void writePages(CommitSteps& steps);
    void finishCommit();
    void restoreAfterFailedCommit(const std::filesystem::path& journal);
    void closeJournal() noexcept;

    std::unique_ptr<OsFile> file_;
    // The writer's journal, made by its first commit and deleted when the file is closed;
    // each commit's salt tells its records from those of the commits before it.
    std::unique_ptr<OsFile> journal_;
    std::uint32_t journalSalt_ = 0;
    const FileFormat* format_ = &FileFormat::jet4();
    std::string readOnlyReason_; // empty when writable
    std::string broken_;         // set when a failed commit could not be undone
    bool recovered_ = false;
    std::uint64_t committedSize_ = 0; // bytes on disk
    std::uint32_t committedPages_ = 0;
    std::uint32_t pageCount_ = 0;
    std::optional<std::array<std::uint8_t, 4>> key_;
    // Committed pages as on disk (decoded); the budget keeps large scans within memory.
    mutable std::vector<PageRef> cache_;
    mutable std::size_t cachedPages_ = 0;
    bool inTransaction_ = false;
    // The transaction's pages, plain; ordered so commit writes the file front to back.
    DirtyPages dirty_;
    // One undo record per savepoint: each page's transaction state before its first change
    // under that savepoint (null: the page was not dirty), and the page count at its start.
    struct Savepoint {
        std::uint32_t pageCount = 0;
        std::map<std::uint32_t, std::shared_ptr<PageBytes>> before;
    };
    std::vector<Savepoint> savepoints_;
    void remember(std::uint32_t page);
    // The checks and the savepoint record of a change to an existing page.
    void startChange(std::uint32_t page);
    FaultHook faultHook_;
};

inline ByteSpan bytesOf(const PageRef& page) {
    return ByteSpan(page->data(), page->size());
}

} // namespace jet
