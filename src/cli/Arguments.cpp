#include "cli/Arguments.h"

#include "core/Error.h"

namespace cli {

Arguments parseArguments(int argc, char** argv) {
    Arguments a;
    bool optionsEnded = false;
    for (int i = 1; i < argc; ++i) {
        std::string word = argv[i];
        if (!optionsEnded && word == "--") {
            optionsEnded = true;
        } else if (!optionsEnded && (word == "--help" || word == "-h")) {
            a.help = true;
        } else if (!optionsEnded && word == "--json") {
            a.json = true;
        } else if (!optionsEnded && word == "--password") {
            if (i + 1 >= argc) throw core::Error("--password needs a value.");
            a.password = argv[++i];
        } else if (!optionsEnded && word.rfind("--password=", 0) == 0) {
            a.password = word.substr(11);
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
