#pragma once
// How the grid paints and edits its cells: the current record's row highlighted while the grid
// has the focus, and an in-place editor that fits the field (GridEditors). Yes/no fields are
// ticked in the cell by a click or Space; memo fields open the memo window instead. A text the
// field refuses leaves the editor open.
#include <QStyledItemDelegate>

namespace controls {

class TwwDBGrid;

class GridDelegate : public QStyledItemDelegate {
    Q_OBJECT
public:
    explicit GridDelegate(TwwDBGrid& grid);

    QWidget* createEditor(QWidget* parent, const QStyleOptionViewItem& option,
                          const QModelIndex& index) const override;
    void setEditorData(QWidget* editor, const QModelIndex& index) const override;
    void setModelData(QWidget* editor, QAbstractItemModel* model,
                      const QModelIndex& index) const override;

protected:
    void initStyleOption(QStyleOptionViewItem* option, const QModelIndex& index) const override;
    // Escape in an editor whose text is unchanged is the grid's: it closes the editor and goes
    // on to the record (the discard question).
    bool eventFilter(QObject* object, QEvent* event) override;

private:
    TwwDBGrid& grid_;
    mutable bool committing_ = false;
};

} // namespace controls
