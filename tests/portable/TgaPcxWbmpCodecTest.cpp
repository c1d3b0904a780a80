// The TGA, PCX and WBMP codecs: files built byte by byte, round trips,
// refusals with their texts, and what detection takes each file for.
#include <gtest/gtest.h>

#include <chrono>

#include "ImageTestSupport.h"
#include "imaging/ImageFile.h"

namespace {

void Put16(Bytes& out, uint32_t v) { out.insert(out.end(), {BYTE(v), BYTE(v >> 8)}); }

// An 18-byte TGA header followed by `data`.
Bytes Tga(int type, int width, int height, int depth, int descriptor, const Bytes& data, int mapType = 0,
          int mapLength = 0, int mapBits = 0) {
  Bytes out = {0, BYTE(mapType), BYTE(type)};
  Put16(out, 0);
  Put16(out, uint32_t(mapLength));
  out.push_back(BYTE(mapBits));
  Put16(out, 0);
  Put16(out, 0);
  Put16(out, uint32_t(width));
  Put16(out, uint32_t(height));
  out.insert(out.end(), {BYTE(depth), BYTE(descriptor)});
  out.insert(out.end(), data.begin(), data.end());
  return out;
}

// A 128-byte PCX header followed by `data`.
Bytes Pcx(int bits, int planes, int width, int height, int bytesPerLine, const Bytes& data) {
  Bytes out(128, 0);
  out[0] = 10, out[1] = 5, out[2] = 1, out[3] = BYTE(bits);
  out[8] = BYTE(width - 1), out[9] = BYTE((width - 1) >> 8);
  out[10] = BYTE(height - 1), out[11] = BYTE((height - 1) >> 8);
  out[65] = BYTE(planes);
  out[66] = BYTE(bytesPerLine), out[67] = BYTE(bytesPerLine >> 8);
  out.insert(out.end(), data.begin(), data.end());
  return out;
}

RGBQUAD At(const RasterImage& image, int32_t x, int32_t y) { return image.GetPixelColor(x, y, false); }

std::string DecodeError(const Bytes& data, uint32_t format) {
  RasterImage image;
  EXPECT_FALSE(DecodeBytes(image, data, format));
  return image.GetLastError();
}

}  // namespace

TEST(TgaCodec, SixteenBitsWidenFiveBitChannels) {
  RasterImage image;
  ASSERT_TRUE(DecodeBytes(image, Tga(2, 2, 1, 16, 0, {0xFF, 0x7F, 0x1F, 0x00}), kFormatTga));
  EXPECT_RGB(At(image, 0, 0), 248, 248, 248);
  EXPECT_RGB(At(image, 1, 0), 0, 0, 248);
}

TEST(TgaCodec, RowOrderColumnOrderAndRunsAcrossRows) {
  // 3 x 2, rows bottom first: bottom row red, green, blue; top row white, black, grey.
  const Bytes bottom = {0, 0, 255, 0, 255, 0, 255, 0, 0}, top = {255, 255, 255, 0, 0, 0, 128, 128, 128};
  Bytes bottomUp = bottom, topDown = top;
  bottomUp.insert(bottomUp.end(), top.begin(), top.end());
  topDown.insert(topDown.end(), bottom.begin(), bottom.end());
  RasterImage a, b;
  ASSERT_TRUE(DecodeBytes(a, Tga(2, 3, 2, 24, 0, bottomUp), kFormatTga));
  ASSERT_TRUE(DecodeBytes(b, Tga(2, 3, 2, 24, 0x20, topDown), kFormatTga));
  EXPECT_TRUE(SamePixels(a, b));
  EXPECT_RGB(At(a, 0, 0), 255, 0, 0);
  EXPECT_RGB(At(a, 2, 1), 128, 128, 128);
  // Right to left: the first stored pixel is the rightmost.
  RasterImage mirrored;
  ASSERT_TRUE(DecodeBytes(mirrored, Tga(2, 3, 2, 24, 0x10, bottomUp), kFormatTga));
  EXPECT_RGB(At(mirrored, 2, 0), 255, 0, 0);
  // A run of 4 grey pixels over a 3-wide row end, then 2 literals.
  RasterImage runs;
  ASSERT_TRUE(DecodeBytes(runs, Tga(11, 3, 2, 8, 0, {0x83, 50, 0x01, 60, 70}), kFormatTga));
  EXPECT_RGB(At(runs, 2, 0), 50, 50, 50);
  EXPECT_RGB(At(runs, 0, 1), 50, 50, 50);
  EXPECT_RGB(At(runs, 1, 1), 60, 60, 60);
  EXPECT_RGB(At(runs, 2, 1), 70, 70, 70);
  // A run longer than the image stops at its end.
  ASSERT_TRUE(DecodeBytes(runs, Tga(11, 3, 2, 8, 0, {0xFF, 90}), kFormatTga));
  EXPECT_RGB(At(runs, 2, 1), 90, 90, 90);
}

