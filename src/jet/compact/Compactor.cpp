#include "jet/compact/Compactor.h"

#include "core/Error.h"
#include "jet/Database.h"

namespace jet {

namespace {

std::vector<std::string> copiedTables(const Database& db) {
    std::vector<std::string> names;
    for (const auto& e : db.catalog().entries())
        if (e.isUserTable()) names.push_back(e.name);
    return names;
}

TableSchema freshSchema(const TableSchema& source) {
    TableSchema t;
    t.name = source.name;
    t.columns = source.columns;
    // Deleted columns leave gaps in the source's numbering; the copy numbers afresh.
    for (auto& c : t.columns) c.number = c.varIndex = c.fixedOffset = 0;
    t.indexData = source.indexData;
    t.indexes = source.indexes;
    for (auto& x : t.indexData) {
        // Index columns name columns by number: translate them to the copy's numbering.
        for (auto& ic : x.columns) {
            for (std::size_t i = 0; i < source.columns.size(); ++i)
                if (source.columns[i].number == ic.columnNumber) {
                    ic.columnNumber = static_cast<std::uint16_t>(i);
                    break;
                }
        }
    }
    return t;
}

} // namespace

void compactDatabase(const std::filesystem::path& sourcePath,
                     const std::filesystem::path& destinationPath, const std::string& password,
                     const CompactProgress& progress) {
    // Opening for writing takes the file's lock: a source another program is writing is
    // refused rather than copied half-changed. Nothing is written to it.
    auto source = Database::open(sourcePath, password, OpenMode::ReadWrite);
    if (!source->writable()) source = Database::open(sourcePath, password, OpenMode::ReadOnly);

    auto tables = copiedTables(*source);
    std::uint64_t total = 0, done = 0;
    for (const auto& name : tables) total += source->table(name).schema().rowCount;
    if (progress) progress(0, total);

    auto destination = Database::create(destinationPath, source->header().password);
    try {
        destination->begin();
        for (const auto& name : tables) {
            auto table = source->table(name);
            destination->createTable(freshSchema(table.schema()), table.properties());
            auto cursor = table.scan();
            std::size_t columns = table.schema().columns.size();
            std::vector<core::Value> values(columns);
            while (cursor.next()) {
                for (std::size_t i = 0; i < columns; ++i) values[i] = cursor.value(i);
                destination->insertRow(name, values);
                if (progress && (++done % 1024 == 0)) progress(done, total);
            }
            destination->setCounter(name, table.schema().nextAutoNumber);
        }
        destination->commit();
    } catch (...) {
        destination.reset();
        std::error_code ignored;
        std::filesystem::remove(destinationPath, ignored);
        throw;
    }
    if (progress) progress(total, total);
}

} // namespace jet
