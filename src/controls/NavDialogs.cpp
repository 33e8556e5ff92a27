#include "controls/NavDialogs.h"

#include <QDialog>

namespace controls {

QDialog* makeNavDialog(NavDialog kind, TwwDBNavigator& /*navigator*/) {
    switch (kind) {
    case NavDialog::Filter:
    case NavDialog::RecordView:
    case NavDialog::Locate:
    case NavDialog::Search:
        break;
    }
    return nullptr;
}

} // namespace controls
