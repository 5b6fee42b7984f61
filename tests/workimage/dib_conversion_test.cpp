#include "workimage/dib_conversion.h"

#include <gtest/gtest.h>

#include <vector>

#include "workimage/packed_dib.h"

namespace tinta {
namespace {

std::vector<uint8_t> MakeDib(int32_t width, int32_t height, int bits) {
    std::vector<uint8_t> block(static_cast<size_t>(DibBlockSize(width, height, bits)));
    WriteDibHeader(MakeDibHeader(width, height, bits), block.data());
    return block;
}

uint8_t* StoredRow(std::vector<uint8_t>& dib, int32_t width, int bits, int32_t stored) {
    return dib.data() + DibPixelOffset(bits) + stored * DibRowStride(width, bits);
}

TEST(PackedDib, RowsArePaddedToFourBytes) {
    EXPECT_EQ(DibRowStride(1, 24), 4);
    EXPECT_EQ(DibRowStride(3, 24), 12);
    EXPECT_EQ(DibRowStride(5, 8), 8);
    EXPECT_EQ(DibRowStride(3, 16), 8);
    EXPECT_EQ(DibBlockSize(1, 1, 32), 44);
    EXPECT_EQ(DibBlockSize(2, 2, 8), 40 + 1024 + 8);
    EXPECT_EQ(DibBlockSize(0, 1, 32), -1);
    EXPECT_EQ(DibBlockSize(1, 1, 12), -1);
}

TEST(PackedDib, RefusesHeadersThatDoNotFitTheirBlock) {
    auto dib = MakeDib(3, 2, 24);
    EXPECT_TRUE(ReadDibHeader(dib.data(), dib.size()));
    EXPECT_FALSE(ReadDibHeader(dib.data(), dib.size() - 1));
    EXPECT_FALSE(ReadDibHeader(dib.data(), 39));
    dib[16] = 1;  // compressed
    EXPECT_FALSE(ReadDibHeader(dib.data(), dib.size()));
    dib[16] = 0;
    dib[8] = 0xFF, dib[9] = 0xFF, dib[10] = 0xFF, dib[11] = 0xFF;  // height -1
    EXPECT_FALSE(ReadDibHeader(dib.data(), dib.size()));
}

TEST(ConvertFromDib, TwentyFourBitsKeepThePictureUpright) {
    auto dib = MakeDib(2, 3, 24);
    uint8_t* bottom = StoredRow(dib, 2, 24, 0);
    bottom[0] = 1, bottom[1] = 2, bottom[2] = 3;
    uint8_t* top = StoredRow(dib, 2, 24, 2);
    top[3] = 7, top[4] = 8, top[5] = 9;
    auto image = AllocIpl(2, 3, 8);
    ClearIpl(*image);
    ASSERT_TRUE(ConvertFromDib(dib.data(), dib.size(), *image));
    FillAlpha(*image, 255);
    EXPECT_EQ(std::vector<uint8_t>(image->PixelAt(0, 2), image->PixelAt(0, 2) + 4),
              (std::vector<uint8_t>{1, 2, 3, 255}));
    EXPECT_EQ(std::vector<uint8_t>(image->PixelAt(1, 0), image->PixelAt(1, 0) + 4),
              (std::vector<uint8_t>{7, 8, 9, 255}));
}

TEST(ConvertFromDib, SixteenBitFieldsWidenToFullRange) {
    auto dib = MakeDib(2, 1, 16);
    uint8_t* row = StoredRow(dib, 2, 16, 0);
    const uint16_t word = 0x1F | (0x10 << 5) | (0x01 << 10);
    row[0] = word & 0xFF, row[1] = word >> 8;
    auto image = AllocIpl(2, 1, 8);
    ASSERT_TRUE(ConvertFromDib(dib.data(), dib.size(), *image));
    EXPECT_EQ(image->PixelAt(0, 0)[0], 255);
    EXPECT_EQ(image->PixelAt(0, 0)[1], (0x10 << 3) | (0x10 >> 2));
    EXPECT_EQ(image->PixelAt(0, 0)[2], 8);
    EXPECT_EQ(image->PixelAt(1, 0)[0], 0);
}

TEST(ConvertFromDib, EightBitIndicesLookUpTheColourTable) {
    auto dib = MakeDib(3, 1, 8);
    uint8_t* table = dib.data() + kDibHeaderSize;
    table[200 * 4 + 0] = 11, table[200 * 4 + 1] = 22, table[200 * 4 + 2] = 33;
    StoredRow(dib, 3, 8, 0)[2] = 200;
    auto image = AllocIpl(3, 1, 8);
    ASSERT_TRUE(ConvertFromDib(dib.data(), dib.size(), *image));
    EXPECT_EQ(image->PixelAt(2, 0)[0], 11);
    EXPECT_EQ(image->PixelAt(2, 0)[1], 22);
    EXPECT_EQ(image->PixelAt(2, 0)[2], 33);
}

TEST(ConvertFromDib, RefusesADibOfAnotherSize) {
    auto dib = MakeDib(2, 2, 32);
    auto image = AllocIpl(2, 3, 8);
    EXPECT_FALSE(ConvertFromDib(dib.data(), dib.size(), *image));
}

TEST(DibRoundTrip, ThirtyTwoBitsInAndOutGiveTheIdenticalBlock) {
    auto dib = MakeDib(7, 5, 32);
    for (size_t i = kDibHeaderSize; i < dib.size(); ++i) {
        dib[i] = static_cast<uint8_t>(i * 31 + 3);
    }
    auto image = AllocIpl(7, 5, 8);
    ASSERT_TRUE(ConvertFromDib(dib.data(), dib.size(), *image));
    auto out = MakeDib(7, 5, 32);
    ASSERT_TRUE(ConvertToDib(*image, out.data(), out.size()));
    EXPECT_EQ(out, dib);
}

}  // namespace
}  // namespace tinta
