// Reading speed of an Access 97 (Jet 3) table next to the same rows in an Access 2000 (Jet 4)
// file: 100,000 rows of numbers, dates, money, yes/no and 8-bit text, every value decoded.
// Both files are written by the engine once per run (the Jet 3 one inside a copy of an
// Access 97 sample, as the engine makes no new Jet 3 files).
#include "BenchFile.h"
#include "jet/Database.h"

#include <benchmark/benchmark.h>

namespace {

constexpr int kRows = 100'000;
constexpr const char* kTable = "Rows";

jet::ColumnDef column(const char* name, jet::ColumnType type, std::uint16_t size = 0) {
    jet::ColumnDef c;
    c.name = name;
    c.type = type;
    c.size = size;
    return c;
}

// Text sizes are given as Access 2000 stores them (two bytes a character); an Access 97
// file stores them in its own 8-bit terms.
void fill(jet::Database& db) {
    using T = jet::ColumnType;
    jet::TableSchema schema;
    schema.name = kTable;
    schema.columns = {column("Id", T::Long),         column("Name", T::Text, 100),
                      column("City", T::Text, 60),   column("Born", T::DateTime),
                      column("Amount", T::Currency), column("Score", T::Double),
                      column("Active", T::Boolean),  column("Note", T::Text, 200)};
    db.begin();
    db.createTable(schema);
    db.commit();
    db.begin();
    for (int i = 0; i < kRows; ++i) {
        db.insertRow(
            kTable,
            {core::Value(std::int32_t{i}), core::Value("Name " + std::to_string(i)),
             core::Value(i % 3 ? "Köln" : "Zürich"), core::Value(core::DateTime{30000.0 + i}),
             core::Value(core::Currency{std::int64_t{i} * 125}), core::Value(i * 0.5),
             core::Value(i % 2 == 0),
             i % 4 ? core::Value("Bemerkung Nr. " + std::to_string(i * 7)) : core::Value()});
    }
    db.commit();
}

void makeJet4(const std::filesystem::path& path) {
    fill(*jet::Database::create(path));
}

void makeJet3(const std::filesystem::path& path) {
    const auto sample = bench::samplesDir() / "jet3" / "queryTestV1997.mdb";
    if (!std::filesystem::exists(sample)) return;
    std::filesystem::copy_file(sample, path);
    std::filesystem::permissions(path, std::filesystem::perms::owner_write,
                                 std::filesystem::perm_options::add);
    fill(*jet::Database::open(path, {}, jet::OpenMode::ReadWrite));
}

void ReadTable(benchmark::State& state, const bench::BenchFile& file) {
    const auto path = file.locate();
    if (path.empty() || !std::filesystem::exists(path)) {
        state.SkipWithError((file.label + " could not be made (set TABLORY_SAMPLES)").c_str());
        return;
    }
    auto db = jet::Database::open(path);
    std::int64_t rows = 0;
    for (auto _ : state) {
        auto table = db->table(kTable);
        const std::size_t columns = table.schema().columns.size();
        auto cursor = table.scan();
        rows = 0;
        while (cursor.next()) {
            for (std::size_t i = 0; i < columns; ++i) {
                core::Value v = cursor.value(i);
                benchmark::DoNotOptimize(v);
            }
            ++rows;
        }
    }
    state.counters["rows"] = static_cast<double>(rows);
    state.counters["rows/s"] =
        benchmark::Counter(static_cast<double>(rows) * static_cast<double>(state.iterations()),
                           benchmark::Counter::kIsRate);
}

const bench::BenchFile kJet4 = bench::generatedFile("jet4-100k.mdb", makeJet4);
const bench::BenchFile kJet3 = bench::generatedFile("jet3-100k.mdb", makeJet3);

} // namespace

BENCHMARK_CAPTURE(ReadTable, jet4_100k, kJet4)->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(ReadTable, jet3_100k, kJet3)->Unit(benchmark::kMillisecond);
