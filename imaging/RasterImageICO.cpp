// RasterImageICO: icon and cursor files.
// Choices of ours: the entry's size must agree with its bitmap header; the
// colour table holds the header's own colour count; the 32-bit pixels and
// the mask are read with sizes computed from the entry.
#include "imaging/RasterImageICO.h"

#include <cstring>

#include "imaging/ImageFile.h"

namespace {

struct IconEntry {
  uint32_t width;
  uint32_t height;
  uint32_t offset;
};

bool MaskBit(const std::vector<BYTE>& mask, uint32_t stride, int32_t x, int32_t y) {
  return (mask[static_cast<uint64_t>(y) * stride + x / 8] >> (7 - x % 8)) & 1;
}

}  // namespace

bool RasterImageICO::Decode(ImageFile* file) {
  if (!file) return false;
  const int64_t start = file->Tell();
  BYTE header[6];
  if (file->Read(header, 1, 6) != 6) return false;
  const uint16_t type = GetLE16(header + 2);
  if (GetLE16(header) != 0 || (type != 1 && type != 2)) return false;
  const int32_t count = GetLE16(header + 4);
  info_.frameCount = count;
  if (info_.wantedFrame < 0 || info_.wantedFrame >= count) return false;
  IconEntry entry{};
  for (int32_t i = 0; i < count; ++i) {
    BYTE raw[16];
    if (file->Read(raw, 1, 16) != 16) return false;
    if (i == info_.wantedFrame) entry = IconEntry{raw[0], raw[1], GetLE32(raw + 12)};
  }
  BYTE rawHead[40];
  if (!file->Seek(start + entry.offset, SEEK_SET) || file->Read(rawHead, 1, 40) != 40) return false;
  BITMAPINFOHEADER head;
  ReadInfoHeaderBytes(rawHead, head);
  // The entry's size drives every read below, so the header must agree.
  if (head.biSize != 40 || head.biWidth != static_cast<int32_t>(entry.width) ||
      head.biHeight != static_cast<int32_t>(entry.height * 2))
    return false;
  const uint32_t bits = head.biBitCount;
  if (bits != 1 && bits != 4 && bits != 8 && bits != 24 && bits != 32) return false;
  if (!Create(static_cast<int32_t>(entry.width), static_cast<int32_t>(entry.height),
              static_cast<int>(bits), kFormatIco))
    return false;
  uint32_t entries = GetNumColors();
  if (head.biClrUsed && head.biClrUsed < entries) entries = head.biClrUsed;
  return ReadImage(file, bits, entries);
}

// Palette, XOR pixels and AND mask of the chosen image.
bool RasterImageICO::ReadImage(ImageFile* file, uint32_t bitCount, uint32_t paletteEntries) {
  if (paletteEntries) {
    std::vector<BYTE> raw(paletteEntries * 4);
    if (file->Read(raw.data(), 1, raw.size()) != raw.size()) return false;
    RGBQUAD* palette = GetPalette();
    for (uint32_t i = 0; i < paletteEntries; ++i)
      palette[i] = RGBQUAD{raw[i * 4], raw[i * 4 + 1], raw[i * 4 + 2], 0};
    ResetNearestCache();
  }
  const int32_t width = GetWidth(), height = GetHeight();
  if (bitCount == 32) {
    std::vector<BYTE> raw(static_cast<uint64_t>(width) * height * 4);
    file->Read(raw.data(), 1, raw.size());
    if (!AlphaCreate()) return false;
    for (int32_t y = 0; y < height; ++y) {
      BYTE* row = GetBits(y);
      for (int32_t x = 0; x < width; ++x) {
        const BYTE* p = raw.data() + (static_cast<uint64_t>(y) * width + x) * 4;
        row[x * 3] = p[0], row[x * 3 + 1] = p[1], row[x * 3 + 2] = p[2];
        AlphaSet(x, y, p[3]);
      }
    }
  } else {
    file->Read(info_.pixels, 1, head_.biSizeImage);
  }
  const uint32_t maskStride = static_cast<uint32_t>(ImageStride(static_cast<uint32_t>(width), 1));
  std::vector<BYTE> mask(static_cast<uint64_t>(maskStride) * height, 0);
  file->Read(mask.data(), 1, mask.size());
  ApplyMask(mask, maskStride);
  return true;
}

