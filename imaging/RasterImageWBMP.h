// RasterImageWBMP: wireless bitmaps of type 0 (1 bit per pixel, white = 1).
#pragma once

#include "imaging/RasterImage.h"

class RasterImageWBMP : public RasterImage {
 public:
  RasterImageWBMP() : RasterImage(kFormatWbmp) {}
  bool Encode(ImageFile* file);
  bool Decode(ImageFile* file);

  // Type 0, a plain fixed header, non-zero sizes and data for every row:
  // detection tries the decoder only then. Leaves the file where it was.
  static bool IsPlausible(ImageFile* file);

  // Largest width and height the encoder writes.
  static constexpr int32_t kMaxSide = 255;
};
