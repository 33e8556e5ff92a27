#pragma once
// The list of a name picker (the browser's dbtabs, the Query Builder's table and column boxes)
// as the program fills it.
#include <QComboBox>

#include <string>
#include <vector>

namespace controls {

// Replaces the list with these names, in this order, and leaves the text the box shows as it
// was ("Select Table" until the user picks a name). The box's change handler does not run:
// only the user's changes count.
void fillComboList(QComboBox& box, const std::vector<std::string>& names);

} // namespace controls
