// The metafile reader: placeable Windows metafiles written here record by
// record, enhanced metafiles recorded through GDI, and damaged files.
#include <gtest/gtest.h>

#include <chrono>
#include <vector>

#include "imaging/ImageFile.h"
#include "imaging/RasterImageWMF.h"

namespace {

using Bytes = std::vector<BYTE>;

void Put16(Bytes& out, uint32_t v) { out.insert(out.end(), {BYTE(v), BYTE(v >> 8)}); }
void Put32(Bytes& out, uint32_t v) { Put16(out, v & 0xFFFF), Put16(out, v >> 16); }

// One record: its size in words, its function and 16-bit parameters.
void Record(Bytes& out, uint16_t function, std::initializer_list<uint32_t> params) {
  Put32(out, 3 + static_cast<uint32_t>(params.size()));
  Put16(out, function);
  for (uint32_t p : params) Put16(out, p);
}

// A placeable metafile of a box (left, top, right, bottom) at `inch` units
// per inch whose left half is painted black.
Bytes Placeable(int right, int bottom, int inch, bool goodChecksum = true) {
  Bytes records;
  Record(records, 0x020B, {0, 0});                                     // SetWindowOrg
  Record(records, 0x020C, {uint32_t(bottom), uint32_t(right)});        // SetWindowExt
  Record(records, 0x02FC, {0 /*solid*/, 0, 0 /*black*/, 0});           // CreateBrushIndirect
  Record(records, 0x012D, {0});                                        // SelectObject
  Record(records, 0x041B, {uint32_t(bottom), uint32_t(right / 2), 0, 0});  // Rectangle
  Record(records, 0x0000, {});                                         // end
  Bytes meta;
  Put16(meta, 1);
  Put16(meta, 9);
  Put16(meta, 0x0300);
  Put32(meta, uint32_t((18 + records.size()) / 2));
  Put16(meta, 1);
  Put32(meta, 7);
  Put16(meta, 0);
  Bytes head;
  Put32(head, 0x9AC6CDD7);
  Put16(head, 0);
  Put16(head, 0), Put16(head, 0), Put16(head, uint32_t(right)), Put16(head, uint32_t(bottom));
  Put16(head, uint32_t(inch));
  Put32(head, 0);
  uint16_t sum = 0;
  for (size_t i = 0; i < 20; i += 2) sum ^= uint16_t(head[i] | (head[i + 1] << 8));
  Put16(head, goodChecksum ? sum : sum ^ 1);
  head.insert(head.end(), meta.begin(), meta.end());
  head.insert(head.end(), records.begin(), records.end());
  return head;
}

bool Decode(RasterImage& image, Bytes data, uint32_t format = kFormatWmf) {
  ImageMemFile file(data.empty() ? nullptr : data.data(), data.size());
  if (data.empty()) file.Open();
  return image.Decode(&file, format);
}

int Luminance(const RasterImage& image, int32_t x, int32_t yFromTop) {
  const RGBQUAD c = image.GetPixelColor(x, image.GetHeight() - 1 - yFromTop, false);
  return (c.rgbRed + c.rgbGreen + c.rgbBlue) / 3;
}

}  // namespace

TEST(WmfReader, PlaceableMetafileDrawsItsInk) {
  RasterImage image;
  ASSERT_TRUE(Decode(image, Placeable(1440, 1440, 1440), kFormatUnknown)) << image.GetLastError();
  EXPECT_EQ(image.GetType(), kFormatWmf);
  EXPECT_EQ(image.GetWidth(), 96);  // one inch at 96 dots per inch
  EXPECT_EQ(image.GetHeight(), 96);
  EXPECT_LT(Luminance(image, 10, 48), 64);
  EXPECT_GT(Luminance(image, 85, 48), 192);
}

TEST(WmfReader, SizesAreLimitedAndNeverZero) {
  RasterImage image;
  ASSERT_TRUE(Decode(image, Placeable(10000, 5000, 96)));
  EXPECT_EQ(image.GetWidth(), 4000);
  EXPECT_EQ(image.GetHeight(), 2000);
  int32_t w = 100000, h = 3;
  FitMetafileSize(w, h, 4000);
  EXPECT_EQ(w, 4000);
  EXPECT_EQ(h, 1);
  RasterImageWMF wmf;
  Bytes data = Placeable(96, 96, 96);
  ImageMemFile file(data.data(), data.size());
  ASSERT_TRUE(wmf.Decode(&file, 40, 30));
  EXPECT_EQ(wmf.GetWidth(), 40);
  EXPECT_EQ(wmf.GetHeight(), 30);
}

TEST(WmfReader, DamagedFilesFailWithTheirTexts) {
  RasterImage image;
  EXPECT_FALSE(Decode(image, Placeable(96, 96, 96, false)));
  EXPECT_STREQ(image.GetLastError(), "corrupted WMF");
  // A length in words whose double wraps 32 bits to a small number.
  Bytes huge = Placeable(96, 96, 96);
  huge[22 + 6] = 0x0A, huge[22 + 7] = 0, huge[22 + 8] = 0, huge[22 + 9] = 0x80;
  EXPECT_FALSE(Decode(image, huge));
  EXPECT_STREQ(image.GetLastError(), "corrupted WMF");
  Bytes cut = Placeable(96, 96, 96);
  cut.resize(cut.size() - 4);
  EXPECT_FALSE(Decode(image, cut));
  EXPECT_STREQ(image.GetLastError(), "corrupted WMF");
  // A box of no width: no endless scaling of zero extents, an empty picture.
  const auto start = std::chrono::steady_clock::now();
  EXPECT_FALSE(Decode(image, Placeable(0, 0, 96)));
  EXPECT_STREQ(image.GetLastError(), "empty WMF");
  EXPECT_LT(std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count(), 5.0);
  EXPECT_FALSE(Decode(image, Bytes(300, 0x41)));
  EXPECT_STREQ(image.GetLastError(), "corrupted WMF");
  EXPECT_FALSE(image.Encode(static_cast<ImageFile*>(nullptr), kFormatWmf));
  RasterImage picture(4, 4, 24);
  ImageMemFile out;
  out.Open();
  EXPECT_FALSE(picture.Encode(&out, kFormatWmf));
  EXPECT_STREQ(picture.GetLastError(), "Save WMF not supported");
}

TEST(WmfReader, EnhancedMetafileRecordedThroughGdi) {
  // 2 x 1 cm, a black bar over the left half.
  const RECT frame{0, 0, 2000, 1000};
  HDC dc = CreateEnhMetaFileA(nullptr, nullptr, &frame, nullptr);
  ASSERT_NE(dc, nullptr);
  const RECT bar{0, 0, 38, 38};
  FillRect(dc, &bar, static_cast<HBRUSH>(GetStockObject(BLACK_BRUSH)));
  HENHMETAFILE emf = CloseEnhMetaFile(dc);
  ASSERT_NE(emf, nullptr);
  Bytes data(GetEnhMetaFileBits(emf, 0, nullptr));
  GetEnhMetaFileBits(emf, static_cast<UINT>(data.size()), data.data());
  DeleteEnhMetaFile(emf);
  RasterImage image;
  ASSERT_TRUE(Decode(image, data, kFormatUnknown)) << image.GetLastError();
  EXPECT_EQ(image.GetType(), kFormatWmf);
  ASSERT_GT(image.GetWidth(), 4);
  EXPECT_LT(Luminance(image, 1, 1), 64);
}
