#pragma once
// The grid's table model over a data source: one column per field, one row per record of the
// data set, values read from the data set row by row as the view paints them (the data set
// keeps what it has read; the model keeps nothing but the row count). It hears the data
// source through its data link and tells the grid where the current record went.
#include "data/TDataLink.h"

#include <QAbstractTableModel>
#include <QIcon>

#include <functional>
#include <string>
#include <vector>

namespace data {
class TCustomADODataSet;
class TField;
} // namespace data

namespace controls {

class GridModel : public QAbstractTableModel, public data::TDataLink {
    Q_OBJECT
public:
    explicit GridModel(QObject* parent = nullptr);
    ~GridModel() override;

    // The data set while the link is active, else nullptr.
    data::TCustomADODataSet* activeDataSet() const;
    // The field shown in a column, nullptr when there is none.
    data::TField* field(int column) const;
    // The row of the current record, -1 when there is none.
    int currentRow() const;
    // While the rows are reset, the view's current cell means nothing: the view clears it, and
    // a focus coming back from a closed editor puts it on the first cell.
    bool resetting() const { return resetting_; }
    // Whether the cell's field takes typing: the grid is not read-only and the field can be
    // changed.
    bool cellEditable(int column) const;

    bool readOnly() const { return readOnly_; }
    void setReadOnly(bool readOnly);

    // Set by the grid: what to do with an error of a value the user gave.
    std::function<void(const std::exception&)> showError;
    // Set by the grid: before a post or a move, writes the text being typed into the record.
    // Its error (a text the field cannot read) goes to the data set, stopping the post or move.
    std::function<void()> writeEditorText;

    int rowCount(const QModelIndex& parent = {}) const override;
    int columnCount(const QModelIndex& parent = {}) const override;
    QVariant data(const QModelIndex& index, int role) const override;
    QVariant headerData(int section, Qt::Orientation orientation, int role) const override;
    Qt::ItemFlags flags(const QModelIndex& index) const override;
    // EditRole: the typed text into the current record's field; CheckStateRole: a yes/no
    // field ticked. The record goes into edit state first (when the source allows it).
    bool setData(const QModelIndex& index, const QVariant& value, int role) override;
    bool canFetchMore(const QModelIndex& parent) const override;
    void fetchMore(const QModelIndex& parent) override;

signals:
    // The current record moved, or everything was shown again.
    void currentRecordChanged();
    // The fields are other ones: the grid lays its columns out again.
    void fieldsChanged();
    // The record entered or left edit or insert state.
    void editingStateChanged();

protected:
    void activeChanged() override;
    void editingChanged() override;
    void dataSetChanged() override;
    void dataSetScrolled(int distance) override;
    void recordChanged(const data::TField* field) override;
    void updateData() override;
    void checkBrowseMode() override;
    void layoutChanged() override;

private:
    void resetRows();
    // Catches up with records the data set read on its own while moving.
    void syncRowCount();
    std::vector<std::string> fieldSignature() const;
    void repaintRow(int row);

    int rows_ = 0;
    int columns_ = 0;
    int lastCurrent_ = -1;
    bool resetting_ = false;
    bool readOnly_ = true;
    std::vector<std::string> signature_;
    QIcon currentMark_;
    QIcon editMark_;
    QIcon insertMark_;
};

} // namespace controls
