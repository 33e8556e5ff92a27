// Checks the encoder against index pages Access wrote: the sample files' leaf entries are in
// key order, and encoding the rows of the canonical dumps reproduces the keys Access stored
// for the indexed columns.
#include "IndexLeafReader.h"
#include "common/JsonValue.h"
#include "common/Samples.h"
#include "jet/keys/KeyEncoder.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <fstream>
#include <map>
#include <string>
#include <vector>

namespace {

using testing_support::Json;
using testing_support::JsonArray;

struct DumpTable {
    std::string name;
    std::vector<std::pair<std::string, std::string>> columns; // name, dump type
    std::vector<JsonArray> rows;
};

std::vector<DumpTable> readDump(const std::string& sampleName) {
    std::ifstream in(testing_support::sample("expected/" + sampleName + ".jsonl"));
    std::vector<DumpTable> tables;
    std::string line;
    while (std::getline(in, line)) {
        if (line.empty()) continue;
        const Json j = testing_support::parseJson(line);
        if (auto obj = std::get_if<std::shared_ptr<testing_support::JsonObject>>(&j.v)) {
            DumpTable t;
            t.name = std::get<std::string>((*obj)->at("table").v);
            for (const Json& c : *std::get<std::shared_ptr<JsonArray>>((*obj)->at("columns").v)) {
                const auto& a = *std::get<std::shared_ptr<JsonArray>>(c.v);
                t.columns.emplace_back(std::get<std::string>(a[0].v),
                                       std::get<std::string>(a[1].v));
            }
            tables.push_back(std::move(t));
        } else {
            tables.back().rows.push_back(*std::get<std::shared_ptr<JsonArray>>(j.v));
        }
    }
    return tables;
}

// The dump types the samples' indexed columns use.
bool keyColumnOf(const std::string& dumpType, jet::KeyColumnType& type) {
    static const std::map<std::string, jet::KeyColumnType> types = {
        {"long", jet::KeyColumnType::Long},       {"integer", jet::KeyColumnType::Integer},
        {"byte", jet::KeyColumnType::Byte},       {"text", jet::KeyColumnType::Text},
        {"memo", jet::KeyColumnType::Memo},       {"double", jet::KeyColumnType::Double},
        {"boolean", jet::KeyColumnType::Boolean},
    };
    const auto it = types.find(dumpType);
    if (it == types.end()) return false;
    type = it->second;
    return true;
}

core::Value valueOf(const Json& j, jet::KeyColumnType type) {
    if (std::holds_alternative<std::nullptr_t>(j.v)) return core::Value::null();
    if (auto b = std::get_if<bool>(&j.v)) return core::Value(*b);
    if (auto s = std::get_if<std::string>(&j.v)) return core::Value(*s);
    const double d = std::get<double>(j.v);
    switch (type) {
    case jet::KeyColumnType::Byte:
        return core::Value(std::uint8_t(d));
    case jet::KeyColumnType::Integer:
        return core::Value(std::int16_t(d));
    case jet::KeyColumnType::Long:
        return core::Value(std::int32_t(d));
    default:
        return core::Value(d);
    }
}

const std::vector<DumpTable>& readDumpOnce(const std::string& sampleName) {
    static std::map<std::string, std::vector<DumpTable>> cache;
    auto it = cache.find(sampleName);
    if (it == cache.end()) it = cache.emplace(sampleName, readDump(sampleName)).first;
    return it->second;
}

std::size_t columnIndex(const DumpTable& t, const std::string& name) {
    for (std::size_t k = 0; k < t.columns.size(); ++k)
        if (t.columns[k].first == name) return k;
    throw std::runtime_error("no column " + name + " in " + t.name);
}

const DumpTable& tableNamed(const std::vector<DumpTable>& tables, const std::string& name) {
    for (const auto& t : tables)
        if (t.name == name) return t;
    throw std::runtime_error("no table " + name);
}

const char* const indexSamples[] = {"indexes", "compound-index", "big-index", "index-properties"};

TEST(SampleIndexPages, LeafEntriesAreInKeyOrder) {
    REQUIRE_SAMPLES();
    for (const char* name : indexSamples) {
        const auto leaves =
            testing_support::readLeafPages(testing_support::sample(std::string(name) + ".mdb"));
        ASSERT_FALSE(leaves.empty()) << name;
        for (const auto& leaf : leaves) {
            for (std::size_t k = 1; k < leaf.entries.size(); ++k) {
                const auto& a = leaf.entries[k - 1];
                const auto& b = leaf.entries[k];
                EXPECT_TRUE(std::tie(a.key, a.page, a.row) < std::tie(b.key, b.page, b.row))
                    << name << " page " << leaf.number << " entry " << k;
            }
        }
    }
}

// Indexes of the samples over columns the dumps name, found once by matching every choice of
// one to three columns, in every order and direction, against the files' pages (big-index
// has no rows left to match).
struct KnownIndex {
    const char* sample;
    const char* table;
    std::vector<std::string> columns;
    std::vector<bool> ascending;
};

const KnownIndex knownIndexes[] = {
    {"indexes", "Table1", {"id"}, {true}},
    {"indexes", "Table1", {"otherfk1"}, {true}},
    {"indexes", "Table1", {"otherfk2"}, {true}},
    {"indexes", "Table2", {"id"}, {true}},
    {"indexes", "Table3", {"id"}, {true}},
    {"compound-index", "Table1", {"CD_AGENTE"}, {false}},
    {"index-properties", "TableIgnoreNulls1", {"row"}, {true}},
    {"index-properties", "TableIgnoreNulls1", {"data"}, {true}},
    {"index-properties", "TableIgnoreNulls2", {"row"}, {true}},
    {"index-properties", "TableIgnoreNulls2", {"data1", "data2"}, {true, true}},
    {"index-properties", "TableUnique1_temp", {"row"}, {true}},
    {"index-properties", "TableUnique1_temp", {"data"}, {true}},
    {"index-properties", "TableUnique2_temp", {"row"}, {true}},
    {"index-properties", "TableUnique2_temp", {"data1", "data2"}, {true, true}},
};

// Encoding every row of the table reproduces, in order, the whole leaf level of one of the
// file's indexes (leaving out the all-null rows when that index ignores nulls).
TEST(SampleIndexPages, EncodedRowsReproduceAccessIndexes) {
    REQUIRE_SAMPLES();
    for (const KnownIndex& known : knownIndexes) {
        SCOPED_TRACE(std::string(known.sample) + " " + known.table);
        const auto leaves = testing_support::readLeafPages(
            testing_support::sample(std::string(known.sample) + ".mdb"));
        const auto chains = testing_support::leafChains(leaves);
        const DumpTable& t = tableNamed(readDumpOnce(known.sample), known.table);
        std::vector<jet::KeyColumn> columns;
        std::vector<std::size_t> at;
        for (std::size_t k = 0; k < known.columns.size(); ++k) {
            at.push_back(columnIndex(t, known.columns[k]));
            jet::KeyColumn c;
            ASSERT_TRUE(keyColumnOf(t.columns[at.back()].second, c.type));
            c.ascending = known.ascending[k];
            columns.push_back(c);
        }
        std::vector<core::Bytes> all, nonNull;
        for (const auto& row : t.rows) {
            std::vector<core::Value> values;
            bool allNull = true;
            for (std::size_t k = 0; k < at.size(); ++k) {
                values.push_back(valueOf(row[at[k]], columns[k].type));
                allNull = allNull && values.back().isNull();
            }
            all.push_back(jet::encodeKey(columns, values));
            if (!allNull) nonNull.push_back(all.back());
        }
        std::sort(all.begin(), all.end());
        std::sort(nonNull.begin(), nonNull.end());
        const bool found = std::any_of(chains.begin(), chains.end(), [&](const auto& chain) {
            return chain == all || chain == nonNull;
        });
        EXPECT_TRUE(found) << "no index of the file holds exactly these " << all.size() << " keys";
    }
}

} // namespace
