#pragma once
// Page 0 of a Jet file: format version, the RC4-obscured header block with the database
// password, code page, sort order, creation date and the key of encoded files.
#include "core/Value.h"
#include "jet/file/PageFile.h"

#include <array>
#include <optional>
#include <string>

namespace jet {

namespace header {
inline constexpr std::size_t kVersion = 0x14;
inline constexpr std::size_t kObscuredStart = 0x18;
inline constexpr std::size_t kObscuredLength = 128;
inline constexpr std::size_t kCodePage = 0x3C;
inline constexpr std::size_t kDatabaseKey = 0x3E;
inline constexpr std::size_t kPassword = 0x42;
inline constexpr std::size_t kPasswordLength = 40; // Jet 4: 20 UCS-2 characters
inline constexpr std::size_t kSortOrder = 0x6E;
inline constexpr std::size_t kCreationDate = 0x72;
inline constexpr std::array<std::uint8_t, 4> kObscuringKey{0xC7, 0xDA, 0x39, 0x6B};
inline constexpr std::uint8_t kJet4Version = 0x01;
} // namespace header

struct DatabaseHeader {
    JetVersion version = JetVersion::Jet4;
    std::uint16_t codePage = 0;
    std::uint32_t sortOrder = 0;
    core::DateTime created;
    std::string password; // empty when the file has none
    std::optional<std::array<std::uint8_t, 4>> encodingKey;

    // Reads and checks page 0 of a file of the given format; refuses ACE files and Jet 3
    // files in a code page this version cannot read with a message naming them.
    static DatabaseHeader read(ByteSpan page0, const FileFormat& format = FileFormat::jet4());
};

// Undoes (or applies: RC4 is its own inverse) the obscuring of the header block in place.
void toggleHeaderObscuring(std::span<std::uint8_t> page0,
                           const FileFormat& format = FileFormat::jet4());
// The XOR mask Jet 4 lays over the stored password, derived from the creation date.
std::array<std::uint8_t, header::kPasswordLength> passwordMask(core::DateTime created);

} // namespace jet
