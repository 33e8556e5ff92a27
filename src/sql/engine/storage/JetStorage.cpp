#include "sql/engine/storage/JetStorage.h"

#include "core/TextEncoding.h"
#include "jet/Cursor.h"
#include "jet/Database.h"
#include "jet/file/UsageMap.h"
#include "jet/index/IndexCursor.h"
#include "jet/index/IndexKeyColumns.h"
#include "jet/index/IndexPageStore.h"
#include "jet/keys/KeyEncoder.h"
#include "jet/keys/TextKey.h"
#include "jet/rows/DataPage.h"
#include "jet/rows/RowLayout.h"
#include "jet/rows/ValueDecoder.h"
#include "jet/write/Relationships.h"
#include "sql/engine/EngineErrors.h"
#include "sql/engine/storage/SavedQueryRows.h"

#include <algorithm>
#include <cctype>
#include <map>
#include <mutex>
#include <tuple>

namespace sql {

namespace {

class JetCursor : public RowCursor {
public:
    explicit JetCursor(jet::Cursor cursor) : cursor_(std::move(cursor)) {}
    bool next() override { return cursor_.next(); }
    core::Value value(std::size_t column) const override { return cursor_.value(column); }
    RowLocator locator() const override { return RowLocator::fromRowId(cursor_.rowId()); }

private:
    jet::Cursor cursor_;
};

std::string upper(std::string_view s) {
    std::string out(s);
    for (auto& c : out) c = static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
    return out;
}

ColumnInfo columnInfoOf(const jet::ColumnDef& c, const jet::PropertyMaps& properties) {
    ColumnInfo info;
    info.name = c.name;
    info.type = c.type;
    info.size = c.type == jet::ColumnType::Text ? c.maxChars() : c.size;
    if (c.type == jet::ColumnType::Memo || c.type == jet::ColumnType::Ole ||
        c.type == jet::ColumnType::Boolean)
        info.size = c.type == jet::ColumnType::Boolean ? 1 : 0;
    info.precision = c.precision;
    info.scale = c.scale;
    info.autoNumber = c.isAutoNumber();
    if (const jet::PropertyMap* map = properties.column(c.name)) {
        if (const jet::Property* p = map->find("Required")) {
            if (const auto* b = p->value.getIf<bool>())
                info.required = *b;
            else if (const auto* n = p->value.getIf<std::uint8_t>())
                info.required = *n != 0;
        }
        if (const jet::Property* p = map->find("DefaultValue"))
            if (const auto* s = p->value.getIf<std::string>()) info.defaultValue = *s;
    }
    return info;
}

bool hasVariableColumns(const jet::TableSchema& schema) {
    return std::any_of(schema.columns.begin(), schema.columns.end(),
                       [](const jet::ColumnDef& c) { return !c.isFixed(); }) ||
           schema.variableColumns > 0;
}

// The relationships Jet keeps in MSysRelationships: one row per column pair.
void readForeignKeys(const jet::Database& database, const std::string& table, TableInfo& info) {
    if (!database.hasTable("MSysRelationships")) return;
    const jet::Table rel = database.table("MSysRelationships");
    const auto& columns = rel.schema().columns;
    auto position = [&](std::string_view name) -> std::optional<std::size_t> {
        for (std::size_t i = 0; i < columns.size(); ++i)
            if (columns[i].name == name) return i;
        return std::nullopt;
    };
    auto object = position("szObject"), relationship = position("szRelationship"),
         column = position("szColumn"), referenced = position("szReferencedObject"),
         referencedColumn = position("szReferencedColumn"), grbit = position("grbit"),
         order = position("icolumn");
    if (!object || !relationship || !column || !referenced || !referencedColumn) return;
    struct Pair {
        std::int32_t order;
        std::string column, referenced;
    };
    std::map<std::string, std::pair<ForeignKeyInfo, std::vector<Pair>>> keys;
    auto text = [](const core::Value& v) {
        return v.getIf<std::string>() ? *v.getIf<std::string>() : std::string();
    };
    auto cursor = rel.scan();
    while (cursor.next()) {
        if (!sameName(text(cursor.value(*object)), table)) continue;
        auto& [key, pairs] = keys[text(cursor.value(*relationship))];
        key.name = text(cursor.value(*relationship));
        key.referencedTable = text(cursor.value(*referenced));
        if (grbit) {
            auto g = cursor.value(*grbit);
            std::int32_t bits = g.getIf<std::int32_t>() ? *g.getIf<std::int32_t>() : 0;
            key.cascadeUpdates = bits & 0x100;
            key.cascadeDeletes = bits & 0x1000;
        }
        std::int32_t at = 0;
        if (order)
            if (auto o = cursor.value(*order); o.getIf<std::int32_t>())
                at = *o.getIf<std::int32_t>();
        pairs.push_back({at, text(cursor.value(*column)), text(cursor.value(*referencedColumn))});
    }
    for (auto& [name, entry] : keys) {
        auto& [key, pairs] = entry;
        std::sort(pairs.begin(), pairs.end(),
                  [](const Pair& a, const Pair& b) { return a.order < b.order; });
        for (const auto& p : pairs) {
            key.columns.push_back(p.column);
            key.referencedColumns.push_back(p.referenced);
        }
        info.foreignKeys.push_back(std::move(key));
    }
}

} // namespace

TableInfo tableInfoOf(const jet::Database& database, std::string_view table) {
    const jet::Table t = database.table(table);
    const jet::TableSchema& schema = t.schema();
    TableInfo info;
    info.name = schema.name;
    for (const auto& c : schema.columns) info.columns.push_back(columnInfoOf(c, t.properties()));
    for (const auto& index : schema.indexes) {
        // Relationship entries only mirror the referenced key; they are not indexes to use.
        if (index.kind == jet::IndexKind::ForeignKey) continue;
        if (index.dataIndex >= schema.indexData.size()) continue;
        const jet::IndexData& data = schema.indexData[index.dataIndex];
        IndexInfo out;
        out.name = index.name;
        out.primary = index.kind == jet::IndexKind::Primary;
        out.unique = out.primary || (data.flags & jet::index_flag::kUnique);
        out.ignoreNulls = data.flags & jet::index_flag::kIgnoreNulls;
        out.disallowNull = out.primary || (data.flags & jet::index_flag::kRequired);
        for (const auto& key : data.columns)
            if (const jet::ColumnDef* c = schema.columnByNumber(key.columnNumber))
                out.columns.push_back({c->name, !key.ascending});
        if (!out.columns.empty()) info.indexes.push_back(std::move(out));
    }
    readForeignKeys(database, schema.name, info);
    return info;
}

JetStorage::JetStorage(jet::Database& database) : database_(database) {}

std::vector<std::string> JetStorage::tableNames() const {
    return database_.tableNames();
}

std::vector<std::string> JetStorage::viewNames() const {
    return database_.viewNames();
}

std::optional<TableInfo> JetStorage::tableInfo(std::string_view table) const {
    const jet::CatalogEntry* entry = database_.catalog().findTable(table);
    if (!entry) return std::nullopt;
    const std::string key = upper(entry->name);
    auto it = infos_.find(key);
    if (it == infos_.end()) it = infos_.emplace(key, tableInfoOf(database_, entry->name)).first;
    return it->second;
}

std::optional<std::string> JetStorage::viewText(std::string_view view) const {
    if (!database_.hasQuery(view)) return std::nullopt;
    const jet::query::QueryKind kind = database_.queryKind(view);
    if (!jet::query::returnsRows(kind)) {
        // Pass-through and data-definition queries say what they are; the rest change rows.
        const bool action = kind != jet::query::QueryKind::PassThrough &&
                            kind != jet::query::QueryKind::BulkPassThrough &&
                            kind != jet::query::QueryKind::DataDefinition;
        throw core::SqlError("The " +
                             std::string(action ? "action" : jet::query::queryKindName(kind)) +
                             " query '" + std::string(view) + "' cannot be used as a row source.");
    }
    return database_.queryText(view);
}

bool JetStorage::hasQuery(std::string_view name) const {
    return database_.hasQuery(name);
}

void JetStorage::createView(std::string_view name, const SelectQuery& query,
                            const std::vector<ParameterDecl>& parameters) {
    changed();
    SavedQueryRows saved = savedQueryRows(query, parameters);
    database_.createQuery(std::string(name), saved.kind, std::move(saved.rows));
}

void JetStorage::dropView(std::string_view name) {
    changed();
    database_.dropQuery(name);
}

std::unique_ptr<RowCursor> JetStorage::scan(std::string_view table) const {
    return std::make_unique<JetCursor>(database_.table(table).scan());
}

namespace {

// The rows an index seek found, read one at a time by their home slots, so a row that
// moved since it was indexed is still found and one deleted meanwhile is skipped.
class SeekCursor : public RowCursor {
public:
    SeekCursor(const JetStorage& storage, std::string table, std::vector<jet::RowId> rows)
        : storage_(storage), table_(std::move(table)), rows_(std::move(rows)) {}

