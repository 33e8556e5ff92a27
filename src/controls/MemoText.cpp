#include "controls/MemoText.h"

#include <QPlainTextEdit>
#include <QTextCursor>
#include <QTextDocument>

namespace controls {

namespace {

const QString crLf = QStringLiteral("\r\n");

// The document's own line feeds: the editor makes a paragraph of every "\n" and would make
// two of a CR LF pair.
QString withLineFeeds(QString text) {
    text.replace(crLf, QStringLiteral("\n"));
    text.replace(QLatin1Char('\r'), QLatin1Char('\n'));
    return text;
}

} // namespace

QString memoText(const QPlainTextEdit& box) {
    // The raw text, because the plain text would turn no-break spaces into blanks.
    QString text = box.document()->toRawText();
    text.replace(QChar::ParagraphSeparator, crLf);
    text.replace(QChar::LineSeparator, crLf);
    return text;
}

void setMemoText(QPlainTextEdit& box, const QString& text) {
    box.setPlainText(withLineFeeds(text));
}

QString withLineAppended(const QString& text, const QString& line) {
    if (text.isEmpty() || text.endsWith(crLf)) return text + line + crLf;
    return text + crLf + line + crLf;
}

void appendMemoLine(QPlainTextEdit& box, const QString& line) {
    const QString text = memoText(box);
    const QString added = withLineAppended(text, line).mid(text.size());
    QTextCursor end(box.document());
    end.movePosition(QTextCursor::End);
    end.insertText(withLineFeeds(added));
}

} // namespace controls
