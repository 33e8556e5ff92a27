#include "cli/CsvExport.h"

#include "cli/CsvValues.h"
#include "cli/CsvWriter.h"
#include "core/Error.h"
#include "jet/Database.h"
#include "sql/engine/Session.h"
#include "sql/engine/storage/JetStorage.h"

#include <fcntl.h>
#include <fstream>
#include <unistd.h>

namespace cli {

namespace {

constexpr std::size_t kFlushAt = 1 << 16;

class RecordWriter {
public:
    RecordWriter(std::ostream& out, char delimiter) : out_(out), delimiter_(delimiter) {}
    ~RecordWriter() = default;

    void header(const std::vector<std::string>& names) {
        for (std::size_t i = 0; i < names.size(); ++i) field(i, {names[i]});
        end();
    }
    void field(std::size_t index, const CsvText& text) {
        if (index) buffer_ += delimiter_;
        appendCsvField(buffer_, text.text, delimiter_, text.quote);
    }
    void end() {
        endCsvRecord(buffer_);
        if (buffer_.size() >= kFlushAt) flush();
    }
    void flush() {
        out_.write(buffer_.data(), static_cast<std::streamsize>(buffer_.size()));
        buffer_.clear();
        if (!out_) throw core::IoError("Cannot write the CSV output.");
    }

private:
    std::ostream& out_;
    char delimiter_;
    std::string buffer_;
};

std::uint64_t exportTable(const jet::Database& db, const std::string& name, RecordWriter& writer) {
    const auto table = db.table(name);
    const auto& columns = table.schema().columns;
    std::vector<std::string> names;
    for (const auto& c : columns) names.push_back(c.name);
    writer.header(names);
    std::uint64_t rows = 0;
    auto cursor = table.scan();
    while (cursor.next()) {
        for (std::size_t i = 0; i < columns.size(); ++i) writer.field(i, csvText(cursor.value(i)));
        writer.end();
        ++rows;
    }
    return rows;
}

std::uint64_t exportQuery(jet::Database& db, const std::string& statement, RecordWriter& writer) {
    sql::JetStorage storage(db);
    sql::Session session(storage);
    auto result = session.execute(statement);
    if (!result.hasRows()) throw core::Error("The statement returns no rows to export.");
    std::vector<std::string> names;
    for (const auto& c : result.columns()) names.push_back(c.name);
    writer.header(names);
    std::uint64_t rows = 0;
    while (result.next()) {
        for (std::size_t i = 0; i < names.size(); ++i) writer.field(i, csvText(result.value(i)));
        writer.end();
        ++rows;
    }
    return rows;
}

bool isView(const jet::Database& db, const std::string& name) {
    for (const auto& view : db.viewNames())
        if (sql::sameName(view, name)) return true;
    return false;
}

// A table name as a file name: the path separator and NUL cannot be part of one.
std::string fileNameFor(const std::string& table) {
    std::string name = table;
    for (char& c : name)
        if (c == '/' || c == '\0') c = '_';
    return name + ".csv";
}

void syncFile(const std::filesystem::path& path) {
    const int fd = ::open(path.c_str(), O_RDONLY);
    if (fd < 0 || ::fsync(fd) != 0) {
        if (fd >= 0) ::close(fd);
        throw core::IoError("Cannot write " + path.string() + ".");
    }
    ::close(fd);
}

} // namespace

std::uint64_t exportCsv(jet::Database& db, const std::string& source, std::ostream& out,
                        char delimiter) {
    RecordWriter writer(out, delimiter);
    std::uint64_t rows = 0;
    if (db.hasTable(source)) {
        rows = exportTable(db, source, writer);
    } else if (isView(db, source)) {
        rows = exportQuery(db, "select * from [" + source + "]", writer);
    } else if (source.find_first_of(" \t\r\n") != std::string::npos) {
        rows = exportQuery(db, source, writer);
    } else {
        throw core::Error("There is no table or saved select query " + source + " in the file.");
    }
    writer.flush();
    out.flush();
    return rows;
}

void exportAllCsv(jet::Database& db, const std::filesystem::path& folder, char delimiter,
                  std::ostream& notes) {
    std::filesystem::create_directories(folder);
    for (const auto& table : db.tableNames()) {
        const auto target = folder / fileNameFor(table);
        const auto temporary =
            folder / ("." + fileNameFor(table) + ".tmp-" + std::to_string(::getpid()));
        try {
            std::uint64_t rows = 0;
            {
                std::ofstream out(temporary, std::ios::binary | std::ios::trunc);
                if (!out) throw core::IoError("Cannot create " + temporary.string() + ".");
                rows = exportCsv(db, table, out, delimiter);
                out.close();
                if (!out) throw core::IoError("Cannot write " + temporary.string() + ".");
            }
            syncFile(temporary);
            std::filesystem::rename(temporary, target);
            notes << target.string() << ": " << rows << (rows == 1 ? " row\n" : " rows\n");
        } catch (...) {
            std::error_code ignored;
            std::filesystem::remove(temporary, ignored);
            throw;
        }
    }
}

} // namespace cli
