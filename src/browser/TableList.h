#pragma once
// The table selector dbtabs of the browser page, as Open fills it.
#include <QComboBox>

#include <string>
#include <vector>

namespace browser {

// Replaces the list with these names, in this order, and leaves the text the box shows as it
// was ("Select Table" until the user picks a name). The box's change handler does not run:
// only the user's changes open a table.
void fillTableList(QComboBox& box, const std::vector<std::string>& names);

} // namespace browser
