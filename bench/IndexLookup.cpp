// Looking rows up by primary key against finding them by a full scan, on a generated table of
// a million rows: the per-lookup time of each and their ratio.
#include "core/Value.h"
#include "jet/Database.h"
#include "jet/index/IndexCursor.h"
#include "jet/index/IndexPageStore.h"
#include "jet/keys/KeyEncoder.h"

#include <chrono>
#include <cstdio>
#include <filesystem>
#include <random>

namespace {

using Clock = std::chrono::steady_clock;

double seconds(Clock::time_point from) {
    return std::chrono::duration<double>(Clock::now() - from).count();
}

} // namespace

int main(int argc, char** argv) {
    const int rows = argc > 1 ? std::atoi(argv[1]) : 1000000;
    const int lookups = 10000, scans = 3;
    auto path = std::filesystem::temp_directory_path() / "tablory-index-lookup.mdb";
    std::filesystem::remove(path);
    {
        auto db = jet::Database::create(path);
        db->begin();
        jet::TableSchema t;
        t.name = "T";
        jet::ColumnDef id, name;
        id.name = "ID";
        id.type = jet::ColumnType::Long;
        name.name = "Name";
        name.type = jet::ColumnType::Text;
        name.size = 60;
        t.columns = {id, name};
        jet::IndexData key;
        key.columns = {{0, true}};
        key.flags = 0x89;
        jet::IndexDef def;
        def.name = "PrimaryKey";
        def.kind = jet::IndexKind::Primary;
        t.indexData = {key};
        t.indexes = {def};
        db->createTable(t);
        for (int i = 0; i < rows; ++i)
            db->insertRow("T",
                          {core::Value(std::int32_t{i}), core::Value("row " + std::to_string(i))});
        db->commit();
    }
    auto db = jet::Database::open(path);
    auto table = db->table("T");
    const auto& schema = table.schema();
    jet::PageFileSource pages(db->pages());
    std::vector<jet::KeyColumn> keyColumns{{jet::KeyColumnType::Long, true, 0}};
    std::mt19937 random(42);
    std::vector<std::int32_t> wanted(lookups);
    for (auto& w : wanted) w = static_cast<std::int32_t>(random() % static_cast<unsigned>(rows));

    auto start = Clock::now();
    std::size_t found = 0;
    for (std::int32_t w : wanted) {
        core::Value v(w);
        auto key = jet::encodeKey(keyColumns, std::span<const core::Value>(&v, 1));
        jet::IndexCursor cursor(pages, schema.indexData[0].firstPage);
        cursor.seek(key);
        if (cursor.next()) {
            auto k = cursor.key();
            if (std::equal(k.begin(), k.end(), key.begin(), key.end())) ++found;
        }
    }
    double seek = seconds(start);

    start = Clock::now();
    std::size_t scanned = 0;
    for (int s = 0; s < scans; ++s) {
        auto cursor = table.scan();
        std::int32_t target = wanted[static_cast<std::size_t>(s)];
        while (cursor.next())
            if (cursor.value(0) == core::Value(target)) ++scanned;
    }
    double scan = seconds(start) / scans;

    std::printf("rows %d, lookups %d (found %zu), full scans %d (found %zu)\n", rows, lookups,
                found, scans, scanned);
    std::printf("per lookup through the primary key: %.3f us\n", seek / lookups * 1e6);
    std::printf("per lookup by full scan:            %.3f ms\n", scan * 1e3);
    std::printf("ratio (scan / key):                 %.0fx\n", scan / (seek / lookups));
    std::filesystem::remove(path);
    return found == static_cast<std::size_t>(lookups) ? 0 : 1;
}
