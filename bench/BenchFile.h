#pragma once
// A database file a benchmark works on, found or made only when the benchmark runs: either one
// of the shared samples or, once the engine writes files, one generated to a given size.
#include <cstdlib>
#include <filesystem>
#include <functional>
#include <string>

namespace bench {

struct BenchFile {
    std::string label;
    // The file's path; empty when it cannot be had, and the benchmark then reports why.
    std::function<std::filesystem::path()> locate;
};

inline std::filesystem::path samplesDir() {
    if (const char* env = std::getenv("TABLORY_SAMPLES"); env && *env) return env;
    return TABLORY_BENCH_SAMPLES;
}

inline BenchFile sampleFile(const std::string& name) {
    return {name, [name]() -> std::filesystem::path {
                auto path = samplesDir() / name;
                return std::filesystem::exists(path) ? path : std::filesystem::path();
            }};
}

// A file made once per run by `make` (which writes it at the path it is given) and reused
// by every benchmark that names it; for sizes no sample has.
inline BenchFile generatedFile(const std::string& name,
                               std::function<void(const std::filesystem::path&)> make) {
    return {name, [name, make]() -> std::filesystem::path {
                auto path = std::filesystem::temp_directory_path() / ("tablory-bench-" + name);
                if (!std::filesystem::exists(path)) make(path);
                return path;
            }};
}

} // namespace bench
