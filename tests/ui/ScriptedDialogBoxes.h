#pragma once
// The locate and record view dialogs' message boxes for tests: answers from a queue, every
// box written down.
#include "controls/DialogBoxes.h"

#include <QStringList>

#include <deque>

namespace test {

class ScriptedDialogBoxes final : public controls::DialogBoxes {
public:
    std::deque<controls::SaveAnswer> answers; // empty: Cancel
    QStringList shown;                        // "information: text", "warning: ...", "ask: ..."

    void information(const QString& text) override { shown << "information: " + text; }
    void warning(const QString& text) override { shown << "warning: " + text; }
    controls::SaveAnswer yesNoCancel(const QString& text) override {
        shown << "ask: " + text;
        if (answers.empty()) return controls::SaveAnswer::Cancel;
        const controls::SaveAnswer answer = answers.front();
        answers.pop_front();
        return answer;
    }
};

} // namespace test
