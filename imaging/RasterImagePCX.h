// RasterImagePCX: ZSoft PCX files (version 5 run-length; 1 to 4 planes of
// 1 bit, one plane of 2, 4 or 8 bits, 3 or 4 planes of 8 bits).
#pragma once

#include <vector>

#include "imaging/RasterImage.h"

class ImageMemFile;

class RasterImagePCX : public RasterImage {
 public:
  RasterImagePCX() : RasterImage(kFormatPcx) {}
  bool Encode(ImageFile* file);
  bool Decode(ImageFile* file);

  struct Header;

 private:
  class RunReader;

  bool CheckLayout(ImageFile* file, const Header& head);
  void SetHeaderPalette(const Header& head);
  bool ReadRows(ImageFile* file, const Header& head);
  void StoreRow(const std::vector<BYTE>& line, const Header& head, int32_t y);
  bool ReadTrailingPalette(ImageFile* file);
  void WriteHeader(BYTE header[128], int bitsPerPixel, int planes, int bytesPerLine) const;
  void EncodeRows(ImageMemFile& out, int planes, int bytesPerLine) const;
};
