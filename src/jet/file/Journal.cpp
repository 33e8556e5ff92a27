#include "jet/file/Journal.h"

#include "core/Error.h"
#include "jet/file/Bytes.h"
#include "jet/file/Checksum.h"

#include <algorithm>
#include <optional>
#include <string>
#include <vector>

namespace jet {

namespace {

std::array<std::uint8_t, journal::kHeaderSize> encodeHeader(const JournalIdentity& identity,
                                                            std::uint32_t records,
                                                            std::uint32_t salt,
                                                            std::size_t pageSize) {
    std::array<std::uint8_t, journal::kHeaderSize> h{};
    std::copy(journal::kMagic.begin(), journal::kMagic.end(), h.begin());
    put32(h, 8, journal::kVersion);
    put32(h, 12, static_cast<std::uint32_t>(pageSize));
    put64(h, 16, identity.originalSize);
    put32(h, 24, static_cast<std::uint32_t>(identity.originalSize / pageSize));
    put32(h, 28, records);
    put64(h, 32, identity.finalSize);
    put32(h, 40, identity.originalHeader);
    put32(h, 44, identity.finalHeader);
    put32(h, 48, salt);
    constexpr std::size_t checksum = journal::kHeaderSize - 4;
    put32(h, checksum, crc32(std::span(h).first(checksum)));
    return h;
}

std::uint32_t recordChecksum(std::span<const std::uint8_t> record, std::uint32_t salt) {
    return crc32(record.first(record.size() - 4), salt);
}

struct Header {
    std::size_t pageSize = kPageSize;
    std::uint64_t originalSize = 0;
    std::uint32_t records = 0;
    std::size_t size = journal::kHeaderSize; // where the records start
    std::optional<JournalIdentity> identity; // none in version 1
    std::uint32_t salt = 0;                  // none before version 3
};

// The header, when it is whole and consistent with the journal's length.
std::optional<Header> readHeader(const OsFile& file) {
    std::array<std::uint8_t, journal::kHeaderSize> h{};
    const std::size_t got = file.readAt(0, h);
    if (got < 12) return std::nullopt;
    ByteSpan b(h);
    Header header;
    const std::uint32_t version = u32(b, 8);
    if (version == journal::kVersionWithoutIdentity)
        header.size = journal::kHeaderSizeWithoutIdentity;
    else if (version == journal::kVersionWithoutSalt)
        header.size = journal::kHeaderSizeWithoutSalt;
    else if (version != journal::kVersion)
        return std::nullopt;
    const std::size_t checksum = header.size - 4;
    if (got < header.size ||
        !std::equal(journal::kMagic.begin(), journal::kMagic.end(), h.begin()) ||
        !journal::knownPageSize(u32(b, 12)) || u32(b, checksum) != crc32(b.first(checksum)))
        return std::nullopt;
    header.pageSize = u32(b, 12);
    header.originalSize = u64(b, 16);
    header.records = u32(b, 28);
    if (u32(b, 24) != header.originalSize / header.pageSize) return std::nullopt;
    if (version != journal::kVersionWithoutIdentity)
        header.identity = JournalIdentity{header.originalSize, u64(b, 32), u32(b, 40), u32(b, 44)};
    if (version == journal::kVersion) header.salt = u32(b, 48);
    std::uint64_t needed =
        header.size + std::uint64_t(header.records) * journal::recordSize(header.pageSize);
    if (file.size() < needed) return std::nullopt;
    return header;
}

// Whether the database is the file the journal was written for, at some point of the
// commit or of an earlier, interrupted recovery: pages are written front to back, and the
// size only moves from the original towards the final one (or back, on recovery).
bool belongsTo(const JournalIdentity& identity, const OsFile& database, std::size_t pageSize) {
    const std::uint64_t size = database.size();
    if (size < std::min(identity.originalSize, identity.finalSize) ||
        size > std::max(identity.originalSize, identity.finalSize))
        return false;
    const std::uint32_t header = headerPageChecksum(database, pageSize);
    return header == identity.originalHeader || header == identity.finalHeader;
}

// Reads record i into `record` and checks it; a page past the original end can only be the
// partial last page of a file whose size is not a whole number of pages.
bool readRecord(const OsFile& file, const Header& header, std::uint32_t i,
                std::span<std::uint8_t> record) {
    const std::size_t pageSize = header.pageSize;
    std::uint64_t at = header.size + std::uint64_t(i) * journal::recordSize(pageSize);
    if (file.readAt(at, record) != record.size()) return false;
    ByteSpan r(record.data(), record.size());
    if (u32(r, 4 + pageSize) != recordChecksum(r, header.salt)) return false;
    std::uint64_t pageEnd = (std::uint64_t(u32(r, 0)) + 1) * pageSize;
    return pageEnd < header.originalSize + pageSize;
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

std::uint32_t headerPageChecksum(const OsFile& database, std::size_t pageSize) {
    std::array<std::uint8_t, kPageSize> buffer{};
    const std::span<std::uint8_t> page(buffer.data(), std::min(pageSize, buffer.size()));
    const std::size_t got = database.readAt(0, page);
    return crc32(std::span(page).first(got));
}

JournalWriter::JournalWriter(OsFile& file, const JournalIdentity& identity, std::uint32_t records,
                             std::uint32_t salt, CommitSteps& steps, std::size_t pageSize)
    : file_(file), promised_(records), salt_(salt), steps_(steps), pageSize_(pageSize),
      record_(journal::recordSize(pageSize)) {
    if (!journal::knownPageSize(pageSize))
        throw core::Error("Internal error: a journal for pages of " + std::to_string(pageSize) +
                          " bytes.");
    steps_.before(CommitStep::WriteJournalHeader);
    file_.writeAt(0, encodeHeader(identity, records, salt, pageSize));
}

void JournalWriter::add(std::uint32_t page, std::span<const std::uint8_t> original) {
    if (written_ == promised_)
        throw core::Error("Internal error: more journal records than the header promised.");
    if (original.size() != pageSize_)
        throw core::Error("Internal error: a journal record of the wrong page size.");
    put32(record_, 0, page);
    std::copy(original.begin(), original.end(), record_.begin() + 4);
    put32(record_, 4 + pageSize_, recordChecksum(record_, salt_));
    steps_.before(CommitStep::WriteJournalRecord);
    file_.writeAt(journal::kHeaderSize + std::uint64_t(written_) * record_.size(), record_);
    ++written_;
}

void JournalWriter::seal() {
    if (written_ != promised_)
        throw core::Error("Internal error: fewer journal records than the header promised.");
    steps_.before(CommitStep::SyncJournal);
    file_.syncData();
}

void voidJournal(OsFile& file, CommitSteps& steps) {
    // A header without its magic is no header: the records after it are never read again.
    steps.before(CommitStep::VoidJournal);
    file.writeAt(0, std::array<std::uint8_t, journal::kMagic.size()>{});
}

bool journalPending(const std::filesystem::path& database) {
    const auto path = journalPathFor(database);
    if (!fileExists(path)) return false;
    try {
        return readHeader(OsFile(path, OsFile::Mode::ReadOnly)).has_value();
    } catch (const core::Error&) {
        return true; // unreadable: opening the database will say what is wrong
    }
}

JournalOutcome settleJournal(OsFile& database, const std::filesystem::path& path) {
    if (!fileExists(path)) return JournalOutcome::None;
    std::optional<Header> header;
    {
        OsFile file(path, OsFile::Mode::ReadOnly);
        header = readHeader(file);
        std::vector<std::uint8_t> record(
            journal::recordSize(header ? header->pageSize : kPageSize));
        // Every record is checked before any is applied: the database is only written after
        // the whole journal was on disk, so one bad record means the database is untouched.
        for (std::uint32_t i = 0; header && i < header->records; ++i)
            if (!readRecord(file, *header, i, record)) header.reset();
        // An incomplete journal never touched any file, so deleting it harms none; a
        // complete one for another file is that file's only way back.
        if (header && header->identity && !belongsTo(*header->identity, database, header->pageSize))
            throw core::IoError(
                "The journal \"" + path.string() + "\" does not belong to \"" +
                database.path().string() +
                "\": it holds an interrupted change of another file (its size or first page "
                "differ), so it was left alone. If that file was renamed, give it back this "
                "name to finish its repair; otherwise move the journal away.");
        if (header) {
            for (std::uint32_t i = 0; i < header->records; ++i) {
                if (!readRecord(file, *header, i, record))
                    throw core::IoError("The journal \"" + path.string() +
                                        "\" changed while it was being applied.");
                database.writeAt(std::uint64_t(u32(record, 0)) * header->pageSize,
                                 std::span(record).subspan(4, header->pageSize));
            }
            database.truncate(header->originalSize);
            database.sync();
        }
    }
    deleteJournal(path);
    return header ? JournalOutcome::RolledBack : JournalOutcome::Discarded;
}

} // namespace jet
