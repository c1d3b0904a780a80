// RasterImageICO: reads one image of a Windows icon or cursor file and
// writes single-image icon files.
#pragma once

#include <vector>

#include "imaging/RasterImage.h"

class RasterImageICO : public RasterImage {
 public:
  RasterImageICO() : RasterImage(kFormatIco) {}
  bool Encode(ImageFile* file);
  bool Decode(ImageFile* file);

 private:
  bool ReadImage(ImageFile* file, uint32_t bitCount, uint32_t paletteEntries);
  void ApplyMask(const std::vector<BYTE>& mask, uint32_t maskStride);
  void MaskPaletteImage(const std::vector<BYTE>& mask, uint32_t maskStride, bool anyMasked);
  bool MaskedPixel(int32_t x, int32_t y, bool paletteAlpha) const;
};
