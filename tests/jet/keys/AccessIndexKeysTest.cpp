// Every key Access wrote, re-encoded: for each index of each table (system tables too) of
// every Jet 4 sample Access made, each leaf entry's row is read back and its key encoded
// again, which must give the stored bytes exactly. Seeks, uniqueness checks and index upkeep
// use the same encoder, so this is what lets them agree with Access's files.
#include "common/Samples.h"
#include "jet/Database.h"
#include "jet/index/IndexCursor.h"
#include "jet/index/IndexKeyColumns.h"
#include "jet/index/IndexPageStore.h"
#include "jet/keys/KeyEncoder.h"
#include "jet/rows/DataPage.h"
#include "jet/rows/RowLayout.h"
#include "jet/rows/ValueDecoder.h"
#include "jet/schema/TableDefinition.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <string>
#include <vector>

namespace {

std::string hex(jet::ByteSpan bytes) {
    static const char* const digits = "0123456789abcdef";
    std::string s;
    for (std::uint8_t b : bytes) {
        s += digits[b >> 4];
        s += digits[b & 15];
    }
    return s;
}

// The Jet 4 files Access made: every top-level sample and the whole application.
std::vector<std::filesystem::path> accessFiles() {
    std::vector<std::filesystem::path> files;
    for (const auto& entry : std::filesystem::directory_iterator(testing_support::samplesDir()))
        if (entry.path().extension() == ".mdb") files.push_back(entry.path());
    files.push_back(testing_support::sample("application/application.mdb"));
    std::sort(files.begin(), files.end());
    return files;
}

// The row an index entry points to: its home slot, or where that slot says it moved.
std::vector<core::Value> rowAt(const jet::PageFile& file, const jet::TableSchema& schema,
                               jet::RowId id) {
    for (int hop = 0; hop < 2; ++hop) {
        const jet::PageRef page = file.read(id.page);
        const jet::ByteSpan bytes = jet::bytesOf(page);
        const jet::RowSlot slot = jet::rowSlot(bytes, id.slot);
        if (slot.deleted) break;
        if (slot.pointer) {
            id = jet::RowId::fromPointer(jet::u32(bytes, slot.start));
            continue;
        }
        const jet::RowLayout row(bytes.subspan(slot.start, slot.end - slot.start),
                                 schema.variableColumns > 0);
        std::vector<core::Value> values;
        for (const auto& c : schema.columns) values.push_back(jet::decodeColumn(file, row, c));
        return values;
    }
    throw std::runtime_error("index entry for a missing row " + std::to_string(id.page) + ":" +
                             std::to_string(id.slot));
}

struct Tally {
    std::size_t keys = 0;
    std::size_t textKeys = 0;
    std::size_t mismatches = 0;
};

void compareIndex(const jet::PageFile& file, const jet::TableSchema& schema,
                  const jet::IndexData& data, const std::string& where, Tally& tally) {
    const auto positions = jet::indexColumnPositions(schema, data);
    const auto columns = jet::indexKeyColumns(schema, data, jet::FileFormat::jet4());
    const bool textual = std::any_of(columns.begin(), columns.end(), [](const jet::KeyColumn& c) {
        return c.type == jet::KeyColumnType::Text || c.type == jet::KeyColumnType::Memo;
    });
    const jet::PageFileSource pages(file);
    jet::IndexCursor cursor(pages, data.firstPage);
    std::vector<core::Value> key(positions.size());
    while (cursor.next()) {
        const std::vector<core::Value> row = rowAt(file, schema, cursor.rowId());
        for (std::size_t k = 0; k < positions.size(); ++k) key[k] = row[positions[k]];
        const core::Bytes encoded = jet::encodeKey(columns, key);
        const jet::ByteSpan stored = cursor.key();
        ++tally.keys;
        if (textual) ++tally.textKeys;
        if (std::equal(encoded.begin(), encoded.end(), stored.begin(), stored.end())) continue;
        // A few differences tell the story; thousands would bury it.
        if (++tally.mismatches <= 20)
            ADD_FAILURE() << where << ", row " << cursor.rowId().page << ":"
                          << int(cursor.rowId().slot) << "\n  stored  " << hex(stored)
                          << "\n  encoded " << hex(encoded);
    }
}

TEST(AccessIndexKeys, EveryStoredKeyReencodesToTheSameBytes) {
    REQUIRE_SAMPLES();
    Tally all;
    std::size_t applicationTextKeys = 0;
    for (const auto& path : accessFiles()) {
        SCOPED_TRACE(path.filename().string());
        // The password sample needs its password; files without one ignore it.
        const auto db = jet::Database::open(path, "password");
        Tally tally;
        for (const auto& entry : db->catalog().entries()) {
            if (!entry.isTable()) continue;
            const auto schema = jet::readTableDefinition(db->pages(), entry.definitionPage());
            for (std::size_t i = 0; i < schema.indexData.size(); ++i) {
                if (schema.indexData[i].firstPage == 0) continue;
                compareIndex(db->pages(), schema, schema.indexData[i],
                             entry.name + " index " + std::to_string(i), tally);
            }
        }
        EXPECT_GT(tally.keys, 0u) << "no index entries read";
        if (path.filename() == "application.mdb") applicationTextKeys = tally.textKeys;
        all.keys += tally.keys;
        all.textKeys += tally.textKeys;
        all.mismatches += tally.mismatches;
    }
    EXPECT_EQ(all.mismatches, 0u) << "of " << all.keys << " keys";
    // The application's customers, suppliers and products have accented and expanding
    // letters, blanks at the end and punctuation in their indexed names.
    EXPECT_GT(applicationTextKeys, 1000u);
}

} // namespace
