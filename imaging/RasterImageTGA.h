// RasterImageTGA: Truevision TGA files (colour-mapped, true-colour and grey,
// plain and run-length; 8, 15, 16, 24 and 32 bits; any row and column order).
#pragma once

#include "imaging/RasterImage.h"

class RasterImageTGA : public RasterImage {
 public:
  RasterImageTGA() : RasterImage(kFormatTga) {}
  bool Encode(ImageFile* file);
  bool Decode(ImageFile* file);

  // TGA has no signature: true when the 18 header bytes are consistent in
  // image type, colour map, depth and descriptor.
  static bool IsPlausibleHeader(const BYTE header[18]);

  struct Header;

 private:
  class PixelReader;

  bool ReadColourMap(ImageFile* file, const Header& head);
  bool ReadRows(ImageFile* file, const Header& head);
  void StorePixel(int32_t x, int32_t y, const BYTE* pixel, int depth);
};
