#pragma once
// Runs the records of a corpus file in order on one session and describes every record
// whose outcome differs from the one it expects.
#include "CorpusFile.h"
#include "sql/engine/ResultSet.h"
#include "sql/engine/Session.h"

#include <string>
#include <vector>

namespace corpus {

struct Mismatch {
    int line = 0;
    std::string sql;
    std::string expected;
    std::string actual;
};

// The line a "query columns" record compares first: each column as NAME:TYPE, the type as
// the dump names it, "(size)" for text and binary, "(precision,scale)" for numeric and
// " auto" for an auto-number, separated by "|".
std::string columnsText(const sql::ResultSet& result);

// Runs every record that is not skipped, in order, going on after a mismatch.
std::vector<Mismatch> runRecords(sql::Session& session, const std::vector<Record>& records);

// A mismatch as a failure message: where, the statement (its CR and LF shown), expected and
// actual outcome.
std::string describe(const std::string& file, const Mismatch& mismatch);

} // namespace corpus
