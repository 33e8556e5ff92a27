// TCustomADODataSet: opening, closing and running the statement again.
#include "core/ObjectName.h"
#include "data/DataErrors.h"
#include "data/ParameterScan.h"
#include "data/TADOConnection.h"
#include "data/TCustomADODataSet.h"
#include "data/TDataSource.h"
#include "sql/engine/Session.h"
#include "sql/engine/execution/TableRows.h"

namespace data {
namespace {

bool sameLayout(const std::vector<std::unique_ptr<TField>>& fields,
                const std::vector<sql::ResultColumn>& columns) {
    if (fields.size() != columns.size()) return false;
    for (std::size_t i = 0; i < columns.size(); ++i) {
        const sql::ResultColumn& a = fields[i]->column();
        const sql::ResultColumn& b = columns[i];
        if (a.name != b.name || a.type != b.type || a.columnType != b.columnType ||
            a.size != b.size || a.readOnly != b.readOnly || a.baseTable != b.baseTable ||
            a.baseColumn != b.baseColumn || a.baseTableIndex != b.baseTableIndex)
            return false;
    }
    return true;
}

} // namespace

TCustomADODataSet::TCustomADODataSet(std::string name, std::string statementProperty)
    : name_(std::move(name)), statementProperty_(std::move(statementProperty)) {}

TCustomADODataSet::~TCustomADODataSet() {
    auto sources = sources_;
    sources_.clear();
    for (TDataSource* source : sources) source->dataSetDestroyed();
    close();
    if (connection_) connection_->detach(*this);
}

void TCustomADODataSet::setConnection(TADOConnection* connection) {
    if (connection == connection_) return;
    close();
    order_.forget();
    if (connection_) connection_->detach(*this);
    connection_ = connection;
    if (connection_) connection_->attach(*this);
}

void TCustomADODataSet::connectionDestroyed() {
    close();
    order_.forget();
    connection_ = nullptr;
}

void TCustomADODataSet::setFormats(LocaleFormats formats) {
    formats_ = std::move(formats);
    notify(DataEvent::DataSetChanged);
}

TCustomADODataSet::Opened TCustomADODataSet::runStatement() {
    if (statement_.empty())
        raiseComponentError(name_, messages::missingProperty(statementProperty_));
    if (!connection_) raiseComponentError(name_, messages::missingConnection);
    const ScanResult scanned = scanParameters(statement_);
    sql::Session& session = connection_->session();
    sql::Prepared prepared = session.prepare(scanned.text);
    if (!prepared.givesRows()) {
        connection_->prepareForChange();
    } else if (std::shared_ptr<const sql::TableRows> table =
                   sql::TableRows::open(session.storage(), prepared)) {
        // A plain select over one table: keep row locators and read values when shown.
        std::vector<sql::ResultColumn> columns = table->columns();
        std::vector<std::string> baseTables{table->table()};
        if (!table->ordered()) {
            order_.forget();
            return {std::move(columns), std::move(baseTables), Keyset(std::move(table))};
        }
        const RememberedOrder::Locators order = order_.of(session.storage(), scanned.text, *table);
        return {std::move(columns), std::move(baseTables), Keyset(std::move(table), order)};
    }
    order_.forget();
    sql::ResultSet result = session.execute(prepared);
    if (!result.hasRows()) raiseComponentError(name_, messages::noResultSet);
    std::vector<sql::ResultColumn> columns = result.columns();
    std::vector<std::string> baseTables = result.baseTables();
    return {std::move(columns), std::move(baseTables), Keyset(std::move(result))};
}

bool TCustomADODataSet::takeResult(Opened result) {
    // The first row is read before anything is replaced, so that a statement that fails on
    // its first row leaves the data set as it was.
    result.rows.hasRow(0);

    const bool newLayout = !sameLayout(fields_, result.columns);
    keyset_ = std::move(result.rows);
    baseTables_ = std::move(result.baseTables);
    if (newLayout) buildFields(result.columns);
    opening_ = ++openings_;
    buffer_.clear();
    assigned_.clear();
    modified_ = false;
    row_ = 0;
    hasCurrent_ = false;
    bof_ = true;
    eof_ = true;
    applyFilter();
    hasCurrent_ = keyset_.hasRow(0);
    eof_ = !hasCurrent_;
    return newLayout;
}

void TCustomADODataSet::buildFields(const std::vector<sql::ResultColumn>& columns) {
    fields_.clear();
    for (std::size_t i = 0; i < columns.size(); ++i)
        fields_.push_back(std::make_unique<TField>(*this, i, columns[i]));
}

void TCustomADODataSet::open() {
    if (active()) return;
    Opened result = runStatement();
    try {
        takeResult(std::move(result));
    } catch (...) {
        keyset_ = Keyset();
        fields_.clear();
        opening_ = 0;
        hasCurrent_ = false;
        throw;
    }
    state_ = DataSetState::Browse;
    notify(DataEvent::ActiveChanged);
}

void TCustomADODataSet::finishReading() {
    keyset_.finishReading();
    // On the locator path the current record's values are read now, as the user sees them,
    // so that a post or delete finds out when the change touches its row.
    if (!active() || !hasCurrent_) return;
    try {
        keyset_.record(row_);
    } catch (...) {
        // A row that cannot be read now fails the check when it is written.
    }
}

void TCustomADODataSet::close() {
    if (!active()) return;
    keyset_ = Keyset();
    fields_.clear();
    baseTables_.clear();
    buffer_.clear();
    assigned_.clear();
    modified_ = false;
    opening_ = 0;
    hasCurrent_ = false;
    row_ = 0;
    bof_ = true;
    eof_ = true;
    state_ = DataSetState::Inactive;
    notify(DataEvent::ActiveChanged);
}

void TCustomADODataSet::requireActive() const {
    if (!active()) raiseComponentError(name_, messages::dataSetClosed);
}

void TCustomADODataSet::requery() {
    requireActive();
    checkBrowseMode();
    if (takeResult(runStatement())) notify(DataEvent::LayoutChanged);
    notify(DataEvent::DataSetChanged);
}

void TCustomADODataSet::refresh() {
    requireActive();
    checkBrowseMode();
    std::vector<std::optional<sql::RowLocator>> locators;
    if (hasCurrent_) locators = keyset_.record(row_).locators;
    const std::size_t oldRow = row_;
    requery();
    if (!hasCurrent_) return;
    std::size_t target = 0;
    bool found = false;
    if (keyset_.tableRows() && !locators.empty() && locators.front()) {
        // On the locator path the rows' values need not be read to find it.
        const std::vector<std::size_t> rows = keyset_.rowsOfLocators({*locators.front()});
        if (!rows.empty()) {
            target = rows.front();
            found = true;
        }
    } else if (!locators.empty()) {
        for (std::size_t r = 0; keyset_.hasRow(r); ++r) {
            if (keyset_.record(r).locators == locators) {
                target = r;
                found = true;
                break;
            }
        }
    }
    if (!found) {
        target = oldRow;
        while (target > 0 && !keyset_.hasRow(target)) --target;
    }
    row_ = target;
    bof_ = false;
    eof_ = false;
    notify(DataEvent::DataSetChanged);
}

TField* TCustomADODataSet::findField(std::string_view name) const {
    for (const auto& f : fields_)
        if (core::sameName(f->fieldName(), name)) return f.get();
    return nullptr;
}

TField& TCustomADODataSet::fieldByName(std::string_view name) const {
    if (TField* f = findField(name)) return *f;
    raiseComponentError(name_, messages::fieldNotFound(name));
}

} // namespace data
