#pragma once
// Deterministic damage for the mutation test: byte flips, truncations, swapped or wiped pages
// and extreme numbers written where a table definition or a data page keeps its counts and
// pointers. The same seed always gives the same damage, so a failure can be replayed.
#include "DamagedFile.h"

#include <cstdint>
#include <random>
#include <string>
#include <vector>

namespace robustness {

class Mutator {
public:
    Mutator(const FileBytes& original, std::uint32_t seed);

    // Damages a copy of the original in one to three ways and says how, for the failure
    // message.
    FileBytes next(std::string& description);

private:
    std::uint32_t below(std::uint64_t n) { return static_cast<std::uint32_t>(rng_() % n); }
    std::uint32_t extreme();
    std::uint32_t anyPage() { return 1 + below(pages_ - 1); }
    std::uint32_t pickFrom(const std::vector<std::uint32_t>& pages);
    void writeExtreme(FileBytes& b, std::size_t at, std::size_t width, std::string& what);

    void flipBytes(FileBytes& b, std::string& what);
    void truncate(FileBytes& b, std::string& what);
    void swapPages(FileBytes& b, std::string& what);
    void wipePage(FileBytes& b, std::string& what);
    void damageDefinition(FileBytes& b, std::string& what);
    void damageDataPage(FileBytes& b, std::string& what);
    void damageAnyWord(FileBytes& b, std::string& what);

    const FileBytes& original_;
    std::mt19937 rng_; // its sequence is fixed by the standard, unlike the distributions'
    std::uint32_t pages_;
    std::vector<std::uint32_t> definitionPages_;
    std::vector<std::uint32_t> dataPages_;
};

} // namespace robustness
