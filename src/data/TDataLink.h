#pragma once
// A control's tie to a data source: grids, navigators and dialogs derive from it and hear
// through it what happens to the data set the source shows.
#include "data/DataSetState.h"

namespace data {

class TCustomADODataSet;
class TDataSource;
class TField;

class TDataLink {
public:
    TDataLink() = default;
    virtual ~TDataLink();
    TDataLink(const TDataLink&) = delete;
    TDataLink& operator=(const TDataLink&) = delete;

    TDataSource* dataSource() const { return source_; }
    void setDataSource(TDataSource* source);
    // The source's data set, whether or not the source is enabled.
    TCustomADODataSet* dataSet() const;

    // The source is enabled and its data set is open: only then does the control show data.
    bool active() const { return active_; }
    // Active, and the data set is in edit or insert state.
    bool editing() const { return editing_; }

    // Puts the current record into edit state when the source's AutoEdit allows it; returns
    // whether the record is being edited now.
    bool edit();

protected:
    virtual void activeChanged() {}
    virtual void editingChanged() {}
    virtual void dataSetChanged() {}
    virtual void dataSetScrolled(int /*distance*/) {}
    virtual void recordChanged(const TField* /*field*/) {}
    // Asked before a post: write what the user typed into the fields.
    virtual void updateData() {}
    // Asked before a pending change is settled ahead of a move.
    virtual void checkBrowseMode() {}
    virtual void layoutChanged() {}

private:
    friend class TDataSource;
    // Brings active() and editing() up to date, telling the control of each change.
    void syncState();
    void detachFromSource();

    TDataSource* source_ = nullptr;
    bool active_ = false;
    bool editing_ = false;
};

} // namespace data
