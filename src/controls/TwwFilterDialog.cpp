#include "controls/TwwFilterDialog.h"

#include "controls/TwwFilterDlg.h"
#include "controls/WaitCursor.h"
#include "core/Error.h"
#include "data/TCustomADODataSet.h"
#include "data/TDataSource.h"

namespace controls {

TwwFilterDialog::TwwFilterDialog(data::TDataSource* source, QWidget* parent) : QDialog(parent) {
    setObjectName(QStringLiteral("wwFilterDialog1"));
    TDataLink::setDataSource(source);
}

TwwFilterDialog::~TwwFilterDialog() {
    TDataLink::setDataSource(nullptr);
}

void TwwFilterDialog::activeChanged() {
    if (active()) return;
    criteria_.clear();
    installed_->filter.reset();
}

bool TwwFilterDialog::execute() {
    data::TCustomADODataSet* ds = activeDataSet();
    std::unique_ptr<TwwFilterDlg> window;
    {
        const WaitCursor building;
        window = std::make_unique<TwwFilterDlg>(*ds, criteria_, parentWidget());
    }
    if (window->exec() != QDialog::Accepted) return false;
    if (window->criteria() != criteria_ || !ds->filtered()) apply(window->criteria());
    return true;
}

int TwwFilterDialog::exec() {
    return execute() ? QDialog::Accepted : QDialog::Rejected;
}

void TwwFilterDialog::apply(std::vector<data::FilterCriterion> criteria) {
    data::TCustomADODataSet* ds = activeDataSet();
    std::erase_if(criteria, [](const data::FilterCriterion& c) { return c.empty(); });
    if (criteria.empty()) {
        criteria_.clear();
        installed_->filter.reset();
        ds->setFiltered(false);
        return;
    }
    // Made before anything changes, so that a criterion the fields cannot take leaves the
    // filter as it was.
    auto filter = std::make_unique<data::RecordFilter>(criteria, *ds);
    criteria_ = std::move(criteria);
    installed_->filter = std::move(filter);
    ds->setFiltered(false);
    ds->setOnFilterRecord([installed = installed_](data::TCustomADODataSet& records) {
        return !installed->filter || installed->filter->accepts(records);
    });
    // Switched off and on, the test runs over the whole result; the first accepted record
    // becomes current.
    ds->setFiltered(true);
}

data::TCustomADODataSet* TwwFilterDialog::activeDataSet() const {
    data::TCustomADODataSet* ds = dataSet();
    if (!ds || !ds->active())
        throw core::Error(
            "Dataset must be active to perform local filtering (FilterMethod=fdByFilter).");
    return ds;
}

} // namespace controls
