#pragma once
// Files holding the text of a multi-line box: the text as it is, in the 8-bit code page of
// the program's text files, with no header and no line break added or removed.
#include <QString>

namespace controls {

// Every CR LF pair, lone CR and lone LF of the text as one CR LF.
QString withCrLfLineBreaks(const QString& text);

// Creates the file, or replaces it without a question; the old content stays until the new
// is safely written. Throws core::IoError "Cannot create file "<full path>". <cause>" when
// it cannot be created or written, leaving the old file as it was.
void writeBoxTextFile(const QString& path, const QString& text);

// The whole file, its line breaks made CR LF. Throws core::IoError
// "Cannot open file "<full path>". <cause>" when it cannot be read, and core::Error
// "Text exceeds memo capacity" when the text would take more than capacity characters.
QString readBoxTextFile(const QString& path, qsizetype capacity);

} // namespace controls