    bool next() override {
        while (next_ < rows_.size()) {
            current_ = rows_[next_++];
            if (auto row = storage_.readRow(table_, RowLocator::fromRowId(current_))) {
                values_ = std::move(*row);
                return true;
            }
        }
        return false;
    }
    core::Value value(std::size_t column) const override {
        return column < values_.size() ? values_[column] : core::Value();
    }
    RowLocator locator() const override { return RowLocator::fromRowId(current_); }

private:
    const JetStorage& storage_;
    std::string table_;
    std::vector<jet::RowId> rows_;
    std::size_t next_ = 0;
    jet::RowId current_{};
    std::vector<core::Value> values_;
};

// Longer than any key an index page can hold: a run of 0xFF bytes this long after a key
// prefix sorts after every key that starts with that prefix.
constexpr std::size_t kPastAnyKey = 4096;

core::Bytes pastPrefix(core::Bytes prefix) {
    prefix.insert(prefix.end(), kPastAnyKey, std::uint8_t{0xFF});
    return prefix;
}

// A text's index key leaves out its trailing blanks and everything past its first
// indexedTextUnits, so texts that compare unequal can share a key ("a" and "a "): a bound
// over a text column cannot exclude its own key.
bool sharesKeyWithOthers(const std::vector<jet::KeyColumn>& columns, const KeyBound& bound) {
    for (std::size_t i = 0; i < bound.values.size(); ++i) {
        const bool textual = columns[i].type == jet::KeyColumnType::Text ||
                             columns[i].type == jet::KeyColumnType::Memo;
        if (textual && bound.values[i].getIf<std::string>()) return true;
    }
    return false;
}

// The index data behind the logical index of that name; nullptr tells the caller to scan or
// sort instead.
const jet::IndexData* walkableIndex(const jet::TableSchema& schema, std::string_view index) {
    for (const auto& def : schema.indexes) {
        if (!sameName(def.name, index) || def.dataIndex >= schema.indexData.size()) continue;
        const jet::IndexData& data = schema.indexData[def.dataIndex];
        if (data.firstPage == 0) return nullptr;
        return &data;
    }
    return nullptr;
}

// Access 97 files key text in their own General sort order, which orders some texts
// otherwise than the engine compares them ("-" weighs as a character there): such an index
// serves equality on text, not ranges or order.
bool keysTextInOwnOrder(std::span<const jet::KeyColumn> columns) {
    return std::any_of(columns.begin(), columns.end(), [](const jet::KeyColumn& c) {
        return c.textOrder == jet::TextSortOrder::General97 &&
               (c.type == jet::KeyColumnType::Text || c.type == jet::KeyColumnType::Memo);
    });
}

bool ordersAsEngine(const jet::PageFile& file, const jet::TableSchema& schema,
                    const jet::IndexData& data) {
    try {
        return !keysTextInOwnOrder(jet::indexKeyColumns(schema, data, file.format()));
    } catch (const core::Error&) {
        return false;
    }
}

// Every text the engine takes as equal to the bound's shares its key when the bound asks
// for equality in text the file's code page holds as it is (a character it lacks would be
// keyed as the "?" it is stored as).
bool seeksEqualText(const KeyRange& range) {
    if (!range.low || !range.high || !range.low->inclusive || !range.high->inclusive ||
        range.low->values != range.high->values)
        return false;
    return std::all_of(range.low->values.begin(), range.low->values.end(),
                       [](const core::Value& v) {
                           const auto* text = v.getIf<std::string>();
                           return !text || core::cp1252ToUtf8(core::utf8ToCp1252(*text)) == *text;
                       });
}

} // namespace

std::unique_ptr<RowCursor> JetStorage::seekIndex(std::string_view table, std::string_view index,
                                                 const KeyRange& range) const {
    const jet::Table t = database_.table(table);
    const jet::TableSchema& schema = t.schema();
    const jet::IndexData* found = walkableIndex(schema, index);
    if (!found) return nullptr;
    const jet::IndexData& data = *found;

    const std::size_t used = std::max(range.low ? range.low->values.size() : 0,
                                      range.high ? range.high->values.size() : 0);
    if (used == 0 || used > data.columns.size()) return nullptr;
    std::vector<jet::KeyColumn> columns;
    try {
        columns = jet::indexKeyColumns(schema, data, database_.pages().format());
    } catch (const core::Error&) {
        return nullptr;
    }
    if (columns.size() < used) return nullptr;
    columns.resize(used);
    if (keysTextInOwnOrder(columns) && !seeksEqualText(range)) return nullptr;
    // A descending column reverses value order against byte order within its part; the
    // scan handles those.
    for (const auto& c : columns)
        if (!c.ascending) return nullptr;

    // The bytes of a bound over the first n columns are a prefix of the key of every row
    // with those values, whatever the later columns hold.
    auto prefixOf = [&](const KeyBound& bound) {
        return jet::encodeKey(std::span(columns.data(), bound.values.size()), bound.values);
    };
    std::optional<core::Bytes> low, high;
    try {
        if (range.low) {
            const bool inclusive = range.low->inclusive || sharesKeyWithOthers(columns, *range.low);
            low = inclusive ? prefixOf(*range.low) : pastPrefix(prefixOf(*range.low));
        }
        if (range.high) {
            const bool inclusive =
                range.high->inclusive || sharesKeyWithOthers(columns, *range.high);
            high = inclusive ? pastPrefix(prefixOf(*range.high)) : prefixOf(*range.high);
        }
    } catch (const core::Error&) {
        // A value the column's key cannot hold: the criteria decide on scanned rows.
        return nullptr;
    }
    if (low && high && !(*low < *high))
        return std::make_unique<SeekCursor>(*this, schema.name, std::vector<jet::RowId>{});

    const jet::PageFileSource pages(database_.pages());
    auto span = [](const std::optional<core::Bytes>& b) -> std::optional<jet::ByteSpan> {
        if (!b) return std::nullopt;
        return jet::ByteSpan(b->data(), b->size());
    };
    return std::make_unique<SeekCursor>(
        *this, schema.name, jet::rowsInRange(pages, data.firstPage, span(low), span(high)));
}

namespace {

// Single rows by locator over one table handle, so the catalog is consulted once.
class JetRowReader : public RowReader {
public:
    JetRowReader(const jet::Database& database, std::string_view table)
        : file_(database.pages()), table_(database.table(table)),
          hasVariable_(hasVariableColumns(table_.schema())), all_(table_.schema().columns.size()) {
        for (std::size_t i = 0; i < all_.size(); ++i) all_[i] = i;
    }

