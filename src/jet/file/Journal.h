#pragma once
// The rollback journal "<file>-journal": before a commit touches the database it saves the
// original size and the original bytes of every page it will overwrite, so an interrupted
// commit can be undone the next time the file is opened. A writer keeps the journal file for
// as long as it has the database open and ends each commit by voiding the journal's header,
// which costs a write and a sync where creating and deleting the file cost two of each.
#include "jet/file/CommitStep.h"
#include "jet/file/OsFile.h"
#include "jet/file/PageFormat.h"

#include <array>
#include <filesystem>
#include <memory>
#include <span>
#include <vector>

namespace jet {

namespace journal {
// Header: magic, version, page size, original byte size, original page count, record count,
// then (from version 2) the identity: byte size after the commit, CRC-32 of the first page
// before and after it; (from version 3) the commit's salt; last the CRC-32 of the header.
// Record: page number, the page's original bytes as stored on disk, CRC-32 of both started
// from the salt, so that a record an earlier commit left in a reused journal never passes for
// one of this commit. All numbers little-endian.
inline constexpr std::array<std::uint8_t, 8> kMagic{'T', 'b', 'J', 'o', 'u', 'r', '\r', '\n'};
inline constexpr std::uint32_t kVersion = 3;
inline constexpr std::size_t kHeaderSize = 56;
// Earlier versions are still rolled back: 2 had no salt, 1 no identity either.
inline constexpr std::uint32_t kVersionWithoutSalt = 2;
inline constexpr std::size_t kHeaderSizeWithoutSalt = 52;
inline constexpr std::uint32_t kVersionWithoutIdentity = 1;
inline constexpr std::size_t kHeaderSizeWithoutIdentity = 36;
// A record of a Jet 4 file's 4 KiB pages; a Jet 3 file's 2 KiB pages make shorter ones.
inline constexpr std::size_t recordSize(std::size_t pageSize) {
    return 4 + pageSize + 4;
}
inline constexpr std::size_t kRecordSize = recordSize(kPageSize);
// The page sizes a journal may name.
inline constexpr bool knownPageSize(std::size_t pageSize) {
    return pageSize == 2048 || pageSize == kPageSize;
}
} // namespace journal

std::filesystem::path journalPathFor(const std::filesystem::path& database);

// What a journal knows of the file it was written for, so that it is never rolled back into
// another one left under that name (a file renamed or copied over): the file's size and its
// first page must be as they were before the commit or as the commit made them.
struct JournalIdentity {
    std::uint64_t originalSize = 0;
    std::uint64_t finalSize = 0;
    std::uint32_t originalHeader = 0; // CRC-32 of the first page's bytes before the commit
    std::uint32_t finalHeader = 0;    // and as the commit writes it
};

// The CRC-32 of the first page of `database` as it is on disk (fewer bytes when shorter).
std::uint32_t headerPageChecksum(const OsFile& database, std::size_t pageSize);

// Writes one commit's journal into the journal file, over whatever an earlier commit left
// there. Nothing may touch the database before seal() returns.
class JournalWriter {
public:
    // Writes the header, which promises `records` records and names the database the commit
    // changes; `salt` must differ from the salt of the journal's earlier commits.
    JournalWriter(OsFile& file, const JournalIdentity& identity, std::uint32_t records,
                  std::uint32_t salt, CommitSteps& steps, std::size_t pageSize = kPageSize);

    // `original` is one page of the journal's page size.
    void add(std::uint32_t page, std::span<const std::uint8_t> original);
    // Makes the journal durable.
    void seal();

private:
    OsFile& file_;
    std::uint32_t promised_;
    std::uint32_t salt_;
    std::uint32_t written_ = 0;
    CommitSteps& steps_;
    std::size_t pageSize_;
    std::vector<std::uint8_t> record_;
};

// Voids the journal's header once the commit it was written for is durable, so that it is
// never rolled back; the caller's sync of the journal then makes the commit durable.
void voidJournal(OsFile& file, CommitSteps& steps);

// Whether a journal beside the database holds a whole header, so that opening the database
// may roll a change back (a void or cut-off journal is only deleted).
bool journalPending(const std::filesystem::path& database);

enum class JournalOutcome {
    None,       // there was no journal
    Discarded,  // incomplete: the commit died before touching the database
    RolledBack, // complete: the original pages and size were put back
};

// Settles a journal left by an interrupted commit and deletes it. The caller holds the
// database's write lock, so no live commit owns the journal. Safe to repeat after a crash
// part-way through: putting the same original bytes back twice changes nothing. A complete
// journal written for another file is left alone, with core::IoError saying so.
JournalOutcome settleJournal(OsFile& database, const std::filesystem::path& path);

} // namespace jet