TEST(TgaCodec, ColourMapOnTrueColourIsSkipped) {
  // Two 24-bit map entries, then one true-colour pixel.
  const Bytes data = {1, 2, 3, 4, 5, 6, 10, 20, 30};
  RasterImage image;
  ASSERT_TRUE(DecodeBytes(image, Tga(2, 1, 1, 24, 0, data, 1, 2, 24), kFormatTga));
  EXPECT_EQ(image.GetBpp(), 24);
  EXPECT_RGB(At(image, 0, 0), 30, 20, 10);
}

TEST(TgaCodec, RoundTripsAndAlphaDescriptor) {
  for (int bpp : {8, 24}) {
    auto source = MakePatternImage(37, 13, bpp, 3);
    const Bytes file = EncodeToBytes(*source, kFormatTga);
    RasterImage back;
    ASSERT_TRUE(DecodeBytes(back, file, kFormatUnknown)) << bpp;
    EXPECT_EQ(back.GetType(), kFormatTga);
    EXPECT_TRUE(SamePixels(*source, back)) << bpp;
  }
  auto alpha = MakePatternImage(5, 4, 24, 1);
  alpha->AlphaCreate();
  alpha->AlphaSet(1, 2, 77);
  const Bytes file = EncodeToBytes(*alpha, kFormatTga);
  ASSERT_GE(file.size(), 18u);
  EXPECT_EQ(file[16], 32);
  EXPECT_EQ(file[17], 8);  // eight bits of alpha, bottom-up
  RasterImage back;
  ASSERT_TRUE(DecodeBytes(back, file, kFormatTga));
  EXPECT_EQ(back.AlphaGet(1, 2), 77);
  auto mono = MakePatternImage(4, 4, 1, 1);
  EXPECT_TRUE(EncodeToBytes(*mono, kFormatTga).empty());
  EXPECT_STREQ(mono->GetLastError(), "Bit depth must be 8 or 24");
}

TEST(TgaCodec, RefusesWithItsTexts) {
  EXPECT_EQ(DecodeError({0, 0, 2}, kFormatTga), "Not a TGA");
  EXPECT_EQ(DecodeError(Tga(4, 1, 1, 24, 0, {1, 2, 3}), kFormatTga), "Unknown TGA image type");
  EXPECT_EQ(DecodeError(Tga(2, 0, 1, 24, 0, {}), kFormatTga), "bad TGA header");
  EXPECT_EQ(DecodeError(Tga(2, 1, 1, 12, 0, {1, 2}), kFormatTga), "bad TGA header");
  EXPECT_EQ(DecodeError(Tga(2, 2, 2, 24, 0, {1, 2, 3}), kFormatTga), "corrupted TGA");
  EXPECT_EQ(DecodeError(Tga(10, 2, 2, 24, 0, {0x81, 1, 2, 3}), kFormatTga), "corrupted TGA");
}

