#pragma once
// One column of a data set's result, read and written in the data set's current record:
// its name and label, its kind and size, its rules, and its value as text or as a value.
#include "core/Value.h"
#include "data/FieldType.h"
#include "sql/engine/ResultSet.h"

#include <cstdint>
#include <string>
#include <string_view>

namespace data {

class TCustomADODataSet;

class TField {
public:
    TField(TCustomADODataSet& dataSet, std::size_t index, const sql::ResultColumn& column);
    TField(const TField&) = delete;
    TField& operator=(const TField&) = delete;

    TCustomADODataSet& dataSet() const { return dataSet_; }
    // Position in the data set's fields, from 0.
    std::size_t index() const { return index_; }

    const std::string& fieldName() const { return column_.name; }
    // The field name until the program gives another.
    const std::string& displayLabel() const { return displayLabel_; }
    void setDisplayLabel(std::string label) { displayLabel_ = std::move(label); }
    FieldType dataType() const { return type_; }
    // Characters for text fields, digits after the point for decimals, else 0.
    std::uint32_t size() const;
    // Characters the grid and the record view give the field by default.
    int displayWidth() const;
    // Columns that are no plain base-table column (expressions, counters, results of
    // grouping) are read-only; the program may make any field read-only.
    bool readOnly() const { return readOnly_; }
    void setReadOnly(bool readOnly) { readOnly_ = readOnly; }
    bool required() const { return column_.required; }
    bool autoIncrement() const { return column_.autoNumber; }
    // The base table and column the values come from; empty for expressions.
    const std::string& origin() const { return column_.baseTable; }
    const sql::ResultColumn& column() const { return column_; }

    // Whether the field can take values at all: it is not read-only and the data set can be
    // modified.
    bool canModify() const;

    // The current record's value (Null when there is no current record).
    core::Value value() const;
    bool isNull() const { return value().isNull(); }
    // The value as text with no display format (see valueText).
    std::string asString() const;
    // As the grid shows it (see displayText).
    std::string displayText() const;

    // In edit or insert state only: converts the value to the field's kind and stores it in
    // the pending record. Raises "<data set>: Dataset not in edit or insert mode", "Field
    // 'x' cannot be modified", or a conversion error (the record keeps its old value).
    void setValue(const core::Value& value);
    // Reads typed text ("" is Null for all but text fields) and stores it.
    void setAsString(std::string_view text);
    void clear() { setValue(core::Value()); }

private:
    TCustomADODataSet& dataSet_;
    std::size_t index_;
    sql::ResultColumn column_;
    FieldType type_;
    std::string displayLabel_;
    bool readOnly_;
};

} // namespace data
