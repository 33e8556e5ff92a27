#include "controls/NavButtonSizing.h"

namespace controls {

std::vector<int> navButtonWidths(int width, int count) {
    std::vector<int> widths;
    if (count <= 0) return widths;
    const int each = width > 0 ? width / count : 0;
    const int extra = width > 0 ? width % count : 0;
    for (int i = 0; i < count; ++i) widths.push_back(each + (i < extra ? 1 : 0));
    return widths;
}

} // namespace controls
