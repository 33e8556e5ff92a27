#pragma once
// Shared pieces of the access-layer tests: connection strings as the window builds them,
// Jet files made through the storage engine, connections over tables in memory, and a data
// link that writes down what its data source tells it.
#include "common/ColumnDefs.h"
#include "data/TADOConnection.h"
#include "data/TDataLink.h"
#include "jet/Database.h"
#include "sql/engine/Session.h"

#include <filesystem>
#include <functional>
#include <initializer_list>
#include <string>
#include <vector>

namespace data_test {

// As the Open action builds it ("...;Jet OLEDB:Engine Type=5;;Jet OLEDB:Database Password=").
std::string openString(const std::filesystem::path& file, const std::string& password = "");
// As Create New builds it (one semicolon before the password).
std::string createString(const std::filesystem::path& file, const std::string& password = "");
// As Compact Database builds both of its strings ("Provider=...; Data Source=").
std::string compactString(const std::filesystem::path& file);

using testing_support::column;

// People (ID counter, Name text(50), Age long, Born date/time), rows 1..count: Name
// "Person <i>", Age i, Born day 36000 + i.
jet::TableSchema peopleTable(const std::string& name = "People");
std::vector<core::Value> personRow(int i);

// A new Jet file holding the tables, each filled by `row` for rows 1..count, in one
// transaction.
struct TableFill {
    jet::TableSchema schema;
    int count = 0;
    std::function<std::vector<core::Value>(int)> row;
};
void makeFile(const std::filesystem::path& path, const std::vector<TableFill>& tables,
              const std::string& password = "");

// Opens the connection on empty tables in memory and runs the statements on it.
void openInMemory(data::TADOConnection& connection, std::initializer_list<const char*> statements);

// Customers (ID counter primary key, Name text(50) not null, City text(30) default 'Paris',
// Credit currency) with Alice/Paris/10, Bob/London/20, Carol/Rome/30, and Orders (OrderID
// long primary key, CustomerID long, Amount double) with orders 1..3 of customers 1, 1, 2.
void openShop(data::TADOConnection& connection);

// Runs a statement through a command, as the SQL console does (results still being read on
// the connection are finished first).
std::int64_t run(data::TADOConnection& connection, const std::string& statement);

// Rows of a statement run on the connection, values as text joined by "|".
std::vector<std::string> rowsOf(data::TADOConnection& connection, const std::string& select);

// What a data source told a control, one entry per call: "active 1", "editing 0",
// "changed", "scrolled 2", "field Name", "update", "check", "layout".
class RecordingLink : public data::TDataLink {
public:
    std::vector<std::string> events;
    // Run by updateData(), as a control writes what the user typed.
    std::function<void()> onUpdate;

protected:
    void activeChanged() override;
    void editingChanged() override;
    void dataSetChanged() override;
    void dataSetScrolled(int distance) override;
    void recordChanged(const data::TField* field) override;
    void updateData() override;
    void checkBrowseMode() override;
    void layoutChanged() override;
};

// The message of the core::Error `run` raises; "" when it raises none.
std::string errorOf(const std::function<void()>& run);

} // namespace data_test
