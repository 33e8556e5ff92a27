// Every row of every table in the sample files: read with the reader, written again with the
// encoder, read back with the reader's row parser; and compared byte for byte with the row
// Access wrote.
#include "CodecSupport.h"
#include "common/Samples.h"
#include "core/Error.h"
#include "jet/Database.h"
#include "jet/rows/DataPage.h"
#include "jet/rows/LongValue.h"
#include "jet/rows/ValueDecoder.h"

#include <gtest/gtest.h>

#include <cmath>
#include <deque>
#include <iostream>

namespace {

using codec_test::MemoryLongValueStore;
using core::Value;

// Hands back, in order, the references the original row held for its out-of-line values, so
// that a row whose layout decisions match Access's comes out identical to the original.
class ReplayStore : public jet::LongValueStore {
public:
    explicit ReplayStore(std::deque<core::Bytes> references) : references_(std::move(references)) {}
    core::Bytes storeExternal(jet::ColumnType, std::span<const std::uint8_t>) override {
        if (references_.empty()) return core::Bytes(jet::long_value::kReferenceSize, 0xEE);
        core::Bytes ref = std::move(references_.front());
        references_.pop_front();
        return ref;
    }

private:
    std::deque<core::Bytes> references_;
};

bool sameValue(const Value& a, const Value& b) {
    const auto* x = a.getIf<double>();
    const auto* y = b.getIf<double>();
    if (x && y && std::isnan(*x) && std::isnan(*y)) return true;
    return a == b;
}

bool hasVariableColumns(const jet::TableSchema& t) {
    return t.variableColumns > 0 ||
           std::any_of(t.columns.begin(), t.columns.end(),
                       [](const jet::ColumnDef& c) { return !c.isFixed(); });
}

struct RowTally {
    std::size_t rows = 0;
    std::size_t values = 0;
    std::size_t identical = 0;
    std::size_t writtenUnderOlderSchema = 0; // fewer columns than the table has now
    std::size_t staleBytes = 0;              // holding what deleted columns or null values held
    std::size_t padded = 0;                  // Access left slack between data and offsets
    std::size_t memoCompressedAnyway = 0;    // a memo compressed though its column is not marked
};

// The schema with every memo column whose value in this row Access stored compressed marked
// compressible, as if the column had said so.
jet::TableSchema withMemoCompressionAsStored(const jet::TableSchema& t, const jet::PageFile& file,
                                             const jet::RowLayout& row) {
    jet::TableSchema copy = t;
    for (auto& c : copy.columns) {
        if (c.type != jet::ColumnType::Memo) continue;
        auto ref = row.variableBytes(c);
        if (!ref) continue;
        const core::Bytes data = jet::readLongValue(file, *ref);
        if (data.size() >= 2 && data[0] == 0xFF && data[1] == 0xFE) c.miscFlags |= 0x01;
    }
    return copy;
}

// Whether the row still carries bytes Access did not clear: a null-mask bit, fixed bytes or a
// variable entry of a column deleted since, or bytes left in the fixed slot of a null value.
bool holdsStaleBytes(const jet::TableSchema& t, jet::ByteSpan row, bool hasVariable) {
    const jet::RowLayout layout(row, hasVariable);
    std::vector<bool> owned(layout.columnCount(), false);
    std::size_t fixedEnd = 0;
    std::vector<bool> fixedHoldsValue(row.size(), false);
    std::vector<std::uint16_t> varIndexes;
    for (const auto& c : t.columns) {
        if (c.number < owned.size()) owned[c.number] = true;
        if (!c.isFixed()) {
            varIndexes.push_back(c.varIndex);
        } else if (c.type != jet::ColumnType::Boolean) {
            const std::size_t width = jet::fixedWidth(c.type) ? jet::fixedWidth(c.type) : c.size;
            const std::size_t start = 2 + c.fixedOffset;
            fixedEnd = std::max(fixedEnd, start + width);
            if (!layout.bit(c.number)) continue;
            for (std::size_t k = start; k < start + width && k < row.size(); ++k)
                fixedHoldsValue[k] = true;
        }
    }
    for (std::uint16_t n = 0; n < layout.columnCount(); ++n)
        if (!owned[n] && layout.bit(n)) return true;
    for (std::size_t k = 2; k < fixedEnd && k < row.size(); ++k)
        if (!fixedHoldsValue[k] && row[k] != 0) return true;
    if (!hasVariable) return false;
    const std::size_t mask = row.size() - (layout.columnCount() + 7u) / 8u;
    const std::uint16_t variables = jet::u16(row, mask - 2);
    for (std::uint16_t k = 0; k < variables; ++k) {
        if (std::find(varIndexes.begin(), varIndexes.end(), k) != varIndexes.end()) continue;
        if (jet::u16(row, mask - 4 - 2 * k) != jet::u16(row, mask - 6 - 2 * k)) return true;
    }
    return false;
}

bool paddedByAccess(jet::ByteSpan row, bool hasVariable) {
    if (!hasVariable) return false;
    const std::uint16_t count = jet::u16(row, 0);
    const std::size_t mask = row.size() - (count + 7u) / 8u;
    const std::uint16_t variables = jet::u16(row, mask - 2);
    const std::size_t tableStart = mask - 2 - 2 * (variables + 1u);
    return jet::u16(row, tableStart) != tableStart;
}

void checkTable(const jet::Database& db, const std::string& name, RowTally& tally) {
    SCOPED_TRACE("table " + name);
    auto table = db.table(name);
    const auto& schema = table.schema();
    const bool hasVariable = hasVariableColumns(schema);
    auto cursor = table.scan();
    while (cursor.next()) {
        std::vector<Value> values;
        for (std::size_t i = 0; i < schema.columns.size(); ++i) values.push_back(cursor.value(i));

        auto page = db.pages().read(cursor.rowId().page);
        auto pageBytes = jet::bytesOf(page);
        const auto slot = jet::rowSlot(pageBytes, cursor.rowId().slot);
        const jet::ByteSpan original = pageBytes.subspan(slot.start, slot.end - slot.start);
        const jet::RowLayout originalRow(original, hasVariable);

        // Through an in-memory store: every value must come back as the reader read it.
        MemoryLongValueStore store;
        const core::Bytes encoded = jet::encodeRow(schema, values, store);
        const auto back = codec_test::readBackRow(schema, encoded, store);
        const jet::RowLayout encodedRow(encoded, hasVariable);
        for (std::size_t i = 0; i < values.size(); ++i) {
            const auto& c = schema.columns[i];
            EXPECT_TRUE(sameValue(back[i], values[i]))
                << "row " << tally.rows << " column '" << c.name << "'";
            // The reader's own decoder agrees wherever it needs no long-value page.
            if (!jet::isLongValue(c.type)) {
                EXPECT_TRUE(sameValue(jet::decodeColumn(db.pages(), encodedRow, c), values[i]))
                    << "row " << tally.rows << " column '" << c.name << "'";
            }
        }
        tally.values += values.size();

        // With Access's own references for the values it stored out of line.
        std::vector<const jet::ColumnDef*> longColumns;
        for (const auto& c : schema.columns)
            if (jet::isLongValue(c.type) && !c.isFixed()) longColumns.push_back(&c);
        std::sort(longColumns.begin(), longColumns.end(),
                  [](auto* a, auto* b) { return a->varIndex < b->varIndex; });
        std::deque<core::Bytes> references;
        for (const auto* c : longColumns) {
            auto ref = originalRow.variableBytes(*c);
            if (ref && ref->size() >= jet::long_value::kReferenceSize &&
                !((*ref)[3] & jet::long_value::kInline))
                references.emplace_back(ref->begin(), ref->begin() + 12);
        }
        ReplayStore replay(references);
        const core::Bytes again = jet::encodeRow(schema, values, replay);
        ReplayStore replayAgain(std::move(references));
        const core::Bytes asStored = jet::encodeRow(
            withMemoCompressionAsStored(schema, db.pages(), originalRow), values, replayAgain);
        if (std::equal(again.begin(), again.end(), original.begin(), original.end()))
            ++tally.identical;
        else if (std::equal(asStored.begin(), asStored.end(), original.begin(), original.end()))
            ++tally.memoCompressedAnyway;
        else if (jet::u16(original, 0) != schema.maxColumns)
            ++tally.writtenUnderOlderSchema;
        else if (holdsStaleBytes(schema, original, hasVariable))
            ++tally.staleBytes;
        else if (paddedByAccess(original, hasVariable))
            ++tally.padded;
        else
            ADD_FAILURE() << "row " << tally.rows << " differs from the one Access wrote";
        ++tally.rows;
    }
}

TEST(SampleRows, EveryRowOfEveryTableSurvivesEncodingAndMatchesAccess) {
    REQUIRE_SAMPLES();
    RowTally tally;
    for (const auto& file : codec_test::sampleFiles()) {
        SCOPED_TRACE(file.filename().string());
        auto db = jet::Database::open(file, codec_test::kSamplePassword);
        for (const auto& entry : db->catalog().entries())
            if (entry.isTable()) checkTable(*db, entry.name, tally);
    }
    std::cout << "[ rows     ] " << tally.rows << " rows, " << tally.values << " values; "
              << tally.identical << " rows byte-identical to Access's, "
              << tally.writtenUnderOlderSchema << " written before columns were added, "
              << tally.staleBytes << " holding stale bytes of deleted columns or null values, "
              << tally.padded << " padded by Access, " << tally.memoCompressedAnyway
              << " with a memo compressed though its column does not ask for it\n";
    EXPECT_GT(tally.rows, 1000u);
    EXPECT_EQ(tally.identical + tally.writtenUnderOlderSchema + tally.staleBytes + tally.padded +
                  tally.memoCompressedAnyway,
              tally.rows);
}

} // namespace

