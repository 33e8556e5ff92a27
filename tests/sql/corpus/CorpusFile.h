#pragma once
// The records of one statement corpus file (*.test): each a statement with the outcome it
// must have. README.md beside the files describes the format.
#include <filesystem>
#include <optional>
#include <string>
#include <vector>

namespace corpus {

enum class Expect {
    Ok,    // runs without error; rows, if any, are not looked at
    Count, // changes exactly `count` rows
    Error, // fails with exactly `message`
    Rows,  // a query whose rows must equal `rows`
};

struct Record {
    int line = 0; // of the directive, for the failure report
    Expect expect = Expect::Ok;
    std::string sql;
    long long count = 0;
    std::string message;
    std::vector<std::string> rows; // "a|b" lines
    bool rowsort = false;          // compare rows without regard to their order
    bool columns = false;          // rows[0] describes the columns (see columnsText())
    // Set by a "skip REASON" line before the record: parsed, listed, not run.
    std::optional<std::string> skipReason;
};

struct CorpusFile {
    std::filesystem::path path;
    std::vector<Record> records;
};

// Reads records from the text of a file; raises std::runtime_error naming the line of a
// malformed record.
std::vector<Record> parseCorpus(const std::string& text);

CorpusFile readCorpusFile(const std::filesystem::path& path);

// The *.test files of a folder, sorted by name.
std::vector<std::filesystem::path> corpusFiles(const std::filesystem::path& folder);

} // namespace corpus
