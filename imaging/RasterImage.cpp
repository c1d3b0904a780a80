// RasterImage: lifetime, pixel access, alpha and selection planes.
#include "imaging/RasterImage.h"

#include <cstdlib>
#include <cstring>

namespace {

// Rounds a requested depth to one the image can hold.
int RoundBpp(int bpp) {
  if (bpp <= 1) return 1;
  if (bpp <= 4) return 4;
  if (bpp <= 8) return 8;
  return 24;
}

BYTE* CopyPlane(const BYTE* plane, uint64_t size) {
  if (!plane) return nullptr;
  BYTE* copy = static_cast<BYTE*>(std::malloc(size));
  if (copy) std::memcpy(copy, plane, size);
  return copy;
}

}  // namespace

void ReadInfoHeaderBytes(const BYTE* p, BITMAPINFOHEADER& head) {
  head.biSize = GetLE32(p);
  head.biWidth = static_cast<int32_t>(GetLE32(p + 4));
  head.biHeight = static_cast<int32_t>(GetLE32(p + 8));
  head.biPlanes = GetLE16(p + 12);
  head.biBitCount = GetLE16(p + 14);
  head.biCompression = GetLE32(p + 16);
  head.biSizeImage = GetLE32(p + 20);
  head.biXPelsPerMeter = static_cast<int32_t>(GetLE32(p + 24));
  head.biYPelsPerMeter = static_cast<int32_t>(GetLE32(p + 28));
  head.biClrUsed = GetLE32(p + 32);
  head.biClrImportant = GetLE32(p + 36);
}

void WriteInfoHeaderBytes(BYTE* p, const BITMAPINFOHEADER& head) {
  PutLE32(p, head.biSize);
  PutLE32(p + 4, static_cast<uint32_t>(head.biWidth));
  PutLE32(p + 8, static_cast<uint32_t>(head.biHeight));
  PutLE16(p + 12, head.biPlanes);
  PutLE16(p + 14, head.biBitCount);
  PutLE32(p + 16, head.biCompression);
  PutLE32(p + 20, head.biSizeImage);
  PutLE32(p + 24, static_cast<uint32_t>(head.biXPelsPerMeter));
  PutLE32(p + 28, static_cast<uint32_t>(head.biYPelsPerMeter));
  PutLE32(p + 32, head.biClrUsed);
  PutLE32(p + 36, head.biClrImportant);
}

RasterImage::RasterImage(uint32_t format) { Startup(format); }

RasterImage::RasterImage(int32_t width, int32_t height, int bpp, uint32_t format) {
  Startup(format);
  Create(width, height, bpp, format);
}

RasterImage::RasterImage(const RasterImage& source, bool copyPixels, bool copySelection,
                         bool copyAlpha) {
  Startup(source.info_.format);
  Copy(source, copyPixels, copySelection, copyAlpha);
}

RasterImage::RasterImage(const char* path, uint32_t format) {
  Startup(format);
  LoadFile(path, format);
}

RasterImage::~RasterImage() { Destroy(); }

void RasterImage::Startup(uint32_t format) {
  block_ = selection_ = alpha_ = nullptr;
  frames_.clear();
  head_ = BITMAPINFOHEADER{};
  info_ = RasterImageInfo{};
  info_.format = format;
  info_.quality = 90;
  info_.alphaMax = 255;
  info_.backgroundIndex = -1;
  info_.enabled = 1;
  SetXDpi(96);
  SetYDpi(96);
}

void RasterImage::SetError(const char* text) {
  std::strncpy(info_.lastError, text ? text : "", sizeof(info_.lastError) - 1);
  info_.lastError[sizeof(info_.lastError) - 1] = 0;
}

void RasterImage::SetXDpi(int32_t dpi) {
  if (dpi <= 0) dpi = 96;
  info_.xDpi = dpi;
  head_.biXPelsPerMeter = static_cast<int32_t>(dpi * 39.37007874015748 + 0.5);
}

void RasterImage::SetYDpi(int32_t dpi) {
  if (dpi <= 0) dpi = 96;
  info_.yDpi = dpi;
  head_.biYPelsPerMeter = static_cast<int32_t>(dpi * 39.37007874015748 + 0.5);
}