namespace {

// Access 97's own rows, encoded again in the Jet 3 layout with the references Access gave
// their long values: the one-byte offsets, jump table (padding entries included), inline
// long values and Windows-1252 text come out as Access wrote them.
TEST(SampleRows, Jet3RowsMatchAccess97sByteForByte) {
    REQUIRE_SAMPLES();
    std::size_t rows = 0, identical = 0, olderSchema = 0, staleFixed = 0, undefinedText = 0;
    for (const char* name : {"compIndexTestV1997", "delColTestV1997", "overflowTestV1997",
                             "queryTestV1997", "test2V1997", "testIndexCodesV1997"}) {
        SCOPED_TRACE(name);
        auto db = jet::Database::open(testing_support::jet3SampleFile(name));
        const jet::FileFormat& format = db->pages().format();
        for (const auto& entry : db->catalog().entries()) {
            if (!entry.isTable()) continue;
            auto table = db->table(entry.name);
            const auto& schema = table.schema();
            const bool hasVariable = hasVariableColumns(schema);
            std::size_t fixedEnd = 1;
            std::vector<const jet::ColumnDef*> longColumns;
            for (const auto& c : schema.columns) {
                if (c.isFixed() && c.type != jet::ColumnType::Boolean)
                    fixedEnd = std::max<std::size_t>(fixedEnd, 1u + c.fixedOffset + c.size);
                if (jet::isLongValue(c.type)) longColumns.push_back(&c);
            }
            std::sort(longColumns.begin(), longColumns.end(),
                      [](auto* a, auto* b) { return a->varIndex < b->varIndex; });
            for (auto cursor = table.scan(); cursor.next(); ++rows) {
                std::vector<Value> values;
                for (std::size_t i = 0; i < schema.columns.size(); ++i)
                    values.push_back(cursor.value(i));
                auto page = db->pages().read(cursor.rowId().page);
                auto pageBytes = db->pages().bytes(page);
                const auto slot = jet::rowSlot(pageBytes, cursor.rowId().slot, format);
                const jet::ByteSpan original = pageBytes.subspan(slot.start, slot.end - slot.start);
                const jet::RowLayout originalRow(original, hasVariable, format);
                std::deque<core::Bytes> references;
                for (const auto* c : longColumns) {
                    auto ref = originalRow.variableBytes(*c);
                    if (ref && ref->size() >= jet::long_value::kReferenceSize &&
                        !((*ref)[3] & jet::long_value::kInline))
                        references.emplace_back(ref->begin(), ref->begin() + 12);
                }
                ReplayStore replay(std::move(references));
                core::Bytes again;
                try {
                    again = jet::encodeRow(schema, values, replay, format);
                } catch (const core::ConstraintError&) {
                    // Bytes the code page leaves undefined read as U+FFFD, which it lacks.
                    ++undefinedText;
                    continue;
                }
                std::size_t firstDifference = 0;
                while (firstDifference < again.size() && firstDifference < original.size() &&
                       again[firstDifference] == original[firstDifference])
                    ++firstDifference;
                std::size_t lastDifference = original.size();
                while (again.size() == original.size() && lastDifference > 0 &&
                       again[lastDifference - 1] == original[lastDifference - 1])
                    --lastDifference;
                if (firstDifference == original.size() && again.size() == original.size())
                    ++identical;
                else if (original[0] != schema.maxColumns)
                    ++olderSchema;
                else if (again.size() == original.size() && lastDifference <= fixedEnd)
                    ++staleFixed; // bytes Access left in the fixed slot of a null value
                else
                    ADD_FAILURE() << entry.name << " row " << rows << " differs from byte "
                                  << firstDifference << ": " << original.size() << " bytes stored, "
                                  << again.size() << " written";
            }
        }
    }
    std::cout << "[ jet3 rows ] " << rows << " rows: " << identical
              << " byte-identical to Access 97's, " << olderSchema
              << " written before columns were added, " << staleFixed
              << " with stale bytes in a null value's slot, " << undefinedText
              << " holding bytes Windows-1252 leaves undefined\n";
    EXPECT_GT(identical, rows * 9 / 10);
}

} // namespace
