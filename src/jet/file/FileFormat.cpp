#include "jet/file/FileFormat.h"

#include "core/Error.h"
#include "core/TextEncoding.h"

#include <string_view>

namespace jet {

namespace {

constexpr std::size_t kVersionByte = 0x14;
constexpr std::uint8_t kJet3Version = 0x00;

// Index pages: no reserved word after the owner, a one-byte prefix length, a 226-byte entry
// bitmap; text keys in the Access 97 General sort order.
void setJet3Indexes(FileFormat& f) {
    f.indexPage = {.freeSpace = 2,
                   .owner = 4,
                   .reserved = 0,
                   .previous = 8,
                   .next = 12,
                   .tail = 16,
                   .prefixLength = 20,
                   .prefixLengthSize = 1,
                   .flags = 21,
                   .entryMask = 22,
                   .entryMaskSize = 226};
    f.generalSort97 = true;
}

FileFormat makeJet3() {
    FileFormat f;
    f.version = JetVersion::Jet3;
    f.pageSize = 2048;
    f.write = {.maxRowSize = 2012, .textCharSize = 1, .maxInlineLongValue = 32};
    f.header = {.obscuredLength = 126,
                .sortOrder = 0x3A,
                .sortOrderSize = 2,
                .passwordLength = 20,
                .passwordMaskedByDate = false,
                .hasCreationDate = false};
    f.dataPage = {.rowCount = 8, .firstOffset = 10};
    auto& d = f.definition;
    d.rowCount = 12;
    d.autoNumber = 16;
    d.tableType = 20;
    d.maxColumns = 21;
    d.variableColumns = 23;
    d.columnCount = 25;
    d.logicalIndexCount = 27;
    d.realIndexCount = 31;
    d.usageMap = 35;
    d.freeMap = 39;
    d.realIndexStart = 43;
    d.realIndexEntry = 8;
    d.nameLengthSize = 1;
    d.columnEntry = 18;
    d.columnNumber = 1;
    d.columnVarIndex = 3;
    d.columnDisplayIndex = 5;
    d.columnPrecision = 11;
    d.columnSortOrder = 9;
    d.columnCodePage = 11;
    d.columnFlags = 13;
    d.columnMiscFlags = 0;
    d.columnFixedOffset = 14;
    d.columnSize = 16;
    d.columnSortVersion = 7;
    d.indexDataEntry = 39;
    d.indexDataColumns = 0;
    d.indexDataUsageMap = 30;
    d.indexDataFirstPage = 34;
    d.indexDataFlags = 38;
    d.logicalIndexEntry = 20;
    d.logicalIndexStart = 0;
    f.definitionWrite = {.freeSpaceCount = false,
                         .tableMagic = 0,
                         .tableMark = 0,
                         .columnMagic = 0,
                         .sortOrderOnEveryColumn = true,
                         .textCodePage = 1252,
                         .sortVersion = 1,
                         .compressedText = false,
                         .decimal = false,
                         .propertySignature = "KKD",
                         .unicodeNames = false,
                         .ownerSid = {0x03, 0x01}};
    f.row = {.countSize = 1, .offsetSize = 1};
    setJet3Indexes(f);
    return f;
}

} // namespace

const FileFormat& FileFormat::jet3() {
    static const FileFormat format = makeJet3();
    return format;
}

const FileFormat& FileFormat::jet4() {
    static const FileFormat format;
    return format;
}

const FileFormat& FileFormat::of(ByteSpan start) {
    static constexpr std::string_view kJet = "Standard Jet DB";
    if (start.size() <= kVersionByte) return jet4();
    std::string_view engine(reinterpret_cast<const char*>(start.data()) + 4, kJet.size());
    if (engine == kJet && start[kVersionByte] == kJet3Version) return jet3();
    return jet4();
}

core::EncodedText FileFormat::encodeText(std::string_view text, bool compress) const {
    if (version == JetVersion::Jet3) return core::utf8ToWindows1252Text(text);
    return {core::encodeJetText(text, compress), std::nullopt};
}

core::Bytes FileFormat::encodeName(std::string_view name) const {
    if (definitionWrite.unicodeNames) return core::utf8ToUtf16le(name);
    core::EncodedText encoded = encodeText(name, false);
    if (encoded.missing)
        throw core::SqlError("The name '" + std::string(name) +
                             "' has a character an Access 97 database cannot hold.");
    return std::move(encoded.bytes);
}

std::string FileFormat::decodeText(ByteSpan bytes) const {
    if (version == JetVersion::Jet3) return core::windows1252TextToUtf8(bytes);
    return core::decodeJetText(bytes);
}

} // namespace jet
