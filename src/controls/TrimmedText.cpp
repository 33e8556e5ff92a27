#include "controls/TrimmedText.h"

namespace controls {

namespace {
bool isBlankOrControl(QChar c) {
    return c.unicode() <= 32;
}
} // namespace

QString trimmedText(const QString& text) {
    qsizetype begin = 0;
    qsizetype end = text.size();
    while (begin < end && isBlankOrControl(text[begin])) ++begin;
    while (end > begin && isBlankOrControl(text[end - 1])) --end;
    return text.mid(begin, end - begin);
}

} // namespace controls
