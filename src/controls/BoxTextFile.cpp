#include "controls/BoxTextFile.h"

#include "core/Error.h"
#include "core/TextEncoding.h"
#include "data/UserFile.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>

#include <string>
#include <string_view>

namespace controls {

namespace {

QString fullPath(const QString& path) {
    return QDir::toNativeSeparators(QFileInfo(path).absoluteFilePath());
}

[[noreturn]] void fail(const char* what, const QString& path, const QString& cause) {
    const QString message =
        QStringLiteral("%1 \"%2\". %3").arg(QLatin1String(what), fullPath(path), cause);
    throw core::IoError(message.toStdString());
}

[[noreturn]] void tooLong() {
    throw core::Error("Text exceeds memo capacity");
}

} // namespace

QString withCrLfLineBreaks(const QString& text) {
    QString result;
    result.reserve(text.size());
    for (qsizetype i = 0; i < text.size(); ++i) {
        const QChar c = text[i];
        if (c == QLatin1Char('\r')) {
            if (i + 1 < text.size() && text[i + 1] == QLatin1Char('\n')) ++i;
            result += QStringLiteral("\r\n");
        } else if (c == QLatin1Char('\n')) {
            result += QStringLiteral("\r\n");
        } else {
            result += c;
        }
    }
    return result;
}

void writeBoxTextFile(const QString& path, const QString& text) {
    const std::string bytes = core::utf8ToCp1252(text.toStdString());
    const QByteArray encoded = QFile::encodeName(path);
    data::writeUserFile(std::string(encoded.constData(), std::size_t(encoded.size())), bytes);
}

QString readBoxTextFile(const QString& path, qsizetype capacity) {
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly)) fail("Cannot open file", path, file.errorString());
    // One byte past the capacity is enough to know the text is too long, whatever the size
    // the file claims.
    const QByteArray bytes = file.read(capacity + 1);
    if (file.error() != QFileDevice::NoError) fail("Cannot open file", path, file.errorString());
    if (bytes.size() > capacity) tooLong();
    const QString text = withCrLfLineBreaks(QString::fromStdString(
        core::cp1252ToUtf8(std::string_view(bytes.constData(), std::size_t(bytes.size())))));
    if (text.size() > capacity) tooLong();
    return text;
}

} // namespace controls
