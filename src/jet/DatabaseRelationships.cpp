// Relationships as the Database changes them: both tables' foreign-key entries and the rows of
// MSysRelationships, written or taken away in one atomic change.
#include "jet/Database.h"

#include "core/Error.h"
#include "core/ObjectName.h"
#include "jet/schema/TableDefinition.h"
#include "jet/write/PageStore.h"
#include "jet/write/TableStorage.h"

namespace jet {

namespace {
constexpr std::string_view kRelationshipsTable = "MSysRelationships";

std::size_t columnPosition(const TableSchema& schema, std::string_view name) {
    for (std::size_t i = 0; i < schema.columns.size(); ++i)
        if (core::sameName(schema.columns[i].name, name)) return i;
    throwDamaged("MSysRelationships lacks its column " + std::string(name));
}

std::string textOf(const core::Value& v) {
    const auto* s = v.getIf<std::string>();
    return s ? *s : std::string();
}

const ColumnDef& columnNumbered(const TableSchema& schema, std::uint16_t number) {
    const ColumnDef* c = schema.columnByNumber(number);
    if (!c) throwDamaged("a relationship names a field its table lacks");
    return *c;
}
} // namespace

void Database::createRelationship(const RelationshipDef& rel, RelationshipRows rows) {
    requireDefinitionChange();
    const CatalogEntry& childEntry = requireTable(rel.table);
    const CatalogEntry& parentEntry = requireTable(rel.referencedTable);
    auto child = schemaFor(childEntry);
    auto parent = schemaFor(parentEntry);
    if (rel.name.empty() || rel.name.size() > 64)
        throw core::SqlError("'" + rel.name + "' is not a valid name.");
    if (rel.columns.empty() || rel.columns.size() != rel.referencedColumns.size() ||
        rel.columns.size() > 10)
        throw core::SqlError(
            "Relationship must be on the same number of fields with the same data types.");
    const auto childColumns = relationshipColumns(*child, rel.columns);
    const auto parentColumns = relationshipColumns(*parent, rel.referencedColumns);
    for (std::size_t i = 0; i < childColumns.size(); ++i)
        if (columnNumbered(*child, childColumns[i]).type !=
            columnNumbered(*parent, parentColumns[i]).type)
            throw core::SqlError(
                "Relationship must be on the same number of fields with the same data types.");
    for (const auto& existing : child->indexes)
        if (core::sameName(existing.name, rel.name))
            throw core::SqlError("Relationship '" + rel.name + "' already exists.");
    const Table relationships = table(kRelationshipsTable);
    const TableSchema& relSchema = relationships.schema();
    {
        const std::size_t nameAt = columnPosition(relSchema, "szRelationship");
        auto cursor = relationships.scan();
        while (cursor.next())
            if (core::sameName(textOf(cursor.value(nameAt)), rel.name))
                throw core::SqlError("Relationship '" + rel.name + "' already exists.");
    }
    const auto parentData = indexOverColumns(*parent, parentColumns, true);
    if (!parentData)
        throw core::SqlError("No unique index found for the referenced field of the primary "
                             "table.");
    // Checked before anything is written, so a refusal leaves no trace.
    requireParentsExist(*parent, parentColumns, allRows(parent->name), *child, childColumns,
                        allRows(child->name), pages_->format());
    const bool oneToOne = indexOverColumns(*child, childColumns, true).has_value();
    const std::int32_t grbit = relationshipGrbit(rel, oneToOne);

    releaseWritersOf(parentEntry.definitionPage());
    releaseWritersOf(childEntry.definitionPage());
    atomically([&] {
        // The referenced side's entry comes first, so the referencing side's number is the
        // next one after it (in the same table, for a table that refers to itself).
        IndexDef referenced;
        referenced.name = referencedEntryName(*parent);
        referenced.number = nextLogicalIndexNumber(*parent);
        referenced.dataIndex = *parentData;
        referenced.kind = IndexKind::ForeignKey;
        referenced.relatedTableType = relationship_side::kReferenced;
        referenced.relatedTablePage = child->definitionPage;
        referenced.cascadeUpdates = rel.cascadeUpdates;
        referenced.cascadeDeletes = rel.cascadeDeletes;
        if (parent->indexes.size() >= 32)
            throw core::SqlError("Too many indexes on table '" + parent->name + "'.");
        parent->indexes.push_back(referenced);

        IndexDef referencing;
        referencing.name = rel.name;
        referencing.kind = IndexKind::ForeignKey;
        referencing.relatedTableType = relationship_side::kReferencing;
        referencing.relatedIndexNumber = static_cast<std::int32_t>(referenced.number);
        referencing.relatedTablePage = parent->definitionPage;
        referencing.cascadeUpdates = rel.cascadeUpdates;
        referencing.cascadeDeletes = rel.cascadeDeletes;
        const std::uint32_t referencingNumber = nextLogicalIndexNumber(*child);
        parent->indexes.back().relatedIndexNumber = static_cast<std::int32_t>(referencingNumber);
        if (auto shared = indexOverColumns(*child, childColumns, false)) {
            if (child->indexes.size() >= 32)
                throw core::SqlError("Too many indexes on table '" + child->name + "'.");
            referencing.number = referencingNumber;
            referencing.dataIndex = *shared;
            child->indexes.push_back(referencing);
            rewriteTableDefinition(*store_, *child);
        } else {
            IndexData data;
            for (auto number : childColumns) data.columns.push_back({number, true});
            data.flags = 0x80; // what Access sets on every index it writes
            addIndexStorage(*store_, *child, std::move(data), referencing);
            rewriteTableDefinition(*store_, *child);
            reindex(*child);
        }
        if (parent != child) rewriteTableDefinition(*store_, *parent);

        if (rows == RelationshipRows::Skip) return;
        for (std::size_t i = 0; i < childColumns.size(); ++i) {
            std::vector<core::Value> row(relSchema.columns.size());
            for (std::size_t c = 0; c < relSchema.columns.size(); ++c) {
                const std::string& n = relSchema.columns[c].name;
                if (n == "ccolumn")
                    row[c] = core::Value(static_cast<std::int32_t>(childColumns.size()));
                else if (n == "grbit")
                    row[c] = core::Value(grbit);
                else if (n == "icolumn")
                    row[c] = core::Value(static_cast<std::int32_t>(i));
                else if (n == "szColumn")
                    row[c] = core::Value(columnNumbered(*child, childColumns[i]).name);
                else if (n == "szObject")
                    row[c] = core::Value(child->name);
                else if (n == "szReferencedColumn")
                    row[c] = core::Value(columnNumbered(*parent, parentColumns[i]).name);
                else if (n == "szReferencedObject")
                    row[c] = core::Value(parent->name);
                else if (n == "szRelationship")
                    row[c] = core::Value(rel.name);
            }
            insertRow(kRelationshipsTable, std::move(row));
        }
    });
}

void Database::dropRelationship(std::string_view tableName, std::string_view name) {
    requireDefinitionChange();
    const CatalogEntry& childEntry = requireTable(tableName);
    auto child = schemaFor(childEntry);
    const IndexDef* referencing = nullptr;
    for (const auto& d : child->indexes)
        if (d.kind == IndexKind::ForeignKey && core::sameName(d.name, name)) referencing = &d;

    const Table relationships = table(kRelationshipsTable);
    const TableSchema& relSchema = relationships.schema();
    const std::size_t objectAt = columnPosition(relSchema, "szObject");
    const std::size_t nameAt = columnPosition(relSchema, "szRelationship");
    std::vector<RowId> rows;
    {
        auto cursor = relationships.scan();
        while (cursor.next())
            if (core::sameName(textOf(cursor.value(objectAt)), child->name) &&
                core::sameName(textOf(cursor.value(nameAt)), name))
                rows.push_back(cursor.rowId());
    }
    if (!referencing && rows.empty())
        throw core::SqlError("Constraint '" + std::string(name) + "' does not exist on table '" +
                             child->name + "'.");

    std::shared_ptr<TableSchema> parent;
    std::string parentEntryName;
    if (referencing)
        for (const auto& e : catalog_.entries())
            if (e.isTable() && e.definitionPage() == referencing->relatedTablePage) {
                parent = schemaFor(e);
                for (const auto& d : parent->indexes)
                    if (d.kind == IndexKind::ForeignKey &&
                        static_cast<std::int32_t>(d.number) == referencing->relatedIndexNumber)
                        parentEntryName = d.name;
            }
    const std::string childEntryName = referencing ? referencing->name : std::string();

    releaseWritersOf(childEntry.definitionPage());
    if (parent) releaseWritersOf(parent->definitionPage);
    atomically([&] {
        if (!childEntryName.empty()) {
            dropIndexStorage(*store_, *child, childEntryName);
            rewriteTableDefinition(*store_, *child);
        }
        if (parent && !parentEntryName.empty()) {
            // It shares the parent's key: only the logical entry goes.
            dropIndexStorage(*store_, *parent, parentEntryName);
            rewriteTableDefinition(*store_, *parent);
        }
        for (auto id : rows) deleteRow(kRelationshipsTable, id);
    });
}

} // namespace jet
