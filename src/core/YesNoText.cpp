#include "core/YesNoText.h"

#include <array>

namespace core {

namespace {

bool sameLetters(std::string_view text, std::string_view word) {
    if (text.size() != word.size()) return false;
    for (std::size_t i = 0; i < text.size(); ++i) {
        const char c = text[i] >= 'A' && text[i] <= 'Z' ? char(text[i] - 'A' + 'a') : text[i];
        if (c != word[i]) return false;
    }
    return true;
}

} // namespace

std::optional<bool> yesNoWord(std::string_view text) {
    constexpr std::string_view blanks = " \t\r\n\v\f";
    const std::size_t first = text.find_first_not_of(blanks);
    if (first == std::string_view::npos) return std::nullopt;
    text = text.substr(first, text.find_last_not_of(blanks) - first + 1);
    for (std::string_view yes : std::array<std::string_view, 3>{"true", "yes", "on"})
        if (sameLetters(text, yes)) return true;
    for (std::string_view no : std::array<std::string_view, 3>{"false", "no", "off"})
        if (sameLetters(text, no)) return false;
    return std::nullopt;
}

} // namespace core