    std::optional<std::vector<core::Value>> read(RowLocator locator) const override {
        return read(locator, all_);
    }

    std::optional<std::vector<core::Value>>
    read(RowLocator locator, std::span<const std::size_t> columns) const override {
        const std::optional<Slot> found = find(locator);
        if (!found) return std::nullopt;
        jet::ByteSpan bytes = file_.bytes(found->page);
        jet::RowLayout row(bytes.subspan(found->slot.start, found->slot.end - found->slot.start),
                           hasVariable_, file_.format());
        std::vector<core::Value> values;
        values.reserve(columns.size());
        for (std::size_t c : columns)
            values.push_back(jet::decodeColumn(file_, row, table_.schema().columns.at(c)));
        return values;
    }

    std::optional<RowLocator> place(RowLocator locator) const override {
        const std::optional<Slot> found = find(locator);
        return found ? std::optional(RowLocator::fromRowId(found->id)) : std::nullopt;
    }

private:
    struct Slot {
        jet::RowId id;
        jet::PageRef page;
        jet::RowSlot slot;
    };

    // The slot holding the row's bytes, following the address a row that grew left behind.
    std::optional<Slot> find(RowLocator locator) const {
        const jet::TableSchema& schema = table_.schema();
        jet::RowId id = locator.toRowId();
        if (locator.slot > 0xFF) return std::nullopt;
        for (int hop = 0; hop < 2; ++hop) {
            if (id.page == 0 || id.page >= file_.pageCount()) return std::nullopt;
            jet::PageRef page = file_.read(id.page);
            jet::ByteSpan bytes = file_.bytes(page);
            if (bytes[0] != static_cast<std::uint8_t>(jet::PageType::Data) ||
                jet::u32(bytes, jet::data_page::kOwner) != schema.definitionPage ||
                id.slot >= jet::slotCount(bytes, file_.format()))
                return std::nullopt;
            jet::RowSlot slot = jet::rowSlot(bytes, id.slot, file_.format());
            if (slot.deleted) return std::nullopt;
            if (!slot.pointer) return Slot{id, std::move(page), slot};
            id = jet::RowId::fromPointer(jet::u32(bytes, slot.start));
        }
        return std::nullopt;
    }

