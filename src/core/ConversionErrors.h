#pragma once
// The errors a value conversion raises, worded as Jet words them. All three are type
// mismatches as far as a caller is concerned: the value cannot become the type asked for.
#include "core/Error.h"

namespace core {

[[noreturn]] void throwTypeMismatch();     // "Data type mismatch in criteria expression."
[[noreturn]] void throwInvalidUseOfNull(); // "Invalid use of Null"
[[noreturn]] void throwOverflow();         // "Overflow"

} // namespace core
