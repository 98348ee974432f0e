// SPDX-License-Identifier: MIT
// Bounded reads of the format layer: a field is inside a span only when all of it is,
// at any offset, however close to the top of its range.
#include <gtest/gtest.h>

#include <cstdint>
#include <limits>

#include "bytes/byte_span.h"

namespace {

namespace sr = link_format;

constexpr std::uint64_t kTop = std::numeric_limits<std::uint64_t>::max();

TEST(ByteSpan, HoldsAFieldOnlyWhenAllOfItLiesInside) {
    const unsigned char bytes[8] = {0x11, 0x22, 0x33, 0x44, 0x55, 0x66, 0x77, 0x88};
    const sr::ByteSpan span{bytes, sizeof bytes};
    const struct {
        std::uint64_t offset;
        unsigned width;
        bool inside;
        std::uint32_t value;  // what ReadLittleEndian reads there, when inside
    } rows[] = {
        {0, 4, true, 0x44332211},
        {4, 4, true, 0x88776655},
        {7, 1, true, 0x88},
        {6, 2, true, 0x8877},
        {5, 4, false, 0},
        {8, 1, false, 0},
        {kTop, 1, false, 0},       // offset + width wraps to 0
        {kTop - 1, 4, false, 0},   // wraps to 2: inside, were the sum compared
        {kTop - 3, 4, false, 0},   // wraps to exactly 0
        {std::uint64_t{1} << 32, 2, false, 0},  // past the span by a 32-bit wrap
        {(std::uint64_t{1} << 32) - 1, 4, false, 0},
    };
    for (const auto& row : rows) {
        SCOPED_TRACE(testing::Message() << "offset " << row.offset << ", width " << row.width);
        EXPECT_EQ(span.Holds(row.offset, row.width), row.inside);
        std::uint32_t value = 0xDEADBEEF;
        EXPECT_EQ(sr::ReadLittleEndian(span, row.offset, row.width, value), row.inside);
        EXPECT_EQ(value, row.inside ? row.value : 0xDEADBEEF);  // untouched when outside
    }
    EXPECT_TRUE(span.Holds(8, 0));
    EXPECT_FALSE(span.Holds(9, 0));
    EXPECT_FALSE(span.Holds(0, kTop));
    EXPECT_FALSE(span.Holds(4, kTop - 2));
}

}  // namespace
