#pragma once
// Compares the engine's dump of a database, line by line as JSON values, with the dump an
// independent reader made of the same sample.
#include "cli/Dump.h"
#include "common/JsonValue.h"
#include "jet/Database.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>
#include <vector>

namespace testing_support {

inline std::vector<std::string> nonEmptyLines(std::istream& in) {
    std::vector<std::string> out;
    for (std::string line; std::getline(in, line);)
        if (!line.empty()) out.push_back(line);
    return out;
}

inline void expectDumpEquals(const jet::Database& db, const std::filesystem::path& expectedDump,
                             const std::string& name) {
    std::stringstream ours;
    cli::dumpDatabase(db, ours);
    std::ifstream expectedFile(expectedDump);
    ASSERT_TRUE(expectedFile) << "expected dump missing for " << name;
    auto got = nonEmptyLines(ours), expected = nonEmptyLines(expectedFile);
    ASSERT_EQ(got.size(), expected.size()) << "line count differs for " << name;
    for (std::size_t i = 0; i < got.size(); ++i)
        EXPECT_TRUE(parseJson(got[i]) == parseJson(expected[i]))
            << name << " line " << i + 1 << "\n  ours:     " << got[i]
            << "\n  expected: " << expected[i];
}

} // namespace testing_support
