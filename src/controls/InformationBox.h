#pragma once
// The information box of the controls' own windows: titled with the application's name, no
// icon, the text above one OK button.
#include <QString>

class QWidget;

namespace controls {

void showInformation(QWidget* parent, const QString& text);

} // namespace controls
