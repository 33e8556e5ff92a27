#include "controls/FieldLabel.h"

namespace controls {

QString fieldLabel(const data::TField& field) {
    return QString::fromStdString(field.displayLabel()).replace(QLatin1Char('~'), QLatin1Char(' '));
}

} // namespace controls
