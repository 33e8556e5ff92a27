#pragma once
// The text the error box shows for an error's message: a sentence gets its closing full stop.
#include <string>

namespace window {

// Appends "." when the message is not empty and its last character's code is above that of
// "." (so ".", " ", "!", ")", "," and "-" end a message as they are).
std::string errorBoxText(std::string message);

// What the error box says for an error that carries no message of its own.
inline constexpr const char* unknownErrorMessage = "Unknown error";

} // namespace window
