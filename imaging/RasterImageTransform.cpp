// RasterImage: flip, mirror, negative and reduction of the bit depth.
#include <cstring>
#include <vector>

#include "imaging/RasterImage.h"

bool RasterImage::Flip() {
  if (!block_) return false;
  const uint32_t stride = info_.stride;
  std::vector<BYTE> row(stride);
  for (int32_t top = 0, bottom = head_.biHeight - 1; top < bottom; ++top, --bottom) {
    BYTE* a = GetBits(top);
    BYTE* b = GetBits(bottom);
    std::memcpy(row.data(), a, stride);
    std::memcpy(a, b, stride);
    std::memcpy(b, row.data(), stride);
  }
  AlphaFlip();
  return true;
}

bool RasterImage::Mirror() {
  if (!block_) return false;
  const int32_t width = head_.biWidth;
  for (int32_t y = 0; y < head_.biHeight; ++y) {
    BYTE* row = GetBits(y);
    for (int32_t a = 0, b = width - 1; a < b; ++a, --b) {
      switch (head_.biBitCount) {
        case 8: std::swap(row[a], row[b]); break;
        case 24:
          for (int c = 0; c < 3; ++c) std::swap(row[a * 3 + c], row[b * 3 + c]);
          break;
        default: {
          const BYTE ia = GetPixelIndex(a, y);
          SetPixelIndex(a, y, GetPixelIndex(b, y));
          SetPixelIndex(b, y, ia);
        }
      }
    }
  }
  AlphaMirror();
  return true;
}

bool RasterImage::Negative() {
  if (!block_) return false;
  if (head_.biBitCount == 24) {
    if (selection_) {
      const RECT& box = info_.selectionBox;
      for (int32_t y = box.bottom; y < box.top; ++y) {
        for (int32_t x = box.left; x < box.right; ++x) {
          if (!SelectionIsInside(x, y)) continue;
          BYTE* p = GetBits(y) + x * 3;
          p[0] = BYTE(255 - p[0]), p[1] = BYTE(255 - p[1]), p[2] = BYTE(255 - p[2]);
        }
      }
    } else {
      for (uint32_t i = 0; i < head_.biSizeImage; ++i) info_.pixels[i] = BYTE(255 - info_.pixels[i]);
    }
    RGBQUAD& c = info_.backgroundColour;
    c.rgbBlue = BYTE(255 - c.rgbBlue), c.rgbGreen = BYTE(255 - c.rgbGreen), c.rgbRed = BYTE(255 - c.rgbRed);
    return true;
  }
  if (IsGrayScale()) {
    const BYTE top = static_cast<BYTE>(head_.biClrUsed - 1);
    for (int32_t y = 0; y < head_.biHeight; ++y) {
      for (int32_t x = 0; x < head_.biWidth; ++x) {
        if (SelectionIsInside(x, y)) SetPixelIndex(x, y, BYTE(top - GetPixelIndex(x, y)));
      }
    }
    return true;
  }
  RGBQUAD* palette = GetPalette();
  for (uint32_t i = 0; palette && i < head_.biClrUsed; ++i) {
    RGBQUAD& c = palette[i];
    c.rgbBlue = BYTE(255 - c.rgbBlue), c.rgbGreen = BYTE(255 - c.rgbGreen), c.rgbRed = BYTE(255 - c.rgbRed);
  }
  ResetNearestCache();
  return true;
}

namespace {

// Remembers nearest-palette answers by the whole 24-bit colour, so a
// picture with few colours is not searched pixel by pixel. Direct-mapped:
// a collision only costs a fresh search, never a different answer.
class NearestColourMemo {
 public:
  explicit NearestColourMemo(RasterImage& target) : target_(target), keys_(kSlots, 0), values_(kSlots) {}
  BYTE Lookup(BYTE blue, BYTE green, BYTE red) {
    const uint32_t colour = blue | (green << 8) | (red << 16);
    const uint32_t slot = (colour * 2654435761u) >> (32 - kBits);
    if (keys_[slot] == (colour | kValid)) return values_[slot];
    const BYTE index = target_.GetNearestIndex(RGBQUAD{blue, green, red, 0});
    keys_[slot] = colour | kValid;
    values_[slot] = index;
    return index;
  }

