// Helpers for the image library's tests: pattern images, encoding to and
// decoding from memory, pixel comparison and temporary files.
#pragma once

#include "tests/portable/TempFolder.h"

#include <cstdint>
#include <filesystem>
#include <memory>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "imaging/RasterImage.h"

using Bytes = std::vector<BYTE>;

// An image whose pixels follow a deterministic pattern; palette images get
// distinct palette colours.
std::unique_ptr<RasterImage> MakePatternImage(int32_t width, int32_t height, int bpp, uint32_t seed);

// Encodes through an ImageMemFile; an empty result means the encoder failed.
Bytes EncodeToBytes(RasterImage& image, uint32_t format);

// Decodes bytes into `image`; the answer of Decode.
bool DecodeBytes(RasterImage& image, const Bytes& data, uint32_t format);

// Decodes every prefix of `file`; each must decode or fail, without fault.
void DecodeEveryTruncation(const Bytes& file, uint32_t format);

// Same size and the same colour at every pixel (palette or not).
::testing::AssertionResult SamePixels(const RasterImage& a, const RasterImage& b);

// The red, green and blue of a colour.
#define EXPECT_RGB(c, r, g, b)   \
  do {                           \
    EXPECT_EQ((c).rgbRed, r);    \
    EXPECT_EQ((c).rgbGreen, g);  \
    EXPECT_EQ((c).rgbBlue, b);   \
  } while (0)

// A folder removed with its contents when the object goes.
Bytes ReadFileBytes(const std::string& path);
void WriteFileBytes(const std::string& path, const Bytes& data);
