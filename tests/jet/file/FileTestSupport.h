#pragma once
// Shared pieces of the page file tests: writable sample copies, whole-file snapshots, a
// repeatable change to commit, and child processes that crash or give up root.
#include "jet/file/PageFile.h"

#include <cstdint>
#include <filesystem>
#include <functional>
#include <string>
#include <vector>

namespace file_test {

// A copy of a sample that this process may change (the samples themselves are read-only).
std::filesystem::path writableCopy(const std::string& sample, const std::filesystem::path& dir,
                                   const std::string& name = "db.mdb");

std::vector<std::uint8_t> fileBytes(const std::filesystem::path& path);
void writeFileBytes(const std::filesystem::path& path, const std::vector<std::uint8_t>& bytes);

// A page whose bytes depend on the seed, so two different seeds never give the same page.
jet::PageBytes patternPage(std::uint32_t seed);

// One repeatable transaction over a file of at least 700 pages: changes existing pages
// (the header among them), appends pages and rewrites one appended page. It leaves the
// transaction open for the caller to commit or roll back.
struct SampleChange {
    static constexpr std::uint32_t kChangedPages = 18;
    static constexpr std::uint32_t kAppendedPages = 22;
    void apply(jet::PageFile& file) const;
};

// Runs body in a forked child and returns its exit code (or 128 + signal). The child never
// returns into the test: it leaves with _exit, 99 when body threw.
int runInChild(const std::function<int()>& body);

// Runs body as a user that file permissions apply to: in this process normally, in a child
// that gives up root when the tests run as root. Returns body's text, or text starting with
// "SKIP:" when no such user is available.
std::string asUnprivileged(const std::function<std::string()>& body);

// Commits SampleChange on `copy` and returns the steps the commit went through, in order.
std::vector<jet::CommitStep> recordCommitSteps(const std::filesystem::path& copy);

inline constexpr int kCrashed = 42;
// Commits SampleChange on `path` in a child process that dies (exit code kCrashed) just
// before commit step `stopAt`; returns 0 when the commit finished first.
int crashDuringCommit(const std::filesystem::path& path, std::uint32_t stopAt);

// The position of the first step of that kind.
std::uint32_t indexOf(const std::vector<jet::CommitStep>& steps, jet::CommitStep step);

} // namespace file_test
