// TCustomADODataSet: changing records and writing the changes to the base tables.
#include "data/DataErrors.h"
#include "data/TADOConnection.h"
#include "data/TCustomADODataSet.h"
#include "sql/engine/EngineErrors.h"
#include "sql/engine/Session.h"

namespace data {
namespace {

// Makes the changes of one post all land or none: a record drawn from several tables is
// written table by table.
class WriteGroup {
public:
    WriteGroup(sql::Storage& storage, bool needed) : storage_(storage), open_(needed) {
        if (open_) storage_.begin();
    }
    ~WriteGroup() {
        if (!open_) return;
        try {
            storage_.rollback();
        } catch (...) {
            // A destructor must not throw; the write's own error is already on its way.
        }
    }
    WriteGroup(const WriteGroup&) = delete;
    WriteGroup& operator=(const WriteGroup&) = delete;
    void commit() {
        if (!open_) return;
        open_ = false;
        storage_.commit();
    }

private:
    sql::Storage& storage_;
    bool open_;
};

sql::TableInfo tableInfo(sql::Storage& storage, const std::string& table) {
    auto info = storage.tableInfo(table);
    if (!info) throw core::SqlError(sql::messages::unknownTable(table));
    return *info;
}

std::size_t tableColumn(const sql::TableInfo& info, const TField& field) {
    auto index = info.findColumn(field.column().baseColumn);
    if (!index)
        throw core::SqlError(sql::messages::fieldMissing(field.column().baseColumn, info.name));
    return *index;
}

} // namespace

bool TCustomADODataSet::canModify() const {
    return active() && !baseTables_.empty() && connection_ && !connection_->readOnly();
}

void TCustomADODataSet::requireModifiable() const {
    if (!canModify()) raiseComponentError(name_, messages::dataSetReadOnly);
}

const std::vector<core::Value>* TCustomADODataSet::activeValues() const {
    if (state_ == DataSetState::Edit || state_ == DataSetState::Insert) return &buffer_;
    if (active() && hasCurrent_) return &keyset_.record(row_).values;
    return nullptr;
}

core::Value TCustomADODataSet::fieldValue(std::size_t field) const {
    if (filterRecord_) return filterRecord_->value(field);
    const auto* values = activeValues();
    return values ? values->at(field) : core::Value();
}

void TCustomADODataSet::setFieldValue(std::size_t field, const core::Value& value) {
    buffer_.at(field) = value;
    assigned_.at(field) = true;
    modified_ = true;
    notify(DataEvent::FieldChanged, fields_.at(field).get());
}

void TCustomADODataSet::setState(DataSetState state) {
    state_ = state;
    notify(DataEvent::StateChanged);
}

void TCustomADODataSet::edit() {
    requireActive();
    if (state_ == DataSetState::Edit || state_ == DataSetState::Insert) return;
    requireModifiable();
    if (!hasCurrent_) {
        insert();
        return;
    }
    buffer_ = keyset_.record(row_).values;
    assigned_.assign(fields_.size(), false);
    modified_ = false;
    setState(DataSetState::Edit);
}

void TCustomADODataSet::insert() {
    beginInsert(false);
}

void TCustomADODataSet::append() {
    beginInsert(true);
}

void TCustomADODataSet::beginInsert(bool atEnd) {
    requireActive();
    requireModifiable();
    if (baseTables_.size() != 1) raiseComponentError(name_, messages::severalTablesInsert);
    checkBrowseMode();
    const std::size_t at = atEnd ? keyset_.rowCount() : (hasCurrent_ ? row_ : 0);
    KeysetRecord record;
    record.id = keyset_.newId();
    record.values.resize(fields_.size());
    record.locators.resize(baseTables_.size());
    record.fresh = true;
    keyset_.insert(at, std::move(record));
    row_ = at;
    hasCurrent_ = true;
    bof_ = false;
    eof_ = false;
    buffer_.assign(fields_.size(), core::Value());
    assigned_.assign(fields_.size(), false);
    modified_ = false;
    setState(DataSetState::Insert);
    notify(DataEvent::DataSetChanged);
}

void TCustomADODataSet::updateRecord() {
    if (state_ == DataSetState::Edit || state_ == DataSetState::Insert)
        notify(DataEvent::UpdateRecord);
}

void TCustomADODataSet::post() {
    requireActive();
    if (state_ != DataSetState::Edit && state_ != DataSetState::Insert) return;
    updateRecord();
    if (state_ == DataSetState::Edit)
        postUpdate();
    else
        postInsert();
}

void TCustomADODataSet::checkRowUnchanged(sql::Storage& storage, std::size_t table,
                                          const KeysetRecord& record, std::string_view message) {
    const std::string& name = baseTables_[table];
    auto info = storage.tableInfo(name);
    auto current = info ? storage.readRow(name, *record.locators[table]) : std::nullopt;
    if (!current) throw DatabaseError(std::string(message));
    for (const auto& field : fields_) {
        const sql::ResultColumn& column = field->column();
        if (column.baseTableIndex != static_cast<int>(table)) continue;
        auto index = info->findColumn(column.baseColumn);
        if (!index || (*current)[*index] != record.values[field->index()])
            throw DatabaseError(std::string(message));
    }
}

void TCustomADODataSet::postUpdate() {
    if (!modified_) {
        leaveEditing();
        return;
    }
    // Read the rest of every result first: the write may move rows they are reading.
    prepareOwnWrite();
    sql::Session& session = connection_->session();
    sql::Storage& storage = session.storage();
    KeysetRecord record = keyset_.record(row_);

    std::vector<std::vector<std::size_t>> changed(baseTables_.size());
    for (const auto& field : fields_) {
        const int table = field->column().baseTableIndex;
        if (assigned_[field->index()] && table >= 0)
            changed[static_cast<std::size_t>(table)].push_back(field->index());
    }
    std::size_t tablesChanged = 0;
    for (const auto& c : changed) tablesChanged += c.empty() ? 0 : 1;

    std::vector<std::optional<sql::StoredRow>> stored(baseTables_.size());
    std::vector<sql::TableInfo> infos(baseTables_.size());
    WriteGroup group(storage, tablesChanged > 1);
    for (std::size_t t = 0; t < baseTables_.size(); ++t) {
        if (changed[t].empty()) continue;
        if (!record.locators[t]) raiseComponentError(name_, messages::missingJoinRow);
        checkRowUnchanged(storage, t, record, messages::rowChangedForUpdate);
        infos[t] = tableInfo(storage, baseTables_[t]);
        std::vector<std::optional<core::Value>> values(infos[t].columns.size());
        for (std::size_t f : changed[t]) values[tableColumn(infos[t], *fields_[f])] = buffer_[f];
        stored[t] = session.updateRow(baseTables_[t], *record.locators[t], values);
        if (t == 0) keyset_.wroteRow(stored[t]->locator);
    }
    group.commit();

    for (std::size_t t = 0; t < baseTables_.size(); ++t) {
        if (!stored[t]) continue;
        record.locators[t] = stored[t]->locator;
        for (const auto& field : fields_)
            if (field->column().baseTableIndex == static_cast<int>(t))
                record.values[field->index()] = stored[t]->values[tableColumn(infos[t], *field)];
    }
    keyset_.store(row_, std::move(record.values), std::move(record.locators));
    leaveEditing();
}

void TCustomADODataSet::prepareOwnWrite() {
    // A keyset of row locators reads on past its own write, so that the first write to a
    // large table does not read every locator first; any other result reads its rest now.
    connection_->prepareForChange(keyset_.tableRows() ? this : nullptr);
}

void TCustomADODataSet::postInsert() {
    prepareOwnWrite();
    sql::Session& session = connection_->session();
    const std::string& table = baseTables_.front();
    const sql::TableInfo info = tableInfo(session.storage(), table);
    std::vector<std::optional<core::Value>> values(info.columns.size());
    for (const auto& field : fields_)
        if (assigned_[field->index()] && field->column().baseTableIndex == 0)
            values[tableColumn(info, *field)] = buffer_[field->index()];
    const sql::StoredRow stored = session.insertRow(table, values);
    keyset_.wroteRow(stored.locator);

    KeysetRecord record = keyset_.record(row_);
    record.locators.front() = stored.locator;
    for (const auto& field : fields_)
        record.values[field->index()] = field->column().baseTableIndex == 0
                                            ? stored.values[tableColumn(info, *field)]
                                            : buffer_[field->index()];
    keyset_.store(row_, std::move(record.values), std::move(record.locators));
    leaveEditing();
}

void TCustomADODataSet::leaveEditing() {
    buffer_.clear();
    assigned_.clear();
    modified_ = false;
    setState(DataSetState::Browse);
    notify(DataEvent::DataSetChanged);
}

void TCustomADODataSet::cancel() {
    if (state_ == DataSetState::Edit) {
        leaveEditing();
    } else if (state_ == DataSetState::Insert) {
        keyset_.erase(row_);
        settleAfterRemoval();
        leaveEditing();
    }
}

void TCustomADODataSet::settleAfterRemoval() {
    if (keyset_.hasRow(row_)) {
        bof_ = false;
        eof_ = false;
    } else if (row_ > 0) {
        --row_;
        keyset_.hasRow(row_); // lists it when the count placed it
        bof_ = false;
        eof_ = true;
    } else {
        hasCurrent_ = false;
        bof_ = true;
        eof_ = true;
    }
}

void TCustomADODataSet::deleteRecord() {
    requireActive();
    if (state_ == DataSetState::Insert) {
        cancel();
        return;
    }
    if (!hasCurrent_) raiseComponentError(name_, messages::dataSetEmpty);
    requireModifiable();
    if (baseTables_.size() != 1) raiseComponentError(name_, messages::severalTablesDelete);
    prepareOwnWrite();
    sql::Session& session = connection_->session();
    const KeysetRecord& record = keyset_.record(row_);
    if (!record.locators.front()) raiseComponentError(name_, messages::missingJoinRow);
    checkRowUnchanged(session.storage(), 0, record, messages::rowChangedForDelete);
    session.deleteRow(baseTables_.front(), *record.locators.front());
    keyset_.wroteRow(std::nullopt);

    // A pending edit of the deleted record goes with it.
    buffer_.clear();
    assigned_.clear();
    modified_ = false;
    const bool wasEditing = state_ == DataSetState::Edit;
    state_ = DataSetState::Browse;
    keyset_.erase(row_);
    settleAfterRemoval();
    if (wasEditing) notify(DataEvent::StateChanged);
    notify(DataEvent::DataSetChanged);
}

void TCustomADODataSet::checkBrowseMode() {
    if (!active()) return;
    notify(DataEvent::CheckBrowseMode);
    if (state_ != DataSetState::Edit && state_ != DataSetState::Insert) return;
    updateRecord();
    if (modified_)
        post();
    else
        cancel();
}

} // namespace data
