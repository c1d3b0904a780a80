// RasterImageWMF: reading metafiles into raster images through GDI.
// Choices of ours: the Windows metafile's length is computed in 64 bits and
// must fit in the bytes after the placeable header; a bounding box of no or
// negative size gives an empty picture; the extents of small metafiles are
// scaled up only while both are non-zero; pictures over the side limit are
// scaled in floating point and keep at least one pixel a side.
#include "imaging/RasterImageWMF.h"

#include <cmath>
#include <vector>

#include "imaging/ImageFile.h"

namespace {

constexpr uint32_t kPlaceableKey = 0x9AC6CDD7;
constexpr int kPlaceableBytes = 22;
constexpr int kMetaHeaderBytes = 18;
// SetWinMetaFileBits renders small extents coarsely: they are scaled up
// by tens until the x extent reaches this.
constexpr int64_t kSmallExtent = 6554;
// The largest enhanced metafile read into memory.
constexpr int64_t kMaxEnhancedBytes = 64 * 1024 * 1024;

struct ScreenDpi {
  int x = 96, y = 96;
  ScreenDpi() {
    if (HDC screen = GetDC(nullptr)) {
      x = GetDeviceCaps(screen, LOGPIXELSX);
      y = GetDeviceCaps(screen, LOGPIXELSY);
      ReleaseDC(nullptr, screen);
    }
  }
};

// Multiplies both extents by ten while they are small; stops on a zero
// extent, which no multiplication would ever grow.
void ScaleUpSmallExtents(int64_t& x, int64_t& y) {
  if (x >= kSmallExtent) return;
  while (x > 0 && y > 0 && y < kSmallExtent) {
    x *= 10, y *= 10;
    if (x >= kSmallExtent - 1) break;
  }
}

}  // namespace

void FitMetafileSize(int32_t& width, int32_t& height, int32_t limit) {
  if (width > limit) {
    height = static_cast<int32_t>(std::lround(static_cast<double>(height) * limit / width));
    width = limit;
  }
  if (height > limit) {
    width = static_cast<int32_t>(std::lround(static_cast<double>(width) * limit / height));
    height = limit;
  }
  if (width < 1) width = 1;
  if (height < 1) height = 1;
}

bool RasterImageWMF::CheckPlaceableHeader(const BYTE header[22]) {
  if (GetLE32(header) != kPlaceableKey) return false;
  uint16_t sum = 0;
  for (int i = 0; i < 20; i += 2) sum ^= GetLE16(header + i);
  const uint16_t inch = GetLE16(header + 14);
  return sum == GetLE16(header + 20) && inch >= 1 && inch <= 2540;
}

bool RasterImageWMF::Encode(ImageFile*) {
  SetError("Save WMF not supported");
  return false;
}

HENHMETAFILE RasterImageWMF::ReadPlaceable(ImageFile* file, int32_t& width, int32_t& height) {
  const int64_t start = file->Tell();
  const int64_t fileSize = file->Size();
  BYTE head[kPlaceableBytes], meta[kMetaHeaderBytes];
  if (!ReadAll(file, head, kPlaceableBytes) || !CheckPlaceableHeader(head)) return nullptr;
  if (!ReadAll(file, meta, kMetaHeaderBytes)) return nullptr;
  const uint16_t type = GetLE16(meta);
  if (type != 1 && type != 2) return nullptr;
  // Words times two in 64 bits: a huge count must not wrap into a small one.
  const uint64_t bytes = static_cast<uint64_t>(GetLE32(meta + 6)) * 2;
  const int64_t after = fileSize - start - kPlaceableBytes;
  if (bytes < kMetaHeaderBytes || after < 0 || bytes > static_cast<uint64_t>(after)) return nullptr;
  std::vector<BYTE> data(bytes);
  if (!file->Seek(start + kPlaceableBytes, SEEK_SET) || !ReadAll(file, data.data(), data.size())) return nullptr;

  const ScreenDpi dpi;
  const int64_t inch = GetLE16(head + 14);
  const int64_t boxWidth = int64_t(int16_t(GetLE16(head + 10))) - int16_t(GetLE16(head + 6));
  const int64_t boxHeight = int64_t(int16_t(GetLE16(head + 12))) - int16_t(GetLE16(head + 8));
  int64_t x = boxWidth * dpi.x / inch, y = boxHeight * dpi.y / inch;
  width = static_cast<int32_t>(x > 0 ? x : 0);
  height = static_cast<int32_t>(y > 0 ? y : 0);
  ScaleUpSmallExtents(x, y);
  METAFILEPICT picture{MM_ANISOTROPIC, static_cast<LONG>(x), static_cast<LONG>(y), nullptr};
  HENHMETAFILE metafile = SetWinMetaFileBits(static_cast<UINT>(data.size()), data.data(), nullptr, &picture);
  if (!metafile) {
    picture.mm = MM_TEXT;
    metafile = SetWinMetaFileBits(static_cast<UINT>(data.size()), data.data(), nullptr, &picture);
  }
  return metafile;
}

