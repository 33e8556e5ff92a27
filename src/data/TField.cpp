#include "data/TField.h"

#include "data/DataErrors.h"
#include "data/FieldText.h"
#include "data/TCustomADODataSet.h"

namespace data {

TField::TField(TCustomADODataSet& dataSet, std::size_t index, const sql::ResultColumn& column)
    : dataSet_(dataSet), index_(index), column_(column), type_(fieldTypeOf(column)),
      displayLabel_(column.name), readOnly_(column.readOnly) {}

std::uint32_t TField::size() const {
    switch (type_) {
    case FieldType::WideString:
    case FieldType::VarBytes:
        return column_.size;
    case FieldType::BCD:
        return column_.scale;
    default:
        return 0;
    }
}

int TField::displayWidth() const {
    switch (type_) {
    case FieldType::WideString:
    case FieldType::VarBytes:
        return static_cast<int>(column_.size);
    case FieldType::Boolean:
    case FieldType::Word:
        return 5;
    case FieldType::Smallint:
        return 6;
    case FieldType::Integer:
    case FieldType::AutoInc:
        return 11;
    case FieldType::Guid:
        return 38;
    case FieldType::DateTime:
        return 18;
    case FieldType::BCD:
        return column_.precision + 2;
    default:
        return 10;
    }
}

bool TField::canModify() const {
    return !readOnly_ && dataSet_.canModify();
}

core::Value TField::value() const {
    return dataSet_.fieldValue(index_);
}

std::string TField::asString() const {
    return valueText(value(), dataSet_.formats());
}

std::string TField::displayText() const {
    return data::displayText(value(), type_, dataSet_.formats());
}

void TField::setValue(const core::Value& value) {
    if (dataSet_.state() != DataSetState::Edit && dataSet_.state() != DataSetState::Insert)
        raiseComponentError(dataSet_.name(), messages::notEditing);
    if (readOnly_) throw DatabaseError(messages::fieldReadOnly(displayLabel_));
    dataSet_.setFieldValue(index_, convertForField(value, column_.type, dataSet_.formats()));
}

void TField::setAsString(std::string_view text) {
    setValue(valueFromText(text, column_.type, dataSet_.formats()));
}

} // namespace data
