#include "jet/write/IndexMaintainer.h"

#include "core/Error.h"
#include "jet/index/IndexKeyColumns.h"
#include "jet/index/IndexTree.h"
#include "jet/index/ParsedIndexPages.h"
#include "jet/keys/KeyEncoder.h"
#include "jet/write/UsageMapEditor.h"

#include <algorithm>

namespace jet {

namespace {

// The index's pages come from the database's allocator and are listed in its usage map.
class MappedIndexStore : public IndexPageStore {
public:
    MappedIndexStore(PageStore& store, std::uint32_t usageMap)
        : store_(store), usageMap_(usageMap) {}
    PageRef read(std::uint32_t page) const override { return store_.read(page); }
    const FileFormat& format() const override { return store_.file().format(); }
    // Each insert checks its key and then adds it along the same path of pages: those stay
    // parsed until they are written.
    std::shared_ptr<const IndexPage> parsed(std::uint32_t page) const override {
        return parsed_.get(page, store_.read(page), format());
    }
    void write(std::uint32_t page, const PageBytes& bytes) override {
        parsed_.forget(page);
        store_.write(page, bytes);
    }
    PageBytes& modify(std::uint32_t page) override {
        parsed_.forget(page);
        return store_.modify(page);
    }
    void written(std::uint32_t page, IndexPage parsed) override {
        parsed_.put(page, store_.read(page), std::move(parsed));
    }
    std::uint32_t allocate() override {
        std::uint32_t page = store_.allocate();
        if (usageMap_) UsageMapEditor(store_, usageMap_).add(page);
        return page;
    }
    void release(std::uint32_t page) override {
        if (usageMap_) UsageMapEditor(store_, usageMap_).remove(page);
        store_.release(page);
    }

private:
    PageStore& store_;
    std::uint32_t usageMap_;
    mutable ParsedIndexPages parsed_;
};

bool isPrimary(const TableSchema& schema, std::size_t dataIndex) {
    return std::any_of(schema.indexes.begin(), schema.indexes.end(), [&](const IndexDef& d) {
        return d.dataIndex == dataIndex && d.kind == IndexKind::Primary;
    });
}

} // namespace

struct IndexMaintainer::Index {
    const IndexData* data;
    bool primary;
    std::vector<std::size_t> positions;
    std::vector<KeyColumn> columns;
    std::unique_ptr<MappedIndexStore> pages;
    std::unique_ptr<IndexTree> tree;