    const jet::PageFile& file_;
    jet::Table table_;
    bool hasVariable_;
    std::vector<std::size_t> all_;
};

// The rows of one table in the order of an index, read by locator. Entries with equal keys
// come in stored order whichever way the index is walked, as a stable sort gives them.
class IndexOrderCursor : public RowCursor {
public:
    IndexOrderCursor(const jet::Database& database, std::string_view table, std::uint32_t rootPage,
                     bool backwards)
        : rows_(database, table), source_(database.pages()), cursor_(source_, rootPage),
          backwards_(backwards) {
        if (backwards_) cursor_.afterLast();
    }

    bool next() override {
        for (;;) {
            if (position_ < group_.size()) {
                current_ = group_[position_++];
                auto row = rows_.read(RowLocator::fromRowId(current_));
                if (!row) continue; // an index entry whose row is gone
                values_ = std::move(*row);
                return true;
            }
            if (!nextGroup()) return false;
        }
    }
    core::Value value(std::size_t column) const override {
        return column < values_.size() ? values_[column] : core::Value();
    }
    RowLocator locator() const override { return RowLocator::fromRowId(current_); }

private:
    bool step() { return backwards_ ? cursor_.previous() : cursor_.next(); }

    // The rows of the next run of equal keys, in stored order.
    bool nextGroup() {
        group_.clear();
        position_ = 0;
        if (!pending_) {
            if (!step()) return false;
            const jet::ByteSpan key = cursor_.key();
            key_.assign(key.begin(), key.end());
            row_ = cursor_.rowId();
        }
        pending_ = false;
        group_.push_back(row_);
        while (step()) {
            const jet::ByteSpan key = cursor_.key();
            if (!std::equal(key.begin(), key.end(), key_.begin(), key_.end())) {
                key_.assign(key.begin(), key.end());
                row_ = cursor_.rowId();
                pending_ = true;
                break;
            }
            group_.push_back(cursor_.rowId());
        }
        std::sort(group_.begin(), group_.end(), [](jet::RowId a, jet::RowId b) {
            return std::tie(a.page, a.slot) < std::tie(b.page, b.slot);
        });
        return true;
    }

