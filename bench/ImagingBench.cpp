// Times the image library's GIF and BMP encoders on 2000 x 1000 pictures
// (equation-like and noise) and the GIF export's road, beside giflib and
// Pillow, after checking that every output decodes to the same pixels.
#include <algorithm>
#include <chrono>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "imaging/ImageFile.h"
#include "imaging/RasterImage.h"
#include "imaging/RasterImageGIF.h"
#ifdef OVELIN_HAVE_GIFLIB
#include <gif_lib.h>
#endif

namespace {

using Bytes = std::vector<BYTE>;
constexpr int32_t kWidth = 2000, kHeight = 1000;
constexpr int kRuns = 7;

// Best wall time of kRuns calls, in milliseconds.
double BestMs(const std::function<void()>& work) {
  double best = 1e30;
  for (int i = 0; i < kRuns; ++i) {
    const auto start = std::chrono::steady_clock::now();
    work();
    const std::chrono::duration<double, std::milli> took = std::chrono::steady_clock::now() - start;
    best = std::min(best, took.count());
  }
  return best;
}

// Black anti-aliased strokes (line segments and arcs) on white, 24 bits.
std::unique_ptr<RasterImage> EquationPicture() {
  auto image = std::make_unique<RasterImage>(kWidth, kHeight, 24);
  image->Clear(255);
  auto plot = [&](double cx, double cy, double radius) {
    for (int y = int(cy - radius - 1); y <= int(cy + radius + 1); ++y)
      for (int x = int(cx - radius - 1); x <= int(cx + radius + 1); ++x) {
        if (!image->IsInside(x, kHeight - 1 - y)) continue;
        const double d = std::hypot(x + 0.5 - cx, y + 0.5 - cy) - radius;
        if (d >= 1) continue;
        const double cover = d <= 0 ? 1 : 1 - d;
        RGBQUAD c = image->GetPixelColor(x, kHeight - 1 - y);
        const BYTE v = BYTE(std::min<double>(c.rgbRed, 255 * (1 - cover)));
        image->SetPixelColor(x, kHeight - 1 - y, RGB(v, v, v));
      }
  };
  for (int glyph = 0; glyph < 60; ++glyph) {
    const double left = 40 + (glyph % 20) * 96, base = 200 + (glyph / 20) * 300;
    for (double t = 0; t < 1; t += 0.004) {
      plot(left + 60 * t, base - 120 * t * (1 - t) * (glyph % 3 + 1), 3.2);
      plot(left + 30 + 25 * std::cos(6.28 * t), base - 60 + 25 * std::sin(6.28 * t), 2.6);
    }
    for (double x = left; x < left + 80; x += 0.5) plot(x, base + 40, 2.0);
  }
  return image;
}

std::unique_ptr<RasterImage> NoisePicture() {
  auto image = std::make_unique<RasterImage>(kWidth, kHeight, 8);
  image->SetStdPalette();
  uint32_t state = 12345;
  for (int32_t y = 0; y < kHeight; ++y) {
    BYTE* row = image->GetBits(y);
    for (int32_t x = 0; x < kWidth; ++x) row[x] = BYTE((state = state * 1664525u + 1013904223u) >> 24);
  }
  return image;
}

Bytes EncodeOurs(RasterImage& image, uint32_t format, uint32_t compressor = kGifLzw) {
  image.SetCodecOption(compressor, kFormatGif);
  ImageMemFile file;
  file.Open();
  if (!image.Encode(&file, format)) return {};
  return Bytes(file.GetBuffer(false), file.GetBuffer(false) + file.Size());
}

bool SamePixels(const RasterImage& a, const RasterImage& b) {
  if (a.GetWidth() != b.GetWidth() || a.GetHeight() != b.GetHeight()) return false;
  for (int32_t y = 0; y < a.GetHeight(); ++y)
    for (int32_t x = 0; x < a.GetWidth(); ++x) {
      const RGBQUAD p = a.GetPixelColor(x, y, false), q = b.GetPixelColor(x, y, false);
      if (p.rgbRed != q.rgbRed || p.rgbGreen != q.rgbGreen || p.rgbBlue != q.rgbBlue) return false;
    }
  return true;
}

bool DecodesTo(const Bytes& data, const RasterImage& expected) {
  Bytes copy = data;
  ImageMemFile file(copy.data(), copy.size());
  RasterImage image;
  return image.Decode(&file, kFormatUnknown) && SamePixels(image, expected);
}

void Report(const char* what, double ms, size_t bytes, const char* note = "") {
  std::printf("  %-44s %9.2f ms %10zu bytes %s\n", what, ms, bytes, note);
}

#ifdef OVELIN_HAVE_GIFLIB
int AppendToBytes(GifFileType* gif, const GifByteType* data, int size) {
  Bytes* out = static_cast<Bytes*>(gif->UserData);
  out->insert(out->end(), data, data + size);
  return size;
}

// The same picture through giflib's encoder, with a global table of the palette.
Bytes EncodeGiflib(const RasterImage& image) {
  Bytes out;
  int error = 0;
  GifFileType* gif = EGifOpen(&out, AppendToBytes, &error);
  GifColorType colours[256];
  for (int i = 0; i < 256; ++i) {
    const RGBQUAD c = image.GetPaletteColor(i);
    colours[i] = GifColorType{c.rgbRed, c.rgbGreen, c.rgbBlue};
  }
  ColorMapObject* map = GifMakeMapObject(256, colours);
  EGifSetGifVersion(gif, true);
  EGifPutScreenDesc(gif, image.GetWidth(), image.GetHeight(), 8, 0, map);
  EGifPutImageDesc(gif, 0, 0, image.GetWidth(), image.GetHeight(), false, nullptr);
  for (int32_t y = image.GetHeight() - 1; y >= 0; --y) EGifPutLine(gif, image.GetBits(y), image.GetWidth());
  EGifCloseFile(gif, &error);
  GifFreeMapObject(map);
  return out;
}
#endif

// Measures one 8-bit picture: our three GIF compressors, BMP, giflib.
void Measure(const char* name, RasterImage& image, std::FILE* forPillow) {
  std::printf("%s (%d x %d, 8 bits)\n", name, image.GetWidth(), image.GetHeight());
  Bytes ours;
  const double lzw = BestMs([&] { ours = EncodeOurs(image, kFormatGif); });
  Report("ours GIF LZW", lzw, ours.size(), DecodesTo(ours, image) ? "pixels ok" : "PIXELS DIFFER");
  for (uint32_t compressor : {kGifRunLength, kGifUncompressed}) {
    Bytes other;
    const double ms = BestMs([&] { other = EncodeOurs(image, kFormatGif, compressor); });
    Report(compressor == kGifRunLength ? "ours GIF run-length" : "ours GIF uncompressed", ms, other.size(),
           DecodesTo(other, image) ? "pixels ok" : "PIXELS DIFFER");
  }
  Bytes bmp;
  const double bmpMs = BestMs([&] { bmp = EncodeOurs(image, kFormatBmp); });
  Report("ours BMP", bmpMs, bmp.size(), DecodesTo(bmp, image) ? "pixels ok" : "PIXELS DIFFER");
#ifdef OVELIN_HAVE_GIFLIB
  Bytes theirs;
  const double giflib = BestMs([&] { theirs = EncodeGiflib(image); });
  Report("giflib GIF", giflib, theirs.size(), DecodesTo(theirs, image) ? "pixels ok" : "PIXELS DIFFER");
  std::printf("  ours / giflib: time %.2f, size %+.2f%%\n", lzw / giflib,
              100.0 * (double(ours.size()) - double(theirs.size())) / double(theirs.size()));
#else
  std::printf("  giflib: not built in (libgif-dev missing)\n");
#endif
  if (forPillow) {
    for (int32_t y = image.GetHeight() - 1; y >= 0; --y) std::fwrite(image.GetBits(y), 1, image.GetWidth(), forPillow);
  }
}

// The export: 24-bit picture (read from its BMP), standard palette, GIF.
void MeasureRoad(const RasterImage& picture, std::FILE* forPillow) {
  std::printf("export road (%d x %d, 24 bits -> 8 bits standard palette -> GIF)\n", picture.GetWidth(),
              picture.GetHeight());
  RasterImage source(picture);
  Bytes bmp = EncodeOurs(source, kFormatBmp);
  Bytes gif;
  const double reduceAndGif = BestMs([&] {
    RasterImage image(picture);
    image.ReduceBitDepth(8);
    gif = EncodeOurs(image, kFormatGif);
  });
  Report("reduce + GIF", reduceAndGif, gif.size(), reduceAndGif < 50 ? "(target < 50 ms: met)" : "(target < 50 ms: MISSED)");
  const double whole = BestMs([&] {
    Bytes copy = bmp;
    ImageMemFile file(copy.data(), copy.size());
    RasterImage image;
    image.Decode(&file, kFormatBmp);
    image.ReduceBitDepth(8);
    gif = EncodeOurs(image, kFormatGif);
  });
  Report("BMP decode + reduce + GIF", whole, gif.size());
  if (forPillow) {
    for (int32_t y = picture.GetHeight() - 1; y >= 0; --y)
      for (int32_t x = 0; x < picture.GetWidth(); ++x) {
        const RGBQUAD c = picture.GetPixelColor(x, y);
        const BYTE rgb[3] = {c.rgbRed, c.rgbGreen, c.rgbBlue};
        std::fwrite(rgb, 1, 3, forPillow);
      }
  }
}

// Pillow through python, on the same pictures; its outputs are checked here.
void MeasurePillow(const std::string& folder, RasterImage& equation, RasterImage& noise) {
  const std::string command = "/usr/bin/python3 " OVELIN_PILLOW_SCRIPT " " + folder;
  std::printf("Pillow\n");
  std::fflush(stdout);
  if (std::system(command.c_str()) != 0) {
    std::printf("  not measured (python3-pil missing?)\n");
    return;
  }
  const char* names[] = {"equation.gif", "noise.gif"};
  RasterImage* images[] = {&equation, &noise};
  for (int i = 0; i < 2; ++i) {
    RasterImage back;
    const bool ok = back.LoadFile((folder + "/" + names[i]).c_str(), kFormatGif) && SamePixels(back, *images[i]);
    std::printf("  %-44s %s\n", names[i], ok ? "pixels ok" : "PIXELS DIFFER");
  }
}

}  // namespace

int main() {
  auto picture = EquationPicture();
  RasterImage equation(*picture);
  equation.ReduceBitDepth(8);
  auto noise = NoisePicture();
  char folder[] = "/tmp/ovelin-bench-XXXXXX";
  const bool pillow = mkdtemp(folder) != nullptr;
  std::FILE* raw = pillow ? std::fopen((std::string(folder) + "/pictures.raw").c_str(), "wb") : nullptr;
  if (raw) {
    for (int i = 0; i < 256; ++i) {
      const RGBQUAD c = equation.GetPaletteColor(i);
      const BYTE rgb[3] = {c.rgbRed, c.rgbGreen, c.rgbBlue};
      std::fwrite(rgb, 1, 3, raw);
    }
  }
  Measure("equation-like", equation, raw);
  Measure("noise", *noise, raw);
  MeasureRoad(*picture, raw);
  if (raw) {
    std::fclose(raw);
    MeasurePillow(folder, equation, *noise);
  }
  if (pillow) std::system((std::string("rm -rf ") + folder).c_str());
  return 0;
}