uint32_t RasterImage::GetCodecOption(uint32_t format) const {
  if (format == kFormatUnknown) format = info_.format;
  return format < kFormatCount ? info_.codecOptions[format] : 0;
}

void RasterImage::SetCodecOption(uint32_t option, uint32_t format) {
  if (format == kFormatUnknown) format = info_.format;
  if (format < kFormatCount) info_.codecOptions[format] = option;
}

// Allocates the block for a new size; the pixels start zeroed.
BYTE* RasterImage::Create(int32_t width, int32_t height, int bpp, uint32_t format) {
  if (!Destroy()) return nullptr;
  if (width <= 0 || height <= 0) {
    SetError("RasterImage::Create : width and height must be greater than zero");
    return nullptr;
  }
  bpp = RoundBpp(bpp);
  const uint64_t stride = ImageStride(static_cast<uint64_t>(width), bpp);
  const uint64_t imageBytes = stride * static_cast<uint64_t>(height);
  // Both limits: the historical bit budget and a cap on the real allocation.
  if (static_cast<uint64_t>(width) * height * bpp / 256 > 256000000 || imageBytes > kMaxPixelBytes) {
    SetError("RASTERIMAGE_MAX_MEMORY exceeded");
    return nullptr;
  }
  const uint32_t colours = bpp == 1 ? 2 : bpp == 4 ? 16 : bpp == 8 ? 256 : 0;
  head_.biSize = 40;
  head_.biWidth = width;
  head_.biHeight = height;
  head_.biPlanes = 1;
  head_.biBitCount = static_cast<WORD>(bpp);
  head_.biCompression = BI_RGB;
  head_.biSizeImage = static_cast<uint32_t>(imageBytes);
  head_.biClrUsed = colours;
  head_.biClrImportant = 0;
  info_.stride = static_cast<uint32_t>(stride);
  info_.format = format;
  block_ = static_cast<BYTE*>(std::calloc(1, 40 + colours * 4 + imageBytes));
  if (!block_) {
    SetError("RasterImage::Create can't allocate memory");
    return nullptr;
  }
  SelectionDelete();
  AlphaDelete();
  ResetNearestCache();
  StoreHeaderCopy();
  info_.pixels = block_ + 40 + colours * 4;
  return block_;
}

bool RasterImage::Destroy() {
  if (info_.ghost) return false;
  for (RasterImage* frame : frames_) delete frame;
  frames_.clear();
  info_.heldFrames = 0;
  std::free(selection_);
  std::free(alpha_);
  std::free(block_);
  selection_ = alpha_ = block_ = nullptr;
  info_.pixels = nullptr;
  return true;
}

void RasterImage::StoreHeaderCopy() {
  if (block_) WriteInfoHeaderBytes(block_, head_);
}

uint64_t RasterImage::PixelCount() const {
  return static_cast<uint64_t>(head_.biWidth) * static_cast<uint64_t>(head_.biHeight);
}

bool RasterImage::AnswersSizeOnly(int32_t width, int32_t height) {
  if (info_.escape != -1) return false;
  head_.biWidth = width;
  head_.biHeight = height;
  return true;
}

// Takes the source's settings, never its buffers or ghost link.
void RasterImage::CopyInfo(const RasterImage& source) {
  if (block_ || &source == this) return;
  info_ = source.info_;
  info_.pixels = nullptr;
  info_.ghost = nullptr;
  info_.heldFrames = 0;
}

void RasterImage::Copy(const RasterImage& source, bool copyPixels, bool copySelection,
                       bool copyAlpha) {
  if (&source == this) return;
  RasterImageInfo settings = source.info_;
  if (!source.IsValid()) {
    if (Destroy()) CopyInfo(source);
    return;
  }
  if (!Create(source.GetWidth(), source.GetHeight(), source.GetBpp(), source.GetType())) return;
  settings.pixels = info_.pixels;
  settings.ghost = nullptr;
  settings.heldFrames = 0;
  info_ = settings;
  head_ = source.head_;
  if (copyPixels) {
    std::memcpy(block_, source.block_, GetSize());
  } else {
    // A 24-bit image has no palette to copy (and memcpy takes no null pointer).
    if (GetPaletteSize() && GetPalette() && source.GetPalette())
      std::memcpy(GetPalette(), source.GetPalette(), GetPaletteSize());
    StoreHeaderCopy();
  }
  if (copySelection && source.selection_) selection_ = CopyPlane(source.selection_, PixelCount());
  if (copyAlpha && source.alpha_) alpha_ = CopyPlane(source.alpha_, PixelCount());
}

