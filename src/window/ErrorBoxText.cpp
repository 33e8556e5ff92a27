#include "window/ErrorBoxText.h"

namespace window {

std::string errorBoxText(std::string message) {
    // Compared as unsigned bytes: the last byte of a multi-byte UTF-8 character is above '.',
    // as that character's code is.
    if (!message.empty() && static_cast<unsigned char>(message.back()) > '.') message += '.';
    return message;
}

} // namespace window
