#include <gtest/gtest.h>

#include <vector>

#include "documents/GifLzw.h"

namespace veltrio {
namespace {

std::vector<std::uint8_t> Concatenated(const TByteBuffer& b) {
    std::vector<std::uint8_t> all;
    for (const auto& block : b.Blocks()) {
        all.insert(all.end(), block.begin(), block.end());
    }
    return all;
}

TEST(GifByteBuffer, BlocksHoldAtMost255BytesAndNoneIsEmpty) {
    struct Case {
        std::size_t bytes;
        std::vector<std::size_t> blockSizes;
    };
    const Case cases[] = {
        {0, {}},         {1, {1}},          {254, {254}},         {255, {255}},
        {256, {255, 1}}, {510, {255, 255}}, {511, {255, 255, 1}}, {1000, {255, 255, 255, 235}},
    };
    for (const Case& c : cases) {
        TByteBuffer b;
        std::vector<std::uint8_t> in;
        for (std::size_t i = 0; i < c.bytes; ++i) {
            in.push_back(static_cast<std::uint8_t>(i * 7));
            b.AddByte(in.back());
        }
        EXPECT_EQ(b.TotalCount(), c.bytes);
        b.Close();
        std::vector<std::size_t> sizes;
        for (const auto& block : b.Blocks()) {
            sizes.push_back(block.size());
        }
        EXPECT_EQ(sizes, c.blockSizes) << c.bytes << " bytes";
        EXPECT_EQ(Concatenated(b), in) << c.bytes << " bytes";
        EXPECT_EQ(b.CurrentCount(), 0u);
    }
}

TEST(GifByteBuffer, A256thByteStartsTheSecondBlock) {
    TByteBuffer b;
    for (int i = 0; i < 255; ++i) {
        b.AddByte(1);
    }
    EXPECT_TRUE(b.Blocks().empty());
    EXPECT_EQ(b.CurrentCount(), 255u);
    b.AddByte(2);
    ASSERT_EQ(b.Blocks().size(), 1u);
    EXPECT_EQ(b.CurrentBlock(), std::vector<std::uint8_t>{2});
}

TEST(GifEncodedBytes, CodesArePackedLeastSignificantBitFirst) {
    struct Step {
        std::uint16_t code;
        std::uint8_t size;
    };
    struct Case {
        const char* name;
        std::vector<Step> codes;
        Step last;
        std::vector<std::uint8_t> bytes;
    };
    const Case cases[] = {
        // clear 4, pixel 0, end 5 at 3 bits: 100 000 101 -> 0x44 0x01
        {"one pixel", {{4, 3}, {0, 3}}, {5, 3}, {0x44, 0x01}},
        // 0xABC | 0x123 << 12 | 0x5 << 24
        {"twelve bits", {{0xABC, 12}, {0x123, 12}}, {0x5, 3}, {0xBC, 0x3A, 0x12, 0x05}},
        {"ends on a byte boundary", {{0xFF, 8}}, {0x01, 8}, {0xFF, 0x01}},
        {"only the last code", {}, {0x101, 9}, {0x01, 0x01}},
        {"mixed sizes", {{1, 1}, {3, 2}, {0x1F, 5}}, {0x7FF, 11}, {0xFF, 0xFF, 0x07}},
    };
    for (const Case& c : cases) {
        TEncodedBytes e;
        for (const Step& s : c.codes) {
            e.AddCode(s.code, s.size);
        }
        e.Finish(c.last.code, c.last.size);
        EXPECT_EQ(Concatenated(e.Buffer()), c.bytes) << c.name;
        EXPECT_EQ(e.Buffer().CurrentCount(), 0u) << c.name;
    }
}

TEST(GifCodeTable, ResetTableLeavesRoomForPixelsClearAndEnd) {
    struct Case {
        std::uint8_t size;
        std::uint16_t firstFree;
    };
    for (const Case& c : {Case{3, 6}, Case{5, 18}, Case{9, 258}}) {
        TCodeTable t;
        t.AddEntry(1, 1);
        t.ResetTable(c.size);
        EXPECT_EQ(t.CodeSize(), c.size);
        EXPECT_EQ(t.FirstFreeCode(), c.firstFree);
        EXPECT_EQ(t.NextCode(), c.firstFree);
        EXPECT_FALSE(t.Full());
        EXPECT_EQ(t.Entry(c.firstFree).Prefix, 0);
        EXPECT_EQ(t.Entry(c.firstFree).Suffix, 0);
    }
}

TEST(GifCodeTable, CodeSizeGrowsWhenTheNextCodeNoLongerFits) {
    // The reader defines each code one code later than the writer and widens
    // once 2^size codes are defined, so the writer widens when it has given
    // code 2^size, that is when the next code is 2^size + 1.
    struct Case {
        std::uint8_t minimum;
        unsigned next;
        std::uint8_t size;
        bool full;
    };
    const Case cases[] = {
        {2, 7, 3, false},    {2, 8, 3, false},     {2, 9, 4, false},     {2, 16, 4, false},
        {2, 17, 5, false},   {2, 2048, 11, false}, {2, 2049, 12, false}, {2, 4095, 12, false},
        {2, 4096, 12, true}, {8, 259, 9, false},   {8, 512, 9, false},   {8, 513, 10, false},
        {8, 4096, 12, true}, {4, 32, 5, false},    {4, 33, 6, false},
    };
    for (const Case& c : cases) {
        TCodeTable t;
        t.ResetTable(static_cast<std::uint8_t>(c.minimum + 1));
        while (t.NextCode() < c.next) {
            t.AddEntry(0, 0);
        }
        EXPECT_EQ(t.CodeSize(), c.size) << int(c.minimum) << " next " << c.next;
        EXPECT_EQ(t.Full(), c.full) << int(c.minimum) << " next " << c.next;
    }
}

TEST(GifCodeTable, FindEntrySearchesOnlyCodesGivenAfterThePrefix) {
    TCodeTable t;
    t.ResetTable(3);  // codes 0..3 pixels, 4 clear, 5 end, first free 6
    t.AddEntry(1, 2); // 6
    t.AddEntry(6, 0); // 7
    t.AddEntry(1, 3); // 8
    t.AddEntry(6, 0); // 9, same string as 7: the first one wins
    struct Case {
        std::uint16_t prefix, suffix;
        int code; // -1: none
    };
    const Case cases[] = {
        {1, 2, 6},  {6, 0, 7}, {1, 3, 8}, {2, 1, -1}, // never added
        {0, 0, -1}, // the zeroed entries below the first free code are not strings
        {8, 0, -1}, // 7 and 9 have prefix 6, not 8
    };
    for (const Case& c : cases) {
        const auto found = t.FindEntry(c.prefix, c.suffix);
        EXPECT_EQ(found ? int(*found) : -1, c.code) << c.prefix << "+" << c.suffix;
    }
    // The search starts behind the prefix's own code.
    TCodeTable u;
    u.ResetTable(3);
    u.AddEntry(9, 1); // 6, with a prefix above its own code
    EXPECT_FALSE(u.FindEntry(9, 1).has_value());
}

TEST(GifCodeTable, ResetForgetsTheEntries) {
    TCodeTable t;
    t.ResetTable(3);
    t.AddEntry(1, 2);
    ASSERT_TRUE(t.FindEntry(1, 2).has_value());
    t.ResetTable(3);
    EXPECT_FALSE(t.FindEntry(1, 2).has_value());
}

} // namespace
} // namespace veltrio
