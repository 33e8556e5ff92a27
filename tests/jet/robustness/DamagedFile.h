#pragma once
// Tools for the damaged-file tests: a sample's bytes held in memory, changed on purpose,
// written to a scratch file and handed to the engine the way a user's file would be.
#include <cstdint>
#include <filesystem>
#include <string>
#include <vector>

namespace robustness {

using FileBytes = std::vector<std::uint8_t>;

inline constexpr std::size_t kPage = 4096;

FileBytes readFile(const std::filesystem::path& path);
void writeFile(const std::filesystem::path& path, const FileBytes& bytes);

std::uint16_t get16(const FileBytes& b, std::size_t offset);
std::uint32_t get32(const FileBytes& b, std::size_t offset);
void put16(FileBytes& b, std::size_t offset, std::uint16_t value);
void put32(FileBytes& b, std::size_t offset, std::uint32_t value);

// Opens the file, dumps every table and returns the dump. Whatever the engine throws passes
// through, so a test can say which errors it accepts.
std::string openAndDump(const std::filesystem::path& path, const std::string& password = {});

// Where a table's definition starts and where its rows' usage map lies, found through the
// engine on the undamaged file. The tests then damage exactly those bytes.
struct TableLocation {
    std::uint32_t definitionPage = 0;
    std::uint32_t usageMapPointer = 0; // page << 8 | slot
};
TableLocation locateTable(const std::filesystem::path& path, const std::string& table);

// Offset in the file of the first byte of the row in `slot` of data page `page`.
std::size_t rowOffset(const FileBytes& file, std::uint32_t page, std::uint8_t slot);

// True when pages past the header are RC4-encoded, so their raw bytes cannot be edited
// meaningfully.
bool pagesAreEncoded(const std::filesystem::path& path, const std::string& password = {});

} // namespace robustness
