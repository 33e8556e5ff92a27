#include "controls/TwwDBGrid.h"

#include "controls/GridDelegate.h"
#include "controls/GridModel.h"
#include "controls/MemoWindow.h"
#include "controls/QtConfirmations.h"
#include "data/TCustomADODataSet.h"

#include <QApplication>
#include <QFocusEvent>
#include <QHeaderView>
#include <QLineEdit>
#include <QMouseEvent>

#include <algorithm>

namespace controls {
namespace {

// Characters a column gets at most by default, however wide its field.
constexpr int widestDefault = 40;

} // namespace

TwwDBGrid::TwwDBGrid(QWidget* parent)
    : QTableView(parent), model_(new GridModel(this)), delegate_(new GridDelegate(*this)) {
    setModel(model_);
    setItemDelegate(delegate_);
    model_->showError = [this](const std::exception& error) {
        if (errors_) errors_(error);
    };
    model_->writeEditorText = [this] { writeCellText(); };

    setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
    setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
    setShowGrid(true);
    setSelectionBehavior(QAbstractItemView::SelectItems);
    setSelectionMode(QAbstractItemView::ExtendedSelection);
    setTabKeyNavigation(true);
    setWordWrap(false);
    setEditTriggers(QAbstractItemView::NoEditTriggers);

    // Every second row in the light three-dimensional edge colour.
    setAlternatingRowColors(true);
    QPalette colours = palette();
    colours.setColor(QPalette::AlternateBase, colours.color(QPalette::Midlight));
    setPalette(colours);

    QHeaderView* titles = horizontalHeader();
    titles->setSectionsClickable(true);
    titles->setSectionsMovable(true);
    titles->setSectionResizeMode(QHeaderView::Interactive);
    titles->setHighlightSections(false);
    titles->setDefaultAlignment(Qt::AlignLeft | Qt::AlignVCenter);
    titles->setFixedHeight(fontMetrics().height() + 6);
    connect(titles, &QHeaderView::sectionClicked, this, [this](int column) {
        if (const data::TField* field = model_->field(column))
            emit titleButtonClick(QString::fromStdString(field->fieldName()));
    });

    // The indicator column: narrow, one text line per record, rows of one fixed height (a
    // million rows cost nothing to lay out).
    QHeaderView* indicator = verticalHeader();
    indicator->setSectionResizeMode(QHeaderView::Fixed);
    indicator->setDefaultSectionSize(fontMetrics().height() + 4);
    indicator->setMinimumSectionSize(fontMetrics().height() + 4);
    indicator->setFixedWidth(14);
    indicator->setSectionsClickable(false);
    indicator->setHighlightSections(false);

    connect(model_, &GridModel::currentRecordChanged, this, [this] { followDataSet(); });
    connect(model_, &GridModel::fieldsChanged, this, [this] { rebuildLayout(); });
    connect(qApp, &QApplication::focusChanged, this, &TwwDBGrid::focusChanged);
}

TwwDBGrid::~TwwDBGrid() {
    model_->setDataSource(nullptr);
}

data::TDataSource* TwwDBGrid::dataSource() const {
    return model_->dataSource();
}

void TwwDBGrid::setDataSource(data::TDataSource* source) {
    model_->setDataSource(source);
}

bool TwwDBGrid::readOnly() const {
    return model_->readOnly();
}

void TwwDBGrid::setReadOnly(bool readOnly) {
    if (readOnly && state() == EditingState) {
        // What was typed stays in the record; the editor goes with the grid's editing.
        runGuarded(errors_, [this] { writeCellText(); });
        cellTextRefused_ = false;
        if (QWidget* editor = indexWidget(currentIndex()))
            closeEditor(editor, QAbstractItemDelegate::NoHint);
    }
    model_->setReadOnly(readOnly);
    // The editor is not always shown: typing, F2 or a double click open it.
    setEditTriggers(readOnly
                        ? QAbstractItemView::NoEditTriggers
                        : QAbstractItemView::DoubleClicked | QAbstractItemView::EditKeyPressed |
                              QAbstractItemView::AnyKeyPressed);
}

void TwwDBGrid::setErrorDisplay(ErrorDisplay display) {
    errors_ = std::move(display);
}

data::TCustomADODataSet* TwwDBGrid::activeDataSet() const {
    return model_->activeDataSet();
}

void TwwDBGrid::rebuildLayout() {
    const int charWidth = std::max(1, fontMetrics().averageCharWidth());
    QHeaderView* titles = horizontalHeader();
    for (int column = 0; column < model_->columnCount(); ++column) {
        const data::TField* field = model_->field(column);
        if (!field) continue;
        int chars = field->displayWidth();
        if (field->dataType() == data::FieldType::WideMemo) chars = 8;
        chars = std::min(std::max(chars, static_cast<int>(field->displayLabel().size())),
                         widestDefault);
        titles->resizeSection(column, chars * charWidth + 8);
        // Back to field order after columns were dragged about.
        titles->moveSection(titles->visualIndex(column), column);
    }
    updateGeometries();
    viewport()->update();
}

bool TwwDBGrid::hasFocusWithin() const {
    const QWidget* focus = QApplication::focusWidget();
    return focus && (focus == this || isAncestorOf(focus));
}

bool TwwDBGrid::isMemoColumn(int column) const {
    const data::TField* field = model_->field(column);
    return field && field->dataType() == data::FieldType::WideMemo;
}

void TwwDBGrid::followDataSet() {
    if (following_) return;
    following_ = true;
    const int row = model_->currentRow();
    if (row >= 0 && row < model_->rowCount() && model_->columnCount() > 0) {
        const int column = std::clamp(column_, 0, model_->columnCount() - 1);
        const QModelIndex target = model_->index(row, column);
        if (currentIndex() != target)
            selectionModel()->setCurrentIndex(target, QItemSelectionModel::ClearAndSelect);
        scrollTo(target);
    }
    following_ = false;
    viewport()->update();
}

void TwwDBGrid::currentChanged(const QModelIndex& current, const QModelIndex& previous) {
    QTableView::currentChanged(current, previous);
    if (previous.isValid() && previous != current && indexWidget(previous)) {
        // The editor's text was refused (and the error shown), so the editor stayed open: the
        // record stays where it is.
        followDataSet();
        return;
    }
    // The grid follows the data set again once the reset is over, on the column it was on.
    if (!current.isValid() || model_->resetting()) return;
    column_ = current.column();
    if (following_) return;
    data::TCustomADODataSet* ds = activeDataSet();
    const int row = model_->currentRow();
    if (!ds || row < 0 || current.row() == row) return;
    runGuarded(errors_, [&] { ds->moveBy(current.row() - row); });
    followDataSet();
}

void TwwDBGrid::closeEditor(QWidget* editor, QAbstractItemDelegate::EndEditHint hint) {
    if (cellTextRefused_ && hint != QAbstractItemDelegate::RevertModelCache) {
        // Enter, Tab, a click elsewhere: the text the field refused stays to be mended, and the
        // focus comes back to it from the error box.
        editor->activateWindow();
        editor->setFocus();
        if (auto* line = qobject_cast<QLineEdit*>(editor)) line->selectAll();
        return;
    }
    QTableView::closeEditor(editor, hint);
    cellTextChanged_ = false;
    cellTextRefused_ = false;
}

void TwwDBGrid::writeCellText() {
    if (state() != EditingState || !cellTextChanged_) return;
    auto* editor = qobject_cast<QLineEdit*>(indexWidget(currentIndex()));
    data::TField* field = model_->field(currentIndex().column());
    if (!editor || !field) return;
    field->setAsString(editor->text().toStdString());
    cellTextChanged_ = false;
    cellTextRefused_ = false;
}

void TwwDBGrid::focusInEvent(QFocusEvent* event) {
    QTableView::focusInEvent(event);
    if (!selectionModel()->hasSelection() && currentIndex().isValid())
        selectionModel()->select(currentIndex(), QItemSelectionModel::Select);
    viewport()->update();
}

void TwwDBGrid::focusOutEvent(QFocusEvent* event) {
    QTableView::focusOutEvent(event);
    // No selection shows without the focus (the view paints a selected cell's background
    // before any delegate could leave it out).
    if (event->reason() != Qt::PopupFocusReason) selectionModel()->clearSelection();
    viewport()->update();
}

void TwwDBGrid::focusChanged(QWidget* old, QWidget* now) {
    // Only a move to another control of the same window leaves the grid: a message box or the
    // memo window opened from the grid does not.
    if (!old || !now || now->window() != window()) return;
    const bool wasInside = old == this || isAncestorOf(old);
    const bool isInside = now == this || isAncestorOf(now);
    if (wasInside && !isInside) leaveGrid();
}

bool TwwDBGrid::untouchedInsert() const {
    const data::TCustomADODataSet* ds = activeDataSet();
    return ds && ds->state() == data::DataSetState::Insert && !ds->modified() && !cellTextChanged_;
}

void TwwDBGrid::leaveGrid() {
    data::TCustomADODataSet* ds = activeDataSet();
    if (!ds) return;
    runGuarded(errors_, [&] {
        if (untouchedInsert()) {
            if (state() == EditingState)
                if (QWidget* editor = indexWidget(currentIndex()))
                    closeEditor(editor, QAbstractItemDelegate::NoHint);
            ds->cancel();
            return;
        }
        // A refused text was reported as the editor lost the focus; it stays to be mended.
        if (!cellTextRefused_) writeCellText();
    });
}

void TwwDBGrid::escapeRecord() {
    data::TCustomADODataSet* ds = activeDataSet();
    if (!ds) return;
    runGuarded(errors_, [&] {
        const data::DataSetState state = ds->state();
        if (state != data::DataSetState::Edit && state != data::DataSetState::Insert) return;
        if (ds->modified()) {
            Confirmations& boxes = confirmations_ ? *confirmations_ : defaultConfirmations();
            if (!boxes.confirm(QStringLiteral("Discard changes to this record?"),
                               ConfirmButtons::YesNo))
                return;
        }
        ds->cancel();
    });
}

void TwwDBGrid::mouseDoubleClickEvent(QMouseEvent* event) {
    const QModelIndex index = indexAt(event->position().toPoint());
    if (index.isValid() && isMemoColumn(index.column())) {
        openMemo(index.column());
        return;
    }
    QTableView::mouseDoubleClickEvent(event);
    if (index.isValid() && state() != EditingState) emit recordDoubleClicked();
}

void TwwDBGrid::openMemo(int column) {
    data::TCustomADODataSet* ds = activeDataSet();
    data::TField* field = model_->field(column);
    if (!ds || !field || ds->recNo() == 0) return;
    runGuarded(errors_, [&] {
        const bool readOnlyText = readOnly() || !field->canModify();
        MemoWindow window(this);
        window.setWindowTitle(
            model_->headerData(column, Qt::Horizontal, Qt::DisplayRole).toString());
        window.setReadOnly(readOnlyText);
        window.setFieldText(field->asString());
        if (window.exec() != QDialog::Accepted || readOnlyText) return;
        ds->edit();
        field->setAsString(window.fieldText());
    });
}

} // namespace controls