// Turns the AND mask into transparency: an index or colour where one can
// be found, an alpha plane otherwise.
void RasterImageICO::ApplyMask(const std::vector<BYTE>& mask, uint32_t maskStride) {
  bool allSet = true;
  for (BYTE b : mask) allSet = allSet && b == 0xFF;
  if (allSet) {
    info_.backgroundIndex = 0;
    Negative();
    return;
  }
  const bool hadAlpha = AlphaIsValid();
  AlphaCreate();
  bool anyMasked = false;
  for (int32_t y = 0; y < GetHeight(); ++y) {
    for (int32_t x = 0; x < GetWidth(); ++x) {
      if (!MaskBit(mask, maskStride, x, y)) continue;
      AlphaSet(x, y, 0);
      anyMasked = true;
    }
  }
  if (!anyMasked && !hadAlpha) AlphaDelete();
  if (GetBpp() <= 8) {
    MaskPaletteImage(mask, maskStride, anyMasked);
    return;
  }
  if (hadAlpha || !anyMasked) return;
  // A 24-bit icon whose masked pixels share one colour: that colour is transparent.
  bool first = true, oneColour = true;
  RGBQUAD colour{};
  for (int32_t y = 0; y < GetHeight() && oneColour; ++y) {
    for (int32_t x = 0; x < GetWidth(); ++x) {
      if (!MaskBit(mask, maskStride, x, y)) continue;
      const RGBQUAD c = GetPixelColor(x, y, false);
      if (!first && std::memcmp(&c, &colour, sizeof(c)) != 0) oneColour = false;
      colour = c, first = false;
    }
  }
  if (!oneColour) return;
  SetTransColor(colour);
  info_.backgroundIndex = 0;
  AlphaDelete();
}

// Gives masked pixels the first palette index no pixel uses.
void RasterImageICO::MaskPaletteImage(const std::vector<BYTE>& mask, uint32_t maskStride,
                                      bool anyMasked) {
  bool used[256] = {};
  for (int32_t y = 0; y < GetHeight(); ++y) {
    for (int32_t x = 0; x < GetWidth(); ++x) used[GetPixelIndex(x, y)] = true;
  }
  int32_t unused = -1;
  for (uint32_t i = 0; i < GetNumColors() && unused < 0; ++i) {
    if (!used[i]) unused = static_cast<int32_t>(i);
  }
  if (unused < 0) return;
  for (int32_t y = 0; y < GetHeight(); ++y) {
    for (int32_t x = 0; x < GetWidth(); ++x) {
      if (MaskBit(mask, maskStride, x, y)) SetPixelIndex(x, y, static_cast<BYTE>(unused));
    }
  }
  if (anyMasked) info_.backgroundIndex = unused;
  AlphaDelete();
}

bool RasterImageICO::MaskedPixel(int32_t x, int32_t y, bool paletteAlpha) const {
  if (AlphaIsValid() && AlphaGet(x, y) == 0) return true;
  if (paletteAlpha && GetPaletteColor(GetPixelIndex(x, y)).rgbReserved == 0) return true;
  if (info_.backgroundIndex < 0) return false;
  const RGBQUAD c = GetPixelColor(x, y, false), t = GetTransColor();
  return c.rgbBlue == t.rgbBlue && c.rgbGreen == t.rgbGreen && c.rgbRed == t.rgbRed;
}

bool RasterImageICO::Encode(ImageFile* file) {
  if (CheckEncodeArgs(file)) return false;
  const int32_t width = GetWidth(), height = GetHeight();
  if (width > 255 || height > 255) {
    SetError("Can't save this image as icon");
    return false;
  }
  if (GetBpp() <= 8 && !GetPalette()) return false;
  const uint32_t bits = AlphaIsValid() && !GetPalette() ? 32 : GetBpp();
  const uint32_t xorSize = bits == 32 ? static_cast<uint32_t>(width * height * 4) : head_.biSizeImage;
  const uint32_t maskStride = static_cast<uint32_t>(ImageStride(static_cast<uint32_t>(width), 1));
  const uint32_t maskSize = maskStride * static_cast<uint32_t>(height);
  std::vector<BYTE> out(22 + 40 + GetPaletteSize(), 0);
  PutLE16(&out[2], 1);
  PutLE16(&out[4], 1);
  out[6] = static_cast<BYTE>(width), out[7] = static_cast<BYTE>(height);
  out[8] = static_cast<BYTE>(GetNumColors());
  PutLE16(&out[12], bits);
  PutLE32(&out[14], 40 + GetPaletteSize() + xorSize + maskSize);
  PutLE32(&out[18], 22);
  BITMAPINFOHEADER head{40, width, height * 2, 1, static_cast<WORD>(bits), BI_RGB, xorSize, 0, 0, 0, 0};
  WriteInfoHeaderBytes(&out[22], head);
  if (GetPalette()) std::memcpy(&out[62], GetPalette(), GetPaletteSize());
  if (bits == 32) {
    for (int32_t y = 0; y < height; ++y) {
      for (int32_t x = 0; x < width; ++x) {
        const RGBQUAD c = GetPixelColor(x, y, false);
        const BYTE pixel[4] = {c.rgbBlue, c.rgbGreen, c.rgbRed, AlphaGet(x, y)};
        out.insert(out.end(), pixel, pixel + 4);
      }
    }
  } else {
    out.insert(out.end(), info_.pixels, info_.pixels + head_.biSizeImage);
  }
  const size_t maskStart = out.size();
  out.resize(maskStart + maskSize, 0);
  const bool paletteAlpha = HasPaletteAlpha();
  for (int32_t y = 0; y < height; ++y) {
    for (int32_t x = 0; x < width; ++x) {
      if (MaskedPixel(x, y, paletteAlpha))
        out[maskStart + static_cast<uint64_t>(y) * maskStride + x / 8] |= static_cast<BYTE>(0x80 >> (x % 8));
    }
  }
  return file->Write(out.data(), out.size(), 1) == 1;
}
