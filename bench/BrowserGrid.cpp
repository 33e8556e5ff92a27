// The browser's grid and navigator on a million-row table of five columns, as the user drives
// them, each step timed to the painted screen (Qt offscreen): picking the table, the last
// record, a page move, a scroll-bar drag, title-click sorts on an unindexed text column and on
// the indexed key, posting an edited cell, an insert and a delete; then the memory a walk from
// the first record to the last costs above the program at rest. Two tables: T without any
// index, K the same rows with a primary key on ID. Medians of five runs.
//   bench_browser_grid [--runs N] [--only TEXT]
// --only TEXT measures only the steps whose name holds TEXT (and skips the memory walk).
// --only walk runs the memory walk alone, in a process no earlier step has grown: after the
// sorts the allocator keeps their memory, and the walk would reuse it unseen.
#include "BenchFile.h"
#include "GridWindow.h"
#include "JetTables.h"
#include "Statement.h"
#include "Timings.h"
#include "controls/TwwDBGrid.h"
#include "controls/TwwDBNavigator.h"
#include "data/TADOConnection.h"
#include "data/TADOQuery.h"
#include "data/TDataSource.h"
#include "jet/Database.h"

#include <QApplication>
#include <QHeaderView>
#include <QScrollBar>

#include <cstdio>
#include <fstream>
#include <string>

namespace {

using bench::column;
using bench::openString;

constexpr int kRows = 1'000'000;

// T and K: ID long, Name text(50), City text(30), Amount currency, Born date/time; K's ID is
// its primary key.
void makeTables(const std::filesystem::path& path) {
    using T = jet::ColumnType;
    auto db = jet::Database::create(path);
    db->begin();
    for (const char* name : {"T", "K"}) {
        jet::TableSchema table;
        table.name = name;
        table.columns = {column("ID", T::Long, 4), column("Name", T::Text, 100),
                         column("City", T::Text, 60), column("Amount", T::Currency),
                         column("Born", T::DateTime)};
        db->createTable(table);
    }
    db->commit();
    // Names in an order unrelated to ID, so that sorting by them moves every row.
    for (const char* name : {"T", "K"}) {
        db->begin();
        for (int i = 1; i <= kRows; ++i) {
            const int scrambled = static_cast<int>((static_cast<std::int64_t>(i) * 7919) % kRows);
            db->insertRow(name, {core::Value(std::int32_t{i}),
                                 core::Value("Name " + std::to_string(scrambled)),
                                 core::Value("City " + std::to_string(i % 977)),
                                 core::Value(core::Currency{static_cast<std::int64_t>(i) * 125}),
                                 core::Value(core::DateTime{36000.0 + i % 5000})});
        }
        db->commit();
    }
    db.reset();
    bench::executeStatement(path, "create unique index PrimaryKey on K (ID) with primary");
}

const bench::BenchFile kFile = bench::generatedFile("browser-grid.mdb", makeTables);

// The resident memory now, in MiB.
double residentMiB() {
    std::ifstream status("/proc/self/status");
    std::string line;
    while (std::getline(status, line))
        if (line.rfind("VmRSS:", 0) == 0) return std::stod(line.substr(6)) / 1024.0;
    return 0;
}

struct Browser {
    data::TADOConnection connection;
    data::TADOQuery query{"ADOQuery1"};
    data::TDataSource source{"DataSource1"};
    bench::GridWindow view{source, {568, 476}, {0, 30, 564, 407}, {5, 442, 558, 28}};
    controls::TwwDBGrid* grid = view.grid;
    controls::TwwDBNavigator* nav = view.nav;

    explicit Browser(const std::filesystem::path& file) {
        connection.setConnectionString(openString(file));
        query.setConnection(&connection);
        source.setDataSet(&query);
        grid->setReadOnly(false);
        view.show();
    }
    void paint() { view.paint(); }
    // As the page's table open and title click do.
    void pick(const std::string& table) {
        query.setSQL("select * from [" + table + "]");
        query.open();
        query.requery();
        grid->rebuildLayout();
        paint();
    }
    void sort(const std::string& table, const std::string& field) {
        query.close();
        query.setSQL("select * from [" + table + "] order by " + field);
        query.open();
        query.requery();
        paint();
    }
};

template <typename Step> double timed(Step step) {
    bench::Stopwatch watch;
    step();
    return watch.seconds() * 1000.0;
}

} // namespace

