#pragma once
// The shared sample files, as test parameters, and the way their names become test names.
#include <gtest/gtest.h>

#include <string>

namespace robustness {

inline const auto kAllSamples = testing::Values(
    "big-index", "compound-index", "created-by-catalog", "deleted-columns", "deleted-rows",
    "empty-2000", "empty-jet4", "fixed-text", "index-properties", "indexes", "no-password",
    "numeric-fixed", "numeric", "overflow-rows", "password", "types", "wide-table");

inline std::string sampleTestName(const testing::TestParamInfo<const char*>& info) {
    std::string n = info.param;
    for (auto& c : n)
        if (c == '-') c = '_';
    return n;
}

// The one protected sample needs its password; every other file opens with any password, so
// handing it to all of them keeps the callers simple.
inline const std::string kSamplePassword = "password";

} // namespace robustness