TEST(PcxCodec, RunsAndTheirLimits) {
  // 0xC5 then 7: five 7s, and a sixth byte for the even line length.
  RasterImage image;
  Bytes file = Pcx(8, 1, 5, 1, 6, {0xC5, 7, 0});
  file.push_back(12);
  for (int i = 0; i < 256; ++i) file.insert(file.end(), {BYTE(i), BYTE(i), BYTE(i)});
  ASSERT_TRUE(DecodeBytes(image, file, kFormatPcx));
  for (int x = 0; x < 5; ++x) EXPECT_EQ(image.GetPixelIndex(x, 0), 7);
  EXPECT_RGB(At(image, 4, 0), 7, 7, 7);
  EXPECT_EQ(DecodeError(Pcx(8, 1, 5, 1, 6, {0xC7, 7, 0, 0, 0, 0}), kFormatPcx), "repeat count spans end of image");
  EXPECT_EQ(DecodeError(Pcx(8, 1, 5, 1, 6, {0xC6, 7, 0, 0}), kFormatPcx), "bad color map signature");
}

TEST(PcxCodec, HeaderFaultsAreRefusedCheaply) {
  EXPECT_EQ(DecodeError(Bytes(100, 10), kFormatPcx), "Can't read PCX image");
  Bytes notPcx = Pcx(8, 1, 2, 1, 2, {1, 2});
  notPcx[0] = 9;
  EXPECT_EQ(DecodeError(notPcx, kFormatPcx), "Error: Not a PCX file");
  EXPECT_EQ(DecodeError(Pcx(8, 5, 2, 1, 2, {}), kFormatPcx), "Can't handle image with more than 4 planes");
  EXPECT_EQ(DecodeError(Pcx(4, 2, 2, 1, 2, {}), kFormatPcx), "Can't handle packed pixels with more than 1 plane.");
  // Fewer bytes per line than the width needs, or far more.
  EXPECT_EQ(DecodeError(Pcx(8, 1, 10, 1, 4, Bytes(10, 1)), kFormatPcx), "PCX bytes per line do not match the width");
  EXPECT_EQ(DecodeError(Pcx(1, 1, 8, 1, 60000, Bytes(10, 1)), kFormatPcx), "PCX bytes per line do not match the width");
  // A bare header that claims a huge image fails at once, without allocating it.
  const auto start = std::chrono::steady_clock::now();
  EXPECT_EQ(DecodeError(Pcx(8, 4, 16000, 16000, 16000, {}), kFormatPcx), "corrupted PCX");
  EXPECT_LT(std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count(), 0.5);
}

TEST(PcxCodec, PlanesOfOneBitMakeFourBitImages) {
  for (int planes : {2, 3, 4}) {
    // Pixel 0 has every plane's bit, pixel 1 only plane 1's.
    Bytes data;
    for (int p = 0; p < planes; ++p) {
      if (p == 1) data.insert(data.end(), {0xC1, 0xC0, 0});  // 0xC0 must be coded as a run
      else data.insert(data.end(), {0x80, 0});
    }
    Bytes file = Pcx(1, planes, 2, 1, 2, data);
    for (int i = 0; i < 16; ++i) file[16 + i * 3] = BYTE(i * 16);
    RasterImage image;
    ASSERT_TRUE(DecodeBytes(image, file, kFormatPcx)) << planes;
    EXPECT_EQ(image.GetBpp(), 4);
    EXPECT_EQ(image.GetPixelIndex(0, 0), (1 << planes) - 1);
    EXPECT_EQ(image.GetPixelIndex(1, 0), 2);
    EXPECT_EQ(At(image, 1, 0).rgbRed, 32);
  }
}

TEST(PcxCodec, RoundTripsEveryDepthAndDetection) {
  for (int bpp : {1, 4, 8, 24}) {
    auto source = MakePatternImage(37, 13, bpp, 5);
    if (bpp == 1) source->SetPaletteColor(0, 255, 255, 255), source->SetPaletteColor(1, 0, 0, 0);
    const Bytes file = EncodeToBytes(*source, kFormatPcx);
    RasterImage back;
    ASSERT_TRUE(DecodeBytes(back, file, kFormatUnknown)) << bpp;
    EXPECT_EQ(back.GetType(), kFormatPcx) << bpp;
    EXPECT_TRUE(SamePixels(*source, back)) << bpp;
    DecodeEveryTruncation(file, kFormatUnknown);
  }
}

