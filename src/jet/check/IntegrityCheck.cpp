#include "jet/check/IntegrityCheck.h"

#include "core/Error.h"
#include "jet/catalog/PropertyMap.h"
#include "jet/file/UsageMap.h"
#include "jet/index/IndexKeyColumns.h"
#include "jet/index/IndexPageStore.h"
#include "jet/index/IndexVerify.h"
#include "jet/keys/KeyEncoder.h"
#include "jet/rows/DataPage.h"
#include "jet/rows/LongValue.h"
#include "jet/rows/RowLayout.h"
#include "jet/rows/ValueDecoder.h"
#include "jet/schema/TableDefinition.h"

#include <algorithm>
#include <map>

namespace jet {

namespace {

class Checker {
public:
    explicit Checker(const Database& db) : db_(db), file_(db.pages()), format_(file_.format()) {}

    CheckReport run() {
        report_.pages = file_.pageCount();
        claim(0, "the header");
        claim(1, "the global usage map");
        for (const auto& entry : db_.catalog().entries()) {
            if (!entry.isTable()) continue;
            guarded("table '" + entry.name + "'", [&] { checkTable(entry); });
            // Every open of the table reads its column properties (defaults, Required).
            guarded("the properties of table '" + entry.name + "'",
                    [&] { (void)parsePropertyMaps(entry.propertyBlob); });
        }
        guarded("the global usage map", [&] {
            for (std::uint32_t page : readUsageMap(file_, (1u << 8), BeyondEnd::Ignore)) {
                auto owner = owners_.find(page);
                if (owner != owners_.end() && page > 1)
                    problem("page " + std::to_string(page) + " is marked free but belongs to " +
                            owner->second);
            }
        });
        return std::move(report_);
    }

private:
    template <class F> void guarded(const std::string& what, F&& f) {
        try {
            f();
        } catch (const std::exception& e) {
            problem(what + ": " + e.what());
        }
    }

    void problem(std::string text) { report_.problems.push_back(std::move(text)); }

    void claim(std::uint32_t page, const std::string& owner) {
        auto [it, fresh] = owners_.emplace(page, owner);
        if (!fresh && it->second != owner)
            problem("page " + std::to_string(page) + " is claimed by both " + it->second + " and " +
                    owner);
    }

    void checkTable(const CatalogEntry& entry) {
        ++report_.tables;
        auto schema = readTableDefinition(file_, entry.definitionPage());
        std::string owner = "table '" + entry.name + "'";
        // The definition's own pages.
        for (std::uint32_t page = entry.definitionPage(); page != 0;
             page = u32(file_.bytes(file_.read(page)), tdef::kNextPage))
            claim(page, owner);
        for (const auto& c : schema.columns)
            if (!c.isFixed() && c.varIndex >= std::max<std::uint16_t>(schema.variableColumns, 1) &&
                schema.variableColumns > 0)
                problem(owner + ": column '" + c.name +
                        "' has a variable slot past the table's count");

        checkRelationshipEntries(owner, schema);

        bool hasVariable = schema.variableColumns > 0;
        std::uint32_t rows = 0;
        // Every row's values under the address indexes know it by: its own slot, or for a
        // moved row the slot that points to it.
        std::vector<std::pair<std::vector<core::Value>, RowId>> homeRows;
        std::int64_t largestCounter = 0;
        for (std::uint32_t page : readUsageMap(file_, schema.usageMapPointer)) {
            claim(page, owner);
            auto pageRef = file_.read(page);
            auto bytes = file_.bytes(pageRef);
            if (bytes[0] != static_cast<std::uint8_t>(PageType::Data) ||
                u32(bytes, data_page::kOwner) != schema.definitionPage) {
                problem(owner + ": its usage map names page " + std::to_string(page) +
                        ", which is not one of its data pages");
                continue;
            }
            std::uint16_t slots = slotCount(bytes, format_);
            std::size_t used = format_.dataPage.firstOffset + 2u * slots;
            for (std::uint16_t s = 0; s < slots; ++s) {
                RowSlot slot = rowSlot(bytes, s, format_);
                if (slot.deleted) continue;
                used += slot.end - slot.start;
                RowId home{page, static_cast<std::uint8_t>(s)};
                if (slot.pointer) {
                    ++rows;
                    if (auto values = checkMovedRow(owner, schema, bytes, slot, hasVariable))
                        homeRows.emplace_back(std::move(*values), home);
                    continue;
                }
                auto values =
                    checkRow(owner, schema, bytes.subspan(slot.start, slot.end - slot.start),
                             hasVariable, largestCounter);
                if (!slot.movedHere) {
                    ++rows;
                    if (values) homeRows.emplace_back(std::move(*values), home);
                }
            }
            if (u16(bytes, data_page::kFreeSpace) > format_.pageSize - used)
                problem(owner + ": page " + std::to_string(page) +
                        " claims more free space than it has");
        }
        report_.rows += rows;
        // Jet keeps the row counts of its own system tables loosely; those of user tables
        // are exact.
        if (rows != schema.rowCount && !entry.isSystem())
            problem(owner + ": the definition counts " + std::to_string(schema.rowCount) +
                    " rows but " + std::to_string(rows) + " are stored");
        for (const auto& c : schema.columns)
            if ((c.flags & column_flag::kAutoLong) &&
                largestCounter > static_cast<std::int64_t>(schema.nextAutoNumber))
                report_.notes.push_back(owner + ": the counter of '" + c.name + "' stands at " +
                                        std::to_string(schema.nextAutoNumber) +
                                        " but a row holds " + std::to_string(largestCounter) +
                                        "; new rows get values above the highest");
        checkIndexes(owner, schema, homeRows);
        for (const auto& index : schema.indexData) {
            if (index.usageMapPointer == 0) continue;
            for (std::uint32_t page : readUsageMap(file_, index.usageMapPointer)) {
                claim(page, owner + "'s indexes");
                auto type = (*file_.read(page))[0];
                if (type != static_cast<std::uint8_t>(PageType::IndexLeaf) &&
                    type != static_cast<std::uint8_t>(PageType::IndexNode))
                    problem(owner + ": an index map names page " + std::to_string(page) +
                            ", which is not an index page");
            }
        }
    }

