// TwwDBGrid: the keys of the grid, and copying cells.
#include "controls/GridModel.h"
#include "controls/QtConfirmations.h"
#include "controls/TwwDBGrid.h"
#include "data/TCustomADODataSet.h"

#include <QApplication>
#include <QClipboard>
#include <QHeaderView>
#include <QKeyEvent>

#include <algorithm>
#include <map>

namespace controls {

void TwwDBGrid::keyPressEvent(QKeyEvent* event) {
    if (event->matches(QKeySequence::Copy)) {
        copySelection();
        return;
    }
    if (!activeDataSet() || !handleKey(event)) QTableView::keyPressEvent(event);
}

bool TwwDBGrid::handleKey(QKeyEvent* event) {
    data::TCustomADODataSet* ds = activeDataSet();
    const bool ctrl = event->modifiers().testFlag(Qt::ControlModifier);
    const bool shift = event->modifiers().testFlag(Qt::ShiftModifier);
    const int firstColumn = horizontalHeader()->logicalIndex(0);
    const int lastColumn = horizontalHeader()->logicalIndex(model_->columnCount() - 1);
    std::function<void()> action;
    switch (event->key()) {
    case Qt::Key_Up:
        action = [&] { ctrl ? moveToRow(rowAt(0)) : priorRow(); };
        break;
    case Qt::Key_Down:
        action = [&] { ctrl ? moveToRow(lastVisibleRow()) : nextRow(); };
        break;
    case Qt::Key_PageUp:
        action = [&] { ctrl ? moveToRow(rowAt(0)) : void(ds->moveBy(-visibleRows())); };
        break;
    case Qt::Key_PageDown:
        action = [&] { ctrl ? moveToRow(lastVisibleRow()) : void(ds->moveBy(visibleRows())); };
        break;
    case Qt::Key_Home:
    case Qt::Key_End: {
        const bool home = event->key() == Qt::Key_Home;
        if (ctrl || ds->fieldCount() == 1) {
            action = [&] { home ? ds->first() : ds->last(); };
        } else {
            column_ = home ? firstColumn : lastColumn;
            action = [&] {
                selectionModel()->setCurrentIndex(model_->index(currentIndex().row(), column_),
                                                  QItemSelectionModel::ClearAndSelect);
            };
        }
        break;
    }
    case Qt::Key_Insert:
        if (ctrl || shift) return false;
        action = [&] {
            if (!readOnly()) ds->insert();
        };
        break;
    case Qt::Key_Delete:
        if (!ctrl) return false;
        action = [&] { deleteWithConfirmation(); };
        break;
    case Qt::Key_Escape:
        action = [&] { escapeRecord(); };
        break;
    case Qt::Key_F2:
        action = [&] { openEditor(); };
        break;
    default:
        return false;
    }
    runGuarded(errors_, action);
    followDataSet();
    return true;
}

void TwwDBGrid::priorRow() {
    data::TCustomADODataSet* ds = activeDataSet();
    // An untouched new record at the end goes away; elsewhere the move leaves it behind.
    if (untouchedInsert() && !ds->hasRecord(static_cast<std::size_t>(ds->recNo()))) {
        ds->cancel();
        return;
    }
    ds->moveBy(-1);
}

void TwwDBGrid::nextRow() {
    data::TCustomADODataSet* ds = activeDataSet();
    if (untouchedInsert()) {
        // Down on an untouched new record: discarded, except at the end, where nothing happens.
        if (ds->hasRecord(static_cast<std::size_t>(ds->recNo()))) ds->cancel();
        return;
    }
    ds->moveBy(1);
    if (ds->eof() && !readOnly() && ds->canModify()) ds->append();
}

void TwwDBGrid::moveToRow(int row) {
    data::TCustomADODataSet* ds = activeDataSet();
    if (row < 0) row = model_->rowCount() - 1;
    const int current = model_->currentRow();
    if (row >= 0 && current >= 0 && row != current) ds->moveBy(row - current);
}

int TwwDBGrid::lastVisibleRow() const {
    const int height = viewport()->height();
    int row = rowAt(height - 1);
    if (row < 0) return model_->rowCount() - 1;
    // A row cut off at the bottom is not visible as a whole: going there would scroll.
    if (rowViewportPosition(row) + rowHeight(row) > height && row > rowAt(0)) --row;
    return row;
}

int TwwDBGrid::visibleRows() const {
    const int height = std::max(1, verticalHeader()->defaultSectionSize());
    return std::max(1, viewport()->height() / height);
}

void TwwDBGrid::deleteWithConfirmation() {
    data::TCustomADODataSet* ds = activeDataSet();
    if (readOnly() || !ds->canModify()) return;
    Confirmations& boxes = confirmations_ ? *confirmations_ : defaultConfirmations();
    if (!boxes.confirm(QStringLiteral("Delete record?"), ConfirmButtons::OkCancel)) return;
    ds->deleteRecord();
}

void TwwDBGrid::openEditor() {
    const int column = currentIndex().isValid() ? currentIndex().column() : column_;
    if (isMemoColumn(column)) {
        openMemo(column);
        return;
    }
    if (!readOnly() && currentIndex().isValid()) edit(currentIndex());
}

void TwwDBGrid::copySelection() const {
    QModelIndexList cells = selectionModel()->selectedIndexes();
    if (cells.isEmpty() && currentIndex().isValid()) cells << currentIndex();
    if (cells.isEmpty()) return;
    // Rows top to bottom, columns as the titles stand.
    std::map<int, std::map<int, QString>> rows;
    for (const QModelIndex& cell : cells) {
        const int visual = horizontalHeader()->visualIndex(cell.column());
        QVariant value = cell.data(Qt::EditRole);
        if (!value.isValid()) {
            const QVariant check = cell.data(Qt::CheckStateRole);
            if (check.isValid())
                value =
                    check.toInt() == Qt::Checked ? QStringLiteral("True") : QStringLiteral("False");
        }
        rows[cell.row()][visual] = value.toString();
    }
    QStringList lines;
    for (const auto& [row, columns] : rows) {
        QStringList texts;
        for (const auto& [column, text] : columns) texts << text;
        lines << texts.join(QLatin1Char('\t'));
    }
    QApplication::clipboard()->setText(lines.join(QLatin1Char('\n')) + QLatin1Char('\n'));
}

} // namespace controls
