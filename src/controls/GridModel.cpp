#include "controls/GridModel.h"

#include "controls/NavPictograms.h"
#include "data/FieldText.h"
#include "data/TCustomADODataSet.h"

#include <QApplication>
#include <QPalette>

namespace controls {
namespace {

// Records read ahead when the view scrolls past the last one it knows of, and at least known
// when everything is shown again (more than a screen holds).
constexpr std::size_t fetchStep = 256;
constexpr std::size_t firstScreen = 100;

bool alignsRight(data::FieldType type) {
    switch (type) {
    case data::FieldType::Word:
    case data::FieldType::Smallint:
    case data::FieldType::Integer:
    case data::FieldType::AutoInc:
    case data::FieldType::Float:
    case data::FieldType::Currency:
    case data::FieldType::BCD:
        return true;
    default:
        return false;
    }
}

} // namespace

GridModel::GridModel(QObject* parent)
    : QAbstractTableModel(parent), currentMark_(indicatorIcon(IndicatorMark::Current)),
      editMark_(indicatorIcon(IndicatorMark::Edit)),
      insertMark_(indicatorIcon(IndicatorMark::Insert)) {}

GridModel::~GridModel() {
    setDataSource(nullptr);
}

data::TCustomADODataSet* GridModel::activeDataSet() const {
    return active() ? dataSet() : nullptr;
}

data::TField* GridModel::field(int column) const {
    data::TCustomADODataSet* ds = activeDataSet();
    if (!ds || column < 0 || static_cast<std::size_t>(column) >= ds->fieldCount()) return nullptr;
    return &ds->field(static_cast<std::size_t>(column));
}

int GridModel::currentRow() const {
    data::TCustomADODataSet* ds = activeDataSet();
    return ds ? ds->recNo() - 1 : -1;
}

bool GridModel::cellEditable(int column) const {
    const data::TField* f = field(column);
    return !readOnly_ && f && f->canModify();
}

void GridModel::setReadOnly(bool readOnly) {
    if (readOnly == readOnly_) return;
    readOnly_ = readOnly;
    if (rows_ > 0 && columns_ > 0) emit dataChanged(index(0, 0), index(rows_ - 1, columns_ - 1));
}

int GridModel::rowCount(const QModelIndex& parent) const {
    return parent.isValid() ? 0 : rows_;
}

int GridModel::columnCount(const QModelIndex& parent) const {
    return parent.isValid() ? 0 : columns_;
}

QVariant GridModel::data(const QModelIndex& index, int role) const {
    data::TCustomADODataSet* ds = activeDataSet();
    const data::TField* f = field(index.column());
    if (!ds || !f || index.row() < 0 || index.row() >= rows_) return {};
    const data::FieldType type = f->dataType();
    if (role == Qt::TextAlignmentRole)
        return QVariant::fromValue(Qt::AlignVCenter |
                                   (alignsRight(type) ? Qt::AlignRight : Qt::AlignLeft));
    if (role != Qt::DisplayRole && role != Qt::EditRole && role != Qt::CheckStateRole) return {};
    core::Value value;
    try {
        value = ds->valueAt(static_cast<std::size_t>(index.row()), f->index());
    } catch (const std::exception&) {
        return {};
    }
    if (type == data::FieldType::Boolean) {
        if (role != Qt::CheckStateRole) return {};
        const bool* flag = value.getIf<bool>();
        const bool on = flag && *flag;
        return on ? Qt::Checked : Qt::Unchecked;
    }
    if (role == Qt::CheckStateRole) return {};
    if (role == Qt::EditRole) return QString::fromStdString(data::valueText(value, ds->formats()));
    if (type == data::FieldType::WideMemo) return QStringLiteral("(Memo)");
    return QString::fromStdString(data::displayText(value, type, ds->formats()));
}

QVariant GridModel::headerData(int section, Qt::Orientation orientation, int role) const {
    if (orientation == Qt::Horizontal) {
        const data::TField* f = field(section);
        if (role == Qt::DisplayRole && f) return QString::fromStdString(f->displayLabel());
        if (role == Qt::TextAlignmentRole)
            return QVariant::fromValue(Qt::AlignLeft | Qt::AlignVCenter);
        return {};
    }
    if (role == Qt::DecorationRole && section == currentRow()) {
        switch (dataSet()->state()) {
        case data::DataSetState::Edit:
            return editMark_;
        case data::DataSetState::Insert:
            return insertMark_;
        default:
            return currentMark_;
        }
    }
    if (role == Qt::DisplayRole) return QString();
    return {};
}

Qt::ItemFlags GridModel::flags(const QModelIndex& index) const {
    Qt::ItemFlags flags = Qt::ItemIsEnabled | Qt::ItemIsSelectable;
    if (!cellEditable(index.column())) return flags;
    const data::FieldType type = field(index.column())->dataType();
    if (type == data::FieldType::Boolean) return flags | Qt::ItemIsUserCheckable;
    if (type == data::FieldType::WideMemo || type == data::FieldType::Blob) return flags;
    return flags | Qt::ItemIsEditable;
}

bool GridModel::setData(const QModelIndex& index, const QVariant& value, int role) {
    data::TField* f = field(index.column());
    if (!f || index.row() != currentRow() || !cellEditable(index.column())) return false;
    bool done = false;
    try {
        if (!edit()) return false;
        if (role == Qt::CheckStateRole) {
            f->setValue(core::Value(value.toInt() == Qt::Checked));
            done = true;
        } else if (role == Qt::EditRole) {
            f->setAsString(value.toString().toStdString());
            done = true;
        }
    } catch (const std::exception& error) {
        if (showError) showError(error);
    }
    return done;
}

bool GridModel::canFetchMore(const QModelIndex& parent) const {
    data::TCustomADODataSet* ds = activeDataSet();
    return !parent.isValid() && ds && !ds->allRecordsRead();
}

void GridModel::fetchMore(const QModelIndex& parent) {
    data::TCustomADODataSet* ds = activeDataSet();
    if (parent.isValid() || !ds) return;
    try {
        ds->hasRecord(static_cast<std::size_t>(rows_) + fetchStep - 1);
    } catch (const std::exception& error) {
        if (showError) showError(error);
    }
    syncRowCount();
}

std::vector<std::string> GridModel::fieldSignature() const {
    std::vector<std::string> signature;
    data::TCustomADODataSet* ds = activeDataSet();
    if (!ds) return signature;
    for (std::size_t i = 0; i < ds->fieldCount(); ++i) {
        signature.push_back(ds->field(i).fieldName());
        signature.push_back(std::string(data::fieldTypeName(ds->field(i).dataType())));
    }
    return signature;
}

void GridModel::resetRows() {
    data::TCustomADODataSet* ds = activeDataSet();
    if (ds && !ds->allRecordsRead()) {
        try {
            ds->hasRecord(firstScreen - 1);
        } catch (const std::exception&) {
            // Shown as far as the rows could be read; the move that needs more reports it.
        }
    }
    resetting_ = true;
    beginResetModel();
    columns_ = ds ? static_cast<int>(ds->fieldCount()) : 0;
    rows_ = ds ? static_cast<int>(ds->knownRecordCount()) : 0;
    if (ds && ds->recNo() > rows_) rows_ = ds->recNo();
    lastCurrent_ = currentRow();
    endResetModel();
    resetting_ = false;
    std::vector<std::string> signature = fieldSignature();
    if (signature != signature_) {
        signature_ = std::move(signature);
        emit fieldsChanged();
    }
    emit currentRecordChanged();
}

void GridModel::syncRowCount() {
    data::TCustomADODataSet* ds = activeDataSet();
    if (!ds) return;
    int known = static_cast<int>(ds->knownRecordCount());
    if (ds->recNo() > known) known = ds->recNo();
    if (known > rows_) {
        beginInsertRows({}, rows_, known - 1);
        rows_ = known;
        endInsertRows();
    } else if (known < rows_) {
        resetRows();
    }
}

void GridModel::repaintRow(int row) {
    if (row < 0 || row >= rows_) return;
    emit headerDataChanged(Qt::Vertical, row, row);
    if (columns_ > 0) emit dataChanged(index(row, 0), index(row, columns_ - 1));
}

void GridModel::activeChanged() {
    resetRows();
}

void GridModel::editingChanged() {
    repaintRow(currentRow());
    emit editingStateChanged();
}

void GridModel::dataSetChanged() {
    resetRows();
}

void GridModel::dataSetScrolled(int /*distance*/) {
    syncRowCount();
    repaintRow(lastCurrent_);
    lastCurrent_ = currentRow();
    repaintRow(lastCurrent_);
    emit currentRecordChanged();
}

void GridModel::recordChanged(const data::TField* /*field*/) {
    repaintRow(currentRow());
}

void GridModel::updateData() {
    if (writeEditorText) writeEditorText();
}

void GridModel::checkBrowseMode() {
    if (writeEditorText) writeEditorText();
}

void GridModel::layoutChanged() {
    resetRows();
}

} // namespace controls
