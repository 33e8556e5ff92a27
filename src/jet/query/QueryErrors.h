#pragma once
// The error a saved query raises when its MSysQueries rows cannot be read back as SQL.
#include "core/Error.h"

#include <string>
#include <string_view>

namespace jet::query {

[[noreturn]] inline void throwUnreadable(std::string_view queryName, const std::string& why) {
    throw core::FormatError("The saved query '" + std::string(queryName) +
                            "' cannot be read: " + why + ".");
}

} // namespace jet::query
