// CDIBSection and the BMP file writer.
#include "controls/DIBSection.h"

#include <cstdlib>
#include <cstring>
#include <vector>

#include "framework/Exceptions.h"
#include "framework/File.h"
#include "imaging/RasterImage.h"

namespace {

// clang-format off
const COLORREF kFirstColours[10] = {
    RGB(0x00, 0x00, 0x00), RGB(0x00, 0x00, 0x80), RGB(0x00, 0x80, 0x00), RGB(0x00, 0x80, 0x80),
    RGB(0x80, 0x00, 0x00), RGB(0x80, 0x00, 0x80), RGB(0x80, 0x80, 0x00), RGB(0xC0, 0xC0, 0xC0),
    RGB(0xC0, 0xDC, 0xC0), RGB(0xF0, 0xCA, 0xA6)};
const BYTE kCubeLevels[6] = {0x00, 0x2C, 0x56, 0x87, 0xC0, 0xFF};
const BYTE kGreys[23] = {0x11, 0x18, 0x1E, 0x25, 0x2C, 0x34, 0x3C, 0x44, 0x4D, 0x56, 0x5F, 0x69,
                         0x72, 0x7D, 0x92, 0x9D, 0xA8, 0xB4, 0xCC, 0xD8, 0xE5, 0xF2, 0xFF};
const COLORREF kLastColours[10] = {
    RGB(0xF0, 0xFB, 0xFF), RGB(0xA4, 0xA0, 0xA0), RGB(0x80, 0x80, 0x80), RGB(0x00, 0x00, 0xFF),
    RGB(0x00, 0xFF, 0x00), RGB(0x00, 0xFF, 0xFF), RGB(0xFF, 0x00, 0x00), RGB(0xFF, 0x00, 0xFF),
    RGB(0xFF, 0xFF, 0x00), RGB(0xFF, 0xFF, 0xFF)};
// clang-format on

// The 256-entry standard colour table: system colours, a 6x6x6 cube less
// three duplicates, greys, and the last system colours.
const std::vector<COLORREF>& StandardColours() {
  static const std::vector<COLORREF> table = [] {
    std::vector<COLORREF> t(kFirstColours, kFirstColours + 10);
    for (BYTE r : kCubeLevels)
      for (BYTE g : kCubeLevels)
        for (BYTE b : kCubeLevels) {
          const COLORREF c = RGB(r, g, b);
          if (c != RGB(0, 0, 0) && c != RGB(0xC0, 0xC0, 0xC0) && c != RGB(0xFF, 0xFF, 0)) t.push_back(c);
        }
    for (BYTE v : kGreys) t.push_back(RGB(v, v, v));
    t.insert(t.end(), kLastColours, kLastColours + 10);
    return t;
  }();
  return table;
}

// A LOGPALETTE with room for `count` entries.
std::vector<BYTE> NewLogPalette(UINT count) {
  std::vector<BYTE> memory(sizeof(LOGPALETTE) + count * sizeof(PALETTEENTRY), 0);
  LOGPALETTE* log = reinterpret_cast<LOGPALETTE*>(memory.data());
  log->palVersion = 0x300;
  log->palNumEntries = static_cast<WORD>(count);
  return memory;
}

PALETTEENTRY Entry(COLORREF c) { return PALETTEENTRY{GetRValue(c), GetGValue(c), GetBValue(c), 0}; }

void Check(bool ok) {
  if (!ok) throw CResourceException();
}

}  // namespace

bool MakeStandardPalette(HPALETTE& palette, UINT count) {
  if (palette) DeleteObject(palette);
  palette = nullptr;
  const UINT entries = (count >= 1 && count <= 2) ? 2 : (count >= 3 && count <= 16) ? 16 : 256;
  std::vector<BYTE> memory = NewLogPalette(entries);
  LOGPALETTE* log = reinterpret_cast<LOGPALETTE*>(memory.data());
  const std::vector<COLORREF>& table = StandardColours();
  for (UINT i = 0; i < entries; ++i) {
    UINT source = i;
    if (entries == 2) source = i == 0 ? 0 : 255;
    if (entries == 16) source = i < 8 ? i : 240 + i;
    log->palPalEntry[i] = Entry(table[source]);
  }
  palette = CreatePalette(log);
  return palette != nullptr;
}

CDIBSection::CDIBSection() = default;

CDIBSection::~CDIBSection() { ReleaseAll(); }

void CDIBSection::DeletePalette() {
  if (palette_) DeleteObject(palette_);
  palette_ = nullptr;
}

