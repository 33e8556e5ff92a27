#include "controls/TwwFilterDialog.h"

#include "controls/TwwFilterDlg.h"
#include "core/Error.h"
#include "data/TCustomADODataSet.h"
#include "data/TDataSource.h"

#include <QApplication>

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
    data::TCustomADODataSet* ds = dataSet();
    if (!ds || !ds->active())
        throw core::Error(
            "Dataset must be active to perform local filtering (FilterMethod=fdByFilter).");
    QApplication::setOverrideCursor(Qt::WaitCursor);
    TwwFilterDlg window(*ds, criteria_, parentWidget());
    QApplication::restoreOverrideCursor();
    if (window.exec() != QDialog::Accepted) return false;
    if (window.criteria() != criteria_ || !ds->filtered()) apply(window.criteria());
    return true;
}

int TwwFilterDialog::exec() {
    return execute() ? QDialog::Accepted : QDialog::Rejected;
}

void TwwFilterDialog::apply(std::vector<data::FilterCriterion> criteria) {
    data::TCustomADODataSet* ds = dataSet();
    if (!ds || !ds->active())
        throw core::Error(
            "Dataset must be active to perform local filtering (FilterMethod=fdByFilter).");
    criteria_ = std::move(criteria);
    std::erase_if(criteria_, [](const data::FilterCriterion& c) { return c.empty(); });
    if (criteria_.empty()) {
        installed_->filter.reset();
        ds->setFiltered(false);
        return;
    }
    installed_->filter = std::make_unique<data::RecordFilter>(criteria_, *ds);
    ds->setFiltered(false);
    ds->setOnFilterRecord([installed = installed_](data::TCustomADODataSet& records) {
        return !installed->filter || installed->filter->accepts(records);
    });
    // Switched off and on, the test runs over the whole result; the first accepted record
    // becomes current.
    ds->setFiltered(true);
}

} // namespace controls