    // A primary key or an index with Disallow Null: no key column may hold Null.
    bool refusesNull() const { return primary || (data->flags & index_flag::kRequired); }
};

IndexMaintainer::IndexMaintainer(PageStore& store, const TableSchema& schema) : schema_(schema) {
    for (std::size_t i = 0; i < schema.indexData.size(); ++i) {
        const IndexData& data = schema.indexData[i];
        auto index = std::make_unique<Index>();
        index->data = &data;
        index->primary = isPrimary(schema, i);
        index->positions = indexColumnPositions(schema, data);
        index->columns = indexKeyColumns(schema, data, store.file().format());
        index->pages = std::make_unique<MappedIndexStore>(store, data.usageMapPointer);
        index->tree =
            std::make_unique<IndexTree>(*index->pages, schema.definitionPage, data, index->primary);
        indexes_.push_back(std::move(index));
    }
}

IndexMaintainer::~IndexMaintainer() = default;

core::Bytes IndexMaintainer::keyOf(const Index& index,
                                   const std::vector<core::Value>& values) const {
    keyValues_.clear();
    for (std::size_t p : index.positions) keyValues_.push_back(values.at(p));
    return encodeKey(index.columns, keyValues_);
}

void IndexMaintainer::checkAdmissible(const std::vector<core::Value>& values,
                                      std::optional<RowId> replacing) const {
    admit(values, replacing);
}

std::vector<core::Bytes> IndexMaintainer::admit(const std::vector<core::Value>& values,
                                                std::optional<RowId> replacing) const {
    std::vector<core::Bytes> keys;
    keys.reserve(indexes_.size());
    for (const auto& index : indexes_) {
        if (index->refusesNull())
            for (std::size_t p : index->positions)
                if (values.at(p).isNull())
                    throw core::ConstraintError(
                        index->primary ? std::string(kNullKeyMessage)
                                       : "The field '" + schema_.columns[p].name +
                                             "' cannot contain a Null value because the index "
                                             "requires a value.");
        keys.push_back(keyOf(*index, values));
        const core::Bytes& key = keys.back();
        if (!index->tree->unique()) continue;
        // Any number of rows may have an all-null key, as Jet allows.
        if (isAllNullKey(*index->data, key) || !index->tree->containsKey(key)) continue;
        if (replacing) {
            // The row being replaced may hold this very key.
            auto cursor = index->tree->cursor();
            cursor.seek(key);
            bool onlySelf = true;
            while (cursor.next()) {
                auto found = cursor.key();
                if (!std::equal(found.begin(), found.end(), key.begin(), key.end())) break;
                if (cursor.rowId() != *replacing) onlySelf = false;
            }
            if (onlySelf) continue;
        }
        throw core::ConstraintError(kDuplicateKeyMessage);
    }
    return keys;
}

void IndexMaintainer::add(const std::vector<core::Value>& values, RowId row) {
    std::vector<core::Bytes> keys;
    keys.reserve(indexes_.size());
    for (const auto& index : indexes_) keys.push_back(keyOf(*index, values));
    add(keys, row);
}

void IndexMaintainer::add(const std::vector<core::Bytes>& keys, RowId row) {
    if (keys.size() != indexes_.size())
        throw core::Error("Internal error: a row's keys do not match its table's indexes.");
    for (std::size_t i = 0; i < indexes_.size(); ++i) {
        auto status = indexes_[i]->tree->insert(keys[i], row);
        if (status == InsertStatus::DuplicateKey) throw core::ConstraintError(kDuplicateKeyMessage);
    }
}

void IndexMaintainer::remove(const std::vector<core::Value>& values, RowId row) {
    for (auto& index : indexes_) index->tree->remove(keyOf(*index, values), row);
}

void IndexMaintainer::rebuild(const std::vector<std::pair<std::vector<core::Value>, RowId>>& rows) {
    for (auto& index : indexes_) {
        // A key that may not hold Null cannot be built over rows that hold one.
        if (index->refusesNull())
            for (const auto& [values, id] : rows)
                for (std::size_t p : index->positions)
                    if (values.at(p).isNull()) throw core::ConstraintError(kNullKeyMessage);
        std::vector<IndexEntry> entries;
        entries.reserve(rows.size());
        for (const auto& [values, id] : rows) entries.push_back({keyOf(*index, values), id});
        std::sort(entries.begin(), entries.end(), [](const IndexEntry& a, const IndexEntry& b) {
            return a.key != b.key ? a.key < b.key : a.row < b.row;
        });
        if (index->tree->unique())
            for (std::size_t i = 1; i < entries.size(); ++i)
                if (entries[i].key == entries[i - 1].key && index->tree->admits(entries[i].key) &&
                    !isAllNullKey(*index->data, entries[i].key))
                    throw core::ConstraintError(kDuplicateKeyMessage);
        index->tree->build(entries);
    }
}

std::vector<std::string>
IndexMaintainer::verify(const std::vector<std::pair<std::vector<core::Value>, RowId>>& rows) const {
    std::vector<std::string> problems;
    for (const auto& index : indexes_) {
        std::vector<IndexEntry> entries;
        for (const auto& [values, id] : rows) entries.push_back({keyOf(*index, values), id});
        for (auto& p : index->tree->verify(entries)) problems.push_back(std::move(p));
    }
    return problems;
}

} // namespace jet
