#pragma once
// Jet 4's General sort order as Access 2000-2003 files use it: what each UTF-16 code unit
// contributes to a text index key.
#include <array>
#include <cstddef>
#include <cstdint>
#include <span>

namespace jet {

// How a character takes part in a General sort-order key.
enum class SortClass : std::uint8_t {
    Ignored,   // leaves no trace: NUL, unassigned code units, surrogates
    Plain,     // a weight only
    Accented,  // a weight, plus accent or case marks in the key's second part
    Control,   // no weight; its code goes, with its position, into the key's last part
    Diacritic, // no weight; raises the mark of the character before it
    Kana,      // a weight, optional marks and a small/normal kana flag
};

struct SortCode {
    SortClass sortClass = SortClass::Ignored;
    std::uint8_t weightLength = 0;
    std::uint8_t markLength = 0;
    std::uint8_t kanaFlag = 0; // Kana only: 2 for small kana, 3 otherwise
    std::array<std::uint8_t, 4> weight{};
    // Accented and Kana: the marks; Control: its code; Diacritic: the increment.
    std::array<std::uint8_t, 2> mark{};
};

// The code of one UTF-16 code unit.
SortCode generalSortCode(char16_t unit);

// How many letters of the sort order a code's weight stands for: 2 for "ß" (ss) or
// "æ" (ae), 1 for most. Each takes its own place in the mark part of a key, so later
// marks and control positions count them all. A byte that is some character's whole weight
// is a letter of its own; any other byte starts a two-byte letter.
std::size_t sortLetters(const SortCode& code);

// A run of consecutive code units sharing one code, or, when `stepping`, carrying two-byte
// weights that rise by one per unit (the low bytes 00 and 01 never occur in weights).
struct SortCodeRun {
    char16_t first;
    std::uint16_t count;
    bool stepping;
    SortCode code;
};

namespace general_sort_table {
// All of U+0000..U+FFFF, in order.
extern const std::span<const SortCodeRun> runs;
// pageStart[p] is the run holding code unit p * 256 (p = 256: the run holding U+FFFF).
extern const std::array<std::uint16_t, 257> pageStart;
} // namespace general_sort_table

} // namespace jet
