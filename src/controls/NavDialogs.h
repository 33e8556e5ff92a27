#pragma once
// The dialogs behind the navigator's filter, record view and locate buttons, made for the
// navigator's data set the first time their button is clicked; the navigator keeps them.
#include "controls/TwwDBNavigator.h"

class QDialog;

namespace controls {

// nullptr when the kind has no dialog of its own here (the search dialog is the navigator's).
QDialog* makeNavDialog(NavDialog kind, TwwDBNavigator& navigator);

} // namespace controls
