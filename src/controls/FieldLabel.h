#pragma once
// A field's label as the locate and record view dialogs show it.
#include "data/TField.h"

#include <QString>

namespace controls {

// The display label with each "~" read as a blank.
QString fieldLabel(const data::TField& field);

} // namespace controls
