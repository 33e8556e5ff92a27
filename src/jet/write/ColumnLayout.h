#pragma once
// Lays out the columns of a new table as Access does: numbers in order, fixed columns packed
// one after another, variable columns numbered in their own sequence, flags and sort order.
#include "jet/schema/TableSchema.h"

namespace jet {

void layOutNewColumns(TableSchema& schema);

} // namespace jet