    JetRowReader rows_;
    jet::PageFileSource source_;
    jet::IndexCursor cursor_;
    bool backwards_;
    std::vector<std::uint8_t> key_; // of the entry read past the last group
    jet::RowId row_{};
    bool pending_ = false;
    std::vector<jet::RowId> group_;
    std::size_t position_ = 0;
    jet::RowId current_{};
    std::vector<core::Value> values_;
};
} // namespace

std::optional<std::vector<core::Value>> JetStorage::readRow(std::string_view table,
                                                            RowLocator locator) const {
    return JetRowReader(database_, table).read(locator);
}

std::unique_ptr<RowReader> JetStorage::rowReader(std::string_view table) const {
    return std::make_unique<JetRowReader>(database_, table);
}

std::size_t JetStorage::rowCountHint(std::string_view table) const {
    // A damaged definition may claim billions: no data page holds more than 256 rows.
    const std::size_t most = std::size_t{database_.pages().pageCount()} * 256;
    return std::min<std::size_t>(database_.table(table).schema().rowCount, most);
}

std::vector<RowLocator> JetStorage::rowLocators(std::string_view table) const {
    // Straight into the one list, a million locators touching no second one.
    const jet::Table t = database_.table(table);
    std::vector<RowLocator> out;
    out.reserve(rowCountHint(table));
    jet::visitStoredRows(database_.pages(), t.schema(),
                         [&](std::uint32_t page, std::span<const std::uint16_t> slots) {
                             for (std::uint16_t slot : slots) out.push_back({page, slot});
                         });
    return out;
}

namespace {

class JetStoredPages : public StoredPages {
public:
    JetStoredPages(const jet::Database& database, std::string_view table, std::size_t rowCount)
        : file_(database.pages()), table_(database.table(table)),
          pages_(jet::readUsageMap(file_, table_.schema().usageMapPointer)), rowCount_(rowCount) {}

