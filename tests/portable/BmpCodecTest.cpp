#include <gtest/gtest.h>

#include <chrono>

#include "ImageTestSupport.h"
#include "imaging/RasterImageBMP.h"

namespace {

void Put16(Bytes& out, uint32_t v) { out.insert(out.end(), {BYTE(v), BYTE(v >> 8)}); }
void Put32(Bytes& out, uint32_t v) { out.insert(out.end(), {BYTE(v), BYTE(v >> 8), BYTE(v >> 16), BYTE(v >> 24)}); }

struct BmpSpec {
  uint32_t headerSize = 40;
  int32_t width = 1, height = 1;
  uint16_t bits = 8;
  uint32_t compression = 0;
  uint32_t clrUsed = 0;
  Bytes palette;  // as stored (3 or 4 bytes an entry)
  Bytes masks;    // 12 bytes after a 40-byte header
  Bytes pixels;
};

// A BMP file with the given header fields and raw sections.
Bytes BuildBmp(const BmpSpec& s) {
  Bytes info;
  if (s.headerSize == 12) {
    Put32(info, 12);
    Put16(info, uint32_t(s.width));
    Put16(info, uint32_t(s.height));
    Put16(info, 1);
    Put16(info, s.bits);
  } else {
    Put32(info, s.headerSize);
    Put32(info, uint32_t(s.width));
    Put32(info, uint32_t(s.height));
    Put16(info, 1);
    Put16(info, s.bits);
    Put32(info, s.compression);
    Put32(info, uint32_t(s.pixels.size()));
    Put32(info, 2835);
    Put32(info, 2835);
    Put32(info, s.clrUsed);
    Put32(info, 0);
    info.resize(s.headerSize, 0);
  }
  const uint32_t offset = uint32_t(14 + info.size() + s.masks.size() + s.palette.size());
  Bytes out = {'B', 'M'};
  Put32(out, offset + uint32_t(s.pixels.size()));
  Put32(out, 0);
  Put32(out, offset);
  out.insert(out.end(), info.begin(), info.end());
  out.insert(out.end(), s.masks.begin(), s.masks.end());
  out.insert(out.end(), s.palette.begin(), s.palette.end());
  out.insert(out.end(), s.pixels.begin(), s.pixels.end());
  return out;
}

RGBQUAD Pixel(const RasterImage& image, int32_t x, int32_t y) { return image.GetPixelColor(x, y, false); }

TEST(BmpCodec, RoundTripEveryDepth) {
  for (int bpp : {1, 4, 8, 24}) {
    SCOPED_TRACE(bpp);
    auto image = MakePatternImage(37, 9, bpp, 11);
    image->SetXDpi(300);
    const Bytes file = EncodeToBytes(*image, kFormatBmp);
    ASSERT_FALSE(file.empty());
    EXPECT_EQ(file.size(), 54 + image->GetPaletteSize() + image->GetHeader().biSizeImage);
    RasterImage back;
    ASSERT_TRUE(DecodeBytes(back, file, kFormatBmp)) << back.GetLastError();
    EXPECT_TRUE(SamePixels(back, *image));
    EXPECT_EQ(back.GetBpp(), bpp);
    EXPECT_EQ(back.GetXDpi(), 300);
  }
}

// The pixel size in the header is never trusted: only the image's own
// stride x height is read.
TEST(BmpCodec, HeaderImageSizeIsIgnored) {
  auto source = MakePatternImage(13, 5, 8, 12);
  Bytes file = EncodeToBytes(*source, kFormatBmp);
  for (uint32_t size : {0u, 1u, 0x7FFFFFFFu, 0xFFFFFFFFu}) {
    for (int i = 0; i < 4; ++i) file[34 + i] = BYTE(size >> (8 * i));
    RasterImage image;
    ASSERT_TRUE(DecodeBytes(image, file, kFormatBmp)) << size;
    EXPECT_TRUE(SamePixels(image, *source));
  }
}

TEST(BmpCodec, CoreHeaderReadsThreeByteTable) {
  BmpSpec s;
  s.headerSize = 12;
  s.width = 2;
  for (int i = 0; i < 256; ++i) s.palette.insert(s.palette.end(), {BYTE(i), BYTE(255 - i), 7});
  s.pixels = {0, 200, 0, 0};
  RasterImage image;
  ASSERT_TRUE(DecodeBytes(image, BuildBmp(s), kFormatBmp)) << image.GetLastError();
  EXPECT_EQ(s.palette.size(), 768u);
  EXPECT_RGB(Pixel(image, 1, 0), 7, 55, 200);
}

TEST(BmpCodec, SixteenBitFields) {
  BmpSpec s;
  s.width = 2;
  s.bits = 16;
  s.pixels = {0xFF, 0x7F, 0x00, 0x7C, 0, 0, 0, 0};  // 5-5-5 white, red
  RasterImage image;
  ASSERT_TRUE(DecodeBytes(image, BuildBmp(s), kFormatBmp));
  EXPECT_EQ(image.GetBpp(), 24);
  EXPECT_RGB(Pixel(image, 0, 0), 248, 248, 248);
  EXPECT_RGB(Pixel(image, 1, 0), 248, 0, 0);
  s.compression = BI_BITFIELDS;
  Put32(s.masks, 0xF800);
  Put32(s.masks, 0x07E0);
  Put32(s.masks, 0x001F);
  s.pixels = {0xE0, 0x07, 0x1F, 0x00, 0, 0, 0, 0};  // 5-6-5 green, blue
  ASSERT_TRUE(DecodeBytes(image, BuildBmp(s), kFormatBmp));
  EXPECT_RGB(Pixel(image, 0, 0), 0, 252, 0);
  EXPECT_RGB(Pixel(image, 1, 0), 0, 0, 248);
}

TEST(BmpCodec, ShortBitfieldFileOfManyRowsIsQuick) {
  // 98 bytes that announce 4 x 16,777,220 pixels: the four rows present are
  // converted, the rest stays black, and nothing works per missing pixel.
  BmpSpec s;
  s.width = 4;
  s.height = 16777220;
  s.bits = 16;
  s.compression = BI_BITFIELDS;
  Put32(s.masks, 0xF800);
  Put32(s.masks, 0x07E0);
  Put32(s.masks, 0x001F);
  s.pixels.assign(32, 0xFF);
  const Bytes file = BuildBmp(s);
  ASSERT_EQ(file.size(), 98u);
  const auto start = std::chrono::steady_clock::now();
  RasterImage image;
  ASSERT_TRUE(DecodeBytes(image, file, kFormatBmp));
  EXPECT_LT(std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count(), 2.0);
  EXPECT_RGB(Pixel(image, 3, 3), 248, 252, 248);
  EXPECT_RGB(Pixel(image, 0, 4), 0, 0, 0);
  EXPECT_RGB(Pixel(image, 0, s.height - 1), 0, 0, 0);
}

TEST(BmpCodec, ThirtyTwoBitAndTopDown) {
  BmpSpec s;
  s.width = 1;
  s.height = -2;  // top-down: the first row is the top
  s.bits = 32;
  s.pixels = {1, 2, 3, 0, 4, 5, 6, 0};
  RasterImage image;
  ASSERT_TRUE(DecodeBytes(image, BuildBmp(s), kFormatBmp)) << image.GetLastError();
  EXPECT_EQ(image.GetHeight(), 2);
  EXPECT_RGB(Pixel(image, 0, 1), 3, 2, 1);  // row 1 is the top
  EXPECT_RGB(Pixel(image, 0, 0), 6, 5, 4);
}

TEST(BmpCodec, V5HeaderWithBitfields) {
  BmpSpec s;
  s.headerSize = 124;
  s.width = 1;
  s.bits = 32;
  s.compression = BI_BITFIELDS;
  s.pixels = {0x00, 0x00, 0xFF, 0x80};  // masks below: red in the low byte
  Bytes file = BuildBmp(s);
  Bytes masks;
  Put32(masks, 0x000000FF);
  Put32(masks, 0x0000FF00);
  Put32(masks, 0x00FF0000);
  std::copy(masks.begin(), masks.end(), file.begin() + 14 + 40);
  RasterImage image;
  ASSERT_TRUE(DecodeBytes(image, file, kFormatBmp)) << image.GetLastError();
  EXPECT_RGB(Pixel(image, 0, 0), 0, 0, 255);
}

TEST(BmpCodec, ColourCountClampedToDepth) {
  BmpSpec s;
  s.bits = 1;
  s.width = 8;
  s.clrUsed = 100000;
  s.palette = {0, 0, 0, 0, 255, 255, 255, 0};
  s.pixels = {0x80, 0, 0, 0};
  RasterImage image;
  ASSERT_TRUE(DecodeBytes(image, BuildBmp(s), kFormatBmp));
  EXPECT_RGB(Pixel(image, 0, 0), 255, 255, 255);
  EXPECT_RGB(Pixel(image, 1, 0), 0, 0, 0);
}

Bytes GreyPalette(int n) {
  Bytes p;
  for (int i = 0; i < n; ++i) p.insert(p.end(), {BYTE(i * 10), BYTE(i * 10), BYTE(i * 10), 0});
  return p;
}

TEST(BmpCodec, Rle8RunsDeltasAndLiterals) {
  BmpSpec s;
  s.width = 6;
  s.height = 3;
  s.compression = BI_RLE8;
  s.clrUsed = 10;
  s.palette = GreyPalette(10);
  s.pixels = {3, 1,  0, 3, 2, 3, 4, 0,  0, 0,     // row 0: 1 1 1 2 3 4
              0, 2, 2, 1,  2, 5,  0, 0,          // delta to (2, 2), then 5 5
              0, 1};
  RasterImage image;
  ASSERT_TRUE(DecodeBytes(image, BuildBmp(s), kFormatBmp)) << image.GetLastError();
  const int row0[6] = {1, 1, 1, 2, 3, 4};
  for (int x = 0; x < 6; ++x) EXPECT_EQ(image.GetPixelIndex(x, 0), row0[x]);
  EXPECT_EQ(image.GetPixelIndex(1, 2), 0);
  EXPECT_EQ(image.GetPixelIndex(2, 2), 5);
  EXPECT_EQ(image.GetPixelIndex(3, 2), 5);
}

// Runs, literals and deltas that point outside the row or the image stop
// or are clipped instead of writing past the pixels.
TEST(BmpCodec, Rle8HostileRunsStayInside) {
  BmpSpec s;
  s.width = 4;
  s.height = 2;
  s.compression = BI_RLE8;
  s.clrUsed = 10;
  s.palette = GreyPalette(10);
  const Bytes streams[] = {
      {2, 7, 200, 9},                         // run longer than the row: stop with what was read
      {0, 2, 250, 250, 255, 1},               // delta far outside
      {0, 2, 3, 0, 0, 6, 1, 2, 3, 4, 5, 6},   // literal past the row end
      {0, 0, 0, 0, 0, 0, 0, 0, 4, 3},         // more lines than the image
  };
  for (const Bytes& stream : streams) {
    s.pixels = stream;
    RasterImage image;
    EXPECT_TRUE(DecodeBytes(image, BuildBmp(s), kFormatBmp));
  }
  s.pixels = streams[0];
  RasterImage image;
  ASSERT_TRUE(DecodeBytes(image, BuildBmp(s), kFormatBmp));
  EXPECT_EQ(image.GetPixelIndex(1, 0), 7);
  EXPECT_EQ(image.GetPixelIndex(2, 0), 0);
}

TEST(BmpCodec, Rle4) {
  BmpSpec s;
  s.width = 7;
  s.height = 2;
  s.bits = 4;
  s.compression = BI_RLE4;
  s.palette = GreyPalette(16);
  // Row 0: run of 5 alternating 1 and 2, literal 3 nibbles 3 4 5 (+ pad).
  // Row 1: delta 3 pixels right, run of 9 clipped at the row end.
  s.pixels = {5, 0x12, 0, 3, 0x34, 0x50, 0, 0, 0, 2, 3, 0, 9, 0x77, 0, 1};
  RasterImage image;
  ASSERT_TRUE(DecodeBytes(image, BuildBmp(s), kFormatBmp)) << image.GetLastError();
  const int row0[7] = {1, 2, 1, 2, 1, 3, 4};
  for (int x = 0; x < 7; ++x) EXPECT_EQ(image.GetPixelIndex(x, 0), row0[x]) << x;
  EXPECT_EQ(image.GetPixelIndex(2, 1), 0);
  EXPECT_EQ(image.GetPixelIndex(3, 1), 7);
  EXPECT_EQ(image.GetPixelIndex(6, 1), 7);
}

TEST(BmpCodec, RefusedFiles) {
  struct Case {
    BmpSpec spec;
    const char* error;
  };
  BmpSpec badCompression;
  badCompression.compression = 7;
  badCompression.pixels = {0, 0, 0, 0};
  BmpSpec rle24;
  rle24.bits = 24;
  rle24.compression = BI_RLE8;
  BmpSpec badDepth;
  badDepth.bits = 2;
  BmpSpec huge;
  huge.width = 60000;
  huge.height = 60000;
  const Case cases[] = {
      {badCompression, "compression type not supported"},
      {rle24, "unknown compression"},
      {badDepth, "Error reading BMP info"},
      {huge, "Can't allocate memory"},
  };
  for (const Case& c : cases) {
    RasterImage image;
    EXPECT_FALSE(DecodeBytes(image, BuildBmp(c.spec), kFormatBmp));
    EXPECT_STREQ(image.GetLastError(), c.error);
  }
  RasterImage image;
  EXPECT_FALSE(DecodeBytes(image, Bytes{'B', 'M', 1}, kFormatBmp));
  EXPECT_STREQ(image.GetLastError(), "Not a BMP");
}

TEST(BmpCodec, SizeOnlyMode) {
  auto source = MakePatternImage(31, 17, 8, 3);
  const Bytes file = EncodeToBytes(*source, kFormatBmp);
  RasterImage image;
  image.SetEscape(-1);
  EXPECT_TRUE(DecodeBytes(image, file, kFormatBmp));
  EXPECT_EQ(image.GetWidth(), 31);
  EXPECT_EQ(image.GetHeight(), 17);
}

TEST(BmpCodec, EveryTruncationDecodesOrFails) {
  auto source = MakePatternImage(19, 7, 8, 4);
  const Bytes file = EncodeToBytes(*source, kFormatBmp);
  DecodeEveryTruncation(file, kFormatBmp);
}

}  // namespace
