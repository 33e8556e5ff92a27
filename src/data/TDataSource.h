#pragma once
// The go-between of one data set and the controls that show it. Disabling it detaches the
// controls (they see an inactive source) without touching the data set; AutoEdit lets typing
// in a control put the record into edit state.
#include "data/DataEvent.h"
#include "data/DataSetState.h"

#include <functional>
#include <string>
#include <vector>

namespace data {

class TCustomADODataSet;
class TDataLink;
class TField;

class TDataSource {
public:
    explicit TDataSource(std::string name = "DataSource1");
    ~TDataSource();
    TDataSource(const TDataSource&) = delete;
    TDataSource& operator=(const TDataSource&) = delete;

    const std::string& name() const { return name_; }

    TCustomADODataSet* dataSet() const { return dataSet_; }
    void setDataSet(TCustomADODataSet* dataSet);

    bool enabled() const { return enabled_; }
    void setEnabled(bool enabled);
    bool autoEdit() const { return autoEdit_; }
    void setAutoEdit(bool autoEdit) { autoEdit_ = autoEdit; }

    // The data set's state as the controls see it: Inactive while the source is disabled.
    DataSetState state() const;
    // Edit, when AutoEdit is on and the data set is browsing.
    void edit();

    // Optional handlers, as the original's events.
    std::function<void()> onStateChange;
    std::function<void(const TField*)> onDataChange; // nullptr: the whole record
    std::function<void()> onUpdateData;

private:
    friend class TDataLink;
    friend class TCustomADODataSet;
    void addLink(TDataLink& link);
    void removeLink(TDataLink& link);
    // From the data set.
    void dataEvent(DataEvent event, const TField* field, int distance);
    void dataSetDestroyed();
    void syncLinks();

    std::string name_;
    TCustomADODataSet* dataSet_ = nullptr;
    bool enabled_ = true;
    bool autoEdit_ = true;
    std::vector<TDataLink*> links_;
};

} // namespace data
