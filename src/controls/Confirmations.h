#pragma once
// The questions the grid and the navigator ask before they throw a record away. The window
// answers with real message boxes; tests install scripted answers.
#include <QString>

namespace controls {

enum class ConfirmButtons {
    OkCancel, // "Delete record?"
    YesNo,    // "Discard changes to this record?"
};

class Confirmations {
public:
    virtual ~Confirmations() = default;
    // True only for OK or Yes; closing the box any other way counts as Cancel or No.
    virtual bool confirm(const QString& text, ConfirmButtons buttons) = 0;
};

} // namespace controls
