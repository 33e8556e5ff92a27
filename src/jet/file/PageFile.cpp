#include "jet/file/PageFile.h"

#include "core/Error.h"
#include "jet/file/Checksum.h"
#include "jet/file/Journal.h"
#include "jet/file/Rc4.h"

#include <algorithm>
#include <chrono>
#include <limits>
#include <string>

namespace jet {

namespace {
// Enough for a working set of 256 MiB; past that the cache starts again, which keeps a scan
// of a file larger than memory possible.
constexpr std::size_t kCacheBudgetPages = (256u << 20) / kPageSize;
// Jet 4 files stop at 2 GB; Jet 3 files, with half the page size, at 1 GB.
constexpr std::uint32_t kMaxPages =
    static_cast<std::uint32_t>((std::uint64_t(2) << 30) / kPageSize);

std::string quoted(const std::filesystem::path& path) {
    return "'" + path.string() + "'";
}

core::InUseError inUse(const std::filesystem::path& path) {
    return core::InUseError("Could not use " + quoted(path) + "; file already in use.");
}

using LockRange = OsFile::LockRange;
using Lock = OsFile::Lock;

// How long an open waits for another program's hold on the file to end: long enough for a
// statement's commit, short enough that a file held open by a window is reported in use.
constexpr std::chrono::milliseconds kLockPatience{1500};
// How long a commit waits for the readers that have the file open to finish: long enough for
// a dump or a check of a large file.
constexpr std::chrono::milliseconds kCommitPatience{5000};

// Lets readers back in once a commit ends, whether it succeeded or not.
struct PagesLockRelease {
    OsFile& file;
    ~PagesLockRelease() {
        try {
            file.unlock(LockRange::Pages);
        } catch (const core::Error&) {
        }
    }
};
} // namespace

std::unique_ptr<PageFile> PageFile::open(const std::filesystem::path& path, Access access) {
    if (access == Access::ReadWrite) {
        if (auto file = OsFile::openWritable(path))
            return std::unique_ptr<PageFile>(new PageFile(std::move(file), {}));
        return std::unique_ptr<PageFile>(new PageFile(
            std::make_unique<OsFile>(path, OsFile::Mode::ReadOnly),
            "cannot be written: the file is read-only or this user may not change it"));
    }
    return std::unique_ptr<PageFile>(new PageFile(
        std::make_unique<OsFile>(path, OsFile::Mode::ReadOnly), "was opened for reading only"));
}

std::unique_ptr<PageFile> PageFile::create(const std::filesystem::path& path,
                                           const FileFormat& format) {
    auto file = std::make_unique<OsFile>(path, OsFile::Mode::CreateNew);
    // Readers wait for the first commit too: until then the file is not yet a database.
    if (!file->tryLock(LockRange::Writer, Lock::Exclusive) ||
        !file->tryLock(LockRange::Pages, Lock::Exclusive))
        throw inUse(path);
    // A journal left beside a file of this name that was since deleted belongs to nothing;
    // rolling it into the new file would write someone else's pages into it.
    removeFile(journalPathFor(path));
    syncFolderOf(path);
    std::unique_ptr<PageFile> created(new PageFile(std::move(file), {}));
    created->format_ = &format;
    return created;
}

PageFile::PageFile(std::unique_ptr<OsFile> file)
    : PageFile(std::move(file), "was opened for reading only") {}

PageFile::~PageFile() {
    closeJournal();
}

PageFile::PageFile(std::unique_ptr<OsFile> file, std::string readOnlyReason)
    : file_(std::move(file)) {
    std::array<std::uint8_t, 0x20> start{};
    if (file_->readAt(0, start) == start.size()) format_ = &FileFormat::of(start);
    if (file_->writable() && !folderAcceptsWrites(file_->path()))
        readOnlyReason_ = "cannot be written: its folder is read-only, so no journal can be kept";
    else if (!file_->writable())
        readOnlyReason_ = std::move(readOnlyReason);
    if (writable())
        settleAsWriter();
    else
        settleAsReader();
    loadSize();
}

// The writer keeps other writers out while it has the file open; readers it keeps out only
// while it changes pages: rolling back a crash's journal here, and each commit.
void PageFile::settleAsWriter() {
    if (!file_->lockWithin(LockRange::Writer, Lock::Exclusive, kLockPatience)) throw inUse(path());
    const auto journal = journalPathFor(path());
    if (!fileExists(journal)) return;
    if (!file_->lockWithin(LockRange::Pages, Lock::Exclusive, kLockPatience)) throw inUse(path());
    recovered_ = settleJournal(*file_, journal) == JournalOutcome::RolledBack;
    file_->unlock(LockRange::Pages);
}

// A reader shares the pages' lock for as long as it has the file open, so no commit changes
// pages under it: without it a reader saw half of a commit and called it damage. A writer
// that merely has the file open does not keep it out.
void PageFile::settleAsReader() {
    auto journal = journalPathFor(path());
    for (int attempt = 0;; ++attempt) {
        if (!file_->lockWithin(LockRange::Pages, Lock::Shared, kLockPatience)) throw inUse(path());
        // Under the shared lock no commit is running, so a journal with a whole header is a
        // crash's; a void one belongs to a writer between commits, or to one that ended.
        if (!journalPending(path())) return;
        // Undoing it takes the pages' lock for writing, which our own shared one would block.
        file_->unlock(LockRange::Pages);
        // A journal back at once after being settled is a writer crashing over and over.
        if (attempt == 2) throw inUse(path());
        rollBackForReader(journal);
    }
}

void PageFile::rollBackForReader(const std::filesystem::path& journal) {
    auto writer = folderAcceptsWrites(path()) ? OsFile::openWritable(path()) : nullptr;
    if (!writer)
        throw core::IoError("The database " + quoted(path()) +
                            " was left half-saved by an interrupted change and needs recovery: "
                            "open it for writing (the file and its folder must be writable) so "
                            "the change can be rolled back.");
    // A journal whose writer still has the file open is its own to settle, not ours.
    if (!writer->lockWithin(LockRange::Writer, Lock::Exclusive, kLockPatience) ||
        !writer->lockWithin(LockRange::Pages, Lock::Exclusive, kLockPatience))
        throw inUse(path());
    if (settleJournal(*writer, journal) == JournalOutcome::RolledBack) recovered_ = true;
}

void PageFile::loadSize() {
    committedSize_ = file_->size();
    committedPages_ = static_cast<std::uint32_t>(std::min<std::uint64_t>(
        committedSize_ / pageSize(), std::numeric_limits<std::uint32_t>::max()));
    pageCount_ = committedPages_;
    dropCache();
}

void PageFile::dropCache() const {
    cache_.assign(committedPages_, nullptr);
    cachedPages_ = 0;
}

void PageFile::setEncodingKey(std::optional<std::array<std::uint8_t, 4>> key) {
    key_ = key;
    dropCache();
}

void PageFile::encode(std::uint32_t page, std::span<std::uint8_t> bytes) const {
    if (!key_ || page == 0) return;
    std::array<std::uint8_t, 4> pageKey = *key_;
    for (int i = 0; i < 4; ++i) pageKey[i] ^= static_cast<std::uint8_t>(page >> (8 * i));
    rc4Apply(pageKey, bytes.first(pageSize()));
}

void PageFile::requireIntact() const {
    if (!broken_.empty()) throw core::IoError(broken_);
}

void PageFile::requireWritable() const {
    requireIntact();
    if (!writable())
        throw core::IoError("The database is read-only: " + quoted(path()) + " " + readOnlyReason_ +
                            ".");
}

void PageFile::requireTransaction() const {
    if (!inTransaction_)
        throw core::Error("Internal error: a page was changed outside a transaction.");
}

PageRef PageFile::read(std::uint32_t page) const {
    requireIntact();
    if (page >= pageCount_)
        throwDamaged("page " + std::to_string(page) + " lies beyond the end of the file");
    if (const auto& changed = dirty_.find(page)) return changed;
    if (page >= cache_.size())
        throw core::Error("Internal error: page " + std::to_string(page) +
                          " was counted but never written.");
    if (auto& cached = cache_[page]) return cached;
    if (cachedPages_ >= kCacheBudgetPages) dropCache();
    auto bytes = std::make_shared<PageBytes>();
    std::size_t got =
        file_->readAt(std::uint64_t(page) * pageSize(), std::span(bytes->data(), pageSize()));
    if (got != pageSize()) throwDamaged("page " + std::to_string(page) + " is cut short");
    encode(page, *bytes); // RC4 is its own inverse
    cache_[page] = bytes;
    ++cachedPages_;
    return bytes;
}

void PageFile::visitPages(std::span<const std::uint32_t> pages,
                          const std::function<void(std::uint32_t, ByteSpan)>& visit) const {
    // Pages the transaction changed, and pages already cached, come as read() gives them; runs
    // of the others are read from the file into one buffer.
    constexpr std::size_t kRunPages = 64;
    auto onDisk = [&](std::uint32_t page) {
        return page < cache_.size() && !cache_[page] && !dirty_.contains(page);
    };
    std::vector<std::uint8_t> buffer;
    for (std::size_t i = 0; i < pages.size();) {
        const std::uint32_t first = pages[i];
        if (!onDisk(first)) {
            const PageRef page = read(first);
            visit(first, bytes(page));
            ++i;
            continue;
        }
        requireIntact();
        std::size_t run = 1;
        while (run < kRunPages && i + run < pages.size() && pages[i + run] == first + run &&
               onDisk(first + static_cast<std::uint32_t>(run)))
            ++run;
        // Only as much room as the longest run so far: a call for a page or two fills no
        // 256 KB of zeros.
        if (buffer.size() < run * pageSize()) buffer.resize(run * pageSize());
        const std::span<std::uint8_t> into(buffer.data(), run * pageSize());
        if (file_->readAt(std::uint64_t(first) * pageSize(), into) != into.size())
            throwDamaged("page " + std::to_string(first + run - 1) + " is cut short");
        for (std::size_t k = 0; k < run; ++k) {
            const auto number = static_cast<std::uint32_t>(first + k);
            const std::span<std::uint8_t> page = into.subspan(k * pageSize(), pageSize());
            encode(number, page); // RC4 is its own inverse
            visit(number, page);
        }
        i += run;
    }
}

void PageFile::begin() {
    requireWritable();
    if (inTransaction_) throw core::Error("Internal error: a transaction is already open.");
    inTransaction_ = true;
}

void PageFile::startChange(std::uint32_t page) {
    requireWritable();
    requireTransaction();
    if (page >= pageCount_)
        throw core::Error("Internal error: page " + std::to_string(page) +
                          " written beyond the end of the file.");
    remember(page);
}

void PageFile::write(std::uint32_t page, const PageBytes& bytes) {
    startChange(page);
    const auto& slot = dirty_.find(page);
    // A page no reader holds any more can be overwritten in place; one that is still held
    // must stay as the reader saw it.
    if (slot && slot.use_count() == 1)
        *slot = bytes;
    else
        dirty_.set(page, std::make_shared<PageBytes>(bytes));
}

PageBytes& PageFile::modify(std::uint32_t page) {
    startChange(page);
    if (const auto& slot = dirty_.find(page); slot && slot.use_count() == 1) return *slot;
    auto copy = std::make_shared<PageBytes>(*read(page));
    PageBytes& bytes = *copy;
    dirty_.set(page, std::move(copy));
    return bytes;
}

std::uint32_t PageFile::append(const PageBytes& bytes) {
    requireWritable();
    requireTransaction();
    if (pageCount_ >= kMaxPages)
        throw core::IoError("The database " + quoted(path()) + " has reached its size limit of " +
                            std::to_string((std::uint64_t(kMaxPages) * pageSize()) >> 30) + " GB.");
    remember(pageCount_);
    dirty_.set(pageCount_, std::make_shared<PageBytes>(bytes));
    return pageCount_++;
}

void PageFile::remember(std::uint32_t page) {
    if (savepoints_.empty()) return;
    auto& before = savepoints_.back().before;
    if (before.count(page)) return;
    // Holding the pointer keeps write() from changing those bytes in place.
    before.emplace(page, dirty_.find(page));
}

void PageFile::beginSavepoint() {
    requireTransaction();
    savepoints_.push_back({pageCount_, {}});
}

void PageFile::releaseSavepoint() {
    if (savepoints_.empty()) throw core::Error("Internal error: no savepoint to release.");
    Savepoint inner = std::move(savepoints_.back());
    savepoints_.pop_back();
    // The enclosing savepoint must still be able to undo what the inner one saw first.
    if (!savepoints_.empty())
        for (auto& [page, bytes] : inner.before) savepoints_.back().before.emplace(page, bytes);
}

void PageFile::rollbackToSavepoint() {
    if (savepoints_.empty()) throw core::Error("Internal error: no savepoint to roll back.");
    Savepoint sp = std::move(savepoints_.back());
    savepoints_.pop_back();
    for (auto& [page, bytes] : sp.before) {
        dirty_.set(page, bytes);
    }
    for (std::uint32_t page = sp.pageCount; page < pageCount_; ++page) dirty_.erase(page);
    pageCount_ = sp.pageCount;
}

void PageFile::rollback() {
    savepoints_.clear();
    dirty_.clear();
    pageCount_ = committedPages_;
    inTransaction_ = false;
}

void PageFile::commit() {
    requireIntact();
    requireTransaction();
    if (dirty_.empty() && pageCount_ == committedPages_) {
        inTransaction_ = false;
        return;
    }
    // Readers that have the file open finish first; new ones wait for the commit's end. (A
    // file just created holds this lock already.)
    if (!file_->lockWithin(LockRange::Pages, Lock::Exclusive, kCommitPatience)) {
        rollback();
        throw core::InUseError("Could not update " + quoted(path()) +
                               "; currently locked: another program is reading it.");
    }
    PagesLockRelease release{*file_};
    CommitSteps steps(faultHook_);
    auto journal = journalPathFor(path());
    try {
        writeJournal(steps, journal);
    } catch (...) {
        // The database is untouched; a journal left behind would only put back what is
        // already there, so failing to delete it does no harm.
        closeJournal();
        rollback();
        throw;
    }
    try {
        writePages(steps);
        steps.before(CommitStep::ResizeDatabase);
        file_->truncate(std::uint64_t(pageCount_) * pageSize());
        steps.before(CommitStep::SyncDatabase);
        file_->syncData();
    } catch (...) {
        restoreAfterFailedCommit(journal);
        throw;
    }
    // Voiding the journal is the commit point: until the void header is on disk a crash still
    // rolls the change back, and a failed sync leaves the change saved but unconfirmed.
    try {
        voidJournal(*journal_, steps);
    } catch (...) {
        restoreAfterFailedCommit(journal);
        throw;
    }
    finishCommit();
    try {
        steps.before(CommitStep::SyncVoidJournal);
        journal_->syncData();
    } catch (const core::Error& e) {
        throw core::IoError("The changes to " + quoted(path()) +
                            " were saved, but the system could not confirm that they reached "
                            "the disk: " +
                            e.what());
    }
}

void PageFile::writeJournal(CommitSteps& steps, const std::filesystem::path& journal) {
    // The pages the commit overwrites that hold data now. A file whose size is not a whole
    // number of pages also loses its partial last page to the resize, so that is kept too.
    std::vector<std::uint32_t> saved;
    for (std::uint32_t page : dirty_.pages()) {
        if (page >= committedPages_) break;
        saved.push_back(page);
    }
    if (committedSize_ % pageSize() != 0) saved.push_back(committedPages_);
    JournalIdentity identity;
    identity.originalSize = committedSize_;
    identity.finalSize = std::uint64_t(pageCount_) * pageSize();
    identity.originalHeader = headerPageChecksum(*file_, pageSize());
    const auto& header = dirty_.find(0); // the first page is never encoded
    identity.finalHeader =
        header ? crc32(std::span(header->data(), pageSize())) : identity.originalHeader;
    // The first commit makes the journal file, which then serves every later commit.
    const bool created = !journal_;
    if (created) {
        steps.before(CommitStep::CreateJournal);
        journal_ = std::make_unique<OsFile>(journal, OsFile::Mode::Replace);
    }
    JournalWriter writer(*journal_, identity, static_cast<std::uint32_t>(saved.size()),
                         ++journalSalt_, steps, pageSize());
    PageBytes buffer;
    const std::span<std::uint8_t> original(buffer.data(), pageSize());
    for (std::uint32_t page : saved) {
        buffer.fill(0);
        file_->readAt(std::uint64_t(page) * pageSize(), original);
        writer.add(page, original);
    }
    writer.seal();
    if (created) {
        steps.before(CommitStep::SyncFolderForJournal);
        syncFolderOf(journal);
    }
}

void PageFile::closeJournal() noexcept {
    // A void journal is harmless, so failing to delete one is no failure of the writer.
    if (!journal_) return;
    const auto path = journal_->path();
    journal_.reset();
    try {
        removeFile(path);
    } catch (const core::Error&) {
    }
}

void PageFile::writePages(CommitSteps& steps) {
    PageBytes stored;
    for (std::uint32_t page : dirty_.pages()) {
        stored = *dirty_.find(page);
        encode(page, stored);
        steps.before(CommitStep::WriteDatabasePage);
        file_->writeAt(std::uint64_t(page) * pageSize(), std::span(stored.data(), pageSize()));
    }
}

void PageFile::finishCommit() {
    committedPages_ = pageCount_;
    committedSize_ = std::uint64_t(pageCount_) * pageSize();
    cache_.resize(committedPages_);
    for (std::uint32_t page : dirty_.pages()) {
        auto& cached = cache_[page];
        if (!cached && cachedPages_ >= kCacheBudgetPages) continue;
        if (!cached) ++cachedPages_;
        cached = dirty_.find(page);
    }
    dirty_.clear();
    savepoints_.clear();
    inTransaction_ = false;
}

void PageFile::restoreAfterFailedCommit(const std::filesystem::path& journal) {
    rollback();
    // Settling deletes the journal file, so the next commit makes a new one.
    journal_.reset();
    try {
        settleJournal(*file_, journal);
        loadSize();
    } catch (const std::exception& e) {
        dropCache();
        broken_ = "The database " + quoted(path()) +
                  " could not be restored after a failed save (" + e.what() +
                  "); close it and open it again to finish the repair.";
    }
}

} // namespace jet
