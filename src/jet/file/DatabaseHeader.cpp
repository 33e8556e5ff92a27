#include "jet/file/DatabaseHeader.h"

#include "core/TextEncoding.h"
#include "jet/file/Rc4.h"

#include <cmath>
#include <cstring>
#include <string_view>

namespace jet {

void toggleHeaderObscuring(std::span<std::uint8_t> page0, const FileFormat& format) {
    rc4Apply(header::kObscuringKey,
             page0.subspan(header::kObscuredStart, format.header.obscuredLength));
}

std::array<std::uint8_t, header::kPasswordLength> passwordMask(core::DateTime created) {
    std::array<std::uint8_t, header::kPasswordLength> mask{};
    double days = std::floor(created.days);
    std::int32_t seed =
        std::isfinite(days) && std::fabs(days) < 2e9 ? static_cast<std::int32_t>(days) : 0;
    auto bits = static_cast<std::uint32_t>(seed);
    for (std::size_t i = 0; i < mask.size(); ++i)
        mask[i] = static_cast<std::uint8_t>(bits >> (8 * (i % 4)));
    return mask;
}

namespace {
constexpr std::uint16_t kWindows1252 = 1252;

// The stored password: Jet 4 masks its UCS-2 characters with the creation date, Jet 3 keeps
// 8-bit characters under the header's obscuring alone.
std::string readPassword(ByteSpan p, const FileFormat& format, core::DateTime created) {
    const auto& h = format.header;
    std::vector<std::uint8_t> stored(p.begin() + header::kPassword,
                                     p.begin() + header::kPassword + h.passwordLength);
    if (h.passwordMaskedByDate) {
        auto mask = passwordMask(created);
        for (std::size_t i = 0; i < stored.size(); ++i) stored[i] ^= mask[i % mask.size()];
    }
    if (format.version == JetVersion::Jet3) {
        std::size_t length = 0;
        while (length < stored.size() && stored[length]) ++length;
        return format.decodeText(std::span(stored.data(), length));
    }
    std::size_t length = 0;
    while (length + 1 < stored.size() && (stored[length] | stored[length + 1])) length += 2;
    return core::utf16leToUtf8(std::span(stored.data(), length));
}
} // namespace

DatabaseHeader DatabaseHeader::read(ByteSpan raw, const FileFormat& format) {
    if (raw.size() < format.pageSize) throwDamaged("the header page is cut short");
    static constexpr std::string_view kJet = "Standard Jet DB";
    static constexpr std::string_view kAce = "Standard ACE DB";
    std::string_view engine(reinterpret_cast<const char*>(raw.data()) + 4, kJet.size());
    if (raw[0] != 0x00 || raw[1] != 0x01 || (engine != kJet && engine != kAce))
        throw core::FormatError("Unrecognized database format: the file is not a Microsoft "
                                "Access database.");
    std::uint8_t version = raw[header::kVersion];
    if (engine == kAce || version >= 0x02)
        throw core::UnsupportedFormat("This is an Access 2007 or later (.accdb, ACE) database; "
                                      "only Access 97 (Jet 3) and Access 2000-2003 (Jet 4) "
                                      "files are supported.");
    const bool jet3 = version == 0x00;
    if ((format.version == JetVersion::Jet3) != jet3 || (!jet3 && version != header::kJet4Version))
        throw core::FormatError("Unrecognized database format: unknown Jet version.");

    PageBytes page{};
    std::memcpy(page.data(), raw.data(), format.pageSize);
    toggleHeaderObscuring(page, format);
    ByteSpan p(page);

    DatabaseHeader h;
    h.version = format.version;
    h.codePage = u16(p, header::kCodePage);
    h.sortOrder = format.header.sortOrderSize == 4 ? u32(p, format.header.sortOrder)
                                                   : u16(p, format.header.sortOrder);
    if (format.header.hasCreationDate) h.created = core::DateTime{f64(p, header::kCreationDate)};
    std::array<std::uint8_t, 4> key{};
    std::memcpy(key.data(), page.data() + header::kDatabaseKey, 4);
    if (key != std::array<std::uint8_t, 4>{}) h.encodingKey = key;
    // Jet 3 text is 8-bit in the file's code page; reading it in another would change it.
    if (jet3 && h.codePage != kWindows1252)
        throw core::UnsupportedFormat(
            "This Access 97 (Jet 3) database stores its text in code page " +
            std::to_string(h.codePage) +
            "; only Windows-1252 (Western European) Access 97 files are supported.");
    h.password = readPassword(p, format, h.created);
    return h;
}

} // namespace jet
