#pragma once
// The command line the table-printing benchmarks share:
//   --rows N    rows to generate      --runs N   timed runs (the median is reported)
//   --dir PATH  where the files go    --keep     leave them there (where the program allows)
#include <filesystem>
#include <stdexcept>
#include <string>

namespace bench {

struct Options {
    int rows = 1'000'000;
    int runs = 3;
    std::filesystem::path dir;
    bool keep = false;
};

// `defaults` gives the folder and any other starting values; --keep is refused unless
// `keepAllowed`.
inline Options parseOptions(int argc, char** argv, Options defaults, bool keepAllowed) {
    Options o = std::move(defaults);
    for (int i = 1; i < argc; ++i) {
        const std::string a = argv[i];
        auto next = [&]() -> std::string {
            if (i + 1 >= argc) throw std::runtime_error(a + " needs a value");
            return argv[++i];
        };
        if (a == "--rows")
            o.rows = std::stoi(next());
        else if (a == "--runs")
            o.runs = std::stoi(next());
        else if (a == "--dir")
            o.dir = next();
        else if (a == "--keep" && keepAllowed)
            o.keep = true;
        else
            throw std::runtime_error("unknown option " + a);
    }
    if (o.rows < 1 || o.runs < 1) throw std::runtime_error("--rows and --runs must be positive");
    return o;
}

} // namespace bench
