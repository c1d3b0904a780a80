// RasterImageWMF: placeable Windows metafiles and enhanced metafiles,
// played through GDI into a raster image (Windows only). Never written.
#pragma once

#include "imaging/RasterImage.h"

class RasterImageWMF : public RasterImage {
 public:
  RasterImageWMF() : RasterImage(kFormatWmf) {}
  bool Encode(ImageFile* file);
  // A width or height of 0 takes the metafile's own.
  bool Decode(ImageFile* file, int32_t width = 0, int32_t height = 0);

  // Key, checksum over the ten words before it, and units per inch.
  static bool CheckPlaceableHeader(const BYTE header[22]);

  // Largest side of the picture made; larger metafiles are scaled down.
  static constexpr int32_t kMaxSide = 4000;

 private:
  HENHMETAFILE ReadPlaceable(ImageFile* file, int32_t& width, int32_t& height);
  HENHMETAFILE ReadEnhanced(ImageFile* file, int32_t& width, int32_t& height);
  bool Render(HENHMETAFILE metafile, int32_t width, int32_t height);
};

// Scales a size so that neither side exceeds `limit`, keeping its
// proportions in floating point; no side becomes 0.
void FitMetafileSize(int32_t& width, int32_t& height, int32_t limit);
