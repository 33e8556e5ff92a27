#include "DataFixture.h"

#include "core/Error.h"
#include "data/TADOCommand.h"
#include "data/TField.h"
#include "sql/engine/ResultText.h"
#include "sql/engine/Session.h"
#include "sql/engine/storage/MemoryStorage.h"

namespace data_test {

std::string openString(const std::filesystem::path& file, const std::string& password) {
    return "Provider=Microsoft.Jet.OLEDB.4.0;Data Source=" + file.string() +
           ";Jet OLEDB:Engine Type=5;;Jet OLEDB:Database Password=" + password;
}

std::string createString(const std::filesystem::path& file, const std::string& password) {
    return "Provider=Microsoft.Jet.OLEDB.4.0;Data Source=" + file.string() +
           ";Jet OLEDB:Engine Type=5;Jet OLEDB:Database Password=" + password;
}

std::string compactString(const std::filesystem::path& file) {
    return "Provider=Microsoft.Jet.OLEDB.4.0; Data Source=" + file.string();
}

jet::TableSchema peopleTable(const std::string& name) {
    using T = jet::ColumnType;
    jet::TableSchema t;
    t.name = name;
    t.columns = {column("ID", T::Long, 4, jet::column_flag::kAutoLong),
                 column("Name", T::Text, 100), column("Age", T::Long), column("Born", T::DateTime)};
    return t;
}

std::vector<core::Value> personRow(int i) {
    return {core::Value(), core::Value("Person " + std::to_string(i)),
            core::Value(static_cast<std::int32_t>(i)), core::Value(core::DateTime{36000.0 + i})};
}

void makeFile(const std::filesystem::path& path, const std::vector<TableFill>& tables,
              const std::string& password) {
    auto db = jet::Database::create(path, password);
    db->begin();
    for (const auto& t : tables) {
        db->createTable(t.schema);
        for (int i = 1; i <= t.count; ++i) db->insertRow(t.schema.name, t.row(i));
    }
    db->commit();
}

void openInMemory(data::TADOConnection& connection, std::initializer_list<const char*> statements) {
    connection.openOn(std::make_unique<sql::MemoryStorage>());
    for (const char* s : statements) connection.session().execute(s);
}

void openShop(data::TADOConnection& connection) {
    openInMemory(connection,
                 {"create table Customers (ID counter primary key, Name text(50) not null, "
                  "City text(30) default 'Paris', Credit currency)",
                  "insert into Customers (Name, City, Credit) values ('Alice', 'Paris', 10)",
                  "insert into Customers (Name, City, Credit) values ('Bob', 'London', 20)",
                  "insert into Customers (Name, City, Credit) values ('Carol', 'Rome', 30)",
                  "create table Orders (OrderID long primary key, CustomerID long, Amount double)",
                  "insert into Orders values (1, 1, 100)", "insert into Orders values (2, 1, 50)",
                  "insert into Orders values (3, 2, 75)"});
}

std::int64_t run(data::TADOConnection& connection, const std::string& statement) {
    data::TADOCommand command;
    command.setConnection(&connection);
    command.setCommandText(statement);
    return command.execute();
}

std::vector<std::string> rowsOf(data::TADOConnection& connection, const std::string& select) {
    auto result = connection.session().execute(select);
    std::vector<std::string> lines;
    for (const auto& row : sql::resultRows(result)) {
        std::string line;
        for (std::size_t i = 0; i < row.size(); ++i) line += (i ? "|" : "") + row[i];
        lines.push_back(line);
    }
    return lines;
}

void RecordingLink::activeChanged() {
    events.push_back(std::string("active ") + (active() ? "1" : "0"));
}

void RecordingLink::editingChanged() {
    events.push_back(std::string("editing ") + (editing() ? "1" : "0"));
}

void RecordingLink::dataSetChanged() {
    events.push_back("changed");
}

void RecordingLink::dataSetScrolled(int distance) {
    events.push_back("scrolled " + std::to_string(distance));
}

void RecordingLink::recordChanged(const data::TField* field) {
    events.push_back("field " + (field ? field->fieldName() : std::string("-")));
}

void RecordingLink::updateData() {
    events.push_back("update");
    if (onUpdate) onUpdate();
}

void RecordingLink::checkBrowseMode() {
    events.push_back("check");
}

void RecordingLink::layoutChanged() {
    events.push_back("layout");
}

std::string errorOf(const std::function<void()>& run) {
    try {
        run();
    } catch (const core::Error& e) {
        return e.what();
    }
    return "";
}

} // namespace data_test
