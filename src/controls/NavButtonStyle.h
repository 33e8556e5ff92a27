#pragma once
// The eighteen kinds of navigator button, in the navigator's order from left to right, with
// the hint text each carries.
#include <array>

namespace controls {

enum class NavButtonStyle {
    First,
    PriorPage,
    Prior,
    Next,
    NextPage,
    Last,
    Insert,
    Delete,
    Edit,
    Post,
    Cancel,
    Refresh,
    SaveBookmark,
    RestoreBookmark,
    FilterDialog,
    RecordViewDialog,
    LocateDialog,
    SearchDialog,
};

inline constexpr int navButtonCount = 18;

// Every style in order.
std::array<NavButtonStyle, navButtonCount> allNavButtonStyles();
// "Move to first record", ...
const char* navButtonHint(NavButtonStyle style);
// "nbsFirst", ...
const char* navButtonStyleName(NavButtonStyle style);
// The six move buttons repeat while held down.
bool navButtonRepeats(NavButtonStyle style);

} // namespace controls
