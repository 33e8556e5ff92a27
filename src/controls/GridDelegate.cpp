#include "controls/GridDelegate.h"

#include "controls/GridModel.h"
#include "controls/TwwDBGrid.h"
#include "data/TField.h"

#include <QApplication>
#include <QIntValidator>
#include <QKeyEvent>
#include <QLineEdit>

#include <limits>

namespace controls {
namespace {

QValidator* validatorFor(data::FieldType type, QObject* parent) {
    switch (type) {
    case data::FieldType::Word:
        return new QIntValidator(0, 255, parent);
    case data::FieldType::Smallint:
        return new QIntValidator(std::numeric_limits<std::int16_t>::min(),
                                 std::numeric_limits<std::int16_t>::max(), parent);
    case data::FieldType::Integer:
        return new QIntValidator(std::numeric_limits<std::int32_t>::min(),
                                 std::numeric_limits<std::int32_t>::max(), parent);
    default:
        // Decimals, money and dates are read by the field in the locale's formats; a text it
        // cannot read is refused with the field's own message.
        return nullptr;
    }
}

} // namespace

GridDelegate::GridDelegate(TwwDBGrid& grid) : QStyledItemDelegate(&grid), grid_(grid) {}

QWidget* GridDelegate::createEditor(QWidget* parent, const QStyleOptionViewItem& /*option*/,
                                    const QModelIndex& index) const {
    GridModel& model = grid_.gridModel();
    data::TField* field = model.field(index.column());
    if (!field || !(model.flags(index) & Qt::ItemIsEditable)) return nullptr;
    // Typing starts editing the record only when the data source allows it.
    bool editing = false;
    runGuarded(grid_.errorDisplay(), [&] { editing = model.edit(); });
    if (!editing) return nullptr;
    auto* editor = new QLineEdit(parent);
    editor->setFrame(false);
    if (field->dataType() == data::FieldType::WideString && field->size() > 0)
        editor->setMaxLength(static_cast<int>(field->size()));
    if (QValidator* validator = validatorFor(field->dataType(), editor))
        editor->setValidator(validator);
    connect(editor, &QLineEdit::textEdited, &grid_, [this] { grid_.noteCellTextChanged(); });
    return editor;
}

void GridDelegate::setEditorData(QWidget* editor, const QModelIndex& index) const {
    auto* line = qobject_cast<QLineEdit*>(editor);
    if (!line) return;
    line->setText(index.data(Qt::EditRole).toString());
}

void GridDelegate::setModelData(QWidget* editor, QAbstractItemModel* model,
                                const QModelIndex& index) const {
    auto* line = qobject_cast<QLineEdit*>(editor);
    if (!line || !grid_.cellTextChanged()) return;
    if (model->setData(index, line->text(), Qt::EditRole)) grid_.clearCellTextChanged();
}

void GridDelegate::initStyleOption(QStyleOptionViewItem* option, const QModelIndex& index) const {
    QStyledItemDelegate::initStyleOption(option, index);
    // The current record's row shows in the highlight colour only while the grid has the focus;
    // no other selection is kept visible without it.
    const bool focused = grid_.hasFocusWithin();
    if (focused && index.row() == grid_.gridModel().currentRow())
        option->state |= QStyle::State_Selected;
    else if (!focused)
        option->state &= ~QStyle::State_Selected;
}

bool GridDelegate::eventFilter(QObject* object, QEvent* event) {
    if (event->type() == QEvent::KeyPress &&
        static_cast<QKeyEvent*>(event)->key() == Qt::Key_Escape && !grid_.cellTextChanged()) {
        if (auto* editor = qobject_cast<QWidget*>(object)) {
            emit closeEditor(editor, NoHint);
            grid_.escapeRecord();
            return true;
        }
    }
    return QStyledItemDelegate::eventFilter(object, event);
}

} // namespace controls
