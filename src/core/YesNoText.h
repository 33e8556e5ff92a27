#pragma once
// The words a Yes/No value is typed as: one list for the grid's field edit and the Jet layer.
#include <optional>
#include <string_view>

namespace core {

// "True", "Yes" and "On" as true, "False", "No" and "Off" as false, in any letter case and
// with blanks around them; nullopt for any other text (numbers included: they are the
// caller's rule).
std::optional<bool> yesNoWord(std::string_view text);

} // namespace core