    std::size_t pageCount() const override { return pages_.size(); }
    std::size_t placeOf(RowLocator locator) const override {
        return static_cast<std::size_t>(
            std::lower_bound(pages_.begin(), pages_.end(), locator.page) - pages_.begin());
    }
    void rows(std::size_t from, std::size_t to, std::vector<RowLocator>& into) const override {
        to = std::min(to, pages_.size());
        if (from >= to) return;
        const std::span<const std::uint32_t> some(pages_.data() + from, to - from);
        jet::visitStoredRows(file_, table_.schema(), some,
                             [&](std::uint32_t page, std::span<const std::uint16_t> slots) {
                                 for (std::uint16_t slot : slots) into.push_back({page, slot});
                             });
    }
    std::size_t rowCount() const override { return rowCount_; }

private:
    const jet::PageFile& file_;
    jet::Table table_;
    std::vector<std::uint32_t> pages_; // ascending, as the usage map gives them
    std::size_t rowCount_;
};

} // namespace

std::unique_ptr<StoredPages> JetStorage::storedPages(std::string_view table) const {
    return std::make_unique<JetStoredPages>(database_, table, rowCountHint(table));
}

std::optional<std::vector<IndexedRow>> JetStorage::indexOrder(std::string_view table,
                                                              std::string_view index) const {
    const jet::Table t = database_.table(table);
    const jet::TableSchema& schema = t.schema();
    const jet::IndexData* data = walkableIndex(schema, index);
    if (!data || !ordersAsEngine(database_.pages(), schema, *data)) return std::nullopt;
    const jet::PageFileSource pages(database_.pages());
    jet::IndexCursor cursor(pages, data->firstPage);
    cursor.beforeFirst();
    std::vector<IndexedRow> rows;
    core::Bytes previous;
    while (cursor.next()) {
        const jet::ByteSpan key = cursor.key();
        const bool same =
            !rows.empty() && std::equal(key.begin(), key.end(), previous.begin(), previous.end());
        if (!same) previous.assign(key.begin(), key.end());
        rows.push_back({RowLocator::fromRowId(cursor.rowId()), same});
    }
    return rows;
}

std::unique_ptr<RowCursor> JetStorage::walkIndex(std::string_view table, std::string_view index,
                                                 bool backwards) const {
    const jet::Table t = database_.table(table);
    const jet::TableSchema& schema = t.schema();
    const jet::IndexData* data = walkableIndex(schema, index);
    // An index that leaves out rows whose key is Null does not hold every row.
    if (!data || (data->flags & jet::index_flag::kIgnoreNulls) != 0 ||
        !ordersAsEngine(database_.pages(), schema, *data))
        return nullptr;
    return std::make_unique<IndexOrderCursor>(database_, table, data->firstPage, backwards);
}

namespace {

jet::ColumnDef columnDefOf(const ColumnDefinition& d) {
    const ColumnInfo& c = d.column;
    jet::ColumnDef out;
    out.name = c.name;
    out.type = c.type;
    switch (c.type) {
    case jet::ColumnType::Text:
        out.size = static_cast<std::uint16_t>(std::min<std::uint32_t>(c.size, 255) * 2);
        break;
    case jet::ColumnType::Binary:
        out.size = static_cast<std::uint16_t>(std::min<std::uint32_t>(c.size, 510));
        break;
    default:
        out.size = static_cast<std::uint16_t>(c.size);
    }
    out.precision = c.precision;
    out.scale = c.scale;
    if (c.autoNumber)
        out.flags = c.type == jet::ColumnType::Guid ? jet::column_flag::kAutoGuid
                                                    : jet::column_flag::kAutoLong;
    return out;
}

jet::PropertyMap columnProperties(const ColumnInfo& c) {
    jet::PropertyMap map;
    map.objectName = c.name;
    if (c.required) {
        jet::Property p;
        p.name = "Required";
        p.type = static_cast<std::uint8_t>(jet::ColumnType::Boolean);
        p.ddl = true;
        p.value = core::Value(true);
        map.properties.push_back(p);
    }
    if (!c.defaultValue.empty()) {
        jet::Property p;
        p.name = "DefaultValue";
        p.type = static_cast<std::uint8_t>(jet::ColumnType::Memo);
        p.ddl = true;
        p.value = core::Value(c.defaultValue);
        map.properties.push_back(p);
    }
    return map;
}

std::pair<jet::IndexData, jet::IndexDef> indexOf(const jet::TableSchema& schema,
                                                 const IndexInfo& index) {
    jet::IndexData data;
    for (const auto& key : index.columns) {
        const jet::ColumnDef* c = schema.findColumn(key.name);
        if (!c)
            throw core::SqlError("The field '" + key.name + "' of index '" + index.name +
                                 "' does not exist in table '" + schema.name + "'.");
        data.columns.push_back({c->number, !key.descending});
    }
    if (data.columns.size() > 10)
        throw core::SqlError("Too many fields in index '" + index.name + "'.");
    // Jet marks every index it writes with 0x80.
    std::uint8_t flags = 0x80;
    if (index.unique || index.primary) flags |= jet::index_flag::kUnique;
    if (index.ignoreNulls) flags |= jet::index_flag::kIgnoreNulls;
    if (index.disallowNull || index.primary) flags |= jet::index_flag::kRequired;
    data.flags = flags;
    jet::IndexDef def;
    def.name = index.name;
    def.kind = index.primary ? jet::IndexKind::Primary : jet::IndexKind::Normal;
    return {data, def};
}

} // namespace

void JetStorage::createTable(const TableDefinition& definition) {
    forgetInfos();
    jet::TableSchema schema;
    schema.name = definition.name;
    jet::PropertyMaps properties;
    for (const auto& c : definition.columns) {
        schema.columns.push_back(columnDefOf(c));
        auto map = columnProperties(c.column);
        if (!map.properties.empty()) properties.columns.push_back(std::move(map));
    }
    // Column numbers are the positions once laid out; indexes name columns by number.
    for (std::size_t i = 0; i < schema.columns.size(); ++i)
        schema.columns[i].number = static_cast<std::uint16_t>(i);
    std::uint32_t number = 0;
    for (const auto& index : definition.indexes) {
        auto [data, def] = indexOf(schema, index);
        def.number = number++;
        def.dataIndex = static_cast<std::uint32_t>(schema.indexData.size());
        schema.indexData.push_back(std::move(data));
        schema.indexes.push_back(std::move(def));
    }
    database_.createTable(std::move(schema), properties);
    for (const auto& key : definition.foreignKeys) addForeignKey(definition.name, key);
}

void JetStorage::dropTable(std::string_view table) {
    forgetInfos();
    database_.dropTable(table);
}

void JetStorage::createIndex(std::string_view table, const IndexInfo& index) {
    forgetInfos();
    auto [data, def] = indexOf(database_.table(table).schema(), index);
    database_.createIndex(table, std::move(data), std::move(def));
}

void JetStorage::dropIndex(std::string_view table, std::string_view index) {
    forgetInfos();
    database_.dropIndex(table, index);
}

void JetStorage::addColumn(std::string_view table, const ColumnDefinition& column) {
    forgetInfos();
    database_.addColumn(table, columnDefOf(column), columnProperties(column.column));
}

void JetStorage::dropColumn(std::string_view table, std::string_view column) {
    forgetInfos();
    database_.dropColumn(table, column);
}

void JetStorage::alterColumn(std::string_view table, const ColumnDefinition& column,
                             const std::function<core::Value(const core::Value&)>& convert) {
    forgetInfos();
    database_.alterColumn(table, columnDefOf(column), columnProperties(column.column), convert);
}

void JetStorage::addForeignKey(std::string_view table, const ForeignKeyInfo& key) {
    forgetInfos();
    jet::RelationshipDef r;
    r.name = key.name;
    r.table = std::string(table);
    r.columns = key.columns;
    r.referencedTable = key.referencedTable;
    r.referencedColumns = key.referencedColumns;
    r.cascadeUpdates = key.cascadeUpdates;
    r.cascadeDeletes = key.cascadeDeletes;
    database_.createRelationship(r);
}

void JetStorage::dropForeignKey(std::string_view table, std::string_view name) {
    forgetInfos();
    database_.dropRelationship(table, name);
}

core::Value JetStorage::nextAutoNumber(std::string_view table, std::string_view column) {
    auto info = tableInfo(table);
    if (info)
        for (const auto& c : info->columns)
            if (sameName(c.name, column) && c.type == jet::ColumnType::Guid) {
                core::Guid g;
                // One sequence for the process behind a lock, not a thread_local: the engine
                // also lives in a shared library (the ODBC driver), and code built for
                // executables reaches thread-local variables in a way libraries cannot.
                static std::mutex lock;
                static std::uint64_t state = 0;
                const std::lock_guard<std::mutex> guard(lock);
                if (state == 0)
                    state = 0x9E3779B97F4A7C15ull ^
                            static_cast<std::uint64_t>(reinterpret_cast<std::uintptr_t>(&g));
                for (auto& b : g.bytes) {
                    state = state * 6364136223846793005ull + 1442695040888963407ull;
                    b = static_cast<std::uint8_t>(state >> 56);
                }
                return core::Value(g);
            }
    return core::Value(database_.nextCounter(table));
}

RowLocator JetStorage::insertRow(std::string_view table, std::vector<core::Value> row) {
    changed();
    return RowLocator::fromRowId(database_.insertRow(table, std::move(row)));
}

void JetStorage::updateRow(std::string_view table, RowLocator locator,
                           std::vector<core::Value> row) {
    changed();
    database_.updateRow(table, locator.toRowId(), std::move(row));
}

void JetStorage::deleteRow(std::string_view table, RowLocator locator) {
    changed();
    database_.deleteRow(table, locator.toRowId());
}

void JetStorage::begin() {
    bool own = !database_.inTransaction();
    if (own)
        database_.begin();
    else
        database_.beginStatement();
    levels_.push_back(own);
}

void JetStorage::commit() {
    if (levels_.empty()) throw core::Error("COMMIT without a transaction.");
    bool own = levels_.back();
    levels_.pop_back();
    if (!own) return database_.endStatement(true);
    try {
        database_.commit();
    } catch (...) {
        // The database undid the transaction; what was learnt of tables within it is void.
        forgetInfos();
        throw;
    }
}

void JetStorage::rollback() {
    if (levels_.empty()) throw core::Error("ROLLBACK without a transaction.");
    bool own = levels_.back();
    levels_.pop_back();
    forgetInfos();
    if (own)
        database_.rollback();
    else
        database_.endStatement(false);
}

void JetStorage::beginStatement() {
    begin();
}

void JetStorage::endStatement(bool succeeded) {
    if (succeeded)
        commit();
    else
        rollback();
}

} // namespace sql
