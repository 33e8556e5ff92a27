#pragma once
// RC4, which Jet uses to obscure the header block and, in "encoded" files, every page.
#include <cstdint>
#include <span>

namespace jet {

void rc4Apply(std::span<const std::uint8_t> key, std::span<std::uint8_t> data);

} // namespace jet
