#pragma once
// A command for tests: records every text it is given and fails on request, keeping the
// contract of the window's command for an empty text.
#include "window/CommandExecutor.h"

#include <optional>
#include <stdexcept>
#include <string>
#include <vector>

namespace test {

class FakeCommand final : public window::CommandExecutor {
public:
    // Texts that reached the database, in order; a refused empty text is not among them.
    std::vector<std::string> executed;
    // When set, every text fails with this message after being recorded.
    std::optional<std::string> failure;

    void execute(const std::string& commandText) override {
        if (commandText.empty()) throw std::runtime_error(window::missingCommandTextMessage);
        executed.push_back(commandText);
        if (failure) throw std::runtime_error(*failure);
    }
};

// A command with no database behind it: keeps the contract for an empty text and refuses
// everything else, as the window's command does when no file can be opened.
class DisconnectedCommand final : public window::CommandExecutor {
public:
    void execute(const std::string& commandText) override {
        if (commandText.empty()) throw std::runtime_error(window::missingCommandTextMessage);
        throw std::runtime_error("No database is open");
    }
};

} // namespace test
