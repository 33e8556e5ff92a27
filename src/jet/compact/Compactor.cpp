#include "jet/compact/Compactor.h"

#include "core/Error.h"
#include "core/ObjectName.h"
#include "jet/Database.h"
#include "jet/compact/ObjectIds.h"
#include "jet/file/OsFile.h"
#include "jet/write/Relationships.h"

#include <algorithm>
#include <map>
#include <optional>
#include <span>
#include <utility>

namespace jet {

namespace {

TableSchema freshSchema(const TableSchema& source) {
    TableSchema t;
    t.name = source.name;
    t.systemTable = source.systemTable;
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

// Text with U+FFFD, which is how a byte its code page leaves undefined reads.
bool readsAsUndefined(const core::Value& v) {
    const auto* text = v.getIf<std::string>();
    return text && text->find("\xEF\xBF\xBD") != std::string::npos;
}

// Copies everything the source holds into the fresh destination, in one transaction.
class Copier {
public:
    Copier(const Database& source, Database& destination, const CompactProgress& progress)
        : source_(source), destination_(destination), progress_(progress) {}

    void run() {
        std::vector<std::string> tables;
        for (const auto& e : source_.catalog().entries())
            if (e.isTable()) tables.push_back(e.name);
        for (const auto& name : tables) total_ += source_.table(name).schema().rowCount;
        if (progress_) progress_(0, total_);

        destination_.begin();
        // Tables first, so that every table's new id (its definition page) is known before
        // rows that name objects are copied.
        // Their indexes wait for their rows, so that each index's pages lie together as in
        // a file whose indexes were made after its rows.
        for (const auto& name : tables) {
            const CatalogEntry* from = source_.catalog().findTable(name);
            if (!destination_.hasTable(name)) {
                TableSchema schema = freshSchema(source_.table(name).schema());
                auto& later = laterIndexes_[name];
                later.data = std::exchange(schema.indexData, {});
                later.defs = std::exchange(schema.indexes, {});
                destination_.createTable(std::move(schema));
            }
            ids_.add(from->id, destination_.catalog().findTable(name)->id);
        }
        for (const auto& name : tables) {
            if (isCatalogTable(name)) continue;
            copyTableRows(name);
        }
        // Enforced relationships need their entries in both tables' definitions; the rows of
        // every relationship, enforced or not, are those of the source, copied once into the
        // empty table.
        for (const auto& [relationship, flags] : sourceRelationships(source_)) {
            if (flags & relationship_flag::kNoIntegrity) continue;
            if (!destination_.hasTable(relationship.table) ||
                !destination_.hasTable(relationship.referencedTable))
                continue;
            destination_.createRelationship(relationship, RelationshipRows::Skip);
        }
        for (const char* name : {"MSysRelationships", "MSysACEs", "MSysQueries"})
            if (source_.hasTable(name)) replaceRows(name);
        // The catalog last: its rows name the objects the steps above made.
        replaceRows("MSysObjects");
        destination_.commit();
        if (progress_) progress_(total_, total_);
    }

private:
    // Tables whose rows Database::create already wrote and which are refilled from the
    // source by replaceRows rather than copied into.
    static bool isCatalogTable(const std::string& name) {
        for (const char* t : {"MSysObjects", "MSysACEs", "MSysQueries", "MSysRelationships"})
            if (core::sameName(name, t)) return true;
        return false;
    }

    // Source column -> destination column position, refusing a source column the copy
    // would lose.
    std::vector<std::size_t> columnMap(const TableSchema& from, const TableSchema& to) const {
        std::vector<std::size_t> map;
        for (const auto& c : from.columns) {
            auto it = std::find_if(to.columns.begin(), to.columns.end(), [&](const ColumnDef& d) {
                return core::sameName(d.name, c.name);
            });
            if (it == to.columns.end())
                throw core::UnsupportedFormat("The table '" + from.name + "' has a field '" +
                                              c.name + "' the compacted file cannot hold.");
            map.push_back(static_cast<std::size_t>(it - to.columns.begin()));
        }
        return map;
    }

    // Text the source stores in the destination's encoding as well can go across as its
    // bytes: only then do bytes the code page leaves undefined (read as U+FFFD) survive.
    bool keepsStoredText() const {
        return source_.header().version == destination_.header().version &&
               source_.header().codePage == destination_.header().codePage;
    }

    // Every source row, its values placed in the destination's column order and the object
    // ids it holds translated; with it, for the text columns whose value does not read back
    // as the bytes it came from, those bytes (else an empty list).
    template <class Insert> void forEachRow(const std::string& name, Insert&& insert) {
        const Table from = source_.table(name);
        const Table to = destination_.table(name);
        const auto map = columnMap(from.schema(), to.schema());
        const auto idColumns = objectIdColumns(name);
        std::vector<bool> translate(map.size(), false);
        for (std::size_t i = 0; i < map.size(); ++i)
            for (const auto& c : idColumns)
                if (core::sameName(from.schema().columns[i].name, c)) translate[i] = true;
        const bool keepText = keepsStoredText();
        auto cursor = from.scan();
        std::vector<std::optional<core::Bytes>> storedText;
        while (cursor.next()) {
            std::vector<core::Value> values(to.schema().columns.size());
            storedText.clear();
            for (std::size_t i = 0; i < map.size(); ++i) {
                core::Value v = cursor.value(i);
                if (translate[i])
                    if (auto id = v.getIf<std::int32_t>()) v = core::Value(ids_.translate(*id));
                if (keepText && readsAsUndefined(v)) {
                    storedText.resize(values.size());
                    storedText[map[i]] = cursor.storedText(i);
                }
                values[map[i]] = std::move(v);
            }
            insert(std::move(values), storedText);
            // Jet keeps the row counts of system tables loosely: the total is a guide.
            if (progress_ && (++done_ % 1024 == 0)) progress_(std::min(done_, total_), total_);
        }
    }

    void copyTableRows(const std::string& name) {
        // Indexes are built once all rows are in: packed full, as Access's compaction leaves
        // them, where upkeep row by row leaves half-full pages behind every split.
        forEachRow(name, [&](std::vector<core::Value> values,
                             std::span<const std::optional<core::Bytes>> storedText) {
            destination_.insertRowUnindexed(name, std::move(values), storedText);
        });
        auto& later = laterIndexes_[name];
        destination_.buildIndexes(name, std::move(later.data), std::move(later.defs));
    }

    // The rows Database::create wrote give way to the source's. Of the catalog's own rows,
    // those naming an object the source lacks (a system table it never had) stay.
    void replaceRows(const std::string& name) {
        const bool catalog = core::sameName(name, "MSysObjects");
        const Table made = destination_.table(name);
        std::size_t idAt = 0;
        for (std::size_t i = 0; i < made.schema().columns.size(); ++i)
            if (made.schema().columns[i].name == "Id") idAt = i;
        std::vector<RowId> rows;
        std::map<std::int32_t, std::vector<core::Value>> ownRows;
        {
            auto cursor = made.scan();
            while (cursor.next()) {
                rows.push_back(cursor.rowId());
                if (!catalog) continue;
                const core::Value id = cursor.value(idAt);
                auto& values = ownRows[id.getIf<std::int32_t>() ? *id.getIf<std::int32_t>() : 0];
                for (std::size_t i = 0; i < made.schema().columns.size(); ++i)
                    values.push_back(cursor.value(i));
            }
        }
        for (auto row : rows) destination_.deleteRow(name, row);
        // System rows go through the checked insert: a name or query text with a byte the
        // code page leaves undefined stops the compaction, which then leaves no copy.
        forEachRow(name, [&](std::vector<core::Value> values,
                             std::span<const std::optional<core::Bytes>>) {
            if (catalog)
                if (auto id = values[idAt].getIf<std::int32_t>()) ownRows.erase(*id);
            destination_.insertRow(name, std::move(values));
        });
        for (auto& [id, values] : ownRows) destination_.insertRow(name, std::move(values));
    }

    const Database& source_;
    Database& destination_;
    const CompactProgress& progress_;
    ObjectIdMap ids_;
    struct Indexes {
        std::vector<IndexData> data;
        std::vector<IndexDef> defs;
    };
    // The indexes of each table this copy created, added once its rows are in.
    std::map<std::string, Indexes> laterIndexes_;
    std::uint64_t total_ = 0, done_ = 0;
};

std::filesystem::path temporaryPathFor(const std::filesystem::path& destination) {
    auto p = destination;
    p += ".compacting";
    return p;
}

// A temporary copy left by a compaction that was killed is removed; one that another
// compaction is still writing (it holds the lock) is not.
void discardStaleTemporary(const std::filesystem::path& temporary) {
    if (!fileExists(temporary)) return;
    {
        OsFile stale(temporary, OsFile::Mode::ReadWrite);
        if (!stale.tryLock(OsFile::LockRange::Writer, OsFile::Lock::Exclusive))
            throw core::InUseError("Another compaction is writing \"" + temporary.string() + "\".");
    }
    removeFile(temporary);
}

} // namespace

void compactDatabase(const std::filesystem::path& sourcePath,
                     const std::filesystem::path& destinationPath, const std::string& password,
                     const CompactProgress& progress) {
    // Opening for writing takes the file's lock: a source another program is writing is
    // refused rather than copied half-changed. Nothing is written to it.
    auto source = Database::open(sourcePath, password, OpenMode::ReadWrite);
    if (!source->writable()) source = Database::open(sourcePath, password, OpenMode::ReadOnly);
    if (fileExists(destinationPath)) throw core::IoError("Database already exists.");

    // The copy is made under a temporary name and takes the destination's name only when
    // complete: a compaction that is killed or fails leaves no destination, never a partial one.
    const auto temporary = temporaryPathFor(destinationPath);
    discardStaleTemporary(temporary);
    try {
        // The copy keeps the source's version: the window puts it in the original's place, and
        // an Access 97 file must stay one that Access 97 opens. Its header (password, sort
        // order) and system tables are the source's.
        auto destination = source->header().version == JetVersion::Jet3
                               ? Database::createEmptyLike(temporary, *source)
                               : Database::create(temporary, source->header().password);
        Copier(*source, *destination, progress).run();
        destination.reset();
        if (fileExists(destinationPath)) throw core::IoError("Database already exists.");
        std::error_code error;
        std::filesystem::rename(temporary, destinationPath, error);
        if (error)
            throw core::IoError("Cannot write \"" + destinationPath.string() +
                                "\": " + error.message() + ".");
        syncFolderOf(destinationPath);
    } catch (...) {
        removeFile(temporary);
        throw;
    }
}

} // namespace jet