HENHMETAFILE RasterImageWMF::ReadEnhanced(ImageFile* file, int32_t& width, int32_t& height) {
  const int64_t left = BytesLeft(file);
  if (left < static_cast<int64_t>(sizeof(ENHMETAHEADER)) || left > kMaxEnhancedBytes) return nullptr;
  std::vector<BYTE> data(static_cast<size_t>(left));
  if (!ReadAll(file, data.data(), data.size())) return nullptr;
  HENHMETAFILE metafile = SetEnhMetaFileBits(static_cast<UINT>(data.size()), data.data());
  if (!metafile) return nullptr;
  ENHMETAHEADER header{};
  if (!GetEnhMetaFileHeader(metafile, sizeof(header), &header)) {
    DeleteEnhMetaFile(metafile);
    return nullptr;
  }
  const int64_t w = int64_t(header.rclBounds.right) - header.rclBounds.left;
  const int64_t h = int64_t(header.rclBounds.bottom) - header.rclBounds.top;
  width = static_cast<int32_t>(w > 0 && w < INT32_MAX ? w : 0);
  height = static_cast<int32_t>(h > 0 && h < INT32_MAX ? h : 0);
  return metafile;
}

bool RasterImageWMF::Decode(ImageFile* file, int32_t width, int32_t height) {
  if (!file) return false;
  const int64_t start = file->Tell();
  int32_t ownWidth = 0, ownHeight = 0;
  HENHMETAFILE metafile = ReadPlaceable(file, ownWidth, ownHeight);
  if (!metafile) {
    file->Seek(start, SEEK_SET);
    metafile = ReadEnhanced(file, ownWidth, ownHeight);
  }
  if (!metafile) {
    SetError("corrupted WMF");
    return false;
  }
  if (info_.escape) {
    DeleteEnhMetaFile(metafile);
    SetError("Cancelled");
    return false;
  }
  if (ownWidth <= 0 || ownHeight <= 0) {
    DeleteEnhMetaFile(metafile);
    SetError("empty WMF");
    return false;
  }
  if (width > 0) ownWidth = width;
  if (height > 0) ownHeight = height;
  FitMetafileSize(ownWidth, ownHeight, kMaxSide);
  return Render(metafile, ownWidth, ownHeight);
}

namespace {

// The metafile's own palette, selected and realised into `dc`; null when
// it has none. `failed` reports memory that could not be had.
HPALETTE SelectMetafilePalette(HDC dc, HENHMETAFILE metafile, bool& failed) {
  failed = false;
  const UINT count = GetEnhMetaFilePaletteEntries(metafile, 0, nullptr);
  if (count == 0 || count == GDI_ERROR) return nullptr;
  std::vector<BYTE> memory;
  try {
    memory.assign(sizeof(LOGPALETTE) + count * sizeof(PALETTEENTRY), 0);
  } catch (const std::bad_alloc&) {
    failed = true;
    return nullptr;
  }
  LOGPALETTE* log = reinterpret_cast<LOGPALETTE*>(memory.data());
  log->palVersion = 0x300;
  log->palNumEntries = static_cast<WORD>(count);
  GetEnhMetaFilePaletteEntries(metafile, count, log->palPalEntry);
  HPALETTE palette = CreatePalette(log);
  if (palette) {
    SelectPalette(dc, palette, FALSE);
    RealizePalette(dc);
  }
  return palette;
}

}  // namespace

// Plays the metafile onto a window-coloured screen bitmap and copies it
// into the image. Every GDI object is released on every path.
bool RasterImageWMF::Render(HENHMETAFILE metafile, int32_t width, int32_t height) {
  HDC screen = GetDC(nullptr);
  HDC memory = screen ? CreateCompatibleDC(screen) : nullptr;
  HBITMAP bitmap = screen ? CreateCompatibleBitmap(screen, width, height) : nullptr;
  bool ok = memory && bitmap;
  bool noMemory = false;
  if (ok) {
    HGDIOBJ oldBitmap = SelectObject(memory, bitmap);
    const RECT rect{0, 0, width, height};
    SetBkColor(memory, GetSysColor(COLOR_WINDOW));
    ExtTextOutA(memory, 0, 0, ETO_OPAQUE, &rect, nullptr, 0, nullptr);
    HPALETTE palette = SelectMetafilePalette(memory, metafile, noMemory);
    if (!noMemory) PlayEnhMetaFile(memory, metafile, &rect);
    const int bits = GetDeviceCaps(memory, BITSPIXEL) * GetDeviceCaps(memory, PLANES);
    SelectObject(memory, oldBitmap);
    if (palette) {
      SelectPalette(memory, static_cast<HPALETTE>(GetStockObject(DEFAULT_PALETTE)), FALSE);
      DeleteObject(palette);
    }
    ok = !noMemory && !info_.escape && Create(width, height, bits >= 24 ? 24 : bits, kFormatWmf) &&
         GetDIBits(memory, bitmap, 0, static_cast<UINT>(height), GetBits(), reinterpret_cast<BITMAPINFO*>(block_),
                   DIB_RGB_COLORS) == height;
    if (noMemory || info_.escape) SetError("Cancelled");
  }
  DeleteEnhMetaFile(metafile);
  if (bitmap) DeleteObject(bitmap);
  if (memory) DeleteDC(memory);
  if (screen) ReleaseDC(nullptr, screen);
  // GetDIBits may have written its own header fields over the block's copy.
  if (ok) StoreHeaderCopy();
  return ok;
}
