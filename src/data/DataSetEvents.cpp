// TCustomADODataSet: telling the data sources, and through them the controls.
#include "data/TCustomADODataSet.h"
#include "data/TDataSource.h"

#include <algorithm>

namespace data {

void TCustomADODataSet::addSource(TDataSource& source) {
    if (std::find(sources_.begin(), sources_.end(), &source) == sources_.end())
        sources_.push_back(&source);
}

void TCustomADODataSet::removeSource(TDataSource& source) {
    sources_.erase(std::remove(sources_.begin(), sources_.end(), &source), sources_.end());
}

void TCustomADODataSet::notify(DataEvent event, const TField* field, int distance) {
    if (disabledCount_ > 0) {
        eventsMissed_ = true;
        return;
    }
    // A control may detach a source while it is told; walk a copy.
    auto sources = sources_;
    for (TDataSource* source : sources)
        if (std::find(sources_.begin(), sources_.end(), source) != sources_.end())
            source->dataEvent(event, field, distance);
}

void TCustomADODataSet::disableControls() {
    if (disabledCount_++ == 0) {
        activeWhenDisabled_ = active();
        eventsMissed_ = false;
    }
}

void TCustomADODataSet::enableControls() {
    if (disabledCount_ == 0 || --disabledCount_ > 0 || !eventsMissed_) return;
    eventsMissed_ = false;
    notify(active() != activeWhenDisabled_ ? DataEvent::ActiveChanged : DataEvent::StateChanged);
    if (active()) notify(DataEvent::DataSetChanged);
}

} // namespace data
