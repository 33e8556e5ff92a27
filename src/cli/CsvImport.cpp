#include "cli/CsvImport.h"

#include "cli/CsvInference.h"
#include "cli/CsvValues.h"
#include "core/Error.h"
#include "jet/Database.h"
#include "sql/engine/Session.h"
#include "sql/engine/storage/JetStorage.h"
#include "sql/engine/storage/TableWriter.h"

#include <optional>
#include <vector>

namespace cli {

namespace {

constexpr std::uint64_t kProgressEvery = 4096;

std::string bracketed(const std::string& name) {
    return "[" + name + "]";
}

// The header row: the column names, none empty.
std::vector<std::string> readHeader(CsvReader& reader, std::vector<CsvField>& fields) {
    const std::size_t count = reader.next(fields);
    if (count == 0)
        throw core::Error("The CSV input is empty; its first line must name the columns.");
    std::vector<std::string> names;
    for (std::size_t i = 0; i < count; ++i) {
        if (fields[i].text.empty())
            throw core::Error("Column " + std::to_string(i + 1) + " of the header has no name.");
        names.push_back(fields[i].text);
    }
    return names;
}

void requireWidth(const CsvReader& reader, std::size_t count, std::size_t width) {
    if (count != width)
        throw core::Error("Line " + std::to_string(reader.recordLine()) + " has " +
                          std::to_string(count) + " fields; the header has " +
                          std::to_string(width) + ".");
}

// Reads the whole input once and gives the CREATE TABLE statement its values call for.
std::string createStatement(const std::string& table, const CsvSource& source,
                            const CsvImportOptions& options, std::ostream& notes) {
    auto in = source();
    CsvReader reader(*in, options.delimiter, options.encoding);
    std::vector<CsvField> fields;
    const auto names = readHeader(reader, fields);
    std::vector<ColumnInference> columns(names.size(), ColumnInference(options.currency));
    while (const std::size_t count = reader.next(fields)) {
        requireWidth(reader, count, names.size());
        for (std::size_t i = 0; i < count; ++i) columns[i].add(fields[i]);
    }
    std::string statement = "create table " + bracketed(table) + " (";
    notes << "creating table " << table << ":";
    for (std::size_t i = 0; i < names.size(); ++i) {
        const std::string type = columns[i].typeText();
        statement += (i ? ", " : "") + bracketed(names[i]) + " " + type;
        notes << (i ? ", " : " ") << names[i] << " " << type;
    }
    notes << '\n';
    return statement + ")";
}

// Where each header field goes in the table's columns.
std::vector<std::size_t> columnPositions(const sql::TableInfo& table,
                                         const std::vector<std::string>& names) {
    std::vector<std::size_t> positions;
    std::vector<bool> taken(table.columns.size());
    for (const auto& name : names) {
        const auto position = table.findColumn(name);
        if (!position)
            throw core::Error("The header names a column '" + name + "' that table " + table.name +
                              " does not have.");
        if (taken[*position])
            throw core::Error("The header names the column '" + name + "' twice.");
        taken[*position] = true;
        positions.push_back(*position);
    }
    return positions;
}

std::uint64_t insertRows(sql::Session& session, const sql::TableInfo& table, CsvReader& reader,
                         const std::vector<std::size_t>& positions,
                         const CsvImportOptions& options) {
    sql::Runtime runtime{session.storage(), session.evalContext(), {}};
    sql::TableWriter writer(session.storage(), runtime, table);
    // Columns the header leaves out stay "not given" and take their defaults.
    std::vector<std::optional<core::Value>> given(table.columns.size());
    std::vector<CsvField> fields;
    std::uint64_t rows = 0;
    while (const std::size_t count = reader.next(fields)) {
        requireWidth(reader, count, positions.size());
        const auto line = [&] { return "Line " + std::to_string(reader.recordLine()); };
        for (std::size_t i = 0; i < count; ++i) {
            const auto& column = table.columns[positions[i]];
            try {
                given[positions[i]] = csvFieldValue(column, fields[i]);
            } catch (const core::Error& e) {
                throw core::TypeMismatch(line() + ", column " + std::to_string(i + 1) + " (" +
                                         column.name + "): " + e.what());
            }
        }
        try {
            writer.insert(given);
        } catch (const core::Error& e) {
            throw core::ConstraintError(line() + ": " + e.what());
        }
        if (++rows % kProgressEvery == 0 && options.progress) options.progress(rows);
    }
    return rows;
}

} // namespace

std::uint64_t importCsv(jet::Database& db, const std::string& table, const CsvSource& source,
                        const CsvImportOptions& options, std::ostream& notes) {
    sql::JetStorage storage(db);
    sql::Session session(storage);
    std::string create;
    if (options.create) {
        if (storage.tableInfo(table))
            throw core::Error("Table " + table +
                              " already exists; import into it without --create.");
        create = createStatement(table, source, options, notes);
    }
    auto in = source();
    CsvReader reader(*in, options.delimiter, options.encoding);
    std::vector<CsvField> fields;
    const auto names = readHeader(reader, fields);
    if (!options.create) {
        const auto info = storage.tableInfo(table);
        if (!info) throw core::Error("There is no table " + table + " in the file.");
        columnPositions(*info, names); // refused before anything is written
    }

    storage.begin();
    try {
        if (!create.empty()) session.execute(create);
        const auto info = storage.tableInfo(table);
        const auto rows =
            insertRows(session, *info, reader, columnPositions(*info, names), options);
        storage.commit();
        return rows;
    } catch (...) {
        storage.rollback();
        throw;
    }
}

} // namespace cli