int main(int argc, char** argv) {
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    int runs = 5;
    std::string only;
    for (int i = 1; i + 1 < argc; ++i) {
        if (std::string(argv[i]) == "--runs") runs = std::stoi(argv[i + 1]);
        if (std::string(argv[i]) == "--only") only = argv[i + 1];
    }
    const std::filesystem::path file = kFile.locate();

    std::vector<bench::Measurement> results;
    auto measure = [&](const std::string& table, const std::string& operation, auto prepare,
                       auto step) {
        if (operation.find(only) == std::string::npos) return;
        bench::Measurement m{operation, table, kRows, {}};
        for (int run = 0; run < runs; ++run) {
            Browser browser(file);
            prepare(browser);
            m.seconds.push_back(timed([&] { step(browser); }));
        }
        results.push_back(m);
        std::printf("%-4s %-38s median %9.1f ms\n", table.c_str(), operation.c_str(), m.median());
        std::fflush(stdout);
    };
    auto nothing = [](Browser&) {};
    for (const std::string table : {"T", "K"}) {
        auto picked = [&](Browser& b) { b.pick(table); };
        measure(table, "pick table to first screen (<= 100)", nothing, picked);
        measure(table, "last record (<= 50)", picked, [](Browser& b) {
            b.query.last();
            b.paint();
        });
        measure(table, "page move (<= 50)", picked, [](Browser& b) {
            b.nav->click(controls::NavButtonStyle::NextPage);
            b.paint();
        });
        // The grid's scroll range covers the records read so far; after the last record it
        // covers the whole table.
        measure(
            table, "scroll-bar drag to the middle (<= 50)",
            [&](Browser& b) {
                b.pick(table);
                b.query.last();
                b.paint();
            },
            [](Browser& b) {
                QScrollBar* bar = b.grid->verticalScrollBar();
                bar->setValue(bar->maximum() / 2);
                b.paint();
            });
        measure(table, "title sort, unindexed text (<= 1000)", picked,
                [&](Browser& b) { b.sort(table, "Name"); });
        measure(table, "title sort, ID (indexed in K) (<= 100)", picked,
                [&](Browser& b) { b.sort(table, "ID"); });
        measure(
            table, "post an edited cell (<= 10)",
            [&](Browser& b) {
                b.pick(table);
                b.query.edit();
                b.query.field(2).setAsString("Edited");
            },
            [](Browser& b) {
                b.query.post();
                b.paint();
            });
        measure(
            table, "insert and post (<= 10)",
            [&](Browser& b) {
                // The file is kept between runs and programs, so the new key goes past every
                // one it holds rather than to a fixed number an earlier run took.
                data::TADOQuery highest;
                highest.setConnection(&b.connection);
                highest.setSQL("select max(ID) from [" + table + "]");
                highest.open();
                const std::string next =
                    std::to_string(std::stoll(highest.field(0).asString()) + 1);
                b.pick(table);
                b.query.insert();
                b.query.field(0).setAsString(next);
            },
            [](Browser& b) {
                b.query.post();
                b.paint();
            });
        measure(table, "delete (<= 10)", picked, [](Browser& b) {
            b.query.deleteRecord();
            b.paint();
        });
    }

    if (!only.empty() && only != "walk") return 0;
    // Memory: the whole table walked page by page, top to bottom.
    Browser browser(file);
    const double atRest = residentMiB();
    browser.pick("T");
    double peak = atRest;
    while (!browser.query.eof()) {
        browser.query.moveBy(browser.grid->viewport()->height() /
                             std::max(1, browser.grid->verticalHeader()->defaultSectionSize()));
        browser.paint();
        peak = std::max(peak, residentMiB());
    }
    std::printf("T    walk top to bottom: %.0f MiB above the program at rest (<= 100)\n",
                peak - atRest);
    return 0;
}
