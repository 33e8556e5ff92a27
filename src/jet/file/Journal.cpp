#include "jet/file/Journal.h"

#include "core/Error.h"
#include "jet/file/Bytes.h"
#include "jet/file/Checksum.h"

#include <algorithm>
#include <optional>
#include <vector>

namespace jet {

namespace {

constexpr std::size_t kHeaderChecksum = journal::kHeaderSize - 4;

std::array<std::uint8_t, journal::kHeaderSize> encodeHeader(std::uint64_t originalSize,
                                                            std::uint32_t records) {
    std::array<std::uint8_t, journal::kHeaderSize> h{};
    std::copy(journal::kMagic.begin(), journal::kMagic.end(), h.begin());
    put32(h, 8, journal::kVersion);
    put32(h, 12, static_cast<std::uint32_t>(kPageSize));
    put64(h, 16, originalSize);
    put32(h, 24, static_cast<std::uint32_t>(originalSize / kPageSize));
    put32(h, 28, records);
    put32(h, kHeaderChecksum, crc32(std::span(h).first(kHeaderChecksum)));
    return h;
}

std::uint32_t recordChecksum(std::span<const std::uint8_t> record) {
    return crc32(record.first(4 + kPageSize));
}

struct Header {
    std::uint64_t originalSize = 0;
    std::uint32_t records = 0;
};

// The header, when it is whole and consistent with the journal's length.
std::optional<Header> readHeader(const OsFile& file) {
    std::array<std::uint8_t, journal::kHeaderSize> h{};
    if (file.readAt(0, h) != h.size()) return std::nullopt;
    ByteSpan b(h);
    if (!std::equal(journal::kMagic.begin(), journal::kMagic.end(), h.begin()) ||
        u32(b, 8) != journal::kVersion || u32(b, 12) != kPageSize ||
        u32(b, kHeaderChecksum) != crc32(b.first(kHeaderChecksum)))
        return std::nullopt;
    Header header{u64(b, 16), u32(b, 28)};
    if (u32(b, 24) != header.originalSize / kPageSize) return std::nullopt;
    std::uint64_t needed =
        journal::kHeaderSize + std::uint64_t(header.records) * journal::kRecordSize;
    if (file.size() < needed) return std::nullopt;
    return header;
}

// Reads record i into `record` and checks it; a page past the original end can only be the
// partial last page of a file whose size is not a whole number of pages.
bool readRecord(const OsFile& file, const Header& header, std::uint32_t i,
                std::span<std::uint8_t> record) {
    std::uint64_t at = journal::kHeaderSize + std::uint64_t(i) * journal::kRecordSize;
    if (file.readAt(at, record) != record.size()) return false;
    ByteSpan r(record.data(), record.size());
    if (u32(r, 4 + kPageSize) != recordChecksum(r)) return false;
    std::uint64_t pageEnd = (std::uint64_t(u32(r, 0)) + 1) * kPageSize;
    return pageEnd < header.originalSize + kPageSize;
}

void deleteJournal(const std::filesystem::path& path) {
    removeFile(path);
    syncFolderOf(path);
}

} // namespace

std::filesystem::path journalPathFor(const std::filesystem::path& database) {
    auto p = database;
    p += "-journal";
    return p;
}

JournalWriter::JournalWriter(const std::filesystem::path& path, std::uint64_t originalSize,
                             std::uint32_t records, CommitSteps& steps)
    : path_(path), promised_(records), steps_(steps) {
    steps_.before(CommitStep::CreateJournal);
    file_ = std::make_unique<OsFile>(path, OsFile::Mode::Replace);
    steps_.before(CommitStep::WriteJournalHeader);
    file_->writeAt(0, encodeHeader(originalSize, records));
}

void JournalWriter::add(std::uint32_t page, std::span<const std::uint8_t, kPageSize> original) {
    if (written_ == promised_)
        throw core::Error("Internal error: more journal records than the header promised.");
    put32(record_, 0, page);
    std::copy(original.begin(), original.end(), record_.begin() + 4);
    put32(record_, 4 + kPageSize, recordChecksum(record_));
    steps_.before(CommitStep::WriteJournalRecord);
    file_->writeAt(journal::kHeaderSize + std::uint64_t(written_) * journal::kRecordSize, record_);
    ++written_;
}

void JournalWriter::seal() {
    if (written_ != promised_)
        throw core::Error("Internal error: fewer journal records than the header promised.");
    steps_.before(CommitStep::SyncJournal);
    file_->sync();
    steps_.before(CommitStep::SyncFolderForJournal);
    syncFolderOf(path_);
}

JournalOutcome settleJournal(OsFile& database, const std::filesystem::path& path) {
    if (!fileExists(path)) return JournalOutcome::None;
    std::optional<Header> header;
    {
        OsFile file(path, OsFile::Mode::ReadOnly);
        header = readHeader(file);
        std::vector<std::uint8_t> record(journal::kRecordSize);
        // Every record is checked before any is applied: the database is only written after
        // the whole journal was on disk, so one bad record means the database is untouched.
        for (std::uint32_t i = 0; header && i < header->records; ++i)
            if (!readRecord(file, *header, i, record)) header.reset();
        if (header) {
            for (std::uint32_t i = 0; i < header->records; ++i) {
                if (!readRecord(file, *header, i, record))
                    throw core::IoError("The journal \"" + path.string() +
                                        "\" changed while it was being applied.");
                database.writeAt(std::uint64_t(u32(record, 0)) * kPageSize,
                                 std::span(record).subspan(4, kPageSize));
            }
            database.truncate(header->originalSize);
            database.sync();
        }
    }
    deleteJournal(path);
    return header ? JournalOutcome::RolledBack : JournalOutcome::Discarded;
}

} // namespace jet
