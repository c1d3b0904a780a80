#include <gtest/gtest.h>

#include <cstring>
#include <string>

#include "ImageTestSupport.h"
#include "imaging/ImageFile.h"
#include "imaging/RasterImageGIF.h"

namespace {

Bytes EncodeGif(RasterImage& image, uint32_t compressor) {
  image.SetCodecOption(compressor, kFormatGif);
  return EncodeToBytes(image, kFormatGif);
}

// Offset of the first image descriptor's data (after the code size byte)
// in a file we wrote: header, table, 8-byte control extension, descriptor.
size_t DataStart(uint32_t colours) { return 13 + colours * 3 + 8 + 10 + 1; }

TEST(GifCodec, ExportHeaderBytes) {
  auto picture = MakePatternImage(40, 20, 24, 1);
  ASSERT_TRUE(picture->ReduceBitDepth(8));
  const Bytes file = EncodeGif(*picture, kGifLzw);
  ASSERT_GT(file.size(), 800u);
  const Bytes head = {'G', 'I', 'F', '8', '9', 'a', 0x28, 0x00, 0x14, 0x00, 0xE7, 0x00, 0x00};
  EXPECT_EQ(Bytes(file.begin(), file.begin() + 13), head);
  RasterImage standard(1, 1, 8);
  standard.SetStdPalette();
  for (int i = 0; i < 256; ++i) {
    const RGBQUAD c = standard.GetPaletteColor(i);
    ASSERT_EQ(file[13 + i * 3], c.rgbRed);
    ASSERT_EQ(file[14 + i * 3], c.rgbGreen);
    ASSERT_EQ(file[15 + i * 3], c.rgbBlue);
  }
  const Bytes control = {0x21, 0xF9, 0x04, 0x00, 0x00, 0x00, 0xFF, 0x00};
  EXPECT_EQ(Bytes(file.begin() + 781, file.begin() + 789), control);
  const Bytes descriptor = {0x2C, 0, 0, 0, 0, 0x28, 0, 0x14, 0, 0x00, 0x08};
  EXPECT_EQ(Bytes(file.begin() + 789, file.begin() + 800), descriptor);
  EXPECT_EQ(file[file.size() - 2], 0x00);
  EXPECT_EQ(file.back(), 0x3B);
}

struct GifCase {
  int bpp;
  uint32_t compressor;
  int32_t width, height;
};

// Our decoder reads back every compressor at every depth, including images
// long enough to fill the code table several times.
TEST(GifCodec, RoundTripAllCompressors) {
  for (uint32_t compressor : {kGifLzw, kGifUncompressed, kGifRunLength}) {
    for (int bpp : {1, 4, 8}) {
      for (auto size : {std::pair{1, 1}, std::pair{3, 2}, std::pair{97, 61}, std::pair{300, 200}}) {
        SCOPED_TRACE(testing::Message() << "compressor " << compressor << " bpp " << bpp << " " << size.first);
        auto image = MakePatternImage(size.first, size.second, bpp, 7 + bpp);
        const Bytes file = EncodeGif(*image, compressor);
        ASSERT_FALSE(file.empty());
        RasterImage back;
        ASSERT_TRUE(DecodeBytes(back, file, kFormatGif)) << back.GetLastError();
        EXPECT_EQ(back.GetBpp(), bpp);
        EXPECT_TRUE(SamePixels(back, *image));
      }
    }
  }
}

// Long runs exercise the run-length coder's table repeats and clears.
TEST(GifCodec, RunLengthLongRuns) {
  RasterImage image(2000, 40, 8);
  for (int32_t y = 0; y < 40; ++y)
    for (int32_t x = 0; x < 2000; ++x) image.SetPixelIndex(x, y, BYTE(y < 20 ? 3 : (x / 700) * 50));
  for (int i = 0; i < 256; ++i) image.SetPaletteColor(i, BYTE(i), BYTE(i / 2), BYTE(255 - i));
  const Bytes file = EncodeGif(image, kGifRunLength);
  RasterImage back;
  ASSERT_TRUE(DecodeBytes(back, file, kFormatGif));
  EXPECT_TRUE(SamePixels(back, image));
  EXPECT_LT(file.size(), 13 + 768 + 4000u);
}

TEST(GifCodec, SubBlocksAndFirstCode) {
  auto image = MakePatternImage(120, 90, 8, 3);
  for (uint32_t compressor : {kGifLzw, kGifUncompressed}) {
    const Bytes file = EncodeGif(*image, compressor);
    size_t at = DataStart(256);
    // The first code is the clear code 256 in 9 bits.
    EXPECT_EQ(file[at + 1], 0x00);
    EXPECT_EQ(file[at + 2] & 1, 1);
    while (file[at] != 0) {
      EXPECT_LE(file[at], 254);
      at += file[at] + 1;
      ASSERT_LT(at, file.size());
    }
    EXPECT_EQ(at, file.size() - 2);
  }
}

TEST(GifCodec, TransparencyDelayAndComment) {
  auto image = MakePatternImage(5, 5, 8, 2);
  image->SetTransIndex(5);
  image->SetFrameDelay(0x1234);
  RasterImageGIF gif;
  gif.Transfer(*image);
  gif.SetComment(std::string(300, 'c').c_str());
  ImageMemFile file;
  file.Open();
  ASSERT_TRUE(gif.Encode(&file));
  const BYTE* data = file.GetBuffer(false);
  const size_t control = 13 + 768;
  EXPECT_EQ(data[control + 3], 0x01);
  EXPECT_EQ(data[control + 4], 0x34);
  EXPECT_EQ(data[control + 5], 0x12);
  EXPECT_EQ(data[control + 6], 0x05);
  EXPECT_EQ(data[control + 8], 0x21);
  EXPECT_EQ(data[control + 9], 0xFE);
  EXPECT_EQ(data[control + 10], 255);
  file.Seek(0, SEEK_SET);
  RasterImageGIF back;
  ASSERT_TRUE(back.Decode(&file));
  EXPECT_EQ(std::string(back.GetComment()), std::string(255, 'c'));
  EXPECT_EQ(back.GetTransIndex(), 5);
  EXPECT_EQ(back.GetFrameDelay(), 0x1234);
}

TEST(GifCodec, TrueColourTiles) {
  auto image = MakePatternImage(40, 33, 24, 9);
  const Bytes file = EncodeGif(*image, kGifLzw);
  EXPECT_EQ(file[10], 0x11);
  RasterImage back;
  ASSERT_TRUE(DecodeBytes(back, file, kFormatGif)) << back.GetLastError();
  EXPECT_EQ(back.GetNumFrames(), 3 * 3);
  EXPECT_EQ(back.GetBpp(), 24);
  EXPECT_TRUE(SamePixels(back, *image));
  // A transparent colour goes to index 0 of each tile.
  image->SetTransIndex(0);
  const RGBQUAD corner = image->GetPixelColor(0, 0);
  image->SetTransColor(corner);
  const Bytes transparent = EncodeGif(*image, kGifRunLength);
  RasterImage again;
  ASSERT_TRUE(DecodeBytes(again, transparent, kFormatGif));
  EXPECT_EQ(again.GetTransColor().rgbRed, corner.rgbRed);
}

TEST(GifCodec, InterlacedSingleRow) {
  auto image = MakePatternImage(9, 1, 8, 5);
  Bytes file = EncodeGif(*image, kGifLzw);
  file[13 + 768 + 8 + 9] |= 0x40;
  RasterImage back;
  ASSERT_TRUE(DecodeBytes(back, file, kFormatGif));
  EXPECT_TRUE(SamePixels(back, *image));
}

TEST(GifCodec, ImageOutsideScreenIsPassedOver) {
  auto image = MakePatternImage(10, 10, 8, 5);
  Bytes file = EncodeGif(*image, kGifLzw);
  const size_t descriptor = 13 + 768 + 8;
  // left 65530 + width 10 would wrap in 16 bits; in int it lies outside.
  file[descriptor + 1] = 0xFA;
  file[descriptor + 2] = 0xFF;
  RasterImage back;
  EXPECT_FALSE(DecodeBytes(back, file, kFormatGif));
  EXPECT_EQ(back.GetNumFrames(), 0);
  file[descriptor + 1] = 5;  // partly outside
  file[descriptor + 2] = 0;
  EXPECT_FALSE(DecodeBytes(back, file, kFormatGif));
}

// A hand-made two-frame file: the second frame is drawn over the first,
// transparent pixels let the first show through.
TEST(GifCodec, AnimationFramesAndWantedFrame) {
  auto first = MakePatternImage(6, 4, 8, 1);
  RasterImage second(3, 2, 8);
  second.SetPalette(first->GetPalette(), 256);
  second.Clear(9);
  second.SetPixelIndex(0, 0, 200);
  second.SetTransIndex(200);
  second.SetOffset(2, 1);
  const Bytes one = EncodeGif(*first, kGifLzw);
  Bytes two = EncodeGif(second, kGifLzw);
  // Frame two without its own header and table: control extension onward.
  Bytes file(one.begin(), one.end() - 1);
  file.insert(file.end(), two.begin() + 13 + 768, two.end());
  RasterImage frame0;
  ASSERT_TRUE(DecodeBytes(frame0, file, kFormatGif));
  EXPECT_EQ(frame0.GetNumFrames(), 2);
  EXPECT_TRUE(SamePixels(frame0, *first));
  RasterImage frame1;
  frame1.SetFrame(1);
  ASSERT_TRUE(DecodeBytes(frame1, file, kFormatGif));
  // Screen rows from the top: frame two covers rows 1-2, columns 2-4.
  EXPECT_EQ(frame1.GetPixelIndex(3, 4 - 1 - 1), 9);
  EXPECT_EQ(frame1.GetPixelIndex(2, 4 - 1 - 2), first->GetPixelIndex(2, 4 - 1 - 2));  // transparent
  EXPECT_EQ(frame1.GetPixelIndex(0, 0), first->GetPixelIndex(0, 0));
  RasterImage beyond;
  beyond.SetFrame(2);
  EXPECT_FALSE(DecodeBytes(beyond, file, kFormatGif));
}

TEST(GifCodec, EachFrameGetsOnlyItsOwnControlAndComment) {
  // Frame one plain; frame two transparent, with a delay and a comment.
  auto first = MakePatternImage(6, 4, 8, 1);
  first->SetFrameDelay(3);
  RasterImageGIF second;
  second.Create(6, 4, 8);
  second.SetPalette(first->GetPalette(), 256);
  second.SetTransIndex(7);
  second.SetFrameDelay(250);
  second.SetComment("second frame");
  ImageMemFile secondFile;
  secondFile.Open();
  ASSERT_TRUE(second.Encode(&secondFile));
  const BYTE* two = secondFile.GetBuffer(false);
  const Bytes one = EncodeGif(*first, kGifLzw);
  Bytes file(one.begin(), one.end() - 1);
  file.insert(file.end(), two + 13 + 768, two + secondFile.Size());
  RasterImage frame0;
  ASSERT_TRUE(DecodeBytes(frame0, file, kFormatGif));
  EXPECT_EQ(frame0.GetNumFrames(), 2);
  EXPECT_FALSE(frame0.IsTransparent());
  EXPECT_EQ(frame0.GetFrameDelay(), 3);
  RasterImageGIF codec;
  ImageMemFile memory(file.data(), file.size());
  ASSERT_TRUE(codec.Decode(&memory));
  EXPECT_STREQ(codec.GetComment(), "");
  RasterImage frame1;
  frame1.SetFrame(1);
  ASSERT_TRUE(DecodeBytes(frame1, file, kFormatGif));
  EXPECT_EQ(frame1.GetTransIndex(), 7);
  EXPECT_EQ(frame1.GetFrameDelay(), 250);
}

TEST(GifCodec, SidesBeyondSixteenBitsAreRefused) {
  RasterImage wide(65536, 1, 8);
  EXPECT_TRUE(EncodeToBytes(wide, kFormatGif).empty());
  EXPECT_STREQ(wide.GetLastError(), "Can't save this image as GIF");
  RasterImage tall(1, 65536, 1);
  EXPECT_TRUE(EncodeToBytes(tall, kFormatGif).empty());
  EXPECT_STREQ(tall.GetLastError(), "Can't save this image as GIF");
}

// Hostile code streams: codes beyond the table, endless clears, a table
// that fills up, missing terminators. Each decodes or fails without fault.
TEST(GifCodec, HostileDataStreams) {
  const Bytes head = {'G', 'I', 'F', '8', '9', 'a', 4, 0, 4, 0, 0x80, 0, 0, 0, 0, 0, 255, 255, 255,
                      ',', 0, 0, 0, 0, 4, 0, 4, 0, 0};
  const Bytes streams[] = {
      {2, 3, 0xFF, 0xFF, 0xFF, 0},            // codes far beyond the table
      {2, 2, 0x44, 0x44, 0},                  // clear after clear
      {2, 255},                               // sub-block longer than the file
      {9, 2, 0x00, 0x00, 0},                  // large code size
      {1, 2, 0x00, 0x00, 0},                  // code size too small
      {2},                                    // no data at all
  };
  for (const Bytes& stream : streams) {
    Bytes file = head;
    for (BYTE b : stream) file.push_back(b);
    RasterImage image;
    DecodeBytes(image, file, kFormatGif);
  }
  // 12-bit codes without a clear: the table stops at 4095 entries.
  Bytes file = head;
  file.insert(file.end(), {2});
  for (int block = 0; block < 60; ++block) {
    file.push_back(255);
    for (int i = 0; i < 255; ++i) file.push_back(BYTE(i * 7 + block));
  }
  file.insert(file.end(), {0, ';'});
  RasterImage image;
  EXPECT_TRUE(DecodeBytes(image, file, kFormatGif));
}

TEST(GifCodec, EveryTruncationDecodesOrFails) {
  auto image = MakePatternImage(23, 11, 4, 6);
  for (uint32_t compressor : {kGifLzw, kGifRunLength}) {
    DecodeEveryTruncation(EncodeGif(*image, compressor), kFormatGif);
  }
}

TEST(GifCodec, SizeOnlyAndNotAGif) {
  auto image = MakePatternImage(12, 34, 8, 6);
  const Bytes file = EncodeGif(*image, kGifLzw);
  RasterImage size;
  size.SetEscape(-1);
  EXPECT_TRUE(DecodeBytes(size, file, kFormatGif));
  EXPECT_EQ(size.GetHeight(), 34);
  RasterImage none;
  EXPECT_FALSE(DecodeBytes(none, Bytes{'G', 'I', 'F', '7', '9', 'a', 0, 0, 0, 0, 0, 0, 0}, kFormatGif));
}

// A stream whose writes fail makes the encode fail with its text.
TEST(GifCodec, WriteErrorIsReported) {
  auto image = MakePatternImage(50, 50, 8, 6);
  FILE* stream = std::fopen(
#ifdef _WIN32
      "NUL",
#else
      "/dev/full",
#endif
      "wb");
  ASSERT_NE(stream, nullptr);
#ifndef _WIN32
  EXPECT_FALSE(image->Encode(stream, kFormatGif));
  EXPECT_STREQ(image->GetLastError(), "Write Error in GIF file");
#endif
  std::fclose(stream);
}

}  // namespace
