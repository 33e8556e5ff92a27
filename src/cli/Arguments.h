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
    bool version = false;
    // import and export
    std::optional<std::string> delimiter;
    std::optional<std::string> encoding;
    bool create = false;
    bool currency = false;
    bool all = false;
};

// The one character --delimiter names: itself, or "tab" / "\t" for a tab. Refuses the
// quote and line breaks, which the dialect needs for itself.
char delimiterOf(const Arguments& args);

// Throws core::Error with a usage message for an unknown option or a missing value.
Arguments parseArguments(int argc, char** argv);

} // namespace cli
