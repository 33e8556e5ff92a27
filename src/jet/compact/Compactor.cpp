#include "jet/compact/Compactor.h"

#include "core/Error.h"
#include "jet/Database.h"
#include "jet/write/Relationships.h"

#include <map>

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
    // Relationship entries name pages of the source; they are made afresh once every table
    // is copied. Physical indexes used only by them go too.
    std::vector<std::int64_t> newPosition(source.indexData.size(), -1);
    for (const auto& def : source.indexes) {
        if (def.kind == IndexKind::ForeignKey || def.dataIndex >= source.indexData.size()) continue;
        if (newPosition[def.dataIndex] < 0) {
            newPosition[def.dataIndex] = static_cast<std::int64_t>(t.indexData.size());
            t.indexData.push_back(source.indexData[def.dataIndex]);
        }
        IndexDef copy = def;
        copy.dataIndex = static_cast<std::uint32_t>(newPosition[def.dataIndex]);
        t.indexes.push_back(copy);
    }
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

// The source's relationships, from its MSysRelationships rows: name -> definition and the
// row's flags.
std::vector<std::pair<RelationshipDef, std::int32_t>> sourceRelationships(const Database& db) {
    std::vector<std::pair<RelationshipDef, std::int32_t>> out;
    if (!db.hasTable("MSysRelationships")) return out;
    auto rel = db.table("MSysRelationships");
    const auto& columns = rel.schema().columns;
    auto at = [&](std::string_view name) -> std::size_t {
        for (std::size_t i = 0; i < columns.size(); ++i)
            if (columns[i].name == name) return i;
        throw core::FormatError("MSysRelationships has no column " + std::string(name) + ".");
    };
    std::size_t object = at("szObject"), name = at("szRelationship"), column = at("szColumn"),
                referenced = at("szReferencedObject"), referencedColumn = at("szReferencedColumn"),
                grbit = at("grbit"), order = at("icolumn");
    struct Part {
        std::int32_t order;
        std::string column, referenced;
    };
    std::map<std::string, std::pair<std::pair<RelationshipDef, std::int32_t>, std::vector<Part>>>
        byName;
    auto text = [](const core::Value& v) {
        return v.getIf<std::string>() ? *v.getIf<std::string>() : std::string();
    };
    auto number = [](const core::Value& v) {
        return v.getIf<std::int32_t>() ? *v.getIf<std::int32_t>() : 0;
    };
    auto cursor = rel.scan();
    while (cursor.next()) {
        auto& [entry, parts] = byName[text(cursor.value(name))];
        entry.first.name = text(cursor.value(name));
        entry.first.table = text(cursor.value(object));
        entry.first.referencedTable = text(cursor.value(referenced));
        entry.second = number(cursor.value(grbit));
        parts.push_back({number(cursor.value(order)), text(cursor.value(column)),
                         text(cursor.value(referencedColumn))});
    }
    for (auto& [key, value] : byName) {
        auto& [entry, parts] = value;
        std::sort(parts.begin(), parts.end(),
                  [](const Part& a, const Part& b) { return a.order < b.order; });
        for (const auto& p : parts) {
            entry.first.columns.push_back(p.column);
            entry.first.referencedColumns.push_back(p.referenced);
        }
        entry.first.cascadeUpdates = entry.second & relationship_flag::kCascadeUpdates;
        entry.first.cascadeDeletes = entry.second & relationship_flag::kCascadeDeletes;
        out.push_back(entry);
    }
    return out;
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
        // Relationships between copied tables, enforced ones with their index entries.
        for (const auto& [relationship, flags] : sourceRelationships(*source)) {
            if (!destination->hasTable(relationship.table) ||
                !destination->hasTable(relationship.referencedTable))
                continue;
            if (flags & relationship_flag::kNoIntegrity) continue;
            destination->createRelationship(relationship);
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
