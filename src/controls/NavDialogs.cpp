#include "controls/NavDialogs.h"

#include "controls/TwwFilterDialog.h"

#include <QDialog>

namespace controls {

QDialog* makeNavDialog(NavDialog kind, TwwDBNavigator& navigator) {
    switch (kind) {
    case NavDialog::Filter:
        return new TwwFilterDialog(navigator.dataSource(), &navigator);
    case NavDialog::RecordView:
    case NavDialog::Locate:
    case NavDialog::Search:
        break;
    }
    return nullptr;
}

} // namespace controls
