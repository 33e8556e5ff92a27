#pragma once
// How a navigator shares its width among its visible buttons: each gets the whole-number
// quotient, and as many of the first ones as the remainder get one pixel more.
#include <vector>

namespace controls {

// The widths of `count` buttons sharing `width` pixels, left to right.
std::vector<int> navButtonWidths(int width, int count);

} // namespace controls
