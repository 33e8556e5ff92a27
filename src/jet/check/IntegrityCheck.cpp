#include "jet/check/IntegrityCheck.h"

#include "core/Error.h"
#include "jet/file/UsageMap.h"
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
    explicit Checker(const Database& db) : db_(db), file_(db.pages()) {}

    CheckReport run() {
        report_.pages = file_.pageCount();
        claim(0, "the header");
        claim(1, "the global usage map");
        for (const auto& entry : db_.catalog().entries()) {
            if (!entry.isTable()) continue;
            guarded("table '" + entry.name + "'", [&] { checkTable(entry); });
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
             page = u32(bytesOf(file_.read(page)), tdef::kNextPage))
            claim(page, owner);
        for (const auto& c : schema.columns)
            if (!c.isFixed() && c.varIndex >= std::max<std::uint16_t>(schema.variableColumns, 1) &&
                schema.variableColumns > 0)
                problem(owner + ": column '" + c.name +
                        "' has a variable slot past the table's count");

        bool hasVariable = schema.variableColumns > 0;
        std::uint32_t rows = 0;
        std::int64_t largestCounter = 0;
        for (std::uint32_t page : readUsageMap(file_, schema.usageMapPointer)) {
            claim(page, owner);
            auto bytes = bytesOf(file_.read(page));
            if (bytes[0] != static_cast<std::uint8_t>(PageType::Data) ||
                u32(bytes, data_page::kOwner) != schema.definitionPage) {
                problem(owner + ": its usage map names page " + std::to_string(page) +
                        ", which is not one of its data pages");
                continue;
            }
            std::uint16_t slots = slotCount(bytes);
            std::size_t used = data_page::kFirstOffset + 2u * slots;
            for (std::uint16_t s = 0; s < slots; ++s) {
                RowSlot slot = rowSlot(bytes, s);
                if (slot.deleted) continue;
                used += slot.end - slot.start;
                if (slot.pointer) {
                    ++rows;
                    checkMovedRow(owner, schema, bytes, slot);
                    continue;
                }
                if (!slot.movedHere) ++rows;
                checkRow(owner, schema, bytes.subspan(slot.start, slot.end - slot.start),
                         hasVariable, largestCounter);
            }
            if (u16(bytes, data_page::kFreeSpace) > kPageSize - used)
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
                problem(owner + ": the counter of '" + c.name + "' stands at " +
                        std::to_string(schema.nextAutoNumber) + " but a row holds " +
                        std::to_string(largestCounter));
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

    void checkMovedRow(const std::string& owner, const TableSchema& schema, ByteSpan page,
                       const RowSlot& slot) {
        if (slot.end - slot.start < 4) {
            problem(owner + ": a moved row's pointer is cut short");
            return;
        }
        RowId target = RowId::fromPointer(u32(page, slot.start));
        auto bytes = bytesOf(file_.read(target.page));
        RowSlot moved = rowSlot(bytes, target.slot);
        if (!moved.movedHere || u32(bytes, data_page::kOwner) != schema.definitionPage) {
            problem(owner + ": a moved row's pointer does not lead to a moved row");
            return;
        }
    }

    void checkRow(const std::string& owner, const TableSchema& schema, ByteSpan row,
                  bool hasVariable, std::int64_t& largestCounter) {
        try {
            RowLayout layout(row, hasVariable);
            if (layout.columnCount() > schema.maxColumns)
                problem(owner + ": a row has more columns than the table ever had");
            for (const auto& c : schema.columns) {
                core::Value v = decodeColumn(file_, layout, c);
                if ((c.flags & column_flag::kAutoLong) && v.getIf<std::int32_t>())
                    largestCounter =
                        std::max<std::int64_t>(largestCounter, *v.getIf<std::int32_t>());
            }
        } catch (const core::Error& e) {
            problem(owner + ": " + e.what());
        }
    }

    const Database& db_;
    const PageFile& file_;
    CheckReport report_;
    std::map<std::uint32_t, std::string> owners_;
};

} // namespace

CheckReport checkDatabase(const Database& db) {
    return Checker(db).run();
}

} // namespace jet
