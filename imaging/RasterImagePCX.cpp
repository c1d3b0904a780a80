// RasterImagePCX: reading and writing PCX files.
// Choices of ours: the bytes per line must cover the width and may exceed it
// only by a little padding, so the row buffer follows the width; the data is
// decoded row by row (runs may cross row ends, never the end of the image);
// a file too short for its image fails before anything is allocated; when the
// 256-colour palette does not follow the data at once it is looked for at the
// end of the file; 2 and 3 planes of one bit make a 4-bit image.
#include "imaging/RasterImagePCX.h"

#include <algorithm>
#include <cstring>

#include "imaging/ImageFile.h"

struct RasterImagePCX::Header {
  BYTE raw[128] = {};
  int32_t width = 0;
  int32_t height = 0;
  int bitsPerPixel = 0;
  int planes = 0;
  uint32_t bytesPerLine = 0;

  uint64_t LineBytes() const { return static_cast<uint64_t>(bytesPerLine) * planes; }
};

namespace {

constexpr int kHeaderBytes = 128;
constexpr int kPaletteMarker = 12;
constexpr int kMaxRun = 63;
// Padding beyond what the width needs that writers are known to add.
constexpr uint32_t kMaxLinePadding = 16;

}  // namespace

// Unpacks run-length bytes; a run may carry on into the next row but a
// count beyond the bytes the image still needs is an error.
class RasterImagePCX::RunReader {
 public:
  RunReader(ImageFile* file, uint64_t total) : file_(file), remaining_(total) {}

  // Fills `out`; answers the error text, or null.
  const char* Fill(BYTE* out, size_t size) {
    for (size_t i = 0; i < size;) {
      if (runLeft_ == 0) {
        const int b = file_->GetC();
        if (b < 0) return "corrupted PCX";
        if (b < 0xC0) {
          runLeft_ = 1, runValue_ = static_cast<BYTE>(b);
        } else {
          const int value = file_->GetC();
          if (value < 0) return "corrupted PCX";
          runLeft_ = static_cast<uint32_t>(b & 0x3F), runValue_ = static_cast<BYTE>(value);
          if (runLeft_ > remaining_) return "repeat count spans end of image";
        }
        remaining_ -= runLeft_;
      }
      for (; runLeft_ > 0 && i < size; --runLeft_) out[i++] = runValue_;
    }
    return nullptr;
  }

 private:
  ImageFile* file_;
  uint64_t remaining_;
  uint32_t runLeft_ = 0;
  BYTE runValue_ = 0;
};

bool RasterImagePCX::Decode(ImageFile* file) {
  if (!file) return false;
  Header head;
  if (!ReadAll(file, head.raw, kHeaderBytes)) {
    SetError("Can't read PCX image");
    return false;
  }
  const BYTE* raw = head.raw;
  if (raw[0] != 10) {
    SetError("Error: Not a PCX file");
    return false;
  }
  if (raw[2] != 1) {
    SetError("PCX file has unknown encoding scheme");
    return false;
  }
  head.width = int32_t(GetLE16(raw + 8)) - GetLE16(raw + 4) + 1;
  head.height = int32_t(GetLE16(raw + 10)) - GetLE16(raw + 6) + 1;
  head.bitsPerPixel = raw[3];
  head.planes = raw[65];
  head.bytesPerLine = GetLE16(raw + 66);
  if (!CheckLayout(file, head)) return false;
  if (AnswersSizeOnly(head.width, head.height)) return true;
  const bool trueColour = head.bitsPerPixel == 8 && head.planes >= 3;
  const int bits = trueColour ? 24 : head.bitsPerPixel * head.planes;
  if (!Create(head.width, head.height, bits, kFormatPcx) || (head.planes == 4 && trueColour && !AlphaCreate()))
    return false;
  SetXDpi(GetLE16(raw + 12));
  SetYDpi(GetLE16(raw + 14));
  if (info_.escape) {
    SetError("Cancelled");
    return false;
  }
  SetHeaderPalette(head);
  if (!ReadRows(file, head)) return false;
  return !(head.bitsPerPixel == 8 && head.planes == 1) || ReadTrailingPalette(file);
}

