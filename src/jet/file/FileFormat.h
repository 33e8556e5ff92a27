#pragma once
// The layout facts that differ between Access 97 (Jet 3) and Access 2000-2003 (Jet 4) files:
// page size, header, table definition, data page and row offsets, text encoding. The page
// file holds the format of the file it opened; readers ask it instead of using constants.
#include "core/TextEncoding.h"
#include "jet/file/Bytes.h"

#include <cstdint>
#include <string>
#include <string_view>

namespace jet {

enum class JetVersion : std::uint8_t { Jet3, Jet4 };

struct FileFormat {
    JetVersion version = JetVersion::Jet4;
    std::size_t pageSize = 4096;

    struct Header {
        std::size_t obscuredLength = 128; // RC4-obscured bytes from 0x18
        std::size_t sortOrder = 0x6E;
        std::size_t sortOrderSize = 4;
        std::size_t passwordLength = 40;
        bool passwordMaskedByDate = true; // Jet 4 XORs the password with its creation date
        bool hasCreationDate = true;
    } header;

    struct DataPage {
        std::size_t rowCount = 12;
        std::size_t firstOffset = 14;
    } dataPage;

    struct Definition {
        std::size_t rowCount = 16;
        std::size_t autoNumber = 20;
        std::size_t tableType = 40;
        std::size_t maxColumns = 41;
        std::size_t variableColumns = 43;
        std::size_t columnCount = 45;
        std::size_t logicalIndexCount = 47;
        std::size_t realIndexCount = 51;
        std::size_t usageMap = 55;
        std::size_t freeMap = 59;
        std::size_t realIndexStart = 63;
        std::size_t realIndexEntry = 12;
        std::size_t nameLengthSize = 2;
        // A column entry.
        std::size_t columnEntry = 25;
        std::size_t columnNumber = 5;
        std::size_t columnVarIndex = 7;
        std::size_t columnDisplayIndex = 9;
        std::size_t columnPrecision = 11; // numeric: precision, then scale
        std::size_t columnSortOrder = 11; // text and memo
        std::size_t columnCodePage = 13;
        std::size_t columnFlags = 15;
        std::size_t columnMiscFlags = 16; // 0 when the version has none
        std::size_t columnFixedOffset = 21;
        std::size_t columnSize = 23;
        std::size_t columnSortVersion = 0; // u16 (Jet 3); 0 when the version has none
        // An index data entry (the B-tree) and a logical index entry.
        std::size_t indexDataEntry = 52;
        std::size_t indexDataColumns = 4;
        std::size_t indexDataUsageMap = 34;
        std::size_t indexDataFirstPage = 38;
        std::size_t indexDataFlags = 46;
        std::size_t logicalIndexEntry = 28;
        std::size_t logicalIndexStart = 4; // the entry's fields after its leading bytes
    } definition;

    struct Row {
        std::size_t countSize = 2;  // column count and variable column count
        std::size_t offsetSize = 2; // each variable column offset
    } row;

    // ---- Index pages (type 0x03 intermediate, 0x04 leaf) ----
    // A fixed header, a bitmap marking where each entry ends, then the entries. Offsets
    // count from the start of the page; an offset of 0 marks a field the version lacks.
    struct IndexPageLayout {
        std::size_t freeSpace = 2;        // u16: bytes left after the last entry
        std::size_t owner = 4;            // u32: the table's definition page
        std::size_t reserved = 8;         // u32: unknown, kept as found
        std::size_t previous = 12;        // u32: neighbour on the same level
        std::size_t next = 16;            // u32
        std::size_t tail = 20;            // u32: intermediate pages only, the last child
        std::size_t prefixLength = 24;    // leading bytes every entry shares
        std::size_t prefixLengthSize = 2; // bytes of prefixLength
        std::size_t flags = 26;           // u8: unknown, kept as found
        std::size_t entryMask = 27;
        std::size_t entryMaskSize = 453;
        std::size_t firstEntry() const { return entryMask + entryMaskSize; }
    } indexPage;
    // The longest prefix the header can give as shared by a page's entries.
    std::size_t maxIndexPrefix() const {
        return (std::size_t(1) << (8 * indexPage.prefixLengthSize)) - 1;
    }
    // Bytes the entries of one index page may take.
    std::size_t indexEntryCapacity() const { return pageSize - indexPage.firstEntry(); }
    // The longest key the engine writes: every page must hold at least three entries (with
    // their 4-byte row and child pointers) so that a split leaves two non-empty halves.
    std::size_t maxIndexKeySize() const { return indexEntryCapacity() / 3 - 8; }
    // Text keys follow the General sort order of Access 97 (Jet 3) rather than Jet 4's.
    bool generalSort97 = false;
    // ---- end of index pages ----

    // Usage map pages: the bitmap follows a 4-byte header.
    std::uint32_t pagesPerMapPage() const { return std::uint32_t(pageSize - 4) * 8; }

    // ---- Writing rows (text, row size, what this version may change) ----
    struct Write {
        std::size_t maxRowSize = 4060; // a row's bytes, trailer and null mask included
        std::size_t textCharSize = 2;  // bytes per character in a text column's size
        // Memo and OLE data of at most this many bytes may follow its reference in the row.
        std::size_t maxInlineLongValue = 64;
    } write;

    // ---- Writing table definitions and catalog rows ----
    // What a writer puts where the reader needs nothing: constants and marks Access writes.
    // An offset of 0 marks a field the version lacks.
    struct DefinitionWrite {
        bool freeSpaceCount = true;  // Jet 4 counts a page's free bytes at 2; Jet 3 writes "VC"
        std::size_t tableMagic = 12; // u32 0x0659 in the header
        std::size_t tableMark = 24;  // u8 1, set in every table
        std::size_t columnMagic = 1; // u32 0x0659 in each column entry
        // Jet 3 gives every column, not only text, the sort order and the code page.
        bool sortOrderOnEveryColumn = false;
        std::uint16_t textCodePage = 0;          // the code page field of a text column
        std::uint16_t sortVersion = 0;           // the sort version of a new column
        bool compressedText = true;              // text columns may store compressed Unicode
        bool decimal = true;                     // the Decimal (numeric) type exists
        const char* propertySignature = "MR2";   // leads a property blob (LvProp)
        bool unicodeNames = true;                // names in property blobs: UTF-16 or 8-bit
        std::uint8_t ownerSid[2] = {0x65, 0x89}; // MSysObjects.Owner of a new object
    } definitionWrite;
    // Names in a definition or property blob as the file stores them; throws for a
    // character the file cannot hold.
    core::Bytes encodeName(std::string_view name) const;
    // ---- end of writing table definitions ----

    // Text as the file stores it: Jet 4 UCS-2 (compressed when asked and worth it), Jet 3
    // the file's code page; or the first character it has no place for.
    core::EncodedText encodeText(std::string_view text, bool compress) const;

    // Text as the file stores it (Jet 4: UCS-2, maybe compressed; Jet 3: the file's 8-bit
    // code page), as UTF-8.
    std::string decodeText(ByteSpan bytes) const;

    static const FileFormat& jet3();
    static const FileFormat& jet4();
    // The format page 0 names by its version byte; Jet 4 for anything that is not Jet 3, so
    // the header's own check refuses what is neither.
    static const FileFormat& of(ByteSpan headerStart);
};

} // namespace jet
