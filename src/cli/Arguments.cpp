#include "cli/Arguments.h"

#include "core/Error.h"

namespace cli {

namespace {

// "--name VALUE" or "--name=VALUE" at argv[i]; advances i past the value.
bool valueOption(const std::string& name, int argc, char** argv, int& i,
                 std::optional<std::string>& value) {
    const std::string word = argv[i];
    if (word == name) {
        if (i + 1 >= argc) throw core::Error(name + " needs a value.");
        value = argv[++i];
        return true;
    }
    if (word.rfind(name + "=", 0) == 0) {
        value = word.substr(name.size() + 1);
        return true;
    }
    return false;
}

} // namespace

char delimiterOf(const Arguments& args) {
    if (!args.delimiter) return ',';
    const std::string& d = *args.delimiter;
    if (d == "tab" || d == "\\t") return '\t';
    if (d.size() != 1 || d == "\"" || d == "\r" || d == "\n")
        throw core::Error("--delimiter takes one character other than a quote or a line break "
                          "(or 'tab').");
    return d[0];
}

Arguments parseArguments(int argc, char** argv) {
    Arguments a;
    bool optionsEnded = false;
    for (int i = 1; i < argc; ++i) {
        std::string word = argv[i];
        if (!optionsEnded && word == "--") {
            optionsEnded = true;
        } else if (!optionsEnded && (word == "--help" || word == "-h")) {
            a.help = true;
        } else if (!optionsEnded && word == "--version") {
            a.version = true;
        } else if (!optionsEnded && word == "--json") {
            a.json = true;
        } else if (!optionsEnded && word == "--create") {
            a.create = true;
        } else if (!optionsEnded && word == "--currency") {
            a.currency = true;
        } else if (!optionsEnded && word == "--all") {
            a.all = true;
        } else if (!optionsEnded && (valueOption("--password", argc, argv, i, a.password) ||
                                     valueOption("--delimiter", argc, argv, i, a.delimiter) ||
                                     valueOption("--encoding", argc, argv, i, a.encoding))) {
            // taken with its value
        } else if (!optionsEnded && word.size() > 1 && word[0] == '-' && word != "-") {
            throw core::Error("Unknown option " + word + ". Try tablory-sql --help.");
        } else if (a.command.empty()) {
            a.command = word;
        } else {
            a.positional.push_back(word);
        }
    }
    return a;
}

} // namespace cli
