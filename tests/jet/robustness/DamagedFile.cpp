#include "DamagedFile.h"

#include "cli/Dump.h"
#include "jet/Database.h"

#include <fstream>
#include <iterator>
#include <sstream>
#include <stdexcept>

namespace robustness {

FileBytes readFile(const std::filesystem::path& path) {
    std::ifstream in(path, std::ios::binary);
    if (!in) throw std::runtime_error("cannot read " + path.string());
    return FileBytes(std::istreambuf_iterator<char>(in), {});
}

void writeFile(const std::filesystem::path& path, const FileBytes& bytes) {
    std::ofstream out(path, std::ios::binary | std::ios::trunc);
    out.write(reinterpret_cast<const char*>(bytes.data()),
              static_cast<std::streamsize>(bytes.size()));
    if (!out) throw std::runtime_error("cannot write " + path.string());
}

std::uint16_t get16(const FileBytes& b, std::size_t offset) {
    return static_cast<std::uint16_t>(b.at(offset) | (b.at(offset + 1) << 8));
}

std::uint32_t get32(const FileBytes& b, std::size_t offset) {
    return get16(b, offset) | (static_cast<std::uint32_t>(get16(b, offset + 2)) << 16);
}

void put16(FileBytes& b, std::size_t offset, std::uint16_t value) {
    b.at(offset) = static_cast<std::uint8_t>(value);
    b.at(offset + 1) = static_cast<std::uint8_t>(value >> 8);
}

void put32(FileBytes& b, std::size_t offset, std::uint32_t value) {
    put16(b, offset, static_cast<std::uint16_t>(value));
    put16(b, offset + 2, static_cast<std::uint16_t>(value >> 16));
}

std::string openAndDump(const std::filesystem::path& path, const std::string& password) {
    auto db = jet::Database::open(path, password);
    std::ostringstream out;
    cli::dumpDatabase(*db, out);
    return out.str();
}

TableLocation locateTable(const std::filesystem::path& path, const std::string& table) {
    auto db = jet::Database::open(path);
    auto t = db->table(table);
    return {t.schema().definitionPage, t.schema().usageMapPointer};
}

std::size_t rowOffset(const FileBytes& file, std::uint32_t page, std::uint8_t slot) {
    std::size_t base = std::size_t(page) * kPage;
    // Slot offsets follow the page's row count at 12; the low 13 bits are the row's start.
    return base + (get16(file, base + 14 + 2u * slot) & 0x1FFF);
}

bool pagesAreEncoded(const std::filesystem::path& path, const std::string& password) {
    return jet::Database::open(path, password)->header().encodingKey.has_value();
}

} // namespace robustness