bool RasterImage::Transfer(RasterImage& from) {
  if (&from == this || !Destroy()) return false;
  head_ = from.head_;
  info_ = from.info_;
  block_ = from.block_;
  selection_ = from.selection_;
  alpha_ = from.alpha_;
  frames_ = std::move(from.frames_);
  from.head_ = BITMAPINFOHEADER{};
  from.info_ = RasterImageInfo{};
  from.block_ = from.selection_ = from.alpha_ = nullptr;
  from.frames_.clear();
  return true;
}

void RasterImage::MakeGhost(const RasterImage& source) {
  head_ = source.head_;
  info_ = source.info_;
  block_ = source.block_;
  selection_ = source.selection_;
  alpha_ = source.alpha_;
  frames_ = source.frames_;
  info_.ghost = &source;
}

BYTE* RasterImage::GetBits(int32_t row) const {
  if (!block_) return nullptr;
  if (row == 0) return info_.pixels;
  if (row < 0 || row >= head_.biHeight) return nullptr;
  return info_.pixels + static_cast<uint64_t>(row) * info_.stride;
}

uint64_t RasterImage::GetSize() const {
  return GetPaletteSize() + static_cast<uint64_t>(head_.biSizeImage) + 40;
}

bool RasterImage::IsInside(int32_t x, int32_t y) const {
  return x >= 0 && y >= 0 && x < head_.biWidth && y < head_.biHeight;
}

void RasterImage::Clear(BYTE value) {
  if (!block_) return;
  if (head_.biBitCount == 1 && value) value = 255;
  if (head_.biBitCount == 4) value = static_cast<BYTE>((value & 15) * 17);
  std::memset(info_.pixels, value, head_.biSizeImage);
}

BYTE RasterImage::GetPixelIndex(int32_t x, int32_t y) const {
  if (!block_ || head_.biClrUsed == 0) return 0;
  if (!IsInside(x, y)) {
    if (info_.backgroundIndex != -1) return static_cast<BYTE>(info_.backgroundIndex);
    return info_.pixels[0];
  }
  const BYTE* row = info_.pixels + static_cast<uint64_t>(y) * info_.stride;
  switch (head_.biBitCount) {
    case 8: return row[x];
    case 4: return static_cast<BYTE>((x & 1) ? row[x >> 1] & 15 : row[x >> 1] >> 4);
    default: return static_cast<BYTE>((row[x >> 3] >> (7 - (x & 7))) & 1);
  }
}

void RasterImage::SetPixelIndex(int32_t x, int32_t y, BYTE index) {
  if (!block_ || head_.biClrUsed == 0 || !IsInside(x, y)) return;
  BYTE* row = info_.pixels + static_cast<uint64_t>(y) * info_.stride;
  switch (head_.biBitCount) {
    case 8: row[x] = index; return;
    case 4: {
      BYTE& b = row[x >> 1];
      b = (x & 1) ? static_cast<BYTE>((b & 0xF0) | (index & 15))
                  : static_cast<BYTE>((b & 0x0F) | ((index & 15) << 4));
      return;
    }
    default: {
      const BYTE mask = static_cast<BYTE>(0x80 >> (x & 7));
      row[x >> 3] = (index & 1) ? (row[x >> 3] | mask) : (row[x >> 3] & ~mask);
    }
  }
}

RGBQUAD RasterImage::GetPixelColor(int32_t x, int32_t y, bool withAlpha) const {
  RGBQUAD colour = info_.backgroundColour;
  if (!block_) return colour;
  if (!IsInside(x, y)) {
    if (info_.backgroundIndex >= 0) {
      if (head_.biClrUsed) return GetPaletteColor(static_cast<uint32_t>(info_.backgroundIndex));
      return colour;
    }
    x = y = 0;
  }
  if (head_.biClrUsed) {
    colour = GetPaletteColor(GetPixelIndex(x, y));
  } else {
    const BYTE* p = info_.pixels + static_cast<uint64_t>(y) * info_.stride + x * 3;
    colour = RGBQUAD{p[0], p[1], p[2], 0};
  }
  if (withAlpha && alpha_) colour.rgbReserved = AlphaGet(x, y);
  return colour;
}

