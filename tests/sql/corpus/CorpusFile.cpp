#include "CorpusFile.h"

#include <algorithm>
#include <fstream>
#include <sstream>
#include <stdexcept>
#include <utility>

namespace corpus {
namespace {

std::vector<std::string> splitLines(const std::string& text) {
    std::vector<std::string> lines;
    std::string line;
    std::istringstream in(text);
    while (std::getline(in, line)) {
        // A file saved with CR LF line ends reads like one with LF: the CR LF of a statement
        // is asked for explicitly by the crlf option.
        if (!line.empty() && line.back() == '\r') line.pop_back();
        lines.push_back(line);
    }
    return lines;
}

std::vector<std::string> words(const std::string& line) {
    std::vector<std::string> out;
    std::istringstream in(line);
    std::string w;
    while (in >> w) out.push_back(w);
    return out;
}

[[noreturn]] void fail(int line, const std::string& what) {
    throw std::runtime_error("line " + std::to_string(line) + ": " + what);
}

struct Options {
    bool crlf = false;
};

// Reads the words after "statement" or "query" into the record; returns the options that
// shape the statement's text.
Options readDirective(const std::string& text, int line, Record& record) {
    Options options;
    auto w = words(text);
    const bool isQuery = w[0] == "query";
    if (isQuery) record.expect = Expect::Rows;
    bool haveExpectation = isQuery;
    for (std::size_t i = 1; i < w.size(); ++i) {
        if (w[i] == "crlf") {
            options.crlf = true;
        } else if (isQuery && w[i] == "rowsort") {
            record.rowsort = true;
        } else if (isQuery && w[i] == "columns") {
            record.columns = true;
        } else if (!isQuery && !haveExpectation && w[i] == "ok") {
            record.expect = Expect::Ok;
            haveExpectation = true;
        } else if (!isQuery && !haveExpectation && w[i] == "count" && i + 1 < w.size()) {
            record.expect = Expect::Count;
            try {
                record.count = std::stoll(w[++i]);
            } catch (const std::exception&) {
                fail(line, "count needs a number");
            }
            haveExpectation = true;
        } else if (!isQuery && !haveExpectation && w[i] == "error") {
            // The message is the rest of the line, exactly.
            record.expect = Expect::Error;
            const auto at = text.find(" error ");
            if (at == std::string::npos) fail(line, "error needs a message");
            record.message = text.substr(at + 7);
            haveExpectation = true;
            break;
        } else {
            fail(line, "unknown word in directive: " + w[i]);
        }
    }
    if (!haveExpectation) fail(line, "statement needs ok, count N or error MESSAGE");
    return options;
}

std::string joinStatement(std::vector<std::string> lines, const Options& options, int line) {
    bool trailingBreak = false;
    if (!lines.empty() && lines.back() == "<crlf>") {
        if (!options.crlf) fail(line, "<crlf> needs the crlf option");
        trailingBreak = true;
        lines.pop_back();
    }
    if (lines.empty()) fail(line, "record without a statement");
    const std::string separator = options.crlf ? "\r\n" : "\n";
    std::string sql;
    for (std::size_t i = 0; i < lines.size(); ++i) {
        if (i) sql += separator;
        sql += lines[i];
    }
    if (trailingBreak) sql += separator;
    return sql;
}

} // namespace

std::vector<Record> parseCorpus(const std::string& text) {
    const auto lines = splitLines(text);
    std::vector<Record> records;
    std::optional<std::string> skipReason;
    std::size_t i = 0;
    auto blank = [](const std::string& s) {
        return std::all_of(s.begin(), s.end(), [](char c) { return c == ' ' || c == '\t'; });
    };
    while (i < lines.size()) {
        const std::string& current = lines[i];
        const int lineNumber = static_cast<int>(i) + 1;
        if (blank(current) || current.front() == '#') {
            ++i;
            continue;
        }
        auto w = words(current);
        if (w[0] == "skip") {
            if (w.size() < 2) fail(lineNumber, "skip needs a reason");
            skipReason = current.substr(current.find("skip") + 5);
            ++i;
            continue;
        }
        if (w[0] != "statement" && w[0] != "query") fail(lineNumber, "expected a directive");
        Record record;
        record.line = lineNumber;
        record.skipReason = std::exchange(skipReason, std::nullopt);
        const Options options = readDirective(current, lineNumber, record);
        ++i;
        std::vector<std::string> sqlLines;
        while (i < lines.size() && !blank(lines[i]) && lines[i] != "----")
            sqlLines.push_back(lines[i++]);
        record.sql = joinStatement(std::move(sqlLines), options, lineNumber);
        if (record.expect == Expect::Rows) {
            if (i >= lines.size() || lines[i] != "----") fail(lineNumber, "query without ----");
            ++i;
            while (i < lines.size() && !blank(lines[i])) {
                record.rows.push_back(lines[i] == "<empty>" ? std::string() : lines[i]);
                ++i;
            }
            if (record.columns && record.rows.empty())
                fail(lineNumber, "query columns needs the line of columns");
        } else if (i < lines.size() && lines[i] == "----") {
            fail(lineNumber, "only a query has rows");
        }
        records.push_back(std::move(record));
    }
    if (skipReason) fail(static_cast<int>(lines.size()), "skip without a record");
    return records;
}

CorpusFile readCorpusFile(const std::filesystem::path& path) {
    std::ifstream in(path, std::ios::binary);
    if (!in) throw std::runtime_error("cannot read " + path.string());
    std::ostringstream text;
    text << in.rdbuf();
    try {
        return CorpusFile{path, parseCorpus(text.str())};
    } catch (const std::runtime_error& e) {
        throw std::runtime_error(path.filename().string() + ", " + e.what());
    }
}

std::vector<std::filesystem::path> corpusFiles(const std::filesystem::path& folder) {
    std::vector<std::filesystem::path> files;
    for (const auto& entry : std::filesystem::directory_iterator(folder))
        if (entry.is_regular_file() && entry.path().extension() == ".test")
            files.push_back(entry.path());
    std::sort(files.begin(), files.end());
    return files;
}

} // namespace corpus