    std::optional<std::vector<core::Value>> checkMovedRow(const std::string& owner,
                                                          const TableSchema& schema, ByteSpan page,
                                                          const RowSlot& slot, bool hasVariable) {
        if (slot.end - slot.start < 4) {
            problem(owner + ": a moved row's pointer is cut short");
            return std::nullopt;
        }
        RowId target = RowId::fromPointer(u32(page, slot.start));
        auto targetPage = file_.read(target.page);
        auto bytes = file_.bytes(targetPage);
        RowSlot moved = rowSlot(bytes, target.slot, format_);
        if (!moved.movedHere || u32(bytes, data_page::kOwner) != schema.definitionPage) {
            problem(owner + ": a moved row's pointer does not lead to a moved row");
            return std::nullopt;
        }
        RowLayout layout(bytes.subspan(moved.start, moved.end - moved.start), hasVariable, format_);
        std::vector<core::Value> values;
        for (const auto& c : schema.columns) values.push_back(decodeColumn(file_, layout, c));
        return values;
    }

    std::optional<std::vector<core::Value>> checkRow(const std::string& owner,
                                                     const TableSchema& schema, ByteSpan row,
                                                     bool hasVariable,
                                                     std::int64_t& largestCounter) {
        try {
            RowLayout layout(row, hasVariable, format_);
            if (layout.columnCount() > schema.maxColumns)
                problem(owner + ": a row has more columns than the table ever had");
            std::vector<core::Value> values;
            for (const auto& c : schema.columns) {
                values.push_back(decodeColumn(file_, layout, c));
                const core::Value& v = values.back();
                if ((c.flags & column_flag::kAutoLong) && v.getIf<std::int32_t>())
                    largestCounter =
                        std::max<std::int64_t>(largestCounter, *v.getIf<std::int32_t>());
            }
            return values;
        } catch (const core::Error& e) {
            problem(owner + ": " + e.what());
            return std::nullopt;
        }
    }

    // A foreign-key entry names the other table's definition page and its entry there; that
    // entry must exist and point back, or Access cannot enforce the relationship.
    void checkRelationshipEntries(const std::string& owner, const TableSchema& schema) {
        for (const auto& def : schema.indexes) {
            if (def.kind != IndexKind::ForeignKey) continue;
            const std::string name = owner + ", relationship entry '" + def.name + "'";
            guarded(name, [&] {
                if (def.dataIndex >= schema.indexData.size())
                    return problem(name + " uses an index the table does not have");
                const CatalogEntry* other = nullptr;
                for (const auto& e : db_.catalog().entries())
                    if (e.isTable() && e.definitionPage() == def.relatedTablePage) other = &e;
                if (!other)
                    return problem(name + " names page " + std::to_string(def.relatedTablePage) +
                                   ", which holds no table");
                auto related = def.relatedTablePage == schema.definitionPage
                                   ? schema
                                   : readTableDefinition(file_, def.relatedTablePage);
                auto back = std::find_if(
                    related.indexes.begin(), related.indexes.end(), [&](const IndexDef& d) {
                        return static_cast<std::int32_t>(d.number) == def.relatedIndexNumber;
                    });
                if (back == related.indexes.end() || back->kind != IndexKind::ForeignKey)
                    return problem(name + " names index " + std::to_string(def.relatedIndexNumber) +
                                   " of table '" + other->name +
                                   "', which is not a relationship entry");
                if (back->relatedTablePage != schema.definitionPage ||
                    back->relatedIndexNumber != static_cast<std::int32_t>(def.number))
                    problem(name + " and entry '" + back->name + "' of table '" + other->name +
                            "' do not point at each other");
            });
        }
    }

    void checkIndexes(const std::string& owner, const TableSchema& schema,
                      const std::vector<std::pair<std::vector<core::Value>, RowId>>& rows) {
        PageFileSource pages(file_);
        for (std::size_t i = 0; i < schema.indexData.size(); ++i) {
            const IndexData& data = schema.indexData[i];
            std::string name = "index " + std::to_string(i);
            for (const auto& def : schema.indexes)
                if (def.dataIndex == i) name = "index '" + def.name + "'";
            guarded(owner + ", " + name, [&] {
                auto positions = indexColumnPositions(schema, data);
                auto columns = indexKeyColumns(schema, data, format_);
                std::vector<IndexEntry> expected;
                std::vector<core::Value> key(positions.size());
                for (const auto& [values, home] : rows) {
                    for (std::size_t k = 0; k < positions.size(); ++k)
                        key[k] = values[positions[k]];
                    core::Bytes encoded = encodeKey(columns, key);
                    // An index that ignores nulls keeps no entry for an all-null key.
                    if (indexAdmitsKey(data, encoded))
                        expected.push_back({std::move(encoded), home});
                }
                for (auto& p : verifyIndexTree(pages, schema.definitionPage, data.firstPage,
                                               std::move(expected)))
                    problem(owner + ", " + name + ": " + p);
            });
        }
    }

    const Database& db_;
    const PageFile& file_;
    const FileFormat& format_;
    CheckReport report_;
    std::map<std::uint32_t, std::string> owners_;
};

} // namespace

CheckReport checkDatabase(const Database& db) {
    return Checker(db).run();
}

} // namespace jet
