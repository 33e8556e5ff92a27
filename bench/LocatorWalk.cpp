// The list of every row locator of a million-row table in stored order, as the browser's data
// set needs it for the last record, a locate or a write: by the row cursor (what the list cost
// before) and by the walk of the data pages' slot tables. Wall and CPU time (user + system,
// which load from elsewhere on a shared machine disturbs less), each on a freshly opened file
// so that no page comes from the engine's cache. Reads the tables T (no index) and K (primary
// key) of the file bench_browser_grid generates; run that first.
//   bench_locator_walk [--runs N]
#include "Timings.h"
#include "jet/Database.h"
#include "sql/engine/storage/JetStorage.h"

#include <sys/resource.h>

#include <cstdio>
#include <cstring>
#include <filesystem>

namespace {

double cpuSeconds() {
    rusage usage{};
    getrusage(RUSAGE_SELF, &usage);
    auto seconds = [](const timeval& t) { return double(t.tv_sec) + double(t.tv_usec) / 1e6; };
    return seconds(usage.ru_utime) + seconds(usage.ru_stime);
}

double median(std::vector<double> v) {
    std::sort(v.begin(), v.end());
    return v.empty() ? 0 : v[v.size() / 2];
}

} // namespace

int main(int argc, char** argv) {
    int runs = 5;
    for (int i = 1; i + 1 < argc; ++i)
        if (std::strcmp(argv[i], "--runs") == 0) runs = std::max(1, std::atoi(argv[i + 1]));
    const auto path = std::filesystem::temp_directory_path() / "tablory-bench-browser-grid.mdb";
    if (!std::filesystem::exists(path)) {
        std::printf("%s is missing: run bench_browser_grid first\n", path.c_str());
        return 1;
    }
    std::printf("%-5s %-12s %10s %10s %10s\n", "table", "list by", "rows", "wall ms", "cpu ms");
    for (const char* table : {"T", "K"}) {
        for (const bool walk : {false, true}) {
            std::vector<double> wall, cpu;
            std::size_t rows = 0;
            for (int run = 0; run < runs; ++run) {
                auto db = jet::Database::open(path);
                sql::JetStorage storage(*db);
                const double cpuStart = cpuSeconds();
                bench::Stopwatch watch;
                // The base class's list goes through the row cursor.
                rows =
                    (walk ? storage.rowLocators(table) : storage.sql::Storage::rowLocators(table))
                        .size();
                wall.push_back(watch.seconds() * 1000);
                cpu.push_back((cpuSeconds() - cpuStart) * 1000);
            }
            std::printf("%-5s %-12s %10zu %10.1f %10.1f\n", table,
                        walk ? "page walk" : "row cursor", rows, median(wall), median(cpu));
        }
    }
    return 0;
}
