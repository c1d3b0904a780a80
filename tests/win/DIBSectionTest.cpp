#include <gtest/gtest.h>

#include <cstdio>
#include <filesystem>
#include <fstream>
#include <random>
#include <string>
#include <vector>

#include "controls/DIBSection.h"
#include "imaging/RasterImage.h"

namespace {

using Bytes = std::vector<BYTE>;

class TempFile {
 public:
  TempFile() {
    std::random_device seed;
    path_ = (std::filesystem::temp_directory_path() / ("ovelin-dib-" + std::to_string(seed()) + ".bmp")).string();
  }
  ~TempFile() { std::remove(path_.c_str()); }
  const char* c_str() const { return path_.c_str(); }
  Bytes Read() const {
    std::ifstream in(path_, std::ios::binary);
    return Bytes(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
  }

 private:
  std::string path_;
};

uint32_t Le32(const Bytes& b, size_t at) { return b[at] | b[at + 1] << 8 | b[at + 2] << 16 | uint32_t(b[at + 3]) << 24; }

// A DIB section source bitmap with a test pattern; negative height when topDown.
HBITMAP MakeSource(int width, int height, int bits, bool topDown, void** pixels) {
  struct {
    BITMAPINFOHEADER h;
    RGBQUAD colours[256];
  } info{};
  info.h = BITMAPINFOHEADER{sizeof(BITMAPINFOHEADER), width, topDown ? -height : height, 1, WORD(bits), BI_RGB, 0, 0, 0, 0, 0};
  for (int i = 0; i < 256; ++i) info.colours[i] = RGBQUAD{BYTE(i), BYTE(255 - i), BYTE(i * 3), 0};
  HBITMAP bitmap = CreateDIBSection(nullptr, reinterpret_cast<BITMAPINFO*>(&info), DIB_RGB_COLORS, pixels, nullptr, 0);
  const int stride = ((width * bits + 31) / 32) * 4;
  BYTE* p = static_cast<BYTE*>(*pixels);
  for (int i = 0; i < stride * height; ++i) p[i] = BYTE(i * 7 + i / stride);
  GdiFlush();
  return bitmap;
}

struct Case {
  int width, height, bits;
  bool topDown;
  uint32_t offset, sizeImage;
};

TEST(SaveBitmapAsBmp, HeadersAndPixels) {
  const Case cases[] = {
      {100, 10, 24, false, 54, 3000},
      {100, 10, 1, false, 54 + 8, 160},
      {33, 7, 8, true, 1078, 36 * 7},
      {20, 5, 4, false, 54 + 64, 12 * 5},
      {9, 4, 32, false, 54, 9 * 4 * 4},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(testing::Message() << c.width << "x" << c.height << "x" << c.bits);
    void* pixels = nullptr;
    HBITMAP source = MakeSource(c.width, c.height, c.bits, c.topDown, &pixels);
    ASSERT_NE(source, nullptr);
    TempFile file;
    ASSERT_TRUE(SaveBitmapAsBmp(source, file.c_str()));
    const Bytes bytes = file.Read();
    ASSERT_GE(bytes.size(), 54u);
    EXPECT_EQ(Le32(bytes, 10), c.offset);
    EXPECT_EQ(Le32(bytes, 2), c.offset + c.sizeImage);
    EXPECT_EQ(int32_t(Le32(bytes, 22)), c.height);  // bottom-up, positive
    EXPECT_EQ(Le32(bytes, 34), c.sizeImage);
    EXPECT_EQ(Le32(bytes, 30), uint32_t(BI_RGB));
    EXPECT_EQ(bytes.size(), c.offset + c.sizeImage);
    // The file reads back with the source's colours.
    RasterImage image(file.c_str(), kFormatBmp);
    ASSERT_TRUE(image.IsValid()) << image.GetLastError();
    EXPECT_EQ(image.GetBpp(), c.bits == 32 ? 24 : c.bits);
    HDC dc = CreateCompatibleDC(nullptr);
    HGDIOBJ old = SelectObject(dc, source);
    for (int y = 0; y < c.height; ++y) {
      for (int x = 0; x < c.width; ++x) {
        const COLORREF want = GetPixel(dc, x, y);
        const RGBQUAD got = image.GetPixelColor(x, c.height - 1 - y);
        ASSERT_EQ(RGB(got.rgbRed, got.rgbGreen, got.rgbBlue), want) << x << "," << y;
      }
    }
    SelectObject(dc, old);
    DeleteDC(dc);
    DeleteObject(source);
  }
}

TEST(SaveBitmapAsBmp, ScreenCompatibleBitmap) {
  HDC screen = GetDC(nullptr);
  HBITMAP bitmap = CreateCompatibleBitmap(screen, 40, 20);
  HDC dc = CreateCompatibleDC(screen);
  HGDIOBJ old = SelectObject(dc, bitmap);
  RECT all{0, 0, 40, 20};
  FillRect(dc, &all, static_cast<HBRUSH>(GetStockObject(WHITE_BRUSH)));
  SetPixel(dc, 3, 2, RGB(200, 10, 30));
  SelectObject(dc, old);
  DeleteDC(dc);
  ReleaseDC(nullptr, screen);
  TempFile file;
  ASSERT_TRUE(SaveBitmapAsBmp(bitmap, file.c_str()));
  DeleteObject(bitmap);
  RasterImage image(file.c_str(), kFormatBmp);
  ASSERT_TRUE(image.IsValid());
  EXPECT_EQ(image.GetWidth(), 40);
  const RGBQUAD c = image.GetPixelColor(3, 20 - 1 - 2);
  EXPECT_EQ(c.rgbRed, 200);
  EXPECT_EQ(c.rgbBlue, 30);
  EXPECT_EQ(image.GetPixelColor(0, 0).rgbGreen, 255);
}

// A bitmap that cannot be converted leaves the target as it was.
TEST(SaveBitmapAsBmp, FailureLeavesTargetUntouched) {
  TempFile file;
  {
    std::ofstream out(file.c_str(), std::ios::binary);
    out << "keep";
  }
  EXPECT_FALSE(SaveBitmapAsBmp(nullptr, file.c_str()));
  EXPECT_EQ(file.Read(), (Bytes{'k', 'e', 'e', 'p'}));
}

TEST(CDIBSection, StandardPalettes) {
  HPALETTE palette = nullptr;
  ASSERT_TRUE(MakeStandardPalette(palette, 16));
  PALETTEENTRY entries[256];
  EXPECT_EQ(GetPaletteEntries(palette, 0, 256, entries), 16u);
  EXPECT_EQ(entries[7].peRed, 0xC0);   // standard entry 7
  EXPECT_EQ(entries[8].peRed, 0x80);   // standard entry 248
  EXPECT_EQ(entries[15].peBlue, 0xFF); // standard entry 255
  ASSERT_TRUE(MakeStandardPalette(palette, 300));
  EXPECT_EQ(GetPaletteEntries(palette, 0, 256, entries), 256u);
  EXPECT_EQ(entries[10].peBlue, 0x2C);
  EXPECT_EQ(entries[10].peRed, 0x00);
  EXPECT_EQ(entries[222].peGreen, 0xFF);
  EXPECT_EQ(entries[223].peRed, 0x11);
  EXPECT_EQ(entries[246].peRed, 0xF0);
  ASSERT_TRUE(MakeStandardPalette(palette, 1));
  EXPECT_EQ(GetPaletteEntries(palette, 0, 256, entries), 2u);
  EXPECT_EQ(entries[1].peGreen, 0xFF);
  DeleteObject(palette);
}

TEST(CDIBSection, AssignAndRelease) {
  void* pixels = nullptr;
  HBITMAP source = MakeSource(16, 8, 8, false, &pixels);
  CDIBSection dib;
  ASSERT_TRUE(dib.AssignBitmap(source, nullptr));
  EXPECT_NE(dib.GetSection(), nullptr);
  EXPECT_NE(dib.GetPalette(), nullptr);
  EXPECT_EQ(dib.GetColorCount(), 256u);
  EXPECT_EQ(dib.GetColorTable()[5].rgbRed, 15);
  RGBQUAD grey[2] = {{1, 1, 1, 9}, {2, 2, 2, 9}};
  EXPECT_TRUE(dib.StoreColorTable(2, grey));
  EXPECT_EQ(dib.GetColorTable()[1].rgbBlue, 2);
  EXPECT_EQ(dib.GetColorTable()[1].rgbReserved, 0);
  EXPECT_FALSE(dib.StoreColorTable(0, grey));
  EXPECT_FALSE(dib.StoreColorTable(300, grey));
  HPALETTE palette = nullptr;
  MakeStandardPalette(palette, 16);
  EXPECT_TRUE(dib.AssignPalette(palette));
  EXPECT_EQ(dib.GetColorTable()[8].rgbRed, 0x80);
  DeleteObject(palette);
  EXPECT_FALSE(dib.AssignPalette(nullptr));
  EXPECT_EQ(dib.GetPalette(), nullptr);
  dib.ReleaseAll();
  EXPECT_EQ(dib.GetSection(), nullptr);
  EXPECT_EQ(dib.GetBits(), nullptr);
  EXPECT_EQ(dib.GetColorCount(), 0u);
  EXPECT_EQ(dib.GetInfoHeader().biWidth, 0);
  EXPECT_FALSE(dib.AssignBitmap(nullptr, nullptr));
  DeleteObject(source);
}

}  // namespace

TEST(CDIBSection, ImageSizeIsComputedIn64Bits) {
  DWORD size = 0;
  ASSERT_TRUE(DibImageSize(3, 2, 24, size));
  EXPECT_EQ(size, 24u);  // rows of 9 bytes padded to 12
  ASSERT_TRUE(DibImageSize(40000, 20000, 24, size));
  EXPECT_EQ(size, 2400000000u);  // above 2 GiB, where int arithmetic wrapped
  size = 7;
  EXPECT_FALSE(DibImageSize(70000, 70000, 32, size));  // 19.6 GB
  EXPECT_EQ(size, 7u);
  EXPECT_FALSE(DibImageSize(65536, 16384, 32, size));  // 4 GiB exactly
}
