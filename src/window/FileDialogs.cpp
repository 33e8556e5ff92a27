#include "window/FileDialogs.h"

namespace window {

bool TOpenDialog::execute() {
    const std::optional<QString> chosen = prompts_.openFileName(filter, fileName);
    if (!chosen) return false;
    fileName = *chosen;
    return true;
}

bool TSaveDialog::execute() {
    const std::optional<QString> chosen = prompts_.saveFileName(filter, fileName);
    if (!chosen) return false;
    fileName = *chosen;
    return true;
}

} // namespace window
