// Every table definition of every sample file: parsed, written again and parsed back to the
// same schema, and compared byte for byte, page headers included, with what Access wrote.
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
// header's reserved block, the first word of each index count entry, the order byte of
// unused index column slots and four bytes before each physical index's flags. The encoder
// writes zeros there.
std::vector<std::pair<std::size_t, std::size_t>> leftoverRanges(const jet::TableSchema& t,
                                                                jet::ByteSpan d) {
    std::vector<std::pair<std::size_t, std::size_t>> ranges{{28, 40}};
    std::size_t off = jet::tdef::kRealIndexStart;
    for (std::size_t i = 0; i < t.indexData.size(); ++i, off += jet::tdef::kRealIndexEntry)
        ranges.emplace_back(off, off + 4);
    off += jet::tdef::kColumnEntry * t.columns.size();
    for (std::size_t i = 0; i < t.columns.size(); ++i) off += 2u + u16(d, off);
    for (std::size_t i = 0; i < t.indexData.size(); ++i, off += jet::tdef::kIndexDataEntry) {
        for (std::size_t slot = t.indexData[i].columns.size(); slot < jet::tdef::kIndexColumnSlots;
             ++slot)
            ranges.emplace_back(off + 6 + 3 * slot, off + 7 + 3 * slot);
        ranges.emplace_back(off + 42, off + 46);
    }
    return ranges;
}

// Names the part of a definition a byte belongs to, for failure messages.
std::string placeOf(const jet::TableSchema& t, jet::ByteSpan d, std::size_t at) {
    auto entry = [&](const char* what, std::size_t start, std::size_t size,
                     std::size_t count) -> std::string {
        if (at < start || at >= start + size * count) return {};
        return std::string(what) + " " + std::to_string((at - start) / size) + " +" +
               std::to_string((at - start) % size);
    };
    if (at < jet::tdef::kRealIndexStart) return "header +" + std::to_string(at);
    std::size_t off = jet::tdef::kRealIndexStart;
    if (auto s = entry("index count", off, jet::tdef::kRealIndexEntry, t.indexData.size());
        !s.empty())
        return s;
    off += jet::tdef::kRealIndexEntry * t.indexData.size();
    if (auto s = entry("column", off, jet::tdef::kColumnEntry, t.columns.size()); !s.empty())
        return s;
    off += jet::tdef::kColumnEntry * t.columns.size();
    for (std::size_t i = 0; i < t.columns.size(); ++i) off += 2u + u16(d, off);
    if (at < off) return "column names";
    if (auto s = entry("index data", off, jet::tdef::kIndexDataEntry, t.indexData.size());
        !s.empty())
        return s;
    off += jet::tdef::kIndexDataEntry * t.indexData.size();
    if (auto s = entry("logical index", off, jet::tdef::kLogicalIndexEntry, t.indexes.size());
        !s.empty())
        return s;
    off += jet::tdef::kLogicalIndexEntry * t.indexes.size();
    for (std::size_t i = 0; i < t.indexes.size(); ++i) off += 2u + u16(d, off);
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
    const std::uint32_t first = entry.definitionPage();
    const auto original = jet::readDefinitionBytes(file, first);
    const auto schema = jet::parseTableDefinition(original, first);
    const auto maps = jet::readLongValueUsageMaps(original);
    const core::Bytes encoded = jet::encodeTableDefinition(schema, maps);

    const auto back = jet::parseTableDefinition(encoded, first);
    EXPECT_EQ(codec_test::schemaDifference(schema, back), "");
    EXPECT_EQ(jet::readLongValueUsageMaps(encoded), maps);
    const std::uint32_t length = u32(original, jet::tdef::kLength);
    EXPECT_EQ(encoded.size(), length);
    ++tally.tables;

    const auto chain = chainOf(file, first);
    ASSERT_EQ(jet::definitionPageCount(encoded), chain.size());
    if (chain.size() > 1) ++tally.multiPage;
    const auto pages = jet::splitDefinition(encoded, chain);
    // The pages as readDefinitionBytes joins them, and each continuation page's header.
    core::Bytes joined(pages[0].begin(), pages[0].end());
    bool headersMatch = true;
    for (std::size_t p = 1; p < pages.size(); ++p) {
        joined.insert(joined.end(), pages[p].begin() + 8, pages[p].end());
        auto real = file.read(chain[p]);
        headersMatch &= std::equal(pages[p].begin(), pages[p].begin() + 8, real->begin());
    }
    EXPECT_TRUE(headersMatch) << "continuation page headers differ";

    const auto leftovers = leftoverRanges(schema, original);
    const std::size_t end = std::min<std::size_t>({length, joined.size(), original.size()});
    bool exact = headersMatch && encoded.size() == length;
    bool apartFromLeftovers = exact;
    for (std::size_t i = 0; i < end; ++i) {
        if (joined[i] == original[i]) continue;
        exact = false;
        if (inRanges(i, leftovers)) continue;
        apartFromLeftovers = false;
        ADD_FAILURE() << "byte " << i << " (" << placeOf(schema, original, i) << ") is "
                      << +joined[i] << ", Access wrote " << +original[i];
        break;
    }
    tally.identical += exact;
    tally.identicalButLeftovers += apartFromLeftovers;
}

TEST(SampleDefinitions, EveryDefinitionIsWrittenAsAccessWroteIt) {
    REQUIRE_SAMPLES();
    DefinitionTally tally;
    for (const auto& path : codec_test::sampleFiles()) {
        SCOPED_TRACE(path.filename().string());
        auto db = jet::Database::open(path, codec_test::kSamplePassword);
        for (const auto& entry : db->catalog().entries())
            if (entry.isTable()) checkDefinition(db->pages(), entry, tally);
    }
    std::cout << "[ tdefs    ] " << tally.tables << " definitions (" << tally.multiPage
              << " over several pages): " << tally.identical << " byte-identical, "
              << tally.identicalButLeftovers << " identical apart from bytes Access leaves unset\n";
    EXPECT_GT(tally.tables, 100u);
    EXPECT_GT(tally.multiPage, 0u);
    EXPECT_EQ(tally.identicalButLeftovers, tally.tables);
}

} // namespace
