#pragma once
// The rollback journal "<file>-journal": before a commit touches the database it saves the
// original size and the original bytes of every page it will overwrite, so an interrupted
// commit can be undone the next time the file is opened.
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
// before and after it; last the CRC-32 of the header. Record: page number, the page's
// original bytes as stored on disk, CRC-32 of both. All numbers little-endian.
inline constexpr std::array<std::uint8_t, 8> kMagic{'T', 'b', 'J', 'o', 'u', 'r', '\r', '\n'};
inline constexpr std::uint32_t kVersion = 2;
inline constexpr std::size_t kHeaderSize = 52;
// Version 1 had no identity; such journals are still rolled back.
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

// Writes one commit's journal. Nothing may touch the database before seal() returns.
class JournalWriter {
public:
    // Creates (or empties) the journal and writes its header, which promises `records`
    // records and names the database the commit changes.
    JournalWriter(const std::filesystem::path& path, const JournalIdentity& identity,
                  std::uint32_t records, CommitSteps& steps, std::size_t pageSize = kPageSize);

    // `original` is one page of the journal's page size.
    void add(std::uint32_t page, std::span<const std::uint8_t> original);
    // Makes the journal and its name in the folder durable.
    void seal();

private:
    std::filesystem::path path_;
    std::uint32_t promised_;
    std::uint32_t written_ = 0;
    CommitSteps& steps_;
    std::unique_ptr<OsFile> file_;
    std::size_t pageSize_;
    std::vector<std::uint8_t> record_;
};

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
