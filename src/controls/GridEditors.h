#pragma once
// The in-place editor the grid gives a field by its kind: a text box limited to the field's
// size, boxes that take only what a whole number or a fraction can be written with, and the
// date picker of the filter window for dates. Yes/no fields are ticked in the cell and memo and
// OLE fields open windows, so they get no editor. What is typed is read by the field itself.
#include "data/FieldType.h"

class QLineEdit;
class QWidget;

namespace data {
class TField;
}

namespace controls {

enum class GridEditorKind {
    Text,        // text, replication IDs, binary as hex
    WholeNumber, // Byte, Integer, Long, counters: digits and a sign
    Fraction,    // currency, decimal: digits, a sign and the decimal separator
    Float,       // Single, Double: as Fraction, with an exponent
    Date,        // date/time: FilterDateEdit, with its calendar
    None,        // yes/no, memo, OLE object
};

GridEditorKind gridEditorKind(data::FieldType type);

// A new editor for the field, nullptr for kinds edited without one.
QLineEdit* makeGridEditor(const data::TField& field, QWidget* parent);

} // namespace controls
