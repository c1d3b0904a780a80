// RasterImageBMP: Windows bitmap files (core, info, OS/2 2.x and V4/V5
// headers; 1 to 32 bits; RLE4 and RLE8; bit fields; top-down rows).
#pragma once

#include "imaging/RasterImage.h"

class RasterImageBMP : public RasterImage {
 public:
  RasterImageBMP() : RasterImage(kFormatBmp) {}
  bool Encode(ImageFile* file);
  bool Decode(ImageFile* file);
  // Reads any accepted info header and leaves the file at the colour
  // table; `masks` receives the red, green and blue bit-field masks.
  static bool ReadInfoHeader(ImageFile* file, BITMAPINFOHEADER& head, uint32_t masks[3]);

 private:
  bool DecodePixels(ImageFile* file, const BITMAPINFOHEADER& head, const uint32_t masks[3]);
  bool ReadBitfields(ImageFile* file, const BITMAPINFOHEADER& head, const uint32_t masks[3]);
  void DecodeRle(ImageFile* file, bool fourBit);
  bool ReadPalette(ImageFile* file, const BITMAPINFOHEADER& head, bool core);
};
