// RasterImageTGA: reading and writing TGA files.
// Choices of ours: the header must be consistent (TGA has no signature and
// detection must not take other files for it); colour-map entries of 15, 16,
// 24 and 32 bits are read, placed from the map's first entry on; a colour map
// on a true-colour or grey image is skipped; run-length packets run on across
// row ends and stop at the end of the image; a file too short for its pixels
// fails before anything is allocated; 32-bit files are written with 8 bits of
// alpha in the descriptor.
#include "imaging/RasterImageTGA.h"

#include <cstring>
#include <vector>

#include "imaging/ImageFile.h"

struct RasterImageTGA::Header {
  int idLength = 0;
  int mapType = 0;
  int imageType = 0;
  int mapFirst = 0;
  int mapLength = 0;
  int mapEntryBits = 0;
  int32_t width = 0;
  int32_t height = 0;
  int depth = 0;
  int descriptor = 0;

  bool RunLength() const { return imageType >= 9; }
  int BaseType() const { return imageType & 7; }
  bool TopDown() const { return (descriptor & 0x20) != 0; }
  bool RightToLeft() const { return (descriptor & 0x10) != 0; }
  int PixelBytes() const { return (depth + 7) / 8; }
};

namespace {

constexpr int kHeaderBytes = 18;

bool KnownImageType(int type) { return (type >= 1 && type <= 3) || (type >= 9 && type <= 11); }

bool KnownMapEntry(int bits) { return bits == 15 || bits == 16 || bits == 24 || bits == 32; }

// The descriptor's alpha bits a depth can carry.
bool AlphaBitsFit(int depth, int alphaBits) {
  if (depth == 32) return alphaBits == 0 || alphaBits == 8;
  if (depth == 16) return alphaBits <= 1;
  return alphaBits == 0;
}

// 5-bit channels of a 15- or 16-bit pixel widened by shifting.
RGBQUAD FromFiveBits(uint32_t v) {
  return RGBQUAD{BYTE((v << 3) & 0xF8), BYTE((v >> 2) & 0xF8), BYTE((v >> 7) & 0xF8), 0};
}

RasterImageTGA::Header ParseHeader(const BYTE* p) {
  RasterImageTGA::Header h;
  h.idLength = p[0];
  h.mapType = p[1];
  h.imageType = p[2];
  h.mapFirst = GetLE16(p + 3);
  h.mapLength = GetLE16(p + 5);
  h.mapEntryBits = p[7];
  h.width = GetLE16(p + 12);
  h.height = GetLE16(p + 14);
  h.depth = p[16];
  h.descriptor = p[17];
  return h;
}

}  // namespace

bool RasterImageTGA::IsPlausibleHeader(const BYTE header[18]) {
  const Header h = ParseHeader(header);
  if (!KnownImageType(h.imageType) || h.mapType > 1 || h.width == 0 || h.height == 0) return false;
  if (h.descriptor & 0xC0) return false;  // interleaving is not part of the format any more
  if (!AlphaBitsFit(h.depth, h.descriptor & 15)) return false;
  if (h.mapType == 1) {
    if (!KnownMapEntry(h.mapEntryBits) || h.mapLength == 0 || h.mapFirst + h.mapLength > 256) return false;
  } else if (h.mapLength != 0 || h.mapFirst != 0) {
    return false;
  }
  switch (h.BaseType()) {
    case 1: return h.mapType == 1 && h.depth == 8;
    case 2: return h.depth == 15 || h.depth == 16 || h.depth == 24 || h.depth == 32;
    default: return h.depth == 8;
  }
}

// Yields pixels one at a time from plain or run-length data; a run's pixel
// is read once and repeated, across row ends if the packet crosses one.
class RasterImageTGA::PixelReader {
 public:
  PixelReader(ImageFile* file, int bytes, bool runLength)
      : file_(file), bytes_(bytes), runLength_(runLength) {}

  const BYTE* Next() {
    if (!runLength_) return file_->Read(pixel_, 1, bytes_) == static_cast<size_t>(bytes_) ? pixel_ : nullptr;
    if (left_ == 0) {
      const int h = file_->GetC();
      if (h < 0) return nullptr;
      isRun_ = h >= 128;
      left_ = isRun_ ? h - 127 : h + 1;
      if (isRun_ && !ReadAll(file_, pixel_, bytes_)) return nullptr;
    }
    --left_;
    if (!isRun_ && !ReadAll(file_, pixel_, bytes_)) return nullptr;
    return pixel_;
  }

 private:
  ImageFile* file_;
  int bytes_;
  bool runLength_;
  bool isRun_ = false;
  int left_ = 0;
  BYTE pixel_[4] = {};
};

bool RasterImageTGA::Decode(ImageFile* file) {
  if (!file) return false;
  BYTE raw[kHeaderBytes];
  if (!ReadAll(file, raw, kHeaderBytes)) {
    SetError("Not a TGA");
    return false;
  }
  const Header head = ParseHeader(raw);
  if (!KnownImageType(head.imageType)) {
    SetError("Unknown TGA image type");
    return false;
  }
  if (!IsPlausibleHeader(raw)) {
    SetError("bad TGA header");
    return false;
  }
  // Run-length data holds at least one byte for every 128 pixels.
  const uint64_t pixels = static_cast<uint64_t>(head.width) * static_cast<uint64_t>(head.height);
  const uint64_t leastData = head.RunLength() ? pixels / 128 : pixels * head.PixelBytes();
  if (!file->Seek(head.idLength, SEEK_CUR) || static_cast<uint64_t>(BytesLeft(file)) < leastData) {
    SetError("corrupted TGA");
    return false;
  }
  if (AnswersSizeOnly(head.width, head.height)) return true;
  if (!Create(head.width, head.height, head.depth == 8 ? 8 : 24, kFormatTga) ||
      (head.depth == 32 && !AlphaCreate())) {
    SetError("TGA Create failed");
    return false;
  }
  if (info_.escape) {
    SetError("Cancelled");
    return false;
  }
  if (!ReadColourMap(file, head) || !ReadRows(file, head)) return false;
  if (head.RightToLeft()) Mirror();
  return true;
}

