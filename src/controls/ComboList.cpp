#include "controls/ComboList.h"

#include <QSignalBlocker>

namespace controls {

void fillComboList(QComboBox& box, const std::vector<std::string>& names) {
    const QSignalBlocker quiet(box);
    const QString shown = box.currentText();
    box.clear();
    for (const std::string& name : names) box.addItem(QString::fromStdString(name));
    // Adding the first name would make it current and show it; no name is picked by Open.
    box.setCurrentIndex(-1);
    box.setEditText(shown);
}

} // namespace controls
