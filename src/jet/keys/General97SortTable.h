#pragma once
// The General sort order of Access 97 (Jet 3) files: what each Windows-1252 byte contributes
// to a text index key.
#include <array>
#include <cstdint>

namespace jet {

struct Sort97Code {
    std::array<std::uint8_t, 2> weight{};
    std::uint8_t weightLength = 0; // 0: the byte leaves no trace
    std::uint8_t accent = 0;       // the accent mark (a nibble), 0 for none
    std::uint8_t letters = 0;      // letters or digits the weight stands for
};

// A Unicode character Windows-1252 keeps at one of the bytes 0x80..0x9F.
struct Cp1252Mapping {
    char16_t unicode;
    std::uint8_t byte;
};

extern const std::array<Sort97Code, 256> general97SortCodes;
// Sorted by Unicode character.
extern const std::array<Cp1252Mapping, 27> general97Cp1252Mappings;

} // namespace jet
