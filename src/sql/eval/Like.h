#pragma once
// Jet's LIKE: a pattern compiled once and matched per row, case-insensitively.
// ANSI-92 wildcards (what the OLE DB provider uses): % any run, _ one character.
// ANSI-89 wildcards (Jet's native mode): * any run, ? one character, # one digit.
// Both: [abc], [a-z] and [!abc] classes; a wildcard inside brackets is literal ("[%]").
#include "core/Value.h"

#include <string_view>
#include <vector>

namespace sql {

enum class LikeMode { Ansi92, Ansi89 };

class LikePattern {
public:
    // Raises sql::EvalError("Invalid pattern string") for an unclosed "[".
    explicit LikePattern(std::string_view pattern, LikeMode mode = LikeMode::Ansi92);

    bool matches(std::string_view text) const;

private:
    enum class Kind { Literal, AnyOne, AnyRun, Digit, Class };
    struct Range {
        char32_t first, last;
    };
    struct Element {
        Kind kind = Kind::Literal;
        char32_t literal = 0;
        bool negated = false;
        std::vector<Range> ranges;
    };

    static bool matchesOne(const Element& e, char32_t c);

    std::vector<Element> elements_;
};

// `text LIKE pattern` on values: Null when either is Null; other values match by their text.
core::Value like(const core::Value& text, const core::Value& pattern,
                 LikeMode mode = LikeMode::Ansi92);
core::Value like(const core::Value& text, const LikePattern& pattern);

} // namespace sql
