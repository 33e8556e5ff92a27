#include "data/DataErrors.h"

namespace data {

void raiseComponentError(std::string_view component, std::string_view message) {
    throw DatabaseError(std::string(component) + ": " + std::string(message));
}

namespace messages {

std::string missingProperty(std::string_view property) {
    return "Missing " + std::string(property) + " property";
}

std::string fieldReadOnly(std::string_view field) {
    return "Field '" + std::string(field) + "' cannot be modified";
}

std::string fieldNotFound(std::string_view field) {
    return "Field '" + std::string(field) + "' not found";
}

} // namespace messages
} // namespace data
