#pragma once
// The canonical dump of a database: every user table sorted by name, its columns, then its
// rows in stored order, one JSON line each.
#include "jet/Database.h"

#include <ostream>

namespace cli {

void dumpDatabase(const jet::Database& db, std::ostream& out);

} // namespace cli
