#include "builder/QueryFiles.h"

#include "controls/TrimmedText.h"

namespace builder {

QueryFileSet savedQueryFiles(const QString& chosenName) {
    const QString base = controls::trimmedText(chosenName);
    return {base + QStringLiteral(".sqlqws"), base + QStringLiteral(".sqlqwf"),
            base + QStringLiteral(".sqlqww"), base + QStringLiteral(".sql")};
}

QueryFileSet loadedQueryFiles(const QString& chosenFile) {
    const QString base = chosenFile.chopped(chosenFile.isEmpty() ? 0 : 1);
    return {base + QLatin1Char('s'), base + QLatin1Char('f'), base + QLatin1Char('w'), {}};
}

} // namespace builder
