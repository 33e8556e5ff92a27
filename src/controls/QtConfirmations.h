#pragma once
// The controls' confirmation boxes as Qt message boxes: titled "Confirm", with the question
// icon, OK (or Yes) the default button.
#include "controls/Confirmations.h"

class QWidget;

namespace controls {

class QtConfirmations final : public Confirmations {
public:
    bool confirm(const QString& text, ConfirmButtons buttons) override;
};

// The boxes the controls use until the window gives them its own.
Confirmations& defaultConfirmations();

} // namespace controls
