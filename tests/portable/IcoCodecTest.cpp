#include <gtest/gtest.h>

#include "ImageTestSupport.h"
#include "imaging/RasterImageICO.h"

namespace {

TEST(IcoCodec, RoundTripPaletteAndTrueColour) {
  for (int bpp : {1, 4, 8, 24}) {
    SCOPED_TRACE(bpp);
    auto image = MakePatternImage(32, 16, bpp, 21);
    const Bytes file = EncodeToBytes(*image, kFormatIco);
    ASSERT_FALSE(file.empty()) << image->GetLastError();
    RasterImage back;
    ASSERT_TRUE(DecodeBytes(back, file, kFormatIco));
    EXPECT_EQ(back.GetNumFrames(), 1);
    EXPECT_TRUE(SamePixels(back, *image));
  }
}

TEST(IcoCodec, AlphaBecomesThirtyTwoBits) {
  auto image = MakePatternImage(20, 10, 24, 22);
  image->AlphaCreate();
  image->AlphaSet(3, 4, 0);
  image->AlphaSet(5, 5, 128);
  const Bytes file = EncodeToBytes(*image, kFormatIco);
  ASSERT_FALSE(file.empty());
  EXPECT_EQ(file[12], 32);
  RasterImage back;
  ASSERT_TRUE(DecodeBytes(back, file, kFormatIco));
  EXPECT_TRUE(SamePixels(back, *image));
  ASSERT_TRUE(back.AlphaIsValid());
  EXPECT_EQ(back.AlphaGet(3, 4), 0);
  EXPECT_EQ(back.AlphaGet(5, 5), 128);
  EXPECT_EQ(back.AlphaGet(0, 0), 255);
}

// Masked pixels of a 16-colour icon take the first unused index.
TEST(IcoCodec, MaskGivesUnusedIndex) {
  RasterImage image(8, 8, 4);
  for (int i = 0; i < 16; ++i) image.SetPaletteColor(i, BYTE(i * 16), 0, 0);
  for (int32_t y = 0; y < 8; ++y)
    for (int32_t x = 0; x < 8; ++x) image.SetPixelIndex(x, y, BYTE((x + y) % 3 == 0 ? 0 : 2));
  image.SetTransIndex(2);
  const Bytes file = EncodeToBytes(image, kFormatIco);
  RasterImage back;
  ASSERT_TRUE(DecodeBytes(back, file, kFormatIco));
  EXPECT_EQ(back.GetTransIndex(), 1);
  EXPECT_EQ(back.GetPixelIndex(1, 0), 1);
  EXPECT_EQ(back.GetPixelIndex(0, 0), 0);
  EXPECT_FALSE(back.AlphaIsValid());
}

TEST(IcoCodec, SizeLimits) {
  RasterImage wide(300, 20, 8);
  EXPECT_TRUE(EncodeToBytes(wide, kFormatIco).empty());
  EXPECT_STREQ(wide.GetLastError(), "Can't save this image as icon");
  // A directory width byte of 0 (256 pixels) fails in Create.
  RasterImage small(16, 16, 8);
  Bytes file = EncodeToBytes(small, kFormatIco);
  file[6] = 0;
  RasterImage back;
  EXPECT_FALSE(DecodeBytes(back, file, kFormatIco));
}

// The entry drives the reads, so it must agree with the bitmap header.
TEST(IcoCodec, EntryAndHeaderMustAgree) {
  RasterImage image(16, 16, 24);
  const Bytes good = EncodeToBytes(image, kFormatIco);
  const size_t fields[] = {6, 7, 22 + 4, 22 + 8, 22 + 14};
  for (size_t at : fields) {
    Bytes file = good;
    file[at] = BYTE(file[at] + 1);
    RasterImage back;
    EXPECT_FALSE(DecodeBytes(back, file, kFormatIco)) << at;
  }
  Bytes wrongFrame = good;
  RasterImage back;
  back.SetFrame(1);
  EXPECT_FALSE(DecodeBytes(back, wrongFrame, kFormatIco));
  EXPECT_EQ(back.GetNumFrames(), 1);
}

TEST(IcoCodec, EveryTruncationDecodesOrFails) {
  auto image = MakePatternImage(16, 16, 24, 23);
  image->AlphaCreate();
  const Bytes file = EncodeToBytes(*image, kFormatIco);
  DecodeEveryTruncation(file, kFormatIco);
}

}  // namespace
