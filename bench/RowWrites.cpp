// The engine's share of one browser write: autocommit row updates, inserts and deletes by
// locator through the session, as the data set posts them, on a file the caller gives (the
// browser benchmark's million-row file, say; work on a copy, the rows change). Each write is
// timed alone, together with the optimistic check's read that precedes it in the data set.
//   bench_row_writes FILE [--writes N] [--tables T,K] [--updates-only yes]
#include "Timings.h"
#include "jet/Database.h"
#include "sql/engine/Session.h"
#include "sql/engine/storage/JetStorage.h"

#include <algorithm>
#include <cstdio>
#include <filesystem>
#include <optional>
#include <sstream>
#include <stdexcept>
#include <string>
#include <vector>

namespace {

double median(std::vector<double> values) {
    if (values.empty()) return 0;
    std::sort(values.begin(), values.end());
    return values[values.size() / 2];
}

template <typename Step> double timedMs(Step step) {
    bench::Stopwatch watch;
    step();
    return watch.seconds() * 1000.0;
}

void report(const std::string& table, const char* what, const std::vector<double>& ms) {
    std::printf("%-3s %-32s median %7.2f ms  first %7.2f ms  (%zu writes)\n", table.c_str(), what,
                median(ms), ms.empty() ? 0.0 : ms.front(), ms.size());
    std::fflush(stdout);
}

// The browser opens its own connection, so its first write is the connection's first: the
// table's writers and the free-space map are read anew.
void firstWrites(const std::filesystem::path& file, const std::string& table, int writes) {
    std::vector<double> updates;
    for (int i = 0; i < writes; ++i) {
        auto database = jet::Database::open(file, {}, jet::OpenMode::ReadWrite);
        sql::JetStorage storage(*database);
        sql::Session session(storage);
        auto cursor = storage.scan(table);
        for (int skip = 0; skip <= i && cursor->next(); ++skip) {
        }
        const sql::RowLocator row = cursor->locator();
        const std::size_t columns = storage.tableInfo(table)->columns.size();
        updates.push_back(timedMs([&] {
            auto checked = storage.readRow(table, row);
            std::vector<std::optional<core::Value>> values(columns);
            values[2] = core::Value("First " + std::to_string(i));
            session.updateRow(table, row, values);
        }));
    }
    report(table, "update, a connection's first", updates);
}

void writeRows(sql::Session& session, const std::string& table, int writes, bool updatesOnly) {
    sql::Storage& storage = session.storage();
    const auto info = storage.tableInfo(table);
    if (!info) throw std::runtime_error("no table " + table);
    std::vector<sql::RowLocator> rows;
    for (auto cursor = storage.scan(table);
         rows.size() < static_cast<std::size_t>(writes) && cursor->next();)
        rows.push_back(cursor->locator());
    const std::size_t columns = info->columns.size();

    // As the data set posts an edited cell: check the row, then write the one column.
    std::vector<double> updates;
    for (std::size_t i = 0; i < rows.size(); ++i)
        updates.push_back(timedMs([&] {
            auto checked = storage.readRow(table, rows[i]);
            std::vector<std::optional<core::Value>> values(columns);
            values[2] = core::Value("Edited " + std::to_string(i));
            session.updateRow(table, rows[i], values);
        }));
    report(table, "update by locator", updates);
    if (updatesOnly) return;

    std::int32_t nextId = 0;
    for (auto cursor = storage.scan(table); cursor->next();) {
        const core::Value id = cursor->value(0);
        if (const auto* n = id.getIf<std::int32_t>()) nextId = std::max(nextId, *n);
    }
    std::vector<double> inserts;
    for (int i = 0; i < writes; ++i)
        inserts.push_back(timedMs([&] {
            std::vector<std::optional<core::Value>> values(columns);
            values[0] = core::Value(std::int32_t{++nextId});
            values[1] = core::Value(std::string("Inserted"));
            session.insertRow(table, values);
        }));
    report(table, "insert", inserts);

    std::vector<double> deletes;
    for (std::size_t i = 0; i < rows.size(); ++i)
        deletes.push_back(timedMs([&] {
            auto checked = storage.readRow(table, rows[i]);
            session.deleteRow(table, rows[i]);
        }));
    report(table, "delete by locator", deletes);
}

} // namespace

int main(int argc, char** argv) {
    if (argc < 2) {
        std::fprintf(stderr, "usage: bench_row_writes FILE [--writes N] [--tables T,K]\n");
        return 2;
    }
    int writes = 100;
    std::string tables = "T,K";
    bool updatesOnly = false;
    for (int i = 2; i + 1 < argc; ++i) {
        if (std::string(argv[i]) == "--writes") writes = std::stoi(argv[i + 1]);
        if (std::string(argv[i]) == "--tables") tables = argv[i + 1];
        if (std::string(argv[i]) == "--updates-only")
            updatesOnly = std::string(argv[i + 1]) == "yes";
    }
    {
        std::stringstream names(tables);
        for (std::string table; std::getline(names, table, ',');)
            firstWrites(argv[1], table, std::min(writes, 10));
    }
    auto database = jet::Database::open(argv[1], {}, jet::OpenMode::ReadWrite);
    sql::JetStorage storage(*database);
    sql::Session session(storage);
    std::stringstream names(tables);
    for (std::string table; std::getline(names, table, ',');)
        writeRows(session, table, writes, updatesOnly);
    return 0;
}
