// imgconv: a small command-line front end of the image library, used by
// the cross-checks against outside tools and by hand.
//   imgconv pattern W H SEED OUT.ppm      deterministic 24-bit picture
//   imgconv encode IN.ppm OUT FORMAT BPP [COMPRESSOR] [--alpha] [--ref REF.ppm]
//       FORMAT is bmp, gif, ico, tga, pcx or wbmp; BPP 1, 4, 8 or 24 (the picture is reduced
//       to the standard palette); REF gets the pixels as they were encoded
//   imgconv decode IN OUT.ppm [FRAME]     any format we read, to RGB PPM
//   imgconv truncations FILE...           decodes every prefix of each file;
//       fails when one takes a second or more
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>
#include <vector>

#include "imaging/ImageFile.h"
#include "imaging/RasterImage.h"
#include "imaging/RasterImageGIF.h"

namespace {

int Fail(const std::string& text) {
  std::fprintf(stderr, "imgconv: %s\n", text.c_str());
  return 1;
}

bool WritePpm(const RasterImage& image, const char* path) {
  FILE* out = std::fopen(path, "wb");
  if (!out) return false;
  std::fprintf(out, "P6\n%d %d\n255\n", image.GetWidth(), image.GetHeight());
  std::vector<BYTE> row(static_cast<size_t>(image.GetWidth()) * 3);
  for (int32_t y = image.GetHeight() - 1; y >= 0; --y) {
    for (int32_t x = 0; x < image.GetWidth(); ++x) {
      const RGBQUAD c = image.GetPixelColor(x, y, false);
      row[x * 3] = c.rgbRed, row[x * 3 + 1] = c.rgbGreen, row[x * 3 + 2] = c.rgbBlue;
    }
    std::fwrite(row.data(), 1, row.size(), out);
  }
  return std::fclose(out) == 0;
}

// Reads a binary PPM (P6, maxval 255) into a 24-bit image.
bool ReadPpm(RasterImage& image, const char* path) {
  FILE* in = std::fopen(path, "rb");
  if (!in) return false;
  int width = 0, height = 0, maxval = 0;
  const bool ok = std::fscanf(in, "P6 %d %d %d", &width, &height, &maxval) == 3 && maxval == 255 &&
                  std::fgetc(in) != EOF && image.Create(width, height, 24);
  std::vector<BYTE> row(static_cast<size_t>(width > 0 ? width : 0) * 3);
  for (int32_t y = height - 1; ok && y >= 0; --y) {
    if (std::fread(row.data(), 1, row.size(), in) != row.size()) break;
    for (int32_t x = 0; x < width; ++x) image.SetPixelColor(x, y, RGB(row[x * 3], row[x * 3 + 1], row[x * 3 + 2]));
  }
  std::fclose(in);
  return ok;
}

// White paper, dark anti-aliased strokes and a band of noise.
int Pattern(int argc, char** argv) {
  if (argc < 6) return Fail("pattern W H SEED OUT.ppm");
  const int width = std::atoi(argv[2]), height = std::atoi(argv[3]);
  uint32_t state = static_cast<uint32_t>(std::atoi(argv[4])) * 2654435761u + 1;
  RasterImage image(width, height, 24);
  if (!image.IsValid()) return Fail(image.GetLastError());
  for (int32_t y = 0; y < height; ++y) {
    for (int32_t x = 0; x < width; ++x) {
      state = state * 1664525u + 1013904223u;
      const int stroke = (x * 3 + y * 5) % 23;
      BYTE v = stroke < 3 ? BYTE(40 + stroke * 60) : 255;
      RGBQUAD c{v, v, v, 0};
      if (y > height * 3 / 4) c = RGBQUAD{BYTE(state >> 8), BYTE(state >> 16), BYTE(state >> 24), 0};
      if (x % 17 == 3) c.rgbRed = 200;
      image.SetPixelColor(x, height - 1 - y, c);
    }
  }
  return WritePpm(image, argv[5]) ? 0 : Fail("cannot write output");
}

uint32_t FormatNumber(const std::string& name) {
  if (name == "bmp") return kFormatBmp;
  if (name == "gif") return kFormatGif;
  if (name == "ico") return kFormatIco;
  if (name == "tga") return kFormatTga;
  if (name == "pcx") return kFormatPcx;
  if (name == "wbmp") return kFormatWbmp;
  return kFormatUnknown;
}

int Encode(int argc, char** argv) {
  if (argc < 6) return Fail("encode IN.ppm OUT FORMAT BPP [COMPRESSOR] [--alpha] [--ref REF.ppm]");
  RasterImage image;
  if (!ReadPpm(image, argv[2])) return Fail("cannot read " + std::string(argv[2]));
  const uint32_t format = FormatNumber(argv[4]);
  const int bpp = std::atoi(argv[5]);
  const char* ref = nullptr;
  bool alpha = false;
  for (int i = 6; i < argc; ++i) {
    if (!std::strcmp(argv[i], "--alpha")) alpha = true;
    else if (!std::strcmp(argv[i], "--ref") && i + 1 < argc) ref = argv[++i];
    else image.SetCodecOption(static_cast<uint32_t>(std::atoi(argv[i])), kFormatGif);
  }
  if (bpp < 24 && !image.ReduceBitDepth(bpp)) return Fail(image.GetLastError());
  if (alpha) {
    image.AlphaCreate();
    for (int32_t y = 0; y < image.GetHeight(); ++y)
      for (int32_t x = 0; x < image.GetWidth(); ++x) image.AlphaSet(x, y, BYTE(128 + (x * 7 + y) % 128));
  }
  if (!image.SaveFile(argv[3], format)) return Fail(image.GetLastError());
  if (ref && !WritePpm(image, ref)) return Fail("cannot write reference");
  return 0;
}

int Decode(int argc, char** argv) {
  if (argc < 4) return Fail("decode IN OUT.ppm [FRAME]");
  RasterImage image;
  if (argc > 4) image.SetFrame(std::atoi(argv[4]));
  if (!image.LoadFile(argv[2], kFormatUnknown)) return Fail(std::string(argv[2]) + ": " + image.GetLastError());
  return WritePpm(image, argv[3]) ? 0 : Fail("cannot write output");
}

// Every prefix of each file must decode or fail quickly.
int Truncations(int argc, char** argv) {
  double slowest = 0;
  for (int i = 2; i < argc; ++i) {
    FILE* in = std::fopen(argv[i], "rb");
    if (!in) return Fail(std::string("cannot read ") + argv[i]);
    std::vector<BYTE> data;
    for (int c = std::fgetc(in); c != EOF; c = std::fgetc(in)) data.push_back(static_cast<BYTE>(c));
    std::fclose(in);
    for (size_t length = 0; length < data.size(); ++length) {
      std::vector<BYTE> prefix(data.begin(), data.begin() + length);
      ImageMemFile file(prefix.empty() ? nullptr : prefix.data(), prefix.size());
      if (prefix.empty()) file.Open();
      const auto start = std::chrono::steady_clock::now();
      RasterImage image;
      image.Decode(&file, kFormatUnknown);
      const std::chrono::duration<double> took = std::chrono::steady_clock::now() - start;
      if (took.count() > slowest) slowest = took.count();
      if (took.count() >= 1.0) return Fail(std::string(argv[i]) + " cut at " + std::to_string(length) + " took over a second");
    }
  }
  std::printf("slowest prefix: %.3f s\n", slowest);
  return 0;
}

}  // namespace

int main(int argc, char** argv) {
  const std::string command = argc > 1 ? argv[1] : "";
  if (command == "pattern") return Pattern(argc, argv);
  if (command == "encode") return Encode(argc, argv);
  if (command == "decode") return Decode(argc, argv);
  if (command == "truncations") return Truncations(argc, argv);
  return Fail("usage: imgconv pattern|encode|decode ...");
}
