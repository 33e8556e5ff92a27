// Every table definition of every sample file, Access 2000's and Access 97's: parsed, written
// again and parsed back to the same schema, and compared byte for byte, page headers
// included, with what Access wrote.
#include "CodecSupport.h"
#include "common/Samples.h"
#include "jet/Database.h"
#include "jet/schema/TableDefinition.h"
#include "jet/schema/TableDefinitionWriter.h"

#include <gtest/gtest.h>

#include <iostream>

namespace {

using jet::u16;
using jet::u32;

// The pages of a definition chain, first to last.
std::vector<std::uint32_t> chainOf(const jet::PageFile& file, std::uint32_t first) {
    std::vector<std::uint32_t> chain;
    for (std::uint32_t page = first; page != 0 && chain.size() < 64;) {
        chain.push_back(page);
        page = u32(jet::bytesOf(file.read(page)), jet::tdef::kNextPage);
    }
    return chain;
}

// Byte ranges of a definition where Access leaves whatever its memory held: most of the
// header's reserved block (Jet 4), the first word of each index count entry, the order byte
// of unused index column slots and four bytes before each physical index's flags (Jet 4).
// The encoder writes zeros there.
std::vector<std::pair<std::size_t, std::size_t>>
leftoverRanges(const jet::TableSchema& t, jet::ByteSpan d, const jet::FileFormat& format) {
    const auto& f = format.definition;
    const bool jet4 = format.version == jet::JetVersion::Jet4;
    std::vector<std::pair<std::size_t, std::size_t>> ranges;
    if (jet4) ranges.emplace_back(28, 40);
    std::size_t off = f.realIndexStart;
    for (std::size_t i = 0; i < t.indexData.size(); ++i, off += f.realIndexEntry)
        ranges.emplace_back(off, off + 4);
    off += f.columnEntry * t.columns.size();
    for (std::size_t i = 0; i < t.columns.size(); ++i)
        off += f.nameLengthSize + (f.nameLengthSize == 1 ? d[off] : u16(d, off));
    for (std::size_t i = 0; i < t.indexData.size(); ++i, off += f.indexDataEntry) {
        for (std::size_t slot = t.indexData[i].columns.size(); slot < jet::tdef::kIndexColumnSlots;
             ++slot)
            ranges.emplace_back(off + f.indexDataColumns + 2 + 3 * slot,
                                off + f.indexDataColumns + 3 + 3 * slot);
        if (jet4) ranges.emplace_back(off + 42, off + 46);
    }
    return ranges;
}

// Names the part of a definition a byte belongs to, for failure messages.
std::string placeOf(const jet::TableSchema& t, jet::ByteSpan d, std::size_t at,
                    const jet::FileFormat& format) {
    const auto& f = format.definition;
    auto nameSize = [&](std::size_t off) -> std::size_t {
        return f.nameLengthSize + (f.nameLengthSize == 1 ? d[off] : u16(d, off));
    };
    auto entry = [&](const char* what, std::size_t start, std::size_t size,
                     std::size_t count) -> std::string {
        if (at < start || at >= start + size * count) return {};
        return std::string(what) + " " + std::to_string((at - start) / size) + " +" +
               std::to_string((at - start) % size);
    };
    if (at < f.realIndexStart) return "header +" + std::to_string(at);
    std::size_t off = f.realIndexStart;
    if (auto s = entry("index count", off, f.realIndexEntry, t.indexData.size()); !s.empty())
        return s;
    off += f.realIndexEntry * t.indexData.size();
    if (auto s = entry("column", off, f.columnEntry, t.columns.size()); !s.empty()) return s;
    off += f.columnEntry * t.columns.size();
    for (std::size_t i = 0; i < t.columns.size(); ++i) off += nameSize(off);
    if (at < off) return "column names";
    if (auto s = entry("index data", off, f.indexDataEntry, t.indexData.size()); !s.empty())
        return s;
    off += f.indexDataEntry * t.indexData.size();
    if (auto s = entry("logical index", off, f.logicalIndexEntry, t.indexes.size()); !s.empty())
        return s;
    off += f.logicalIndexEntry * t.indexes.size();
    for (std::size_t i = 0; i < t.indexes.size(); ++i) off += nameSize(off);
    if (at < off) return "index names";
    return "after the index names +" + std::to_string(at - off);
}

bool inRanges(std::size_t at, const std::vector<std::pair<std::size_t, std::size_t>>& ranges) {
    for (auto [from, to] : ranges)
        if (at >= from && at < to) return true;
    return false;
}

struct DefinitionTally {
    std::size_t tables = 0;
    std::size_t multiPage = 0;
    std::size_t identical = 0; // every byte of every page up to the definition's end
    std::size_t identicalButLeftovers = 0;
};

void checkDefinition(const jet::PageFile& file, const jet::CatalogEntry& entry,
                     DefinitionTally& tally) {
    SCOPED_TRACE("table " + entry.name);
    const jet::FileFormat& format = file.format();
    const std::uint32_t first = entry.definitionPage();
    const auto original = jet::readDefinitionBytes(file, first);
    const auto schema = jet::parseTableDefinition(original, first, format);
    const auto maps = jet::readLongValueUsageMaps(original, format);
    const core::Bytes encoded = jet::encodeTableDefinition(schema, maps, format);

    const auto back = jet::parseTableDefinition(encoded, first, format);
    EXPECT_EQ(codec_test::schemaDifference(schema, back), "");
    EXPECT_EQ(jet::readLongValueUsageMaps(encoded, format), maps);
    const std::uint32_t length = u32(original, jet::tdef::kLength);
    EXPECT_EQ(encoded.size(), length);
    ++tally.tables;

    const auto chain = chainOf(file, first);
    ASSERT_EQ(jet::definitionPageCount(encoded, format), chain.size());
    if (chain.size() > 1) ++tally.multiPage;
    const auto pages = jet::splitDefinition(encoded, chain, format);
    // The pages as readDefinitionBytes joins them, and each continuation page's header.
    const auto pageEnd = static_cast<std::ptrdiff_t>(format.pageSize);
    core::Bytes joined(pages[0].begin(), pages[0].begin() + pageEnd);
    bool headersMatch = true;
    for (std::size_t p = 1; p < pages.size(); ++p) {
        joined.insert(joined.end(), pages[p].begin() + 8, pages[p].begin() + pageEnd);
        auto real = file.read(chain[p]);
        headersMatch &= std::equal(pages[p].begin(), pages[p].begin() + 8, real->begin());
    }
    EXPECT_TRUE(headersMatch) << "continuation page headers differ";

    const auto leftovers = leftoverRanges(schema, original, format);
    const std::size_t end = std::min<std::size_t>({length, joined.size(), original.size()});
    bool exact = headersMatch && encoded.size() == length;
    bool apartFromLeftovers = exact;
    for (std::size_t i = 0; i < end; ++i) {
        if (joined[i] == original[i]) continue;
        exact = false;
        if (inRanges(i, leftovers)) continue;
        apartFromLeftovers = false;
        ADD_FAILURE() << "byte " << i << " (" << placeOf(schema, original, i, format) << ") is "
                      << +joined[i] << ", Access wrote " << +original[i];
        break;
    }
    tally.identical += exact;
    tally.identicalButLeftovers += apartFromLeftovers;
}

// Checks every definition of the files and reports how many matched Access's bytes.
DefinitionTally checkFiles(const std::vector<std::filesystem::path>& files, const char* kind) {
    DefinitionTally tally;
    for (const auto& path : files) {
        SCOPED_TRACE(path.filename().string());
        auto db = jet::Database::open(path, codec_test::kSamplePassword);
        for (const auto& entry : db->catalog().entries())
            if (entry.isTable()) checkDefinition(db->pages(), entry, tally);
    }
    std::cout << "[ tdefs    ] " << tally.tables << " " << kind << " definitions ("
              << tally.multiPage << " over several pages): " << tally.identical
              << " byte-identical, " << tally.identicalButLeftovers
              << " identical apart from bytes Access leaves unset\n";
    EXPECT_GT(tally.multiPage, 0u);
    EXPECT_EQ(tally.identicalButLeftovers, tally.tables);
    return tally;
}

TEST(SampleDefinitions, EveryDefinitionIsWrittenAsAccessWroteIt) {
    REQUIRE_SAMPLES();
    EXPECT_GT(checkFiles(codec_test::sampleFiles(), "Access 2000").tables, 100u);
}

TEST(SampleDefinitions, EveryAccess97DefinitionIsWrittenAsAccessWroteIt) {
    REQUIRE_SAMPLES();
    std::vector<std::filesystem::path> files;
    for (const auto& entry :
         std::filesystem::directory_iterator(testing_support::samplesDir() / "jet3"))
        if (entry.path().extension() == ".mdb") files.push_back(entry.path());
    EXPECT_GT(checkFiles(files, "Access 97").tables, 40u);
}

} // namespace
