#pragma once
// The command line of tablory-sql: a command, its positional words and its options.
#include <optional>
#include <string>
#include <vector>

namespace cli {

struct Arguments {
    std::string command;
    std::vector<std::string> positional;
    std::optional<std::string> password;
    bool json = false;
    bool help = false;
};

// Throws core::Error with a usage message for an unknown option or a missing value.
Arguments parseArguments(int argc, char** argv);

} // namespace cli
