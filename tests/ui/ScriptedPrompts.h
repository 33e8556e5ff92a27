#pragma once
// Prompts for tests: answers from queues the test fills and records every prompt shown.
#include "window/Prompts.h"

#include <QString>

#include <deque>
#include <optional>
#include <vector>

namespace test {

class ScriptedPrompts final : public window::Prompts {
public:
    enum class Kind { Information, Confirmation, Error, OpenFile, SaveFile };

    struct Shown {
        Kind kind;
        QString text;   // the message, or the file name the dialog was opened with
        QString filter; // file dialogs only
    };

    // Answers, taken front first. A prompt that finds its queue empty answers No or Cancel
    // and is counted in unanswered.
    std::deque<bool> confirmations;
    std::deque<std::optional<QString>> files;

    std::vector<Shown> shown;
    int unanswered = 0;

    void information(const QString& text) override {
        shown.push_back({Kind::Information, text, {}});
    }
    bool confirmation(const QString& text) override {
        shown.push_back({Kind::Confirmation, text, {}});
        if (confirmations.empty()) {
            ++unanswered;
            return false;
        }
        const bool answer = confirmations.front();
        confirmations.pop_front();
        return answer;
    }
    // The grid's and the navigator's boxes: recorded and answered as the others.
    bool confirm(const QString& text, controls::ConfirmButtons /*buttons*/) override {
        return confirmation(text);
    }
    void error(const QString& text) override { shown.push_back({Kind::Error, text, {}}); }
    std::optional<QString> openFileName(const QString& filter,
                                        const QString& currentName) override {
        shown.push_back({Kind::OpenFile, currentName, filter});
        return nextFile();
    }
    std::optional<QString> saveFileName(const QString& filter, const QString& presetName) override {
        shown.push_back({Kind::SaveFile, presetName, filter});
        return nextFile();
    }

    // The texts of the prompts of one kind, in the order shown.
    std::vector<QString> texts(Kind kind) const {
        std::vector<QString> result;
        for (const Shown& prompt : shown)
            if (prompt.kind == kind) result.push_back(prompt.text);
        return result;
    }

private:
    std::optional<QString> nextFile() {
        if (files.empty()) {
            ++unanswered;
            return std::nullopt;
        }
        std::optional<QString> answer = files.front();
        files.pop_front();
        return answer;
    }
};

} // namespace test
