#pragma once
// Builds page 0 of a new Jet 4 file: format, code page 1252, General sort order, creation
// date and the masked database password, with the header block obscured as Jet expects.
#include "core/Value.h"
#include "jet/file/PageFile.h"

#include <string>

namespace jet {

// Throws core::Error when the password is longer than Jet's 20 characters.
PageBytes makeHeaderPage(const std::string& password, core::DateTime created);

} // namespace jet
