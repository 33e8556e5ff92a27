#include "jet/file/HeaderPage.h"

#include "core/TextEncoding.h"
#include "jet/file/Bytes.h"
#include "jet/file/DatabaseHeader.h"

#include <cstring>

namespace jet {

PageBytes makeHeaderPage(const std::string& password, core::DateTime created) {
    core::Bytes secret = core::utf8ToUtf16le(password);
    if (secret.size() > header::kPasswordLength)
        throw core::Error("A database password can have at most 20 characters.");

    PageBytes p{};
    p[1] = 0x01;
    std::memcpy(p.data() + 4, "Standard Jet DB", 15);
    p[header::kVersion] = header::kJet4Version;
    // Constants of the header block as the database catalog writes them.
    p[0x19] = 0x01;
    p[0x1C] = 0x01;
    p[0x1D] = 0x01;
    put32(p, 0x20, 2);
    put32(p, 0x24, 3);
    put32(p, 0x28, 4);
    put32(p, 0x2C, 5);
    put16(p, header::kCodePage, 1252);
    put16(p, 0x6A, 0x261C);
    put32(p, header::kSortOrder, 0x0409);
    std::uint64_t bits;
    std::memcpy(&bits, &created.days, sizeof bits);
    for (int i = 0; i < 8; ++i)
        p[header::kCreationDate + i] = static_cast<std::uint8_t>(bits >> (8 * i));
    put32(p, 0x98, 0x0654);
    std::memcpy(p.data() + 0x9C, "4.0", 3);
    p[0xE00] = 0x01;
    for (std::size_t at = 0xE01; at < kPageSize; at += 2) p[at] = 0x01;

    auto mask = passwordMask(created);
    for (std::size_t i = 0; i < header::kPasswordLength; ++i) {
        std::uint8_t plain = i < secret.size() ? secret[i] : 0;
        p[header::kPassword + i] = plain ^ mask[i];
    }
    toggleHeaderObscuring(p);
    return p;
}

} // namespace jet
