#include "controls/GridDelegate.h"

#include "controls/FilterDateEdit.h"
#include "controls/GridEditors.h"
#include "controls/GridModel.h"
#include "controls/TwwDBGrid.h"
#include "data/TField.h"

#include <QApplication>
#include <QKeyEvent>
#include <QLineEdit>

namespace controls {

GridDelegate::GridDelegate(TwwDBGrid& grid) : QStyledItemDelegate(&grid), grid_(grid) {}

QWidget* GridDelegate::createEditor(QWidget* parent, const QStyleOptionViewItem& /*option*/,
                                    const QModelIndex& index) const {
    GridModel& model = grid_.gridModel();
    data::TField* field = model.field(index.column());
    if (!field || !(model.flags(index) & Qt::ItemIsEditable)) return nullptr;
    if (gridEditorKind(field->dataType()) == GridEditorKind::None) return nullptr;
    // Typing starts editing the record only when the data source allows it.
    bool editing = false;
    runGuarded(grid_.errorDisplay(), [&] { editing = model.edit(); });
    if (!editing) return nullptr;
    QLineEdit* editor = makeGridEditor(*field, parent);
    connect(editor, &QLineEdit::textEdited, &grid_, [this] { grid_.noteCellTextChanged(); });
    if (auto* dates = qobject_cast<FilterDateEdit*>(editor))
        connect(dates, &FilterDateEdit::datePicked, &grid_,
                [this] { grid_.noteCellTextChanged(); });
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
    if (!line || !grid_.cellTextChanged() || committing_) return;
    // The error box of a refused text takes the focus from the editor, which would hand the
    // same text over once more.
    committing_ = true;
    if (model->setData(index, line->text(), Qt::EditRole))
        grid_.clearCellTextChanged();
    else
        grid_.noteCellTextRefused();
    committing_ = false;
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
    if (committing_ && event->type() == QEvent::FocusOut) return true;
    if (event->type() == QEvent::KeyPress) {
        const auto* key = static_cast<QKeyEvent*>(event);
        auto* editor = qobject_cast<QWidget*>(object);
        if (editor && key->key() == Qt::Key_Escape && !grid_.cellTextChanged()) {
            emit closeEditor(editor, NoHint);
            grid_.escapeRecord();
            return true;
        }
        // Up and Down move between records from every cell editor; the date editor would step
        // its date with them (its calendar stays on Alt+Down and on its button).
        const bool upDown = key->key() == Qt::Key_Up || key->key() == Qt::Key_Down;
        if (editor && upDown && !(key->modifiers() & Qt::AltModifier) &&
            qobject_cast<FilterDateEdit*>(editor)) {
            QApplication::sendEvent(&grid_, event);
            return true;
        }
    }
    return QStyledItemDelegate::eventFilter(object, event);
}

} // namespace controls
