#include "data/TDataLink.h"

#include "data/TCustomADODataSet.h"
#include "data/TDataSource.h"

namespace data {

TDataLink::~TDataLink() {
    if (source_) source_->removeLink(*this);
}

void TDataLink::setDataSource(TDataSource* source) {
    if (source == source_) return;
    if (source_) source_->removeLink(*this);
    source_ = source;
    if (source_) source_->addLink(*this);
    syncState();
}

TCustomADODataSet* TDataLink::dataSet() const {
    return source_ ? source_->dataSet() : nullptr;
}

bool TDataLink::edit() {
    if (source_ && active_) source_->edit();
    return editing_;
}

void TDataLink::syncState() {
    const DataSetState state = source_ ? source_->state() : DataSetState::Inactive;
    const bool active = state != DataSetState::Inactive;
    if (active != active_) {
        active_ = active;
        activeChanged();
    }
    const bool editing = state == DataSetState::Edit || state == DataSetState::Insert;
    if (editing != editing_) {
        editing_ = editing;
        editingChanged();
    }
}

void TDataLink::detachFromSource() {
    source_ = nullptr;
    syncState();
}

} // namespace data
