#include "core/Conversions.h"
#include "core/Error.h"

#include <gtest/gtest.h>

#include <random>

using core::formatGuid;
using core::Guid;
using core::parseGuid;

namespace {

// {00112233-4455-6677-8899-aabbccddeeff} as Jet stores it: the first three fields reversed.
const Guid stored{{0x33, 0x22, 0x11, 0x00, 0x55, 0x44, 0x77, 0x66, 0x88, 0x99, 0xAA, 0xBB, 0xCC,
                   0xDD, 0xEE, 0xFF}};

} // namespace

TEST(Guid, FormatsTheFirstThreeFieldsAsNumbers) {
    EXPECT_EQ(formatGuid(stored), "00112233-4455-6677-8899-aabbccddeeff");
    EXPECT_EQ(formatGuid(Guid{}), "00000000-0000-0000-0000-000000000000");
}

TEST(Guid, ParsesWithOrWithoutBracesInEitherCase) {
    EXPECT_EQ(parseGuid("00112233-4455-6677-8899-aabbccddeeff"), stored);
    EXPECT_EQ(parseGuid("{00112233-4455-6677-8899-AABBCCDDEEFF}"), stored);
}

TEST(Guid, RejectsMalformedText) {
    for (const char* text :
         {"", "00112233-4455-6677-8899-aabbccddeef", "00112233-4455-6677-8899-aabbccddeeff0",
          "001122334455-6677-8899-aabbccddeeff-", "00112233-4455-6677-8899_aabbccddeeff",
          "0011223g-4455-6677-8899-aabbccddeeff", "{00112233-4455-6677-8899-aabbccddeeff",
          "(00112233-4455-6677-8899-aabbccddeeff)", " 00112233-4455-6677-8899-aabbccddeef"}) {
        SCOPED_TRACE(text);
        EXPECT_THROW(parseGuid(text), core::TypeMismatch);
    }
}

TEST(Guid, TextRoundTrip) {
    std::mt19937 random(5);
    for (int i = 0; i < 500; ++i) {
        Guid g;
        for (auto& b : g.bytes) b = std::uint8_t(random());
        ASSERT_EQ(parseGuid(formatGuid(g)), g);
    }
}
