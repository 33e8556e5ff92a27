#pragma once
// A statement the parser rejects: Jet's message plus where in the text the parser gave up.
#include "core/Error.h"

#include <cstddef>
#include <string>

namespace sql {

class SyntaxError : public core::SqlError {
public:
    SyntaxError(const std::string& message, std::size_t offset)
        : core::SqlError(message), offset_(offset) {}

    // Byte offset into the statement text of the token the parser stopped at.
    std::size_t offset() const { return offset_; }

private:
    std::size_t offset_;
};

} // namespace sql
