#include "controls/NavButtonStyle.h"

namespace controls {
namespace {

struct StyleText {
    const char* name;
    const char* hint;
};

constexpr std::array<StyleText, navButtonCount> texts{{
    {"nbsFirst", "Move to first record"},
    {"nbsPriorPage", "Move backward 10 records"},
    {"nbsPrior", "Move to prior record"},
    {"nbsNext", "Move to next record"},
    {"nbsNextPage", "Move forward 10 records"},
    {"nbsLast", "Move to last record"},
    {"nbsInsert", "Insert new record"},
    {"nbsDelete", "Delete current record"},
    {"nbsEdit", "Edit current record"},
    {"nbsPost", "Post changes of current record"},
    {"nbsCancel", "Cancel changes made to current record"},
    {"nbsRefresh", "Refresh the contents of the dataset"},
    {"nbsSaveBookmark", "Bookmark current record"},
    {"nbsRestoreBookmark", "Go back to saved bookmark"},
    {"nbsFilterDialog", "Filter the dataset"},
    {"nbsRecordViewDialog", "View current record"},
    {"nbsLocateDialog", "Locate a specific record"},
    {"nbsSearchDialog", "Search the dataset"},
}};

} // namespace

std::array<NavButtonStyle, navButtonCount> allNavButtonStyles() {
    std::array<NavButtonStyle, navButtonCount> styles{};
    for (int i = 0; i < navButtonCount; ++i) styles[i] = static_cast<NavButtonStyle>(i);
    return styles;
}

const char* navButtonHint(NavButtonStyle style) {
    return texts.at(static_cast<std::size_t>(style)).hint;
}

const char* navButtonStyleName(NavButtonStyle style) {
    return texts.at(static_cast<std::size_t>(style)).name;
}

bool navButtonRepeats(NavButtonStyle style) {
    return static_cast<int>(style) <= static_cast<int>(NavButtonStyle::Last);
}

} // namespace controls
