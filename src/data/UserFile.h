#pragma once
// Writing a file the user owns (schema files, saved query files, exports) so that no failure
// can lose what it held: the new content goes to a temporary file beside it, reaches the
// disk, and then takes the file's name in one rename.
#include <filesystem>
#include <string_view>

namespace data {

// Creates the file or replaces its content. A symbolic link keeps pointing where it did and
// the file it names is replaced; a file that is not a regular one (a device) is written
// directly. Throws core::IoError "Cannot create file "<full path>". <the system's message>"
// when the file cannot be written; the old file then stays as it was, and no temporary file
// is left behind.
void writeUserFile(const std::filesystem::path& path, std::string_view bytes);

} // namespace data