void RasterImage::SetPixelColor(int32_t x, int32_t y, RGBQUAD colour, bool setAlpha) {
  if (!block_ || !IsInside(x, y)) return;
  if (head_.biClrUsed) {
    SetPixelIndex(x, y, GetNearestIndex(colour));
    return;
  }
  BYTE* p = info_.pixels + static_cast<uint64_t>(y) * info_.stride + x * 3;
  p[0] = colour.rgbBlue, p[1] = colour.rgbGreen, p[2] = colour.rgbRed;
  if (setAlpha) AlphaSet(x, y, colour.rgbReserved);
}

void RasterImage::SetPixelColor(int32_t x, int32_t y, COLORREF colour) {
  SetPixelColor(x, y, RGBQUAD{GetBValue(colour), GetGValue(colour), GetRValue(colour), 0});
}

namespace {

// Where a bit-field channel lies in a pixel, worked out once per mask;
// empty or over-wide masks give defined results instead of shifts by
// negative amounts.
struct FieldShape {
  uint32_t mask = 0;
  int low = 0;   // lowest set bit
  int bits = 0;  // contiguous bits from there

  explicit FieldShape(uint32_t m) : mask(m) {
    if (mask == 0) return;
    while (!((mask >> low) & 1)) ++low;
    while (low + bits < 32 && ((mask >> (low + bits)) & 1)) ++bits;
  }
  // The channel scaled to 8 bits.
  BYTE Value(uint32_t pixel) const {
    if (mask == 0) return 0;
    const uint32_t v = (pixel & mask) >> low;
    return static_cast<BYTE>(bits >= 8 ? v >> (bits - 8) : v << (8 - bits));
  }
};

}  // namespace

// Fills this 24-bit image from 16- or 32-bit rows held in a separate buffer
// laid out like the image (bottom-up, rows padded to 4 bytes), its first
// `rowCount` rows (all when negative). 32-bit pixels without masks are blue,
// green, red bytes.
void RasterImage::ConvertBitfieldsTo24(const BYTE* source, uint32_t redMask, uint32_t greenMask,
                                       uint32_t blueMask, int bitCount, int32_t rowCount) {
  if (!block_ || !source || head_.biBitCount != 24) return;
  if (rowCount < 0 || rowCount > head_.biHeight) rowCount = head_.biHeight;
  const int32_t width = head_.biWidth;
  const bool anyMask = (redMask | greenMask | blueMask) != 0;
  const uint32_t keep = bitCount == 16 ? 0xFFFF : 0xFFFFFFFF;
  const FieldShape red(redMask & keep), green(greenMask & keep), blue(blueMask & keep);
  const uint64_t sourceStride =
      bitCount == 16 ? static_cast<uint64_t>((width + 1) / 2) * 4 : static_cast<uint64_t>(width) * 4;
  for (int32_t y = rowCount - 1; y >= 0; --y) {
    const BYTE* in = source + static_cast<uint64_t>(y) * sourceStride;
    BYTE* out = info_.pixels + static_cast<uint64_t>(y) * info_.stride;
    for (int32_t x = width - 1; x >= 0; --x) {
      BYTE* p = out + x * 3;
      if (bitCount != 16 && !anyMask) {
        p[0] = in[x * 4], p[1] = in[x * 4 + 1], p[2] = in[x * 4 + 2];
        continue;
      }
      const uint32_t v = bitCount == 16 ? GetLE16(in + x * 2) : GetLE32(in + x * 4);
      p[0] = blue.Value(v), p[1] = green.Value(v), p[2] = red.Value(v);
    }
  }
}

int RasterImage::CompareByLuminance(const void* a, const void* b) {
  const RGBQUAD* c1 = static_cast<const RGBQUAD*>(a);
  const RGBQUAD* c2 = static_cast<const RGBQUAD*>(b);
  const int l1 = (117 * c1->rgbBlue + 601 * c1->rgbGreen + 306 * c1->rgbRed) >> 10;
  const int l2 = (117 * c2->rgbBlue + 601 * c2->rgbGreen + 306 * c2->rgbRed) >> 10;
  return l1 - l2;
}

