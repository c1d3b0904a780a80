#include <gtest/gtest.h>

#include <cstring>

#include "ImageTestSupport.h"
#include "imaging/RasterImage.h"

namespace {

struct CreateCase {
  int32_t width, height;
  int bpp;
  bool ok;
  int bppAfter;
  uint32_t stride;
  const char* error;
};

TEST(RasterImageCreate, SizesDepthsAndLimits) {
  const CreateCase cases[] = {
      {3000, 3000, 24, true, 24, 9000, ""},
      {65536, 65536, 24, false, 0, 0, "RASTERIMAGE_MAX_MEMORY exceeded"},
      // Within the historical bit budget but above the 256 MB pixel cap.
      {20000, 20000, 8, false, 0, 0, "RASTERIMAGE_MAX_MEMORY exceeded"},
      {0, 10, 8, false, 0, 0, "RasterImage::Create : width and height must be greater than zero"},
      {10, -5, 8, false, 0, 0, "RasterImage::Create : width and height must be greater than zero"},
      {-10, 5, 8, false, 0, 0, "RasterImage::Create : width and height must be greater than zero"},
      {10, 1, 1, true, 1, 4, ""},
      {10, 1, 24, true, 24, 32, ""},
      {10, 1, 2, true, 4, 8, ""},
      {10, 1, 0, true, 1, 4, ""},
      {10, 1, 16, true, 24, 32, ""},
      {10, 1, 32, true, 24, 32, ""},
      {10, 1, 7, true, 8, 12, ""},
  };
  for (const CreateCase& c : cases) {
    SCOPED_TRACE(testing::Message() << c.width << "x" << c.height << "x" << c.bpp);
    RasterImage image;
    EXPECT_EQ(image.Create(c.width, c.height, c.bpp) != nullptr, c.ok);
    if (!c.ok) {
      EXPECT_STREQ(image.GetLastError(), c.error);
      continue;
    }
    EXPECT_EQ(image.GetBpp(), c.bppAfter);
    EXPECT_EQ(image.GetStride(), c.stride);
    EXPECT_EQ(image.GetNumColors(), c.bppAfter == 24 ? 0u : 1u << c.bppAfter);
    EXPECT_EQ(image.GetHeader().biSizeImage, c.stride * c.height);
  }
}

TEST(RasterImageCreate, StartsZeroFilled) {
  RasterImage image(37, 11, 8);
  const BYTE* block = image.GetBits() - image.GetPaletteSize();
  for (uint64_t i = 0; i < image.GetPaletteSize() + image.GetHeader().biSizeImage; ++i)
    ASSERT_EQ(block[i], 0) << i;
}

TEST(RasterImagePixels, IndicesAtEveryDepth) {
  for (int bpp : {1, 4, 8}) {
    RasterImage image(13, 3, bpp);
    const int mask = (1 << bpp) - 1;
    for (int32_t x = 0; x < 13; ++x) image.SetPixelIndex(x, 1, BYTE((x * 5 + 1) & mask));
    for (int32_t x = 0; x < 13; ++x) EXPECT_EQ(image.GetPixelIndex(x, 1), (x * 5 + 1) & mask) << bpp;
    EXPECT_EQ(image.GetPixelIndex(0, 0), 0);
  }
  RasterImage four(2, 1, 4);
  four.SetPixelIndex(0, 0, 0xA);
  four.SetPixelIndex(1, 0, 0x5);
  EXPECT_EQ(four.GetBits()[0], 0xA5);  // even x in the high nibble
}

TEST(RasterImagePixels, OutsideAnswersBackground) {
  RasterImage image(4, 4, 8);
  image.SetPaletteColor(3, 10, 20, 30);
  image.SetPaletteColor(7, 1, 2, 3);
  image.SetPixelIndex(0, 0, 7);
  RGBQUAD c = image.GetPixelColor(-1, 0);
  EXPECT_EQ(c.rgbRed, 1);  // no background index: pixel (0, 0)
  image.SetTransIndex(3);
  c = image.GetPixelColor(9, 9);
  EXPECT_EQ(c.rgbRed, 10);
  EXPECT_EQ(image.GetPixelIndex(-1, -1), 3);
  image.SetPixelIndex(99, 0, 1);  // ignored
}

TEST(RasterImagePixels, ClearByDepth) {
  RasterImage one(8, 1, 1), four(2, 1, 4);
  one.Clear(3);
  four.Clear(0x37);
  EXPECT_EQ(one.GetBits()[0], 255);
  EXPECT_EQ(four.GetBits()[0], 0x77);
}

TEST(RasterImagePalette, NearestIndexOnStandardPalette) {
  RasterImage image(1, 1, 8);
  image.SetStdPalette();
  EXPECT_EQ(image.GetNearestIndex(RGBQUAD{255, 255, 255, 0}), 255);
  EXPECT_EQ(image.GetNearestIndex(RGBQUAD{0, 0, 0, 0}), 0);
  EXPECT_EQ(image.GetNearestIndex(RGBQUAD{0, 0, 0xFE, 0}), 40);  // FE0000 at entry 40
  image.SetClrImportant(16);
  EXPECT_EQ(image.GetNearestIndex(RGBQUAD{255, 255, 255, 0}), 10);  // FFF0D4 within 0-15
  EXPECT_EQ(image.GetPaletteColor(255).rgbRed, 0xFF);
}

TEST(RasterImagePalette, GreyAndStandardPalettes) {
  RasterImage two(1, 1, 1), sixteen(1, 1, 4);
  two.SetGrayPalette();
  EXPECT_EQ(two.GetPaletteColor(1).rgbGreen, 255);
  sixteen.SetGrayPalette();
  EXPECT_EQ(sixteen.GetPaletteColor(15).rgbBlue, 255);
  EXPECT_EQ(sixteen.GetPaletteColor(1).rgbBlue, 17);
  sixteen.SetStdPalette();
  EXPECT_EQ(sixteen.GetPaletteColor(9).rgbRed, 0xFF);
  EXPECT_EQ(sixteen.GetPaletteColor(9).rgbGreen, 0);
  RasterImage grey(1, 1, 8);
  for (int i = 0; i < 256; ++i) grey.SetPaletteColor(i, BYTE(i), BYTE(i), BYTE(i));
  EXPECT_TRUE(grey.IsGrayScale());
}

TEST(RasterImageBitfields, EmptyAndWideMasksAreDefined) {
  RasterImage image(2, 1, 24);
  const BYTE source[4] = {0xFF, 0xFF, 0x1F, 0x00};
  image.ConvertBitfieldsTo24(source, 0, 0xFFFFFFFF, 0x001F, 16);
  RGBQUAD c = image.GetPixelColor(0, 0);
  EXPECT_EQ(c.rgbRed, 0);
  EXPECT_EQ(c.rgbGreen, 0xFF);
  EXPECT_EQ(c.rgbBlue, 0xF8);
  c = image.GetPixelColor(1, 0);
  EXPECT_EQ(c.rgbBlue, 0xF8);
}

TEST(RasterImageCopy, CopiesSettingsNotBuffers) {
  auto source = MakePatternImage(9, 5, 8, 1);
  source->SetTransIndex(4);
  source->SetXDpi(300);
  RasterImage copy(*source);
  EXPECT_NE(copy.GetBits(), source->GetBits());
  EXPECT_TRUE(SamePixels(copy, *source));
  EXPECT_EQ(copy.GetTransIndex(), 4);
  EXPECT_EQ(copy.GetXDpi(), 300);
  copy.SetPixelIndex(0, 0, 200);
  EXPECT_NE(source->GetPixelIndex(0, 0), 200);
  RasterImage paletteOnly(*source, false);
  EXPECT_EQ(paletteOnly.GetPaletteColor(3).rgbRed, source->GetPaletteColor(3).rgbRed);
  EXPECT_EQ(paletteOnly.GetPixelIndex(1, 1), 0);
  RasterImage empty;
  RasterImage fromEmpty(empty);
  EXPECT_FALSE(fromEmpty.IsValid());
  // A true-colour image has no palette: the copy without pixels must not
  // hand memcpy a null pointer (UBSan stops the run when it does).
  RasterImage trueColour(4, 3, 24);
  RasterImage frame(trueColour, false);
  EXPECT_EQ(frame.GetBpp(), 24);
  EXPECT_EQ(frame.GetWidth(), 4);
}

TEST(RasterImageGhost, BorrowsAndNeverFrees) {
  auto owner = MakePatternImage(4, 4, 24, 2);
  {
    RasterImage ghost;
    ghost.MakeGhost(*owner);
    EXPECT_EQ(ghost.GetBits(), owner->GetBits());
    EXPECT_FALSE(ghost.Destroy());
    EXPECT_EQ(ghost.Create(2, 2, 8), nullptr);
  }
  EXPECT_TRUE(owner->IsValid());
  RasterImage taker;
  EXPECT_TRUE(taker.Transfer(*owner));
  EXPECT_FALSE(owner->IsValid());
  EXPECT_EQ(taker.GetWidth(), 4);
}

TEST(RasterImageTransform, FlipMirrorNegative) {
  auto image = MakePatternImage(7, 5, 4, 3);
  RasterImage original(*image);
  ASSERT_TRUE(image->Flip());
  ASSERT_TRUE(image->Mirror());
  for (int32_t y = 0; y < 5; ++y)
    for (int32_t x = 0; x < 7; ++x) EXPECT_EQ(image->GetPixelIndex(x, y), original.GetPixelIndex(6 - x, 4 - y));
  auto truecolour = MakePatternImage(3, 2, 24, 4);
  RasterImage before(*truecolour);
  truecolour->Negative();
  EXPECT_EQ(truecolour->GetPixelColor(1, 1).rgbRed, 255 - before.GetPixelColor(1, 1).rgbRed);
  RasterImage empty;
  EXPECT_FALSE(empty.Flip());
}

TEST(RasterImageReduce, DepthRules) {
  auto eight = MakePatternImage(5, 5, 8, 5);
  RasterImage same(*eight);
  EXPECT_TRUE(eight->ReduceBitDepth(8));
  EXPECT_TRUE(SamePixels(*eight, same));
  EXPECT_FALSE(eight->ReduceBitDepth(24));
  RasterImage empty;
  EXPECT_FALSE(empty.ReduceBitDepth(8));
}

// The export's reduction: every pixel takes the first nearest standard entry.
TEST(RasterImageReduce, TrueColourToStandardPalette) {
  auto picture = MakePatternImage(61, 23, 24, 6);
  RasterImage reference(1, 1, 8);
  reference.SetStdPalette();
  RasterImage original(*picture);
  ASSERT_TRUE(picture->ReduceBitDepth(8));
  ASSERT_EQ(picture->GetBpp(), 8);
  for (int32_t y = 0; y < 23; ++y) {
    for (int32_t x = 0; x < 61; ++x) {
      ASSERT_EQ(picture->GetPixelIndex(x, y), reference.GetNearestIndex(original.GetPixelColor(x, y)))
          << x << "," << y;
    }
  }
}

TEST(RasterImageReduce, DiffusionAndOneBit) {
  auto picture = MakePatternImage(16, 16, 24, 7);
  ASSERT_TRUE(picture->ReduceBitDepth(1, true));
  EXPECT_EQ(picture->GetBpp(), 1);
  EXPECT_EQ(picture->GetPaletteColor(1).rgbRed, 255);
  auto four = MakePatternImage(16, 16, 24, 8);
  ASSERT_TRUE(four->ReduceBitDepth(4, true));
  EXPECT_EQ(four->GetBpp(), 4);
}

TEST(RasterImageAlpha, PlaneOperations) {
  RasterImage image(3, 2, 24);
  EXPECT_EQ(image.AlphaGet(0, 0), 0);
  ASSERT_TRUE(image.AlphaCreate());
  EXPECT_EQ(image.AlphaGet(2, 1), 255);
  image.AlphaSet(0, 0, 7);
  image.Mirror();
  EXPECT_EQ(image.AlphaGet(2, 0), 7);
  image.Flip();
  EXPECT_EQ(image.AlphaGet(2, 1), 7);
  RGBQUAD c = image.GetPixelColor(2, 1, true);
  EXPECT_EQ(c.rgbReserved, 7);
}

TEST(RasterImageDpi, PelsPerMetre) {
  RasterImage image;
  image.SetXDpi(0);
  EXPECT_EQ(image.GetXDpi(), 96);
  EXPECT_EQ(image.GetHeader().biXPelsPerMeter, 3780);
}

}  // namespace
