#pragma once
// The data-aware grid: one column per field of its data source's data set, titled with the
// field name; the indicator column marks the current record and its edit or insert state;
// every second row in the light 3D colour. The grid and the data set's current record move
// together. Title clicks report the field name; keys follow the original grid's table; memo
// fields open the memo window. Editing happens in place while the grid is not read-only.
#include "controls/ControlErrors.h"

#include <QTableView>

namespace data {
class TCustomADODataSet;
class TDataSource;
} // namespace data

namespace controls {

class Confirmations;
class GridDelegate;
class GridModel;

class TwwDBGrid : public QTableView {
    Q_OBJECT
public:
    explicit TwwDBGrid(QWidget* parent = nullptr);
    ~TwwDBGrid() override;

    data::TDataSource* dataSource() const;
    void setDataSource(data::TDataSource* source);

    // Read-only at start.
    bool readOnly() const;
    void setReadOnly(bool readOnly);

    // The boxes that ask before a record is deleted or its changes discarded.
    void setConfirmations(Confirmations* confirmations) { confirmations_ = confirmations; }
    // The top-level error display for the errors of the actions the grid starts.
    void setErrorDisplay(ErrorDisplay display);
    const ErrorDisplay& errorDisplay() const { return errors_; }

    // Lays the columns out for the data set's fields: order, widths, scroll bars.
    void rebuildLayout();

    GridModel& gridModel() const { return *model_; }
    // The focus is on the grid or on its cell editor.
    bool hasFocusWithin() const;

    // The text in the open cell editor differs from the field.
    bool cellTextChanged() const { return cellTextChanged_; }
    void noteCellTextChanged() {
        cellTextChanged_ = true;
        cellTextRefused_ = false;
    }
    void clearCellTextChanged() { cellTextChanged_ = false; }
    // The field refused the editor's text, and said why: the editor stays open on it.
    void noteCellTextRefused() { cellTextRefused_ = true; }

    // Escape outside a changed cell: leaves the edit or insert state, asking first when the
    // record was changed.
    void escapeRecord();
    // The memo window on the current record's field shown in this column.
    void openMemo(int column);

signals:
    // A title was clicked: the field name of its column.
    void titleButtonClick(const QString& fieldName);
    // A double click on a record that opened no memo window.
    void recordDoubleClicked();

protected:
    void keyPressEvent(QKeyEvent* event) override;
    void mouseDoubleClickEvent(QMouseEvent* event) override;
    void currentChanged(const QModelIndex& current, const QModelIndex& previous) override;
    void closeEditor(QWidget* editor, QAbstractItemDelegate::EndEditHint hint) override;
    void focusInEvent(QFocusEvent* event) override;
    void focusOutEvent(QFocusEvent* event) override;
    // Typing never jumps to a matching record: it edits, or does nothing.
    void keyboardSearch(const QString& /*search*/) override {}

private:
    data::TCustomADODataSet* activeDataSet() const;
    // Puts the view's current cell on the data set's current record.
    void followDataSet();
    // Writes the changed text of the open cell editor into the record; raises the field's error
    // when it cannot read the text, which stops the post or move that asked for it.
    void writeCellText();
    // The focus went to another control of the window.
    void leaveGrid();
    void focusChanged(QWidget* old, QWidget* now);
    bool isMemoColumn(int column) const;

    // Keys.
    bool handleKey(QKeyEvent* event);
    void priorRow();
    void nextRow();
    void moveToRow(int row);
    int visibleRows() const;
    // The last row shown whole.
    int lastVisibleRow() const;
    void deleteWithConfirmation();
    void openEditor();
    bool untouchedInsert() const;
    void copySelection() const;

    GridModel* model_;
    GridDelegate* delegate_;
    Confirmations* confirmations_ = nullptr;
    ErrorDisplay errors_;
    int column_ = 0;
    bool following_ = false;
    bool cellTextChanged_ = false;
    bool cellTextRefused_ = false;
};

} // namespace controls
