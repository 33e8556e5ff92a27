#include "odbc/Handles.h"

#include "odbc/CData.h"
#include "odbc/StatementKind.h"
#include "sql/engine/Session.h"
#include "sql/engine/storage/RowLocator.h"

#include <algorithm>
#include <cstring>

namespace odbc {

namespace {

bool isDataAtExecution(const SQLLEN* indicator) {
    return indicator &&
           (*indicator == SQL_DATA_AT_EXEC || *indicator <= SQL_LEN_DATA_AT_EXEC_OFFSET);
}

} // namespace

Statement::Statement(Connection& c) : Handle(HandleKind::Statement), connection(c) {
    connection.attach(*this);
}

Statement::~Statement() {
    closeCursor();
    connection.detach(*this);
}

SQLRETURN Statement::prepare(std::string text) {
    closeCursor();
    prepared_ = false;
    targets_.reset();
    parameterInfo_ = connection.session().parameters(text);
    targets_ = findParameterTargets(text, connection.session().storage());
    targetsAsOf_ = connection.definitionChanges;
    text_ = std::move(text);
    prepared_ = true;
    return SQL_SUCCESS;
}

SQLRETURN Statement::execDirect(std::string text) {
    closeCursor();
    text_ = std::move(text);
    prepared_ = true;
    parameterInfo_.clear();
    targets_.reset();
    if (paramsetSize > 1) {
        // An array run directly is prepared once all the same.
        targets_ = findParameterTargets(text_, connection.session().storage());
        targetsAsOf_ = connection.definitionChanges;
    }
    return execute();
}

SQLRETURN Statement::numParams(SQLSMALLINT* count) {
    if (!prepared_) throw OdbcError("HY010", "Function sequence error.");
    if (count) *count = static_cast<SQLSMALLINT>(parameterInfo_.size());
    return SQL_SUCCESS;
}

SQLRETURN Statement::describeParam(SQLUSMALLINT number, SQLSMALLINT* type, SQLULEN* size,
                                   SQLSMALLINT* digits, SQLSMALLINT* nullable) {
    if (!prepared_ || !targets_) throw OdbcError("HY010", "Function sequence error.");
    if (number == 0 || number > parameterInfo_.size())
        throw OdbcError("07009", "Invalid descriptor index.");
    const sql::ParameterInfo& info = parameterInfo_[number - 1];
    ColumnDescription d = textColumn(info.name);
    SQLSMALLINT canBeNull = SQL_NULLABLE_UNKNOWN;
    if (info.declaredType) {
        d = describeJetType(*info.declaredType, 0, 0, 0, false);
        canBeNull = SQL_NULLABLE;
    } else if (info.name == "?") {
        // The n-th "?" in the list is marker n: markers are listed in text order.
        std::size_t marker = 0;
        for (std::size_t i = 0; i + 1 < number; ++i)
            if (parameterInfo_[i].name == "?") ++marker;
        if (marker < targets_->markers.size() && targets_->markers[marker]) {
            const sql::ColumnInfo& c = *targets_->markers[marker];
            d = describeJetType(c.type, c.size, c.precision, c.scale, false);
            canBeNull = c.required || c.autoNumber ? SQL_NO_NULLS : SQL_NULLABLE;
        }
    }
    if (type) *type = d.sqlType;
    if (size) *size = d.size;
    if (digits) *digits = d.digits;
    if (nullable) *nullable = canBeNull;
    return SQL_SUCCESS;
}

void Statement::cancel() {
    needData_ = false;
    pending_.clear();
    filling_.reset();
}

SQLRETURN Statement::execute() {
    if (!prepared_) throw OdbcError("HY010", "Function sequence error.");
    closeCursor();
    pending_.clear();
    filling_.reset();
    supplied_.assign(parameters.size(), std::nullopt);
    atExecution_.assign(parameters.size(), false);
    for (std::size_t i = 0; i < parameters.size(); ++i) {
        if (!parameters[i].bound || !parameters[i].indicator) continue;
        SQLLEN indicator = 0;
        std::memcpy(&indicator, boundAddress(i, 0).second, sizeof indicator);
        if (isDataAtExecution(&indicator)) {
            pending_.push_back(i);
            atExecution_[i] = true;
        }
    }
    if (!pending_.empty()) {
        if (paramsetSize != 1)
            throw OdbcError("HYC00", "Data at execution with more than one set of parameters.");
        needData_ = true;
        return SQL_NEED_DATA;
    }
    return run();
}

SQLRETURN Statement::paramData(SQLPOINTER* token) {
    if (!needData_) throw OdbcError("HY010", "Function sequence error.");
    if (filling_) {
        pending_.erase(pending_.begin());
        filling_.reset();
    }
    if (pending_.empty()) {
        needData_ = false;
        return run();
    }
    filling_ = pending_.front();
    supplied_[*filling_] = std::string();
    if (token) *token = parameters[*filling_].value;
    return SQL_NEED_DATA;
}

SQLRETURN Statement::putData(SQLPOINTER data, SQLLEN length) {
    if (!needData_ || !filling_) throw OdbcError("HY010", "Function sequence error.");
    auto& target = supplied_[*filling_];
    if (length == SQL_NULL_DATA) {
        target.reset();
        return SQL_SUCCESS;
    }
    if (!target) throw OdbcError("HY011", "Data already given as Null.");
    const Parameter& p = parameters[*filling_];
    std::size_t n = 0;
    if (length == SQL_NTS) {
        const auto* bytes = static_cast<const char*>(data);
        if (p.cType == SQL_C_WCHAR)
            while (bytes[n] != 0 || bytes[n + 1] != 0) n += 2;
        else
            n = std::strlen(bytes);
    } else if (length == SQL_DEFAULT_PARAM || length < 0) {
        throw OdbcError("HY090", "Invalid string or buffer length.");
    } else {
        n = fixedSize(p.cType == SQL_C_DEFAULT ? defaultCType(p.sqlType) : p.cType);
        if (n == 0) n = static_cast<std::size_t>(length);
    }
    target->append(static_cast<const char*>(data), n);
    return SQL_SUCCESS;
}

std::pair<const char*, const char*> Statement::boundAddress(std::size_t index,
                                                            std::size_t row) const {
    const Parameter& p = parameters[index];
    const SQLSMALLINT cType = p.cType == SQL_C_DEFAULT ? defaultCType(p.sqlType) : p.cType;
    const auto* value = static_cast<const char*>(p.value);
    const auto* indicator = reinterpret_cast<const char*>(p.indicator);
    // The offset moves every bound address (row-wise arrays the application reallocates).
    const SQLLEN offset = paramBindOffset ? *paramBindOffset : 0;
    std::size_t valueStride = 0, indicatorStride = 0;
    if (paramBindType == SQL_PARAM_BIND_BY_COLUMN) {
        valueStride =
            isPiecewise(cType) ? static_cast<std::size_t>(p.bufferLength) : fixedSize(cType);
        indicatorStride = sizeof(SQLLEN);
    } else {
        valueStride = indicatorStride = paramBindType;
    }
    if (value) value += offset + static_cast<SQLLEN>(row * valueStride);
    if (indicator) indicator += offset + static_cast<SQLLEN>(row * indicatorStride);
    return {value, indicator};
}

core::Value Statement::parameterValue(std::size_t index, std::size_t row) {
    const Parameter& p = parameters[index];
    if (index < atExecution_.size() && atExecution_[index]) {
        const auto& data = supplied_[index];
        if (!data) return core::Value::null();
        return readParameter(p.cType, p.sqlType, data->data(), static_cast<SQLLEN>(data->size()));
    }
    const SQLSMALLINT cType = p.cType == SQL_C_DEFAULT ? defaultCType(p.sqlType) : p.cType;
    const auto [value, indicator] = boundAddress(index, row);
    SQLLEN length = SQL_NTS;
    if (indicator)
        std::memcpy(&length, indicator, sizeof length);
    else if (cType == SQL_C_BINARY)
        length = p.bufferLength;
    if (length == SQL_NULL_DATA || !value) return core::Value::null();
    return readParameter(cType, p.sqlType, value, length);
}

SQLRETURN Statement::run() {
    const StatementKind kind = statementKind(text_);
    const bool changes = kind == StatementKind::Change || kind == StatementKind::UpdateOrDelete ||
                         kind == StatementKind::Definition;
    connection.beforeStatement(*this, changes);
    for (const auto& p : parameters)
        if (!p.bound) throw OdbcError("07002", "COUNT field incorrect: a parameter is not bound.");
    if (targets_ && targetsAsOf_ != connection.definitionChanges) {
        targets_ = findParameterTargets(text_, connection.session().storage());
        targetsAsOf_ = connection.definitionChanges;
    }
    if (kind == StatementKind::Definition) ++connection.definitionChanges;
    rowCount_ = 0;
    std::size_t processed = 0, failed = 0;
    const DirectInsert* direct =
        targets_ && targets_->directInsert ? &*targets_->directInsert : nullptr;
    const std::size_t sets = paramsetSize == 0 ? 1 : paramsetSize;
    // Each set still succeeds or fails alone: the engine undoes a failed statement within
    // the transaction.
    const bool batch = sets > 1 && changes && connection.beginBatch();
    std::vector<core::Value> values;
    for (std::size_t row = 0; row < sets; ++row) {
        SQLUSMALLINT status = SQL_PARAM_SUCCESS;
        try {
            values.clear();
            for (std::size_t i = 0; i < parameters.size(); ++i)
                values.push_back(parameterValue(i, row));
            ++processed;
            if (direct) {
                insertDirectly(*direct, values);
                ++rowCount_;
            } else {
                runOnce(values);
            }
        } catch (const std::exception& e) {
            if (sets == 1) throw;
            diagnostics.add(e);
            status = SQL_PARAM_ERROR;
            ++failed;
        }
        if (paramStatus) paramStatus[row] = status;
    }
    if (batch) {
        try {
            connection.endBatch(true);
        } catch (...) {
            // A commit that fails has undone the whole batch.
            if (paramStatus) std::fill(paramStatus, paramStatus + sets, SQL_PARAM_ERROR);
            rowCount_ = 0;
            throw;
        }
    }
    if (paramsProcessed) *paramsProcessed = processed;
    if (failed) return failed == sets ? SQL_ERROR : SQL_SUCCESS_WITH_INFO;
    if (kind == StatementKind::UpdateOrDelete && rowCount_ == 0) return SQL_NO_DATA;
    return SQL_SUCCESS;
}

void Statement::runOnce(std::span<const core::Value> values) {
    sql::ResultSet result = connection.session().execute(text_, values);
    if (!result.hasRows()) {
        rowCount_ += static_cast<SQLLEN>(result.rowsAffected());
        return;
    }
    closeCursor();
    for (const auto& c : result.columns()) rows_.columns.push_back(describeResultColumn(c));
    if (cursorType == SQL_CURSOR_FORWARD_ONLY) {
        rows_.stream.emplace(std::move(result));
        rowCount_ = -1;
    } else {
        // A result of one table keeps where its rows are stored, for SQLSetPos.
        const bool oneTable = result.updatable() && result.baseTables().size() == 1;
        auto table = oneTable ? connection.session().storage().tableInfo(result.baseTables()[0])
                              : std::nullopt;
        if (table) {
            rows_.table = table->name;
            rows_.tableColumnCount = table->columns.size();
            for (const auto& c : result.columns())
                rows_.tableColumns.push_back(c.baseTableIndex == 0 && !c.baseColumn.empty()
                                                 ? table->findColumn(c.baseColumn)
                                                 : std::nullopt);
        }
        for (auto& r : result.fetchAll()) {
            rows_.rows.push_back(std::move(r.values));
            if (table) rows_.locators.push_back(r.locators.empty() ? std::nullopt : r.locators[0]);
        }
        rows_.deleted.assign(rows_.rows.size(), false);
        rowCount_ = static_cast<SQLLEN>(rows_.rows.size());
    }
    cursorOpen_ = true;
}

void Statement::insertDirectly(const DirectInsert& insert, std::vector<core::Value>& values) {
    std::vector<std::optional<core::Value>> row(insert.columnCount);
    for (std::size_t i = 0; i < values.size() && i < insert.columns.size(); ++i)
        row[insert.columns[i]] = std::move(values[i]);
    connection.session().insertRow(insert.table, row);
}

} // namespace odbc
