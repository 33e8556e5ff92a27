// Fuzz target: any text typed into the SQL console, run on a small database in memory, must
// either run or raise a core::Error. A crash, a sanitizer report, a hang or any other
// exception is a finding. Every statement gets a fresh database, so a DROP or DELETE in one
// input cannot starve the next.
#include "core/Error.h"
#include "sql/engine/storage/MemoryStorage.h"
#include "sql/engine/Session.h"

#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <exception>
#include <string>

namespace {

const char* const kSchema[] = {
    "create table Customers (ID counter primary key, Name text(50) not null, City text(30), "
    "Credit currency, Joined datetime, Vip yesno, Photo longbinary, Code guid)",
    "insert into Customers (Name, City, Credit, Joined, Vip) values ('Alice', 'Paris', 100.5, "
    "#2001-01-15 10:30#, true)",
    "insert into Customers (Name, City, Credit, Joined, Vip) values ('bob', null, -20, "
    "#1850-03-01#, false)",
    "insert into Customers (Name) values ('Carol')",
    "create table Orders (OrderID long primary key, CustomerID long references Customers (ID), "
    "Amount double, Qty integer, Small byte, Ratio single, Price decimal(12,4), Note memo)",
    "insert into Orders values (10, 1, 250, 3, 7, 0.5, 12.3456, 'first')",
    "insert into Orders values (11, 1, null, -2, 255, 1e30, -0.0001, null)",
    "insert into Orders values (12, 2, 1e-300, 0, 0, null, 99999999.9999, '')",
    "create unique index ByNote on Orders (Note) with ignore null",
    "create view Big as select * from Orders where Amount > 100",
};

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::string text(reinterpret_cast<const char*>(data), size);
    sql::MemoryStorage storage;
    sql::Session session(storage);
    session.evalContext().clock = [] { return core::DateTime{38000.5}; };
    for (const char* statement : kSchema) session.execute(statement);
    try {
        sql::ResultSet result = session.execute(text);
        // Rows are computed as they are read: read them all.
        std::size_t rows = 0;
        while (result.hasRows() && result.next() && rows < 100000) ++rows;
    } catch (const core::Error&) {
        // A statement the engine refuses with a message is the expected outcome.
    } catch (const std::exception& e) {
        std::fprintf(stderr, "non-engine exception: %s\n", e.what());
        std::abort();
    }
    return 0;
}
