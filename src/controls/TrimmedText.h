#pragma once
// Text as the window's actions read names and values from their boxes: without the blanks and
// control characters (codes 0 to 32) at either end. Other white space, such as a no-break
// space, is part of the text.
#include <QString>

namespace controls {

QString trimmedText(const QString& text);

} // namespace controls
