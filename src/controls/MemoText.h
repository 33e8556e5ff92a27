#pragma once
// The text of a multi-line box as the actions execute, save and build statements from it:
// the whole content, lines separated by CR LF, ending with CR LF only if the content does.
#include <QString>

class QPlainTextEdit;

namespace controls {

// The most characters a box takes from a file; a longer text is refused as too long.
inline constexpr qsizetype memoCapacity = 16 * 1024 * 1024;

QString memoText(const QPlainTextEdit& box);
// Replaces the whole content; the text's line breaks are CR LF.
void setMemoText(QPlainTextEdit& box, const QString& text);

// The text with the line added so that it stands on a line of its own: after the text when
// that is empty or ends with a line break, else after a new line break; either way followed
// by CR LF.
QString withLineAppended(const QString& text, const QString& line);
// Adds the line to the end of the box by that rule, keeping the box's undo history.
void appendMemoLine(QPlainTextEdit& box, const QString& line);

} // namespace controls