// Plane and depth combinations, the line length and the data's least size.
bool RasterImagePCX::CheckLayout(ImageFile* file, const Header& head) {
  const int bpp = head.bitsPerPixel, planes = head.planes;
  if (planes > 4) return SetError("Can't handle image with more than 4 planes"), false;
  if (bpp != 1 && bpp != 2 && bpp != 4 && bpp != 8)
    return SetError("Can't handle more than 1 bit per pixel"), false;
  if (planes < 1 || (bpp > 1 && planes != 1 && !(bpp == 8 && planes >= 3)))
    return SetError("Can't handle packed pixels with more than 1 plane."), false;
  if (head.width <= 0 || head.height <= 0) return SetError("corrupted PCX"), false;
  const uint64_t needed = (static_cast<uint64_t>(head.width) * bpp + 7) / 8;
  if (head.bytesPerLine < needed || head.bytesPerLine > needed + kMaxLinePadding)
    return SetError("PCX bytes per line do not match the width"), false;
  // Every two bytes of data give at most 63 bytes of image.
  const uint64_t total = head.LineBytes() * static_cast<uint64_t>(head.height);
  if (static_cast<uint64_t>(BytesLeft(file)) < (total + kMaxRun - 1) / kMaxRun * 2)
    return SetError("corrupted PCX"), false;
  return true;
}

// The header's 16 colours; one plane of one bit is black and white.
void RasterImagePCX::SetHeaderPalette(const Header& head) {
  if (!GetPalette() || head.bitsPerPixel == 8) return;
  if (head.bitsPerPixel == 1 && head.planes == 1) {
    SetPaletteColor(0, 0, 0, 0);
    SetPaletteColor(1, 255, 255, 255);
    return;
  }
  for (uint32_t i = 0; i < GetNumColors() && i < 16; ++i) {
    const BYTE* e = head.raw + 16 + i * 3;
    SetPaletteColor(i, e[0], e[1], e[2]);
  }
}

bool RasterImagePCX::ReadRows(ImageFile* file, const Header& head) {
  RunReader reader(file, head.LineBytes() * static_cast<uint64_t>(head.height));
  std::vector<BYTE> line(head.LineBytes());
  for (int32_t r = 0; r < head.height; ++r) {
    if (info_.escape) return SetError("Cancelled"), false;
    if (const char* error = reader.Fill(line.data(), line.size())) return SetError(error), false;
    StoreRow(line, head, head.height - 1 - r);
  }
  return true;
}

// One file row (its planes one after another) into image row y.
void RasterImagePCX::StoreRow(const std::vector<BYTE>& line, const Header& head, int32_t y) {
  const BYTE* plane[4] = {};
  for (int i = 0; i < head.planes; ++i) plane[i] = line.data() + static_cast<size_t>(i) * head.bytesPerLine;
  BYTE* bits = GetBits(y);
  if (head.bitsPerPixel == 8 && head.planes >= 3) {
    for (int32_t x = 0; x < head.width; ++x) {
      BYTE* p = bits + static_cast<size_t>(x) * 3;
      p[0] = plane[2][x], p[1] = plane[1][x], p[2] = plane[0][x];
      if (head.planes == 4) AlphaSet(x, y, plane[3][x]);
    }
  } else if (head.bitsPerPixel == 8) {
    std::memcpy(bits, plane[0], static_cast<size_t>(head.width));
  } else if (head.planes == 1) {
    const int bpp = head.bitsPerPixel, perByte = 8 / bpp, mask = (1 << bpp) - 1;
    for (int32_t x = 0; x < head.width; ++x) {
      const int shift = 8 - bpp * (x % perByte + 1);
      SetPixelIndex(x, y, static_cast<BYTE>((plane[0][x / perByte] >> shift) & mask));
    }
  } else {
    for (int32_t x = 0; x < head.width; ++x) {
      int index = 0;
      for (int i = 0; i < head.planes; ++i) index |= ((plane[i][x >> 3] >> (7 - (x & 7))) & 1) << i;
      SetPixelIndex(x, y, static_cast<BYTE>(index));
    }
  }
}

// The marker byte and 256 red-green-blue entries after the data.
bool RasterImagePCX::ReadTrailingPalette(ImageFile* file) {
  int marker = file->GetC();
  if (marker != kPaletteMarker && file->Size() >= 769 && file->Seek(-769, SEEK_END)) marker = file->GetC();
  BYTE entries[768];
  if (marker != kPaletteMarker || !ReadAll(file, entries, sizeof(entries))) {
    SetError("bad color map signature");
    return false;
  }
  for (uint32_t i = 0; i < 256; ++i) SetPaletteColor(i, entries[i * 3], entries[i * 3 + 1], entries[i * 3 + 2]);
  return true;
}

