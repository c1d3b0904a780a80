// CDIBSection: a device-independent section made from a device-dependent
// bitmap, with its header, colour table, bits and palette in reach; and
// SaveBitmapAsBmp, which writes a bitmap as a BMP file through it.
// Windows only. Choices of ours: GDI objects are held as raw handles; a
// 16- or 32-bit section is always made with BI_RGB (GDI may answer bit
// fields); SaveBitmapAsBmp answers false, touching no file, when the
// bitmap cannot be converted.
#pragma once

#include <cstdint>

#include "framework/Object.h"
#include "framework/Platform.h"

class CDIBSection : public CObject {
 public:
  CDIBSection();
  ~CDIBSection() override;
  CDIBSection(const CDIBSection&) = delete;
  CDIBSection& operator=(const CDIBSection&) = delete;

  // With a null palette, the palette is built from the colour table.
  bool AssignBitmap(HBITMAP bitmap, HPALETTE palette);
  bool AssignPalette(HPALETTE palette);
  bool AssignLogPalette(const LOGPALETTE* palette);
  bool StoreColorTable(UINT count, const RGBQUAD* entries);
  bool PaletteFromColorTable();
  void ReleaseMemDC();
  void ReleaseAll();

  HBITMAP GetSection() const { return section_; }
  const BITMAPINFOHEADER& GetInfoHeader() const { return info_.header; }
  const RGBQUAD* GetColorTable() const { return info_.colours; }
  const void* GetBits() const { return bits_; }
  UINT GetColorCount() const { return colourCount_; }
  HPALETTE GetPalette() const { return palette_; }

 private:
  void MakeSection(HDC screen, HPALETTE palette);
  void CopyBitmap(HDC screen, HBITMAP bitmap, int width, int height);
  void DeletePalette();

  HBITMAP section_ = nullptr;
  struct {
    BITMAPINFOHEADER header;
    RGBQUAD colours[256];
  } info_{};
  void* bits_ = nullptr;
  UINT colourUsage_ = DIB_RGB_COLORS;
  UINT colourCount_ = 0;
  HDC memDC_ = nullptr;
  HPALETTE palette_ = nullptr;
  HPALETTE oldPalette_ = nullptr;
  HGDIOBJ oldBitmap_ = nullptr;
};

// Replaces `palette` with the standard palette of 2, 16 or 256 entries.
bool MakeStandardPalette(HPALETTE& palette, UINT count);

// Largest pixel block a section and its BMP file may hold: the file's
// 32-bit size field must also take the headers and a 256-entry table.
constexpr uint64_t kLargestDibImage = 0xFFFFFFFFull - 54 - 1024;
// Bytes of a bottom-up image of rows padded to 4 bytes, computed in 64
// bits; false when that does not fit kLargestDibImage.
bool DibImageSize(int width, int height, int bits, DWORD& size);

// Writes the bitmap as a bottom-up BI_RGB file in its own depth.
bool SaveBitmapAsBmp(HBITMAP bitmap, const char* path);
