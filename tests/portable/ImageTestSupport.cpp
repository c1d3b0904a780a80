#include "ImageTestSupport.h"

#include <cstdio>
#include <fstream>
#include <random>

#include "imaging/ImageFile.h"

std::unique_ptr<RasterImage> MakePatternImage(int32_t width, int32_t height, int bpp, uint32_t seed) {
  auto image = std::make_unique<RasterImage>(width, height, bpp);
  std::mt19937 random(seed);
  if (bpp <= 8) {
    const uint32_t colours = image->GetNumColors();
    for (uint32_t i = 0; i < colours; ++i)
      image->SetPaletteColor(i, BYTE(i * 37 + seed), BYTE(i * 91 + 7), BYTE(255 - i));
  }
  for (int32_t y = 0; y < height; ++y) {
    for (int32_t x = 0; x < width; ++x) {
      // Runs, stripes and noise, so every compressor meets its cases.
      const uint32_t r = random();
      const uint32_t value = (y % 7 == 0) ? (x / 5) : (r % 4 == 0 ? r >> 8 : x / 3 + y);
      if (bpp <= 8) {
        image->SetPixelIndex(x, y, BYTE(value % image->GetNumColors()));
      } else {
        image->SetPixelColor(x, y, RGBQUAD{BYTE(value), BYTE(value * 3 + y), BYTE(x ^ y), 0});
      }
    }
  }
  return image;
}

Bytes EncodeToBytes(RasterImage& image, uint32_t format) {
  ImageMemFile file;
  file.Open();
  if (!image.Encode(&file, format)) return {};
  const BYTE* data = file.GetBuffer(false);
  return Bytes(data, data + file.Size());
}

bool DecodeBytes(RasterImage& image, const Bytes& data, uint32_t format) {
  Bytes copy = data;
  ImageMemFile file(copy.empty() ? nullptr : copy.data(), copy.size());
  if (copy.empty()) file.Open();
  return image.Decode(&file, format);
}

void DecodeEveryTruncation(const Bytes& file, uint32_t format) {
  for (size_t length = 0; length < file.size(); ++length) {
    RasterImage image;
    DecodeBytes(image, Bytes(file.begin(), file.begin() + length), format);
  }
}

::testing::AssertionResult SamePixels(const RasterImage& a, const RasterImage& b) {
  if (a.GetWidth() != b.GetWidth() || a.GetHeight() != b.GetHeight())
    return ::testing::AssertionFailure() << "sizes " << a.GetWidth() << "x" << a.GetHeight() << " and "
                                         << b.GetWidth() << "x" << b.GetHeight();
  for (int32_t y = 0; y < a.GetHeight(); ++y) {
    for (int32_t x = 0; x < a.GetWidth(); ++x) {
      const RGBQUAD p = a.GetPixelColor(x, y, false), q = b.GetPixelColor(x, y, false);
      if (p.rgbRed != q.rgbRed || p.rgbGreen != q.rgbGreen || p.rgbBlue != q.rgbBlue)
        return ::testing::AssertionFailure()
               << "pixel (" << x << "," << y << "): " << int(p.rgbRed) << "," << int(p.rgbGreen) << ","
               << int(p.rgbBlue) << " against " << int(q.rgbRed) << "," << int(q.rgbGreen) << ","
               << int(q.rgbBlue);
    }
  }
  return ::testing::AssertionSuccess();
}

Bytes ReadFileBytes(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  return Bytes(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

void WriteFileBytes(const std::string& path, const Bytes& data) {
  std::ofstream out(path, std::ios::binary);
  out.write(reinterpret_cast<const char*>(data.data()), static_cast<std::streamsize>(data.size()));
}