void CDIBSection::ReleaseMemDC() {
  if (!memDC_) return;
  GdiFlush();
  if (oldBitmap_) SelectObject(memDC_, oldBitmap_);
  if (oldPalette_) SelectPalette(memDC_, oldPalette_, FALSE);
  oldBitmap_ = nullptr;
  oldPalette_ = nullptr;
  DeleteDC(memDC_);
  memDC_ = nullptr;
}

void CDIBSection::ReleaseAll() {
  ReleaseMemDC();
  if (section_) DeleteObject(section_);
  section_ = nullptr;
  bits_ = nullptr;
  DeletePalette();
  std::memset(&info_, 0, sizeof(info_));
  colourUsage_ = DIB_RGB_COLORS;
  colourCount_ = 0;
}

bool CDIBSection::StoreColorTable(UINT count, const RGBQUAD* entries) {
  if (!entries || count == 0 || count > 256 || colourCount_ == 0) return false;
  const BITMAPINFOHEADER& h = info_.header;
  UINT tableSize = h.biClrUsed ? h.biClrUsed : 1u << (h.biPlanes * h.biBitCount);
  if (tableSize > 256) tableSize = 256;
  const UINT n = count < tableSize ? count : tableSize;
  for (UINT i = 0; i < n; ++i) {
    info_.colours[i] = entries[i];
    info_.colours[i].rgbReserved = 0;
  }
  return true;
}

bool CDIBSection::AssignLogPalette(const LOGPALETTE* palette) {
  if (palette && palette->palNumEntries >= 1 && palette->palNumEntries <= 256) {
    DeletePalette();
    palette_ = CreatePalette(palette);
    if (palette_) {
      if (colourCount_ == 0) return true;
      RGBQUAD quads[256];
      for (UINT i = 0; i < palette->palNumEntries; ++i) {
        const PALETTEENTRY& e = palette->palPalEntry[i];
        quads[i] = RGBQUAD{e.peBlue, e.peGreen, e.peRed, 0};
      }
      return StoreColorTable(palette->palNumEntries, quads);
    }
  }
  PaletteFromColorTable();
  return false;
}

bool CDIBSection::AssignPalette(HPALETTE palette) {
  if (!palette) {
    DeletePalette();
    return false;
  }
  WORD count = 0;
  if (!GetObjectA(palette, sizeof(count), &count) || count < 1 || count > 256) return false;
  std::vector<BYTE> memory = NewLogPalette(count);
  LOGPALETTE* log = reinterpret_cast<LOGPALETTE*>(memory.data());
  GetPaletteEntries(palette, 0, count, log->palPalEntry);
  return AssignLogPalette(log);
}

bool CDIBSection::PaletteFromColorTable() {
  DeletePalette();
  if (!section_) return false;
  if (colourCount_ == 0) return MakeStandardPalette(palette_, 256);
  HDC screen = GetDC(nullptr);
  if (!screen) return false;
  RGBQUAD quads[256];
  UINT read = 0;
  HDC memory = CreateCompatibleDC(screen);
  if (memory) {
    HGDIOBJ old = SelectObject(memory, section_);
    if (old) {
      read = GetDIBColorTable(memory, 0, colourCount_, quads);
      SelectObject(memory, old);
    }
    DeleteDC(memory);
  }
  ReleaseDC(nullptr, screen);
  if (read == 0) return MakeStandardPalette(palette_, colourCount_);
  std::vector<BYTE> logMemory = NewLogPalette(read);
  LOGPALETTE* log = reinterpret_cast<LOGPALETTE*>(logMemory.data());
  for (UINT i = 0; i < read; ++i)
    log->palPalEntry[i] = PALETTEENTRY{quads[i].rgbRed, quads[i].rgbGreen, quads[i].rgbBlue, 0};
  palette_ = CreatePalette(log);
  return palette_ != nullptr;
}

// Creates the section with the header GDI filled in (steps 4 to 6).
void CDIBSection::MakeSection(HDC screen, HPALETTE palette) {
  BITMAPINFOHEADER& h = info_.header;
  const BITMAPINFOHEADER asked = h;
  if (palette) AssignPalette(palette);
  // GDI may answer bit fields for 16 and 32 bits; the file is BI_RGB.
  h.biCompression = BI_RGB;
  if (h.biSizeImage == 0) h.biSizeImage = asked.biSizeImage;
  HPALETTE previous = nullptr;
  if (palette_) {
    previous = SelectPalette(screen, palette_, FALSE);
    RealizePalette(screen);
  }
  section_ = CreateDIBSection(screen, reinterpret_cast<BITMAPINFO*>(&info_), colourUsage_, &bits_, nullptr, 0);
  if (previous) SelectPalette(screen, previous, FALSE);
  Check(section_ != nullptr);
}