bool RasterImage::AlphaCreate() {
  if (alpha_) return true;
  if (!block_) return false;
  alpha_ = static_cast<BYTE*>(std::malloc(PixelCount()));
  if (alpha_) std::memset(alpha_, 255, PixelCount());
  return alpha_ != nullptr;
}

void RasterImage::AlphaDelete() {
  std::free(alpha_);
  alpha_ = nullptr;
}

void RasterImage::AlphaSet(int32_t x, int32_t y, BYTE value) {
  if (alpha_ && IsInside(x, y)) alpha_[static_cast<uint64_t>(y) * head_.biWidth + x] = value;
}

BYTE RasterImage::AlphaGet(int32_t x, int32_t y) const {
  if (!alpha_ || !IsInside(x, y)) return 0;
  return alpha_[static_cast<uint64_t>(y) * head_.biWidth + x];
}

bool RasterImage::AlphaCopy(const RasterImage& source) {
  if (!CopyPlaneFrom(alpha_, source.alpha_, source)) return false;
  info_.alphaMax = source.info_.alphaMax;
  return true;
}

// Copies a width x height plane of a same-sized image into `plane`.
bool RasterImage::CopyPlaneFrom(BYTE*& plane, const BYTE* sourcePlane, const RasterImage& source) {
  if (!sourcePlane || source.GetWidth() != GetWidth() || source.GetHeight() != GetHeight()) return false;
  if (!plane) plane = static_cast<BYTE*>(std::malloc(PixelCount()));
  if (!plane) return false;
  std::memcpy(plane, sourcePlane, PixelCount());
  return true;
}

bool RasterImage::AlphaFlip() {
  if (!alpha_) return false;
  const uint64_t w = static_cast<uint64_t>(head_.biWidth);
  std::vector<BYTE> row(w);
  for (int32_t top = 0, bottom = head_.biHeight - 1; top < bottom; ++top, --bottom) {
    std::memcpy(row.data(), alpha_ + top * w, w);
    std::memcpy(alpha_ + top * w, alpha_ + bottom * w, w);
    std::memcpy(alpha_ + bottom * w, row.data(), w);
  }
  return true;
}

bool RasterImage::AlphaMirror() {
  if (!alpha_) return false;
  const uint64_t w = static_cast<uint64_t>(head_.biWidth);
  for (int32_t y = 0; y < head_.biHeight; ++y) {
    BYTE* row = alpha_ + y * w;
    for (uint64_t a = 0, b = w - 1; a < b; ++a, --b) std::swap(row[a], row[b]);
  }
  return true;
}

void RasterImage::SelectionDelete() {
  std::free(selection_);
  selection_ = nullptr;
  info_.selectionBox = RECT{head_.biWidth, 0, 0, head_.biHeight};
}

bool RasterImage::SelectionCreate() {
  if (selection_) return true;
  if (!block_) return false;
  selection_ = static_cast<BYTE*>(std::calloc(1, PixelCount()));
  return selection_ != nullptr;
}

void RasterImage::SelectionSet(int32_t x, int32_t y, BYTE value) {
  if (!selection_ || !IsInside(x, y)) return;
  selection_[static_cast<uint64_t>(y) * head_.biWidth + x] = value;
  if (!value) return;
  RECT& box = info_.selectionBox;
  if (x < box.left) box.left = x;
  if (x + 1 > box.right) box.right = x + 1;
  if (y < box.bottom) box.bottom = y;
  if (y + 1 > box.top) box.top = y + 1;
}

bool RasterImage::SelectionIsInside(int32_t x, int32_t y) const {
  if (!IsInside(x, y)) return false;
  return !selection_ || selection_[static_cast<uint64_t>(y) * head_.biWidth + x] != 0;
}

bool RasterImage::SelectionCopy(const RasterImage& source) {
  if (!CopyPlaneFrom(selection_, source.selection_, source)) return false;
  info_.selectionBox = source.info_.selectionBox;
  return true;
}

void ImageRowIterator::SetRow(int32_t y) {
  y_ = y;
  x_ = 0;
  row_ = nullptr;
  if (!image_ || !image_->IsValid() || y < 0 || y > image_->GetHeight()) return;
  row_ = image_->GetBits() + static_cast<uint64_t>(y) * image_->GetStride();
}
