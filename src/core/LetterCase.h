#pragma once
// Letter case of single code points: the one mapping the SQL functions (UCase, LCase, case-
// insensitive LIKE) and the comparison of object names share.
namespace core {

// Simple one-to-one case mapping of every letter of the Basic Multilingual Plane that has a
// partner of the other case; every other code point maps to itself.
char32_t upperCase(char32_t c);
char32_t lowerCase(char32_t c);

} // namespace core