TEST(WbmpCodec, MultiByteSizesAndRefusals) {
  // 130 x 2: the width takes two bytes (0x81 0x02).
  Bytes file = {0, 0, 0x81, 0x02, 2};
  for (int row = 0; row < 2; ++row) {
    file.push_back(row == 0 ? 0x80 : 0x00);
    file.insert(file.end(), 16, row == 0 ? 0x00 : 0xFF);
  }
  RasterImage image;
  ASSERT_TRUE(DecodeBytes(image, file, kFormatUnknown));
  EXPECT_EQ(image.GetType(), kFormatWbmp);
  EXPECT_EQ(image.GetWidth(), 130);
  EXPECT_RGB(At(image, 0, 1), 255, 255, 255);
  EXPECT_RGB(At(image, 1, 1), 0, 0, 0);
  EXPECT_RGB(At(image, 129, 0), 255, 255, 255);
  const Bytes back = EncodeToBytes(image, kFormatWbmp);
  EXPECT_EQ(back, file);
  EXPECT_EQ(DecodeError({0, 0, 0, 1, 0}, kFormatWbmp), "Corrupted WBMP");
  EXPECT_EQ(DecodeError({2, 0, 1, 1, 0}, kFormatWbmp), "Unsupported WBMP type");
  // Detection does not take four stray bytes for a picture.
  EXPECT_EQ(DecodeError({0, 0, 8, 8}, kFormatUnknown), "Decode: Unknown or wrong format");
  RasterImage wide(300, 2, 1);
  EXPECT_TRUE(EncodeToBytes(wide, kFormatWbmp).empty());
  EXPECT_STREQ(wide.GetLastError(), "Can't save this image as WBMP");
}

TEST(TgaAndPcxCodecs, SidesBeyondSixteenBitsAreRefused) {
  RasterImage wide(65536, 1, 8);
  EXPECT_TRUE(EncodeToBytes(wide, kFormatTga).empty());
  EXPECT_STREQ(wide.GetLastError(), "Image too large for TGA");
  EXPECT_TRUE(EncodeToBytes(wide, kFormatPcx).empty());
  EXPECT_STREQ(wide.GetLastError(), "Image too large for PCX");
  // A PCX line of 8-bit samples is padded to an even byte count, which must
  // fit the header's 16-bit field; what is written must read back.
  const struct {
    int32_t width;
    int bpp;
    bool written;
  } pcx[] = {{65535, 8, false}, {65535, 24, false}, {65534, 8, true}, {65535, 1, true}};
  for (const auto& c : pcx) {
    RasterImage image(c.width, 1, c.bpp);
    const Bytes file = EncodeToBytes(image, kFormatPcx);
    EXPECT_EQ(!file.empty(), c.written) << c.width << " x " << c.bpp;
    if (!c.written) {
      EXPECT_STREQ(image.GetLastError(), "Image too large for PCX");
      continue;
    }
    RasterImage back;
    ASSERT_TRUE(DecodeBytes(back, file, kFormatPcx)) << c.width << " x " << c.bpp;
    EXPECT_TRUE(SamePixels(image, back)) << c.width << " x " << c.bpp;
  }
}

TEST(FormatDetection, PcxIsNotTakenForTga) {
  auto source = MakePatternImage(9, 5, 8, 2);
  const Bytes pcx = EncodeToBytes(*source, kFormatPcx);
  RasterImage image;
  ASSERT_TRUE(DecodeBytes(image, pcx, kFormatUnknown));
  EXPECT_EQ(image.GetType(), kFormatPcx);
  EXPECT_EQ(DecodeError(pcx, kFormatTga), "bad TGA header");
}
