#pragma once
// The filter dialog of a navigator's data set: made at the first click of "Filter the
// dataset", kept, and holding the criteria from one opening of its window to the next. OK
// installs the record-acceptance test the criteria make on the data set and filters it
// locally. The criteria are forgotten whenever the data source stops showing an open data set
// (the data set closes, or the source is disabled); the test stays installed and then accepts
// every record read from that moment.
#ifndef Q_MOC_RUN
#include "data/FilterCriteria.h"
#endif
#include "data/TDataLink.h"

#include <QDialog>

#include <memory>
#include <vector>

namespace data {
class TDataSource;
}

namespace controls {

class TwwFilterDialog : public QDialog, private data::TDataLink {
    Q_OBJECT
public:
    explicit TwwFilterDialog(data::TDataSource* source, QWidget* parent = nullptr);
    ~TwwFilterDialog() override;

    using data::TDataLink::dataSet;

    // Shows the window; true when it was closed with OK. Raises "Dataset must be active to
    // perform local filtering (FilterMethod=fdByFilter)." when the data set is closed.
    bool execute();
    // What the navigator's button calls: execute().
    int exec() override;

    const std::vector<data::FilterCriterion>& criteria() const { return criteria_; }
    // Takes the criteria as OK in the window does, filtering the data set by them (or not at
    // all when there are none).
    void apply(std::vector<data::FilterCriterion> criteria);

private:
    // TDataLink
    void activeChanged() override;
    // The source's data set; raises when it is not open.
    data::TCustomADODataSet* activeDataSet() const;

    // What the installed test reads; shared with it, so that it outlives neither.
    struct Installed {
        std::unique_ptr<data::RecordFilter> filter;
    };

    std::vector<data::FilterCriterion> criteria_;
    std::shared_ptr<Installed> installed_ = std::make_shared<Installed>();
};

} // namespace controls
