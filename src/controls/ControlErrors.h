#pragma once
// Where the controls send the errors of the data-set actions they start: the window's
// top-level error display. Qt's event loop must never see an exception, so every action a
// key, a click or a timer starts runs through runGuarded.
#include <exception>
#include <functional>

namespace controls {

using ErrorDisplay = std::function<void(const std::exception&)>;

// Runs the action; an error it raises goes to the display (or, without one, to a message
// box). Returns whether the action ran to its end.
bool runGuarded(const ErrorDisplay& display, const std::function<void()>& action);

} // namespace controls
