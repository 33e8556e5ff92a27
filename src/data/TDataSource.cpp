#include "data/TDataSource.h"

#include "data/TCustomADODataSet.h"
#include "data/TDataLink.h"

#include <algorithm>

namespace data {

TDataSource::TDataSource(std::string name) : name_(std::move(name)) {}

TDataSource::~TDataSource() {
    if (dataSet_) dataSet_->removeSource(*this);
    dataSet_ = nullptr;
    auto links = links_;
    links_.clear();
    for (TDataLink* link : links) link->detachFromSource();
}

void TDataSource::setDataSet(TCustomADODataSet* dataSet) {
    if (dataSet == dataSet_) return;
    if (dataSet_) dataSet_->removeSource(*this);
    dataSet_ = dataSet;
    if (dataSet_) dataSet_->addSource(*this);
    syncLinks();
}

void TDataSource::setEnabled(bool enabled) {
    if (enabled == enabled_) return;
    enabled_ = enabled;
    syncLinks();
}

DataSetState TDataSource::state() const {
    return enabled_ && dataSet_ ? dataSet_->state() : DataSetState::Inactive;
}

void TDataSource::edit() {
    if (autoEdit_ && state() == DataSetState::Browse) dataSet_->edit();
}

void TDataSource::addLink(TDataLink& link) {
    links_.push_back(&link);
}

void TDataSource::removeLink(TDataLink& link) {
    links_.erase(std::remove(links_.begin(), links_.end(), &link), links_.end());
}

void TDataSource::syncLinks() {
    // A control may detach itself (or another) while it is told; walk a copy.
    auto links = links_;
    for (TDataLink* link : links)
        if (std::find(links_.begin(), links_.end(), link) != links_.end()) link->syncState();
}

void TDataSource::dataSetDestroyed() {
    dataSet_ = nullptr;
    syncLinks();
}

void TDataSource::dataEvent(DataEvent event, const TField* field, int distance) {
    if (!enabled_) return;
    if (event == DataEvent::ActiveChanged || event == DataEvent::StateChanged) {
        syncLinks();
        if (onStateChange) onStateChange();
        return;
    }
    auto links = links_;
    for (TDataLink* link : links) {
        if (std::find(links_.begin(), links_.end(), link) == links_.end() || !link->active())
            continue;
        switch (event) {
        case DataEvent::DataSetChanged:
            link->dataSetChanged();
            break;
        case DataEvent::Scrolled:
            link->dataSetScrolled(distance);
            break;
        case DataEvent::FieldChanged:
            link->recordChanged(field);
            break;
        case DataEvent::UpdateRecord:
            link->updateData();
            break;
        case DataEvent::CheckBrowseMode:
            link->checkBrowseMode();
            break;
        case DataEvent::LayoutChanged:
            link->layoutChanged();
            break;
        default:
            break;
        }
    }
    switch (event) {
    case DataEvent::DataSetChanged:
    case DataEvent::Scrolled:
        if (onDataChange) onDataChange(nullptr);
        break;
    case DataEvent::FieldChanged:
        if (onDataChange) onDataChange(field);
        break;
    case DataEvent::UpdateRecord:
        if (onUpdateData) onUpdateData();
        break;
    default:
        break;
    }
}

} // namespace data
