#pragma once
// The program's own pictograms: one per navigator button, each with a greyed form for the
// disabled button, and the grid's indicator marks.
#include "controls/NavButtonStyle.h"

#include <QIcon>

namespace controls {

QIcon navButtonIcon(NavButtonStyle style);

enum class IndicatorMark { Current, Edit, Insert };
QIcon indicatorIcon(IndicatorMark mark);

} // namespace controls