bool RasterImagePCX::Encode(ImageFile* file) {
  if (CheckEncodeArgs(file)) return false;
  // The header's 16-bit corner fields would wrap.
  if (GetWidth() > 0xFFFF || GetHeight() > 0xFFFF) return SetError("Image too large for PCX"), false;
  const int bpp = GetBpp();
  const int bitsPerPixel = bpp >= 8 ? 8 : 1;
  const int planes = bpp == 24 ? (AlphaIsValid() ? 4 : 3) : bpp == 4 ? 4 : 1;
  const uint32_t width = static_cast<uint32_t>(GetWidth());
  const uint32_t bytesPerLine = ((bitsPerPixel == 8 ? width : (width + 7) / 8) + 1) & ~1u;
  // The header's 16-bit bytes-per-line field would wrap to 0 (a width of 65,535 rounds up
  // to 65,536), and no reader could find the lines again.
  if (bytesPerLine > 0xFFFF) return SetError("Image too large for PCX"), false;
  BYTE header[kHeaderBytes];
  WriteHeader(header, bitsPerPixel, planes, static_cast<int>(bytesPerLine));
  if (file->Write(header, 1, kHeaderBytes) != kHeaderBytes) return SetError("cannot write PCX header"), false;
  ImageMemFile out;
  out.Open();
  EncodeRows(out, planes, static_cast<int>(bytesPerLine));
  if (bpp == 8) {
    out.PutC(kPaletteMarker);
    for (uint32_t i = 0; i < 256; ++i) {
      const RGBQUAD c = i < GetNumColors() ? GetPaletteColor(i) : RGBQUAD{};
      const BYTE rgb[3] = {c.rgbRed, c.rgbGreen, c.rgbBlue};
      out.Write(rgb, 1, 3);
    }
  }
  const size_t size = static_cast<size_t>(out.Size());
  if (file->Write(out.GetBuffer(false), 1, size) != size) return SetError("Can't write PCX file"), false;
  return true;
}

void RasterImagePCX::WriteHeader(BYTE header[128], int bitsPerPixel, int planes, int bytesPerLine) const {
  std::memset(header, 0, kHeaderBytes);
  header[0] = 10, header[1] = 5, header[2] = 1;
  header[3] = static_cast<BYTE>(bitsPerPixel);
  PutLE16(header + 8, static_cast<uint32_t>(GetWidth() - 1));
  PutLE16(header + 10, static_cast<uint32_t>(GetHeight() - 1));
  PutLE16(header + 12, static_cast<uint32_t>(GetXDpi()));
  PutLE16(header + 14, static_cast<uint32_t>(GetYDpi()));
  if (GetBpp() == 1) {
    std::memset(header + 19, 255, 3);
  } else if (GetBpp() == 4) {
    for (uint32_t i = 0; i < 16; ++i) {
      const RGBQUAD c = GetPaletteColor(i);
      header[16 + i * 3] = c.rgbRed, header[17 + i * 3] = c.rgbGreen, header[18 + i * 3] = c.rgbBlue;
    }
  }
  header[65] = static_cast<BYTE>(planes);
  PutLE16(header + 66, static_cast<uint32_t>(bytesPerLine));
  PutLE16(header + 68, GetPalette() ? 0 : 1);
}

namespace {

// Codes one plane line: runs of equal bytes up to 63.
void PackLine(ImageMemFile& out, const BYTE* data, size_t size) {
  for (size_t i = 0; i < size;) {
    size_t run = 1;
    while (i + run < size && run < kMaxRun && data[i + run] == data[i]) ++run;
    if (run > 1 || data[i] >= 0xC0) out.PutC(static_cast<BYTE>(0xC0 | run));
    out.PutC(data[i]);
    i += run;
  }
}

}  // namespace

// Rows from the top, each split into its planes.
void RasterImagePCX::EncodeRows(ImageMemFile& out, int planes, int bytesPerLine) const {
  const int32_t width = GetWidth();
  const int bpp = GetBpp();
  // Readers take a lone plane of one bit as black on white's 0 and 1.
  const bool invert = bpp == 1 && CompareByLuminance(&GetPalette()[0], &GetPalette()[1]) > 0;
  std::vector<BYTE> line(static_cast<size_t>(bytesPerLine) * planes);
  for (int32_t y = GetHeight() - 1; y >= 0; --y) {
    std::fill(line.begin(), line.end(), 0);
    const BYTE* bits = GetBits(y);
    for (int32_t x = 0; x < width; ++x) {
      if (bpp == 24) {
        const BYTE* p = bits + static_cast<size_t>(x) * 3;
        line[x] = p[2], line[bytesPerLine + x] = p[1], line[2 * bytesPerLine + x] = p[0];
        if (planes == 4) line[3 * bytesPerLine + x] = AlphaGet(x, y);
      } else if (bpp == 8) {
        line[x] = bits[x];
      } else {
        const int index = GetPixelIndex(x, y) ^ (invert ? 1 : 0);
        for (int i = 0; i < planes; ++i)
          if ((index >> i) & 1) line[static_cast<size_t>(i) * bytesPerLine + (x >> 3)] |= BYTE(0x80 >> (x & 7));
      }
    }
    for (int i = 0; i < planes; ++i) PackLine(out, line.data() + static_cast<size_t>(i) * bytesPerLine, bytesPerLine);
  }
}
