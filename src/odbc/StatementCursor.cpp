// A statement's cursor: fetching rowsets into bound buffers, reading values in pieces, and
// positioned changes through a static cursor over one table.
#include "odbc/CData.h"
#include "odbc/Handles.h"
#include "sql/engine/Session.h"

namespace odbc {

void Statement::setRows(std::vector<ColumnDescription> columns,
                        std::vector<std::vector<core::Value>> rows) {
    closeCursor();
    rows_.columns = std::move(columns);
    rows_.rows = std::move(rows);
    rowCount_ = -1;
    cursorOpen_ = true;
}

void Statement::closeCursor() {
    rows_ = RowSet{};
    cursorOpen_ = false;
    pieceColumn_ = -1;
}

void Statement::detachStream() {
    if (!rows_.stream) return;
    std::vector<std::vector<core::Value>> rows;
    const std::size_t kept = rows_.rowset.size();
    for (const auto* r : rows_.rowset) rows.push_back(*r);
    while (rows_.stream->next()) rows.push_back(rows_.stream->values());
    rows_.stream.reset();
    rows_.streamed.clear();
    rows_.rows = std::move(rows);
    rows_.position = kept ? 0 : -1;
    for (std::size_t i = 0; i < kept; ++i) rows_.rowset[i] = &rows_.rows[i];
}

SQLRETURN Statement::fetch(SQLSMALLINT orientation, SQLLEN offset) {
    if (!cursorOpen_) throw OdbcError("24000", "Invalid cursor state.");
    pieceColumn_ = -1;
    if (cursorType == SQL_CURSOR_FORWARD_ONLY && orientation != SQL_FETCH_NEXT)
        throw OdbcError("HY106", "Fetch type out of range.");
    const auto size = static_cast<std::int64_t>(rowArraySize ? rowArraySize : 1);
    if (rows_.stream) {
        rows_.rowset.clear();
        rows_.currentInRowset = 0;
        if (size == 1) {
            // One row at a time reads the stream's row where it is, without a copy.
            if (rows_.stream->next()) rows_.rowset.push_back(&rows_.stream->values());
        } else {
            rows_.streamed.clear();
            while (static_cast<std::int64_t>(rows_.streamed.size()) < size && rows_.stream->next())
                rows_.streamed.push_back(rows_.stream->values());
            for (const auto& r : rows_.streamed) rows_.rowset.push_back(&r);
        }
        return deliver();
    }
    const auto n = static_cast<std::int64_t>(rows_.rows.size());
    const std::int64_t p = rows_.position;
    std::int64_t target = p + 1;
    switch (orientation) {
    case SQL_FETCH_NEXT:
        target = p < 0 ? 0 : p + size;
        break;
    case SQL_FETCH_PRIOR:
        // From past the end the last rowset; a move before the first row of a rowset that
        // began inside the first rowset gives the first rowset.
        target = p >= n ? n - size : p <= 0 ? -1 : p - size;
        if (p > 0 && p < n && target < 0) target = 0;
        break;
    case SQL_FETCH_FIRST:
        target = 0;
        break;
    case SQL_FETCH_LAST:
        target = n - size;
        if (target < 0) target = 0;
        break;
    case SQL_FETCH_ABSOLUTE:
        if (offset > 0)
            target = offset - 1;
        else if (offset < 0)
            target = -offset <= n ? n + offset : -offset <= size ? 0 : -1;
        else
            target = -1;
        break;
    case SQL_FETCH_RELATIVE:
        target = (p < 0 ? -1 : p) + offset;
        if (target < 0 && p > 0 && -offset <= size) target = 0;
        break;
    default:
        throw OdbcError("HY106", "Fetch type out of range.");
    }
    return moveTo(target);
}

SQLRETURN Statement::moveTo(std::int64_t target) {
    const auto n = static_cast<std::int64_t>(rows_.rows.size());
    const auto size = static_cast<std::int64_t>(rowArraySize ? rowArraySize : 1);
    rows_.rowset.clear();
    rows_.currentInRowset = 0;
    if (target < 0 || target >= n) {
        rows_.position = target < 0 ? -1 : n;
    } else {
        rows_.position = target;
        for (std::int64_t i = target; i < n && i < target + size; ++i)
            rows_.rowset.push_back(&rows_.rows[static_cast<std::size_t>(i)]);
    }
    return deliver();
}

SQLRETURN Statement::deliver() {
    const std::size_t size = rowArraySize ? rowArraySize : 1;
    const std::size_t count = rows_.rowset.size();
    if (rowsFetched) *rowsFetched = count;
    if (rowStatus)
        for (std::size_t i = count; i < size; ++i) rowStatus[i] = SQL_ROW_NOROW;
    if (count == 0) return SQL_NO_DATA;
    std::size_t failed = 0, warned = 0;
    for (std::size_t i = 0; i < count; ++i) {
        const SQLUSMALLINT status = writeBoundRow(i);
        if (rowStatus) rowStatus[i] = status;
        if (status == SQL_ROW_ERROR) ++failed;
        if (status == SQL_ROW_SUCCESS_WITH_INFO) ++warned;
    }
    if (failed == count) return SQL_ERROR;
    return failed || warned ? SQL_SUCCESS_WITH_INFO : SQL_SUCCESS;
}

CBuffer Statement::boundBuffer(std::size_t column, std::size_t row) const {
    const BoundColumn& b = bound[column];
    const SQLSMALLINT cType =
        b.cType == SQL_C_DEFAULT ? defaultCType(rows_.columns[column].sqlType) : b.cType;
    CBuffer buffer{cType, b.data, b.length, b.indicator};
    std::size_t dataStride = rowBindType, indicatorStride = rowBindType;
    if (rowBindType == SQL_BIND_BY_COLUMN) {
        dataStride = isPiecewise(cType) ? static_cast<std::size_t>(b.length) : fixedSize(cType);
        indicatorStride = sizeof(SQLLEN);
    }
    const SQLLEN offset = bindOffset ? *bindOffset : 0;
    if (buffer.data) buffer.data = static_cast<char*>(buffer.data) + offset + row * dataStride;
    if (buffer.indicator)
        buffer.indicator = reinterpret_cast<SQLLEN*>(reinterpret_cast<char*>(buffer.indicator) +
                                                     offset + row * indicatorStride);
    return buffer;
}

SQLUSMALLINT Statement::writeBoundRow(std::size_t index) {
    const std::size_t stored = static_cast<std::size_t>(rows_.position) + index;
    if (!rows_.stream && stored < rows_.deleted.size() && rows_.deleted[stored])
        return SQL_ROW_DELETED;
    const std::vector<core::Value>& row = *rows_.rowset[index];
    SQLUSMALLINT status = SQL_ROW_SUCCESS;
    for (std::size_t i = 0; i < bound.size() && i < rows_.columns.size(); ++i) {
        if (!bound[i].data && !bound[i].indicator) continue;
        const core::Value& v = row[i];
        const CBuffer buffer = boundBuffer(i, index);
        try {
            if (v.isNull()) {
                if (!buffer.indicator)
                    throw OdbcError("22002", "Indicator variable required but not supplied.");
                *buffer.indicator = SQL_NULL_DATA;
            } else if (isPiecewise(buffer.cType)) {
                const std::string form = piecewiseForm(v, buffer.cType);
                if (writePiece(form, 0, buffer) < form.size()) {
                    diagnostics.add("01004", "String data, right truncated.");
                    status = SQL_ROW_SUCCESS_WITH_INFO;
                }
            } else if (buffer.data) {
                writeFixed(v, buffer);
            }
        } catch (const std::exception& e) {
            diagnostics.add(e);
            return SQL_ROW_ERROR;
        }
    }
    return status;
}

SQLRETURN Statement::getData(SQLUSMALLINT column, const CBuffer& requested) {
    const std::vector<core::Value>* current = rows_.current();
    if (!current) throw OdbcError("24000", "Invalid cursor state.");
    if (column == 0 || column > rows_.columns.size())
        throw OdbcError("07009", "Invalid descriptor index.");
    const core::Value& v = (*current)[column - 1];
    CBuffer buffer = requested;
    if (buffer.cType == SQL_C_DEFAULT || buffer.cType == SQL_ARD_TYPE)
        buffer.cType = defaultCType(rows_.columns[column - 1].sqlType);
    const bool continuing = pieceColumn_ == column;
    if (continuing && pieceDone_) return SQL_NO_DATA;
    pieceColumn_ = column;
    if (v.isNull()) {
        if (!buffer.indicator)
            throw OdbcError("22002", "Indicator variable required but not supplied.");
        *buffer.indicator = SQL_NULL_DATA;
        pieceDone_ = true;
        return SQL_SUCCESS;
    }
    if (!isPiecewise(buffer.cType)) {
        pieceDone_ = true;
        writeFixed(v, buffer);
        return SQL_SUCCESS;
    }
    if (!continuing) {
        pieceForm_ = piecewiseForm(v, buffer.cType);
        pieceOffset_ = 0;
        pieceDone_ = false;
    }
    const std::size_t remaining = pieceForm_.size() - pieceOffset_;
    const std::size_t copied = writePiece(pieceForm_, pieceOffset_, buffer);
    pieceOffset_ += copied;
    if (copied < remaining) {
        diagnostics.add("01004", "String data, right truncated.");
        return SQL_SUCCESS_WITH_INFO;
    }
    pieceDone_ = true;
    return SQL_SUCCESS;
}

std::vector<std::optional<core::Value>> Statement::boundValues(std::size_t row) const {
    std::vector<std::optional<core::Value>> values(rows_.tableColumnCount);
    for (std::size_t i = 0; i < bound.size() && i < rows_.columns.size(); ++i) {
        const auto& target = rows_.tableColumns[i];
        if (!target || !rows_.columns[i].updatable || (!bound[i].data && !bound[i].indicator))
            continue;
        const CBuffer buffer = boundBuffer(i, row);
        SQLLEN length = buffer.indicator ? *buffer.indicator : SQL_NTS;
        if (length == SQL_COLUMN_IGNORE) continue;
        if (!buffer.indicator && buffer.cType == SQL_C_BINARY) length = buffer.length;
        values[*target] =
            length == SQL_NULL_DATA || !buffer.data
                ? core::Value::null()
                : readParameter(buffer.cType, rows_.columns[i].sqlType, buffer.data, length);
    }
    return values;
}

const sql::RowLocator& Statement::locatorOf(std::size_t row) const {
    const std::size_t stored = static_cast<std::size_t>(rows_.position) + row;
    if (rows_.deleted[stored]) throw OdbcError("HY109", "The row has been deleted.");
    if (!rows_.locators[stored]) throw OdbcError("HY109", "The row has no stored row to change.");
    return *rows_.locators[stored];
}

void Statement::showStoredRow(std::size_t row, const std::vector<core::Value>& stored) {
    auto& values = rows_.rows[static_cast<std::size_t>(rows_.position) + row];
    for (std::size_t i = 0; i < values.size() && i < rows_.tableColumns.size(); ++i)
        if (rows_.tableColumns[i] && *rows_.tableColumns[i] < stored.size())
            values[i] = stored[*rows_.tableColumns[i]];
}

SQLRETURN Statement::setPos(SQLSETPOSIROW row, SQLUSMALLINT operation) {
    if (!cursorOpen_ || rows_.rowset.empty()) throw OdbcError("24000", "Invalid cursor state.");
    if (row > rows_.rowset.size()) throw OdbcError("HY107", "Row value out of range.");
    pieceColumn_ = -1;
    if (operation == SQL_POSITION) {
        if (row == 0) throw OdbcError("HY109", "Invalid cursor position.");
        rows_.currentInRowset = row - 1;
        return SQL_SUCCESS;
    }
    if (operation != SQL_REFRESH && operation != SQL_UPDATE && operation != SQL_DELETE)
        throw OdbcError("HY092", "Invalid attribute/option identifier.");
    const bool changes = operation != SQL_REFRESH;
    if (rows_.stream || rows_.table.empty()) {
        if (changes)
            throw OdbcError("HYC00", "Only a static cursor over one table changes rows through "
                                     "SQLSetPos; use UPDATE and DELETE statements.");
        // Rows held as they were read: refreshing writes them to the buffers again.
    } else if (changes && concurrency == SQL_CONCUR_READ_ONLY) {
        throw OdbcError("HY092", "The cursor is read-only: set SQL_ATTR_CONCURRENCY to "
                                 "SQL_CONCUR_LOCK to change rows through it.");
    }
    if (changes) connection.beforeStatement(*this, true);
    const std::size_t first = row == 0 ? 0 : row - 1;
    const std::size_t last = row == 0 ? rows_.rowset.size() : row;
    sql::Session& session = connection.session();
    std::size_t failed = 0;
    rowCount_ = 0;
    for (std::size_t i = first; i < last; ++i) {
        SQLUSMALLINT status = SQL_ROW_SUCCESS;
        try {
            if (operation == SQL_REFRESH) {
                if (!rows_.table.empty()) {
                    const std::size_t stored = static_cast<std::size_t>(rows_.position) + i;
                    auto again =
                        rows_.locators[stored] && !rows_.deleted[stored]
                            ? session.storage().readRow(rows_.table, *rows_.locators[stored])
                            : std::nullopt;
                    if (again)
                        showStoredRow(i, *again);
                    else
                        rows_.deleted[stored] = true;
                }
                status = writeBoundRow(i);
            } else if (operation == SQL_UPDATE) {
                const std::size_t stored = static_cast<std::size_t>(rows_.position) + i;
                sql::StoredRow written =
                    session.updateRow(rows_.table, locatorOf(i), boundValues(i));
                rows_.locators[stored] = written.locator;
                showStoredRow(i, written.values);
                status = SQL_ROW_UPDATED;
                ++rowCount_;
            } else {
                session.deleteRow(rows_.table, locatorOf(i));
                rows_.deleted[static_cast<std::size_t>(rows_.position) + i] = true;
                status = SQL_ROW_DELETED;
                ++rowCount_;
            }
        } catch (const std::exception& e) {
            if (row != 0) throw;
            diagnostics.add(e);
            status = SQL_ROW_ERROR;
            ++failed;
        }
        if (rowStatus) rowStatus[i] = status;
    }
    if (failed) return failed == last - first ? SQL_ERROR : SQL_SUCCESS_WITH_INFO;
    return SQL_SUCCESS;
}

SQLRETURN Statement::addRows() {
    if (!cursorOpen_ || rows_.stream || rows_.table.empty())
        throw OdbcError("HYC00", "Only a static cursor over one table adds rows through "
                                 "SQLBulkOperations; use INSERT statements.");
    if (concurrency == SQL_CONCUR_READ_ONLY)
        throw OdbcError("HY092", "The cursor is read-only: set SQL_ATTR_CONCURRENCY to "
                                 "SQL_CONCUR_LOCK to add rows through it.");
    connection.beforeStatement(*this, true);
    const std::size_t size = rowArraySize ? rowArraySize : 1;
    std::size_t failed = 0;
    rowCount_ = 0;
    for (std::size_t i = 0; i < size; ++i) {
        SQLUSMALLINT status = SQL_ROW_ADDED;
        try {
            connection.session().insertRow(rows_.table, boundValues(i));
            ++rowCount_;
        } catch (const std::exception& e) {
            if (size == 1) throw;
            diagnostics.add(e);
            status = SQL_ROW_ERROR;
            ++failed;
        }
        if (rowStatus) rowStatus[i] = status;
    }
    if (failed) return failed == size ? SQL_ERROR : SQL_SUCCESS_WITH_INFO;
    return SQL_SUCCESS;
}

} // namespace odbc
