#include "controls/GridEditors.h"

#include "controls/FilterDateEdit.h"
#include "data/TCustomADODataSet.h"
#include "data/TField.h"

#include <QRegularExpression>
#include <QRegularExpressionValidator>

namespace controls {
namespace {

// The data set's formats are the United States ones, and the field reads numbers as Jet does:
// "." before the fraction. The formats hold no separator of their own to follow.
constexpr char decimalSeparator[] = "\\.";

// Only characters a number of the kind can be written with get into the box; whether the
// number fits the field is the field's to say when the text is written into it.
QValidator* numberValidator(GridEditorKind kind, QObject* parent) {
    QString pattern = QStringLiteral("[+-]?[0-9]*");
    if (kind != GridEditorKind::WholeNumber)
        pattern += QStringLiteral("(%1[0-9]*)?").arg(QLatin1String(decimalSeparator));
    if (kind == GridEditorKind::Float) pattern += QStringLiteral("([eE][+-]?[0-9]*)?");
    return new QRegularExpressionValidator(QRegularExpression(pattern), parent);
}

} // namespace

GridEditorKind gridEditorKind(data::FieldType type) {
    switch (type) {
    case data::FieldType::Word:
    case data::FieldType::Smallint:
    case data::FieldType::Integer:
    case data::FieldType::AutoInc:
        return GridEditorKind::WholeNumber;
    case data::FieldType::Currency:
    case data::FieldType::BCD:
        return GridEditorKind::Fraction;
    case data::FieldType::Float:
        return GridEditorKind::Float;
    case data::FieldType::DateTime:
        return GridEditorKind::Date;
    case data::FieldType::Boolean:
    case data::FieldType::WideMemo:
    case data::FieldType::Blob:
        return GridEditorKind::None;
    default:
        return GridEditorKind::Text;
    }
}

QLineEdit* makeGridEditor(const data::TField& field, QWidget* parent) {
    const GridEditorKind kind = gridEditorKind(field.dataType());
    QLineEdit* editor = nullptr;
    switch (kind) {
    case GridEditorKind::None:
        return nullptr;
    case GridEditorKind::Date: {
        auto* dates = new FilterDateEdit(parent);
        dates->setFormats(field.dataSet().formats());
        editor = dates;
        break;
    }
    case GridEditorKind::Text:
        editor = new QLineEdit(parent);
        if (field.dataType() == data::FieldType::WideString && field.size() > 0)
            editor->setMaxLength(static_cast<int>(field.size()));
        break;
    default:
        editor = new QLineEdit(parent);
        editor->setValidator(numberValidator(kind, editor));
        // Where the cell shows the number.
        editor->setAlignment(Qt::AlignRight | Qt::AlignVCenter);
        break;
    }
    editor->setFrame(false);
    return editor;
}

} // namespace controls
