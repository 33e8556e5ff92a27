#include "core/ConversionErrors.h"

namespace core {

void throwTypeMismatch() {
    throw TypeMismatch("Data type mismatch in criteria expression.");
}

void throwInvalidUseOfNull() {
    throw TypeMismatch("Invalid use of Null");
}

void throwOverflow() {
    throw TypeMismatch("Overflow");
}

} // namespace core
