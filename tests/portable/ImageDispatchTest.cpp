#include <gtest/gtest.h>

#include <filesystem>

#include "ImageTestSupport.h"
#include "imaging/ImageFile.h"

namespace {

TEST(ImageDispatch, UnknownAndMissingFormats) {
  auto image = MakePatternImage(4, 4, 8, 1);
  ImageMemFile file;
  file.Open();
  EXPECT_FALSE(image->Encode(&file, 9));
  EXPECT_STREQ(image->GetLastError(), "Encode: Unknown format");
  // Metafiles are read, never written.
  EXPECT_FALSE(image->Encode(&file, kFormatWmf));
  EXPECT_FALSE(image->Decode(&file, kFormatWmf));
  EXPECT_FALSE(image->Decode(&file, 12));
  EXPECT_STREQ(image->GetLastError(), "Decode: Unknown or wrong format");
  RasterImage empty;
  EXPECT_FALSE(empty.Encode(&file, kFormatBmp));
  EXPECT_STREQ(empty.GetLastError(), "null image!!!");
  EXPECT_FALSE(image->Encode(static_cast<ImageFile*>(nullptr), kFormatBmp));
  EXPECT_STREQ(image->GetLastError(), "null file handler");
}

TEST(ImageDispatch, DetectionFindsEachFormat) {
  for (uint32_t format : {kFormatBmp, kFormatGif, kFormatIco, kFormatTga, kFormatPcx, kFormatWbmp}) {
    auto image = MakePatternImage(12, 9, format == kFormatWbmp ? 1 : 8, format);
    if (format == kFormatWbmp) image->SetGrayPalette();
    const Bytes file = EncodeToBytes(*image, format);
    RasterImage back;
    ASSERT_TRUE(DecodeBytes(back, file, kFormatUnknown)) << format;
    EXPECT_EQ(back.GetType(), format);
    EXPECT_TRUE(SamePixels(back, *image));
  }
  RasterImage none;
  EXPECT_FALSE(DecodeBytes(none, Bytes{1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 11, 12, 13, 14, 15}, kFormatUnknown));
  EXPECT_STREQ(none.GetLastError(), "Decode: Unknown or wrong format");
}

TEST(ImageDispatch, LoadFileFallsBackToDetection) {
  TempFolder folder;
  auto image = MakePatternImage(10, 6, 8, 2);
  const std::string gif = folder.File("picture.gif");
  ASSERT_TRUE(image->SaveFile(gif.c_str(), kFormatGif));
  RasterImage loaded(gif.c_str(), kFormatBmp);
  ASSERT_TRUE(loaded.IsValid());
  EXPECT_EQ(loaded.GetType(), kFormatGif);
  EXPECT_TRUE(SamePixels(loaded, *image));
  const std::string junk = folder.File("junk.bin");
  WriteFileBytes(junk, Bytes(100, 0x55));
  RasterImage failed;
  EXPECT_FALSE(failed.LoadFile(junk.c_str(), kFormatBmp));
  EXPECT_STREQ(failed.GetLastError(), "Error reading BMP info");
  EXPECT_FALSE(failed.LoadFile(folder.File("missing.bmp").c_str(), kFormatBmp));
}

// Nothing to write: the target is neither created nor truncated.
TEST(ImageDispatch, SaveFileOpensTargetOnlyWithSomethingToWrite) {
  TempFolder folder;
  const std::string target = folder.File("target.gif");
  RasterImage empty;
  EXPECT_FALSE(empty.SaveFile(target.c_str(), kFormatGif));
  EXPECT_FALSE(std::filesystem::exists(target));
  WriteFileBytes(target, Bytes{1, 2, 3});
  RasterImage wide(400, 4, 8);
  EXPECT_FALSE(wide.SaveFile(target.c_str(), kFormatIco));
  EXPECT_EQ(ReadFileBytes(target), (Bytes{1, 2, 3}));
  EXPECT_FALSE(wide.SaveFile(folder.File("no/such/folder.bmp").c_str(), kFormatBmp));
}

// The export's road: 24-bit BMP, reduce to the standard palette, GIF.
TEST(ImageDispatch, ExportRoad) {
  TempFolder folder;
  auto picture = MakePatternImage(90, 30, 24, 3);
  const std::string bmp = folder.File("qvm4temp.tmp");
  const std::string gif = folder.File("out.gif");
  ASSERT_TRUE(picture->SaveFile(bmp.c_str(), kFormatBmp));
  RasterImage image(bmp.c_str(), kFormatBmp);
  ASSERT_TRUE(image.ReduceBitDepth(8));
  ASSERT_TRUE(image.SaveFile(gif.c_str(), kFormatGif));
  RasterImage back(gif.c_str(), kFormatGif);
  EXPECT_TRUE(SamePixels(back, image));
}

}  // namespace