// BitBlt of the whole bitmap into the section (step 8).
void CDIBSection::CopyBitmap(HDC screen, HBITMAP bitmap, int width, int height) {
  HDC source = CreateCompatibleDC(screen);
  HDC target = CreateCompatibleDC(screen);
  if (!source || !target) {
    if (source) DeleteDC(source);
    if (target) DeleteDC(target);
    throw CResourceException();
  }
  if (palette_) {
    SelectPalette(source, palette_, FALSE);
    RealizePalette(source);
    SelectPalette(target, palette_, FALSE);
    RealizePalette(target);
  }
  GdiFlush();
  HGDIOBJ oldSource = SelectObject(source, bitmap);
  HGDIOBJ oldTarget = SelectObject(target, section_);
  const BOOL copied = BitBlt(target, 0, 0, width, height, source, 0, 0, SRCCOPY);
  SelectObject(source, oldSource);
  SelectObject(target, oldTarget);
  if (palette_) {
    SelectPalette(source, static_cast<HPALETTE>(GetStockObject(DEFAULT_PALETTE)), FALSE);
    SelectPalette(target, static_cast<HPALETTE>(GetStockObject(DEFAULT_PALETTE)), FALSE);
  }
  DeleteDC(source);
  DeleteDC(target);
  GdiFlush();
  Check(copied != FALSE && oldSource != nullptr && oldTarget != nullptr);
}

bool DibImageSize(int width, int height, int bits, DWORD& size) {
  if (width < 0 || height < 0 || bits < 0) return false;
  const uint64_t stride = (static_cast<uint64_t>(bits) * static_cast<uint64_t>(width) + 31) / 32 * 4;
  const uint64_t bytes = stride * static_cast<uint64_t>(height);
  // The file's 32-bit size field holds the headers and colour table too.
  if (bytes > kLargestDibImage) return false;
  size = static_cast<DWORD>(bytes);
  return true;
}

bool CDIBSection::AssignBitmap(HBITMAP bitmap, HPALETTE palette) {
  ReleaseAll();
  BITMAP bm;
  if (!bitmap || GetObjectA(bitmap, sizeof(bm), &bm) != sizeof(bm)) return false;
  const int height = bm.bmHeight < 0 ? -bm.bmHeight : bm.bmHeight;
  const int bits = bm.bmBitsPixel;
  colourCount_ = bits == 1 ? 2 : bits == 4 ? 16 : bits == 8 ? 256 : 0;
  BITMAPINFOHEADER& h = info_.header;
  h.biSize = sizeof(BITMAPINFOHEADER);
  h.biWidth = bm.bmWidth;
  h.biHeight = height;
  h.biPlanes = 1;
  h.biBitCount = static_cast<WORD>(bits);
  h.biCompression = BI_RGB;
  if (!DibImageSize(bm.bmWidth, height, bits, h.biSizeImage)) {
    ReleaseAll();
    return false;
  }
  HDC screen = GetWindowDC(nullptr);
  if (!screen) {
    ReleaseAll();
    return false;
  }
  bool ok = true;
  try {
    Check(GetDIBits(screen, bitmap, 0, height, nullptr, reinterpret_cast<BITMAPINFO*>(&info_), colourUsage_) != 0);
    MakeSection(screen, palette);
    if (!palette) PaletteFromColorTable();
    CopyBitmap(screen, bitmap, bm.bmWidth, height);
  } catch (const CException&) {
    ReleaseAll();
    ok = false;
  }
  ReleaseDC(nullptr, screen);
  return ok;
}

bool SaveBitmapAsBmp(HBITMAP bitmap, const char* path) {
  CDIBSection dib;
  if (!dib.AssignBitmap(bitmap, nullptr) || !dib.GetBits()) return false;
  CFile file;
  if (!file.Open(path, CFile::modeCreate | CFile::modeWrite)) return false;
  const BITMAPINFOHEADER& h = dib.GetInfoHeader();
  const UINT tableBytes = dib.GetColorCount() * 4;
  BYTE head[54] = {'B', 'M'};
  PutLE32(head + 2, 54 + tableBytes + h.biSizeImage);
  PutLE32(head + 10, 54 + tableBytes);
  WriteInfoHeaderBytes(head + 14, h);
  file.Write(head, sizeof(head));
  std::vector<BYTE> table(tableBytes);
  for (UINT i = 0; i < dib.GetColorCount(); ++i) {
    const RGBQUAD& q = dib.GetColorTable()[i];
    table[i * 4] = q.rgbBlue, table[i * 4 + 1] = q.rgbGreen, table[i * 4 + 2] = q.rgbRed;
  }
  if (tableBytes) file.Write(table.data(), tableBytes);
  file.Write(dib.GetBits(), h.biSizeImage);
  file.Close();
  return true;
}
