#pragma once
// Shared pieces of the write tests: a table with every column type, rows of predictable
// values, and a full read-back of a table.
#include "common/ColumnDefs.h"
#include "jet/Database.h"

#include <filesystem>
#include <string>
#include <vector>

namespace write_test {

using testing_support::column;

// ID counter, Name text(50), Born date, Salary currency, Notes memo, Active yes/no,
// Score double, Small integer, Tiny byte, Ratio single, Key GUID, Amount numeric(18,4),
// Blob OLE, Raw binary(16).
jet::TableSchema everyTypeTable(const std::string& name);
std::vector<core::Value> everyTypeRow(int i);

// The SQL console's definition changes on a copy of the Access 97 sample queryTestV1997: a
// table People of every Jet 3 type (counter primary key, text index, memo) with two rows, one
// of them a long memo; a column added, one retyped, one dropped; a table Child related to it
// with a row; a unique index made and dropped; a view Scores of People's names and scores
// made, another made and dropped; the sample's Table3 dropped.
std::vector<std::string> access97DefinitionScript();
// People's rows after the script, in stored order.
std::vector<std::vector<core::Value>> access97ScriptPeople();

std::vector<std::vector<core::Value>> readAll(const jet::Database& db, const std::string& table);
std::string dumpOf(const jet::Database& db);
bool checkPasses(const jet::Database& db, std::string* problems = nullptr);

// Rewrites a closed file's global usage map (page 1, row 0) in the reference form larger
// Access files use: the row names one map page, appended to the file, whose bitmap marks the
// same free pages and every page past the end; the row's unused slots hold 0xFFFFFF80, a
// value that names no page. Returns the map page.
std::uint32_t makeGlobalUsageMapReference(const std::filesystem::path& file);

} // namespace write_test
