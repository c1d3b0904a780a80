// RasterImage: encode and decode by format number, format detection, and
// loading and saving by file name.
#include <cstdlib>
#include <cstring>
#include <memory>
#include <string>

#include "imaging/ImageFile.h"
#include "imaging/RasterImage.h"
#include "imaging/RasterImageBMP.h"
#include "imaging/RasterImageGIF.h"
#include "imaging/RasterImageICO.h"
#include "imaging/RasterImagePCX.h"
#include "imaging/RasterImageTGA.h"
#include "imaging/RasterImageWBMP.h"
#ifdef _WIN32
#include "imaging/RasterImageWMF.h"
#endif

namespace {

// The codec runs as a ghost of the image: it sees the same buffers.
template <class Codec>
bool EncodeWith(RasterImage& image, ImageFile* file) {
  Codec codec;
  codec.MakeGhost(image);
  const bool ok = codec.Encode(file);
  if (!ok) image.SetError(codec.GetLastError());
  return ok;
}

}  // namespace

bool RasterImage::CheckEncodeArgs(ImageFile* file) {
  if (!file) {
    SetError("null file handler");
    return true;
  }
  if (!block_) {
    SetError("null image!!!");
    return true;
  }
  return false;
}

bool RasterImage::Encode(ImageFile* file, uint32_t format) {
  switch (format) {
    case kFormatBmp: return EncodeWith<RasterImageBMP>(*this, file);
    case kFormatGif: return EncodeWith<RasterImageGIF>(*this, file);
    case kFormatIco: return EncodeWith<RasterImageICO>(*this, file);
    case kFormatTga: return EncodeWith<RasterImageTGA>(*this, file);
    case kFormatPcx: return EncodeWith<RasterImagePCX>(*this, file);
    case kFormatWbmp: return EncodeWith<RasterImageWBMP>(*this, file);
#ifdef _WIN32
    case kFormatWmf: return EncodeWith<RasterImageWMF>(*this, file);
#else
    case kFormatWmf: SetError("Encode: format not supported"); return false;
#endif
    default: SetError("Encode: Unknown format"); return false;
  }
}

bool RasterImage::Encode(FILE* stream, uint32_t format) {
  ImageIOFile file(stream);
  return Encode(stream ? &file : nullptr, format);
}

// Runs one decoder on a fresh codec object that starts with this image's
// settings; on success its image replaces this one.
template <class Codec>
static bool RunDecoder(RasterImage& image, ImageFile* file, std::string& error, int32_t& frames) {
  auto codec = std::make_unique<Codec>();
  codec->CopyInfo(image);
  if (codec->Decode(file)) return image.Transfer(*codec);
  error = codec->GetLastError();
  frames = codec->GetNumFrames();
  return false;
}

static bool DecodeOne(RasterImage& image, ImageFile* file, uint32_t format, std::string& error,
                      int32_t& frames) {
  switch (format) {
    case kFormatBmp: return RunDecoder<RasterImageBMP>(image, file, error, frames);
    case kFormatGif: return RunDecoder<RasterImageGIF>(image, file, error, frames);
    case kFormatIco: return RunDecoder<RasterImageICO>(image, file, error, frames);
    case kFormatTga: return RunDecoder<RasterImageTGA>(image, file, error, frames);
    case kFormatPcx: return RunDecoder<RasterImagePCX>(image, file, error, frames);
    case kFormatWbmp: return RunDecoder<RasterImageWBMP>(image, file, error, frames);
#ifdef _WIN32
    case kFormatWmf: return RunDecoder<RasterImageWMF>(image, file, error, frames);
#endif
    default: return false;
  }
}

bool RasterImage::Decode(ImageFile* file, uint32_t format) {
  if (!file) {
    SetError("null file handler");
    return false;
  }
  if (format == kFormatUnknown) return DecodeDetect(file);
#ifndef _WIN32
  // Metafiles are played through GDI: the Windows build only.
  if (format == kFormatWmf) {
    SetError("Decode: format not supported");
    return false;
  }
#endif
  if (format >= kFormatCount) {
    SetError("Decode: Unknown or wrong format");
    return false;
  }
  std::string error;
  int32_t frames = info_.frameCount;
  if (DecodeOne(*this, file, format, error, frames)) return true;
  SetError(error.c_str());
  if (format == kFormatGif || format == kFormatIco) info_.frameCount = frames;
  return false;
}

bool RasterImage::DecodeDetect(ImageFile* file) {
  const int64_t start = file->Tell();
  static const uint32_t kOrder[] = {kFormatBmp, kFormatIco, kFormatGif, kFormatTga, kFormatPcx, kFormatWbmp,
#ifdef _WIN32
                                    kFormatWmf
#endif
  };
  for (uint32_t format : kOrder) {
    // Four bytes can start almost anything: try WBMP only on a sound header.
    if (format == kFormatWbmp && !RasterImageWBMP::IsPlausible(file)) continue;
    std::string error;
    int32_t frames = 0;
    if (DecodeOne(*this, file, format, error, frames)) return true;
    file->Seek(start, SEEK_SET);
  }
  SetError("Decode: Unknown or wrong format");
  return false;
}

bool RasterImage::Decode(FILE* stream, uint32_t format) {
  ImageIOFile file(stream);
  return Decode(stream ? &file : nullptr, format);
}

// Encodes into memory first, so the target is opened (and truncated) only
// when there is something to write.
bool RasterImage::SaveFile(const char* path, uint32_t format) {
  ImageMemFile memory;
  if (!path || !memory.Open() || !Encode(&memory, format)) return false;
  FILE* stream = std::fopen(path, "wb");
  if (!stream) return false;
  const size_t size = static_cast<size_t>(memory.Size());
  bool ok = std::fwrite(memory.GetBuffer(false), 1, size, stream) == size;
  ok = std::fclose(stream) == 0 && ok;
  if (!ok) SetError("Can't write image file");
  return ok;
}

bool RasterImage::LoadFile(const char* path, uint32_t format) {
  if (!path) return false;
  std::string firstError;
  const bool typed = format >= 1 && format < kFormatCount;
  if (typed) {
    FILE* stream = std::fopen(path, "rb");
    if (!stream) return false;
    const bool ok = Decode(stream, format);
    std::fclose(stream);
    if (ok) return true;
    firstError = info_.lastError;
  }
  FILE* stream = std::fopen(path, "rb");
  if (!stream) return false;
  const bool ok = Decode(stream, kFormatUnknown);
  std::fclose(stream);
  if (!ok && typed) SetError(firstError.c_str());
  return ok;
}