 private:
  static constexpr int kBits = 16;
  static constexpr uint32_t kSlots = 1u << kBits;
  static constexpr uint32_t kValid = 0x1000000;
  RasterImage& target_;
  std::vector<uint32_t> keys_;
  std::vector<BYTE> values_;
};

}  // namespace

// 24-bit rows into a palette image without diffusion: the export's road.
void RasterImage::ReduceRowsFast(RasterImage& target) {
  NearestColourMemo memo(target);
  const int32_t width = head_.biWidth;
  const bool eight = target.GetBpp() == 8;
  for (int32_t y = 0; y < head_.biHeight && info_.escape == 0; ++y) {
    info_.progress = static_cast<int32_t>(static_cast<int64_t>(y) * 100 / head_.biHeight);
    const BYTE* in = GetBits(y);
    BYTE* out = target.GetBits(y);
    for (int32_t x = 0; x < width; ++x, in += 3) {
      const BYTE index = memo.Lookup(in[0], in[1], in[2]);
      if (eight) out[x] = index; else target.SetPixelIndex(x, y, index);
    }
  }
}

void RasterImage::DiffuseError(int32_t x, int32_t y, const int error[3], int weight) {
  if (!IsInside(x, y)) return;
  RGBQUAD c = GetPixelColor(x, y, false);
  BYTE* channels[3] = {&c.rgbBlue, &c.rgbGreen, &c.rgbRed};
  for (int i = 0; i < 3; ++i) {
    int v = *channels[i] + error[i] * weight / 16;
    *channels[i] = static_cast<BYTE>(v < 0 ? 0 : v > 255 ? 255 : v);
  }
  SetPixelColor(x, y, c, false);
}

// Sets each target pixel to the nearest colour, optionally spreading the
// error to the neighbours in sixteenths: 7 right, 2, 4 and 1 below.
void RasterImage::ReduceRows(RasterImage& target, bool errorDiffusion) {
  for (int32_t y = 0; y < head_.biHeight && info_.escape == 0; ++y) {
    info_.progress = static_cast<int32_t>(static_cast<int64_t>(y) * 100 / head_.biHeight);
    for (int32_t x = 0; x < head_.biWidth; ++x) {
      const RGBQUAD wanted = GetPixelColor(x, y, false);
      target.SetPixelColor(x, y, wanted, false);
      if (!errorDiffusion) continue;
      const RGBQUAD got = target.GetPixelColor(x, y, false);
      const int error[3] = {wanted.rgbBlue - got.rgbBlue, wanted.rgbGreen - got.rgbGreen,
                            wanted.rgbRed - got.rgbRed};
      DiffuseError(x + 1, y, error, 7);
      DiffuseError(x - 1, y + 1, error, 2);
      DiffuseError(x, y + 1, error, 4);
      DiffuseError(x + 1, y + 1, error, 1);
    }
  }
}

bool RasterImage::ReduceBitDepth(int bpp, bool errorDiffusion, const RGBQUAD* palette,
                                 uint32_t clrImportant) {
  if (!block_ || bpp > head_.biBitCount) return false;
  if (bpp == head_.biBitCount) {
    if (clrImportant == 0) return true;
    if (head_.biClrImportant && head_.biClrImportant < clrImportant) return true;
  }
  const bool wasOneBit = head_.biBitCount == 1;
  RasterImage target;
  target.CopyInfo(*this);
  if (!target.Create(head_.biWidth, head_.biHeight, bpp, info_.format)) {
    SetError(target.GetLastError());
    return false;
  }
  if (clrImportant) target.SetClrImportant(clrImportant);
  target.SelectionCopy(*this);
  target.AlphaCopy(*this);
  switch (target.GetBpp()) {
    case 1:
      if (palette) {
        target.SetPalette(palette, 2);
      } else {
        target.SetPaletteColor(0, 0, 0, 0);
        target.SetPaletteColor(1, 255, 255, 255);
      }
      break;
    case 4:
    case 8:
      if (palette) target.SetPalette(palette, target.GetNumColors()); else target.SetStdPalette();
      break;
    default: return false;
  }
  if (head_.biBitCount == 24 && !errorDiffusion) ReduceRowsFast(target); else ReduceRows(target, errorDiffusion);
  if (wasOneBit) {
    target.SetPaletteColor(0, 0, 0, 0);
    target.SetPaletteColor(1, 255, 255, 255);
  }
  return Transfer(target);
}
