#pragma once
// The filter window's "Show Search Summary": one row per criterion with its field, its kind of
// search and its value or bounds.
#ifndef Q_MOC_RUN
#include "data/FilterCriteria.h"
#endif

#include <QString>

#include <vector>

class QWidget;

namespace controls {

// "Partial Match at Beginning", ... and "By Range": the labels of the window's choices.
QString searchTypeText(data::FilterMatchType type);
// The value, or ">= start, <= end" for a range.
QString searchValueText(const data::FilterCriterion& criterion);

void showFilterSummary(QWidget* parent, const std::vector<data::FilterCriterion>& criteria);

} // namespace controls
