// The Query Builder's Run Query on a join of a million-row Orders table with a 10,000-row
// Customers table, as the page runs it (close, command text, open, requery) and timed to the
// painted first screen of its grid (Qt offscreen). The statement is the one the page builds
// from its boxes, with the line breaks picks leave in it. Customers.ID is its primary key;
// Orders has no index. Medians of five runs (goal: <= 1000 ms).
//   bench_query_builder_run [--runs N]
#include "BenchFile.h"
#include "GridWindow.h"
#include "JetTables.h"
#include "Statement.h"
#include "Timings.h"
#include "controls/TwwDBGrid.h"
#include "controls/TwwDBNavigator.h"
#include "data/TADOConnection.h"
#include "data/TADODataSet.h"
#include "data/TDataSource.h"
#include "jet/Database.h"

#include <QApplication>

#include <cstdio>
#include <string>

namespace {

using bench::column;
using bench::openString;

constexpr int kOrders = 1'000'000;
constexpr int kCustomers = 10'000;

void makeTables(const std::filesystem::path& path) {
    using T = jet::ColumnType;
    auto db = jet::Database::create(path);
    db->begin();
    jet::TableSchema orders;
    orders.name = "Orders";
    orders.columns = {column("OrderID", T::Long, 4), column("Amount", T::Currency),
                      column("CustID", T::Long, 4)};
    db->createTable(orders);
    jet::TableSchema customers;
    customers.name = "Customers";
    customers.columns = {column("ID", T::Long, 4), column("Name", T::Text, 100)};
    db->createTable(customers);
    for (int i = 1; i <= kCustomers; ++i)
        db->insertRow("Customers",
                      {core::Value(std::int32_t{i}), core::Value("Customer " + std::to_string(i))});
    db->commit();
    db->begin();
    for (int i = 1; i <= kOrders; ++i) {
        const auto customer =
            static_cast<std::int32_t>((static_cast<std::int64_t>(i) * 7919) % kCustomers) + 1;
        db->insertRow("Orders", {core::Value(std::int32_t{i}),
                                 core::Value(core::Currency{static_cast<std::int64_t>(i) * 125}),
                                 core::Value(customer)});
    }
    db->commit();
    db.reset();
    bench::executeStatement(path, "create unique index PrimaryKey on Customers (ID) with primary");
}

const bench::BenchFile kFile = bench::generatedFile("query-builder-join.mdb", makeTables);

const std::string kStatement = "select [Orders].[OrderID]\r\n,[Orders].[Amount]\r\n"
                               ",[Customers].[Name]\r\n from [Orders]\r\n,[Customers]\r\n"
                               " where [Orders].[CustID]=[Customers].[ID]";

struct Page {
    data::TADOConnection connection;
    data::TADODataSet dataSet{"ADODataSet1"};
    data::TDataSource source{"DataSource2"};
    bench::GridWindow view{source, {565, 473}, {4, 218, 558, 218}, {5, 440, 558, 26}};

    explicit Page(const std::filesystem::path& file) {
        connection.setConnectionString(openString(file));
        connection.open();
        dataSet.setConnection(&connection);
        source.setDataSet(&dataSet);
        view.show();
    }
    void paint() { view.paint(); }
    // As Run Query does.
    void run() {
        dataSet.close();
        dataSet.setCommandText(kStatement);
        dataSet.open();
        dataSet.requery();
        paint();
    }
};

} // namespace

int main(int argc, char** argv) {
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    int runs = 5;
    for (int i = 1; i + 1 < argc; ++i)
        if (std::string(argv[i]) == "--runs") runs = std::stoi(argv[i + 1]);
    const std::filesystem::path file = kFile.locate();

    bench::Measurement m{"run query to first screen (<= 1000)", "join", kOrders, {}};
    for (int run = 0; run < runs; ++run) {
        Page page(file);
        bench::Stopwatch watch;
        page.run();
        m.seconds.push_back(watch.seconds() * 1000.0);
        if (run == 0)
            std::printf("first screen: %d rows shown of the join\n",
                        page.view.grid->model()->rowCount());
    }
    std::printf("%-40s median %9.1f ms\n", m.operation.c_str(), m.median());
    return 0;
}
