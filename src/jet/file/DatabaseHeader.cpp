#include "jet/file/DatabaseHeader.h"

#include "core/TextEncoding.h"
#include "jet/file/Rc4.h"

#include <cmath>
#include <cstring>
#include <string_view>

namespace jet {

void toggleHeaderObscuring(std::span<std::uint8_t> page0) {
    rc4Apply(header::kObscuringKey, page0.subspan(header::kObscuredStart, header::kObscuredLength));
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

DatabaseHeader DatabaseHeader::read(ByteSpan raw) {
    if (raw.size() < kPageSize) throwDamaged("the header page is cut short");
    static constexpr std::string_view kJet = "Standard Jet DB";
    static constexpr std::string_view kAce = "Standard ACE DB";
    std::string_view engine(reinterpret_cast<const char*>(raw.data()) + 4, kJet.size());
    if (raw[0] != 0x00 || raw[1] != 0x01 || (engine != kJet && engine != kAce))
        throw core::FormatError("Unrecognized database format: the file is not a Microsoft "
                                "Access database.");
    std::uint8_t version = raw[header::kVersion];
    if (engine == kAce || version >= 0x02)
        throw core::UnsupportedFormat("This is an Access 2007 or later (.accdb, ACE) database; "
                                      "only Access 2000-2003 (Jet 4) files are supported.");
    if (version == 0x00)
        throw core::UnsupportedFormat("This is an Access 97 (Jet 3) database; only Access "
                                      "2000-2003 (Jet 4) files are supported.");
    if (version != header::kJet4Version)
        throw core::FormatError("Unrecognized database format: unknown Jet version.");

    PageBytes page;
    std::memcpy(page.data(), raw.data(), kPageSize);
    toggleHeaderObscuring(page);
    ByteSpan p(page);

    DatabaseHeader h;
    h.codePage = u16(p, header::kCodePage);
    h.sortOrder = u32(p, header::kSortOrder);
    h.created = core::DateTime{f64(p, header::kCreationDate)};
    std::array<std::uint8_t, 4> key{};
    std::memcpy(key.data(), page.data() + header::kDatabaseKey, 4);
    if (key != std::array<std::uint8_t, 4>{}) h.encodingKey = key;

    auto mask = passwordMask(h.created);
    std::array<std::uint8_t, header::kPasswordLength> stored{};
    for (std::size_t i = 0; i < stored.size(); ++i)
        stored[i] = page[header::kPassword + i] ^ mask[i];
    std::size_t length = 0;
    while (length + 1 < stored.size() && (stored[length] | stored[length + 1])) length += 2;
    h.password = core::utf16leToUtf8(std::span(stored.data(), length));
    return h;
}

} // namespace jet
