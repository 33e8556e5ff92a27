#pragma once
// What the codec tests share: an in-memory long-value store, reading an encoded row back with
// the reader's pieces, comparing schemas, and the list of sample files.
#include "jet/rows/RowEncoder.h"
#include "jet/rows/RowLayout.h"
#include "jet/schema/TableSchema.h"

#include <filesystem>
#include <string>
#include <vector>

namespace codec_test {

// Keeps each value stored out of line and hands out references numbering them from 1.
class MemoryLongValueStore : public jet::LongValueStore {
public:
    core::Bytes storeExternal(jet::ColumnType type, std::span<const std::uint8_t> data) override;

    struct Stored {
        jet::ColumnType type;
        core::Bytes data;
    };
    const std::vector<Stored>& stored() const { return stored_; }
    // The data a reference names: inline data, or what this store holds for its pointer.
    core::Bytes resolve(jet::ByteSpan reference) const;

private:
    std::vector<Stored> stored_;
};

// The column's value in an encoded row, decoded the way the reader decodes it (RowLayout,
// decodeFixed, decodeJetText), with memo and OLE data taken from the store.
core::Value readBack(const jet::RowLayout& row, const jet::ColumnDef& column,
                     const MemoryLongValueStore& store,
                     const jet::FileFormat& format = jet::FileFormat::jet4());

// Every value of an encoded row, in schema order.
std::vector<core::Value> readBackRow(const jet::TableSchema& table, jet::ByteSpan row,
                                     const MemoryLongValueStore& store,
                                     const jet::FileFormat& format = jet::FileFormat::jet4());

// Empty when the two schemas say the same; otherwise the first difference, named.
std::string schemaDifference(const jet::TableSchema& a, const jet::TableSchema& b);

// Every sample file (sorted), and the password that opens each of them.
std::vector<std::filesystem::path> sampleFiles();
inline const std::string kSamplePassword = "password";

// A column for hand-built schemas.
jet::ColumnDef column(std::string name, jet::ColumnType type, std::uint16_t size = 0);

// Numbers, fixed offsets and variable indexes laid out as Access lays out a new table.
jet::TableSchema tableOf(std::string name, std::vector<jet::ColumnDef> columns);

} // namespace codec_test
