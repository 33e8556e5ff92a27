#pragma once
// Wall-clock timing for the plain (non-Google-Benchmark) benchmark programs: a stopwatch, a
// shell command timed from the outside, and the rows of the table they print.
#include <algorithm>
#include <chrono>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <stdexcept>
#include <string>
#include <vector>

namespace bench {

class Stopwatch {
public:
    Stopwatch() : start_(Clock::now()) {}
    double seconds() const { return std::chrono::duration<double>(Clock::now() - start_).count(); }

private:
    using Clock = std::chrono::steady_clock;
    Clock::time_point start_;
};

// Text as one word for /bin/sh, whatever it holds: in apostrophes, with each apostrophe
// closed, escaped and reopened.
inline std::string shellQuoted(const std::string& text) {
    std::string out = "'";
    for (char c : text) out += c == '\'' ? std::string("'\\''") : std::string(1, c);
    return out + "'";
}

// Runs a command through /bin/sh and returns its wall time; the shell's own start (a
// millisecond or so) is part of it, as it is for anyone typing the command. A failing command
// is an error, not a fast result.
inline double timeShell(const std::string& command) {
    Stopwatch watch;
    int rc = std::system(command.c_str());
    double s = watch.seconds();
    if (rc != 0)
        throw std::runtime_error("command failed (" + std::to_string(rc) + "): " + command);
    return s;
}

// What a command prints, for checks made outside the timed runs.
inline std::string captureShell(const std::string& command) {
    std::string out;
    FILE* pipe = popen(command.c_str(), "r");
    if (!pipe) throw std::runtime_error("cannot run: " + command);
    char buf[4096];
    while (std::size_t n = std::fread(buf, 1, sizeof buf, pipe)) out.append(buf, n);
    if (pclose(pipe) != 0) throw std::runtime_error("command failed: " + command);
    return out;
}

inline bool haveCommand(const std::string& name) {
    return std::system(("command -v " + name + " >/dev/null 2>&1").c_str()) == 0;
}

// One line of the result table: every run's time is kept, the median is what is reported
// (with two runs that is their mean).
struct Measurement {
    std::string operation;
    std::string tool;
    std::int64_t rows = 0;
    std::vector<double> seconds;

    double median() const {
        if (seconds.empty()) return 0;
        auto s = seconds;
        std::sort(s.begin(), s.end());
        std::size_t n = s.size();
        return n % 2 ? s[n / 2] : (s[n / 2 - 1] + s[n / 2]) / 2;
    }
};

} // namespace bench
