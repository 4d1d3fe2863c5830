#include <gtest/gtest.h>

#include <string>

#include "documents/GifByteArrays.h"

namespace veltrio {
namespace {

template <typename F> std::string MessageOf(F&& f) {
    try {
        f();
    } catch (const EVeltrioError& e) {
        return e.what();
    }
    return "(nothing raised)";
}

TEST(GifByteArrays, BigByteArrayIsOneBasedAndStartsZeroed) {
    TBigByteArray a(5);
    ASSERT_EQ(a.Size(), 5u);
    for (std::uint32_t i = 1; i <= 5; ++i) {
        EXPECT_EQ(a.At(i), 0) << i;
        a.At(i) = static_cast<std::uint8_t>(10 * i);
    }
    const TBigByteArray& c = a;
    EXPECT_EQ(c.At(1), 10);
    EXPECT_EQ(c.At(5), 50);
}

TEST(GifByteArrays, IndexOutsideTheArrayIsRefused) {
    struct Case {
        std::uint32_t size;
        std::uint32_t index;
    };
    for (const Case& c :
         {Case{5, 0}, Case{5, 6}, Case{1, 2}, Case{0, 0}, Case{0, 1}, Case{5, 0xFFFFFFFFu}}) {
        TBigByteArray a(c.size);
        const TBigByteArray& constA = a;
        EXPECT_THROW(a.At(c.index), EIndexOutOfBounds) << c.size << " " << c.index;
        EXPECT_EQ(MessageOf([&] { (void)constA.At(c.index); }),
                  "Dynamic array index out of bounds");
    }
}

TEST(GifByteArrays, ElementXYIsByteXPlusRowOffset) {
    TByteArray2D a(4, 3);
    ASSERT_EQ(a.Width(), 4u);
    ASSERT_EQ(a.Height(), 3u);
    ASSERT_EQ(a.Bytes().Size(), 12u);
    std::uint8_t v = 1;
    for (std::uint32_t y = 1; y <= 3; ++y) {
        for (std::uint32_t x = 1; x <= 4; ++x) {
            a.At(x, y) = v++;
        }
    }
    // Row by row from the top: byte k holds value k.
    for (std::uint32_t k = 1; k <= 12; ++k) {
        EXPECT_EQ(a.Bytes().At(k), k);
    }
    EXPECT_EQ(a.At(4, 1), 4);
    EXPECT_EQ(a.At(1, 2), 5);
    EXPECT_EQ(a.At(4, 3), 12);
}

TEST(GifByteArrays, ElementOutsideWidthOrHeightIsRefused) {
    TByteArray2D a(4, 3);
    // (5, 1) would be byte 5, inside the block but in the wrong row.
    struct Case {
        std::uint32_t x, y;
    };
    for (const Case& c : {Case{0, 1}, Case{5, 1}, Case{1, 0}, Case{1, 4}, Case{5, 3}}) {
        EXPECT_THROW(a.At(c.x, c.y), EIndexOutOfBounds) << c.x << "," << c.y;
    }
}

TEST(GifByteArrays, CloneCopiesTheBytes) {
    TByteArray2D a(2, 2);
    a.At(2, 2) = 7;
    TByteArray2D b = a.Clone();
    a.At(2, 2) = 9;
    EXPECT_EQ(b.At(2, 2), 7);
    EXPECT_EQ(b.Width(), 2u);
    EXPECT_EQ(b.Height(), 2u);
}

TEST(GifByteArrays, AreaBeyondThirtyTwoBitsIsNotEnoughMemory) {
    EXPECT_EQ(MessageOf([] { TByteArray2D a(70000, 70000); }),
              "error in TBigByteArray.create: Not enough contiguous memory available\r\n"
              " requested memory block: 4900000000 bytes");
    EXPECT_THROW(TByteArray2D(65536, 65536), ENotEnoughMemory);
}

TEST(GifByteArrays, EmptyArraysHaveNoBytes) {
    EXPECT_EQ(TByteArray2D(0, 7).Bytes().Size(), 0u);
    EXPECT_EQ(TByteArray2D(7, 0).Bytes().Size(), 0u);
}

} // namespace
} // namespace veltrio