// Colour map: the palette of a colour-mapped image, skipped otherwise.
bool RasterImageTGA::ReadColourMap(ImageFile* file, const Header& head) {
  const int entryBytes = (head.mapEntryBits + 7) / 8;
  if (head.BaseType() == 3) SetGrayPalette();
  if (head.mapType == 0) return true;
  std::vector<BYTE> map(static_cast<size_t>(head.mapLength) * entryBytes);
  if (!ReadAll(file, map.data(), map.size())) {
    SetError("corrupted TGA");
    return false;
  }
  if (head.BaseType() != 1) return true;
  for (int i = 0; i < head.mapLength; ++i) {
    const BYTE* e = map.data() + static_cast<size_t>(i) * entryBytes;
    const RGBQUAD c = entryBytes == 2 ? FromFiveBits(GetLE16(e)) : RGBQUAD{e[0], e[1], e[2], 0};
    SetPaletteColor(static_cast<uint32_t>(head.mapFirst + i), c);
  }
  return true;
}

bool RasterImageTGA::ReadRows(ImageFile* file, const Header& head) {
  PixelReader reader(file, head.PixelBytes(), head.RunLength());
  for (int32_t counter = 0; counter < head.height; ++counter) {
    if (info_.escape) {
      SetError("Cancelled");
      return false;
    }
    const int32_t y = head.TopDown() ? head.height - 1 - counter : counter;
    for (int32_t x = 0; x < head.width; ++x) {
      const BYTE* pixel = reader.Next();
      if (!pixel) {
        SetError("corrupted TGA");
        return false;
      }
      StorePixel(x, y, pixel, head.depth);
    }
  }
  return true;
}

void RasterImageTGA::StorePixel(int32_t x, int32_t y, const BYTE* pixel, int depth) {
  if (depth == 8) {
    GetBits(y)[x] = pixel[0];
    return;
  }
  BYTE* out = GetBits(y) + static_cast<size_t>(x) * 3;
  if (depth <= 16) {
    const RGBQUAD c = FromFiveBits(GetLE16(pixel));
    out[0] = c.rgbBlue, out[1] = c.rgbGreen, out[2] = c.rgbRed;
    return;
  }
  out[0] = pixel[0], out[1] = pixel[1], out[2] = pixel[2];
  if (depth == 32) AlphaSet(x, y, pixel[3]);
}

bool RasterImageTGA::Encode(ImageFile* file) {
  if (CheckEncodeArgs(file)) return false;
  if (GetBpp() < 8) {
    SetError("Bit depth must be 8 or 24");
    return false;
  }
  // The header's 16-bit sizes would wrap.
  if (GetWidth() > 0xFFFF || GetHeight() > 0xFFFF) {
    SetError("Image too large for TGA");
    return false;
  }
  const bool mapped = GetBpp() == 8;
  const bool alpha = !mapped && AlphaIsValid();
  BYTE header[kHeaderBytes] = {};
  header[1] = mapped ? 1 : 0;
  header[2] = mapped ? 1 : 2;
  if (mapped) PutLE16(header + 5, 256), header[7] = 24;
  PutLE16(header + 12, static_cast<uint32_t>(GetWidth()));
  PutLE16(header + 14, static_cast<uint32_t>(GetHeight()));
  header[16] = static_cast<BYTE>(alpha ? 32 : GetBpp());
  header[17] = alpha ? 8 : 0;
  bool ok = file->Write(header, 1, kHeaderBytes) == kHeaderBytes;
  if (mapped) {
    BYTE map[768] = {};
    for (uint32_t i = 0; i < GetNumColors() && i < 256; ++i) {
      const RGBQUAD c = GetPaletteColor(i);
      map[i * 3] = c.rgbBlue, map[i * 3 + 1] = c.rgbGreen, map[i * 3 + 2] = c.rgbRed;
    }
    ok = ok && file->Write(map, 1, sizeof(map)) == sizeof(map);
  }
  const size_t pixelBytes = alpha ? 4 : GetBpp() / 8;
  std::vector<BYTE> row(static_cast<size_t>(GetWidth()) * pixelBytes);
  for (int32_t y = 0; ok && y < GetHeight(); ++y) {
    const BYTE* bits = GetBits(y);
    if (!alpha) {
      std::memcpy(row.data(), bits, row.size());
    } else {
      for (int32_t x = 0; x < GetWidth(); ++x) {
        std::memcpy(&row[static_cast<size_t>(x) * 4], bits + static_cast<size_t>(x) * 3, 3);
        row[static_cast<size_t>(x) * 4 + 3] = static_cast<BYTE>(AlphaGet(x, y) * info_.alphaMax / 255);
      }
    }
    ok = file->Write(row.data(), 1, row.size()) == row.size();
  }
  if (!ok) SetError("Can't write TGA file");
  return ok;
}
