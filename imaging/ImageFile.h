// ImageFile: the image library's small file interface, with ImageIOFile
// over a stdio stream and ImageMemFile over a growable memory buffer.
// ImageMemFile never reallocates a buffer it was given: on growth it takes
// a copy and owns that. Writing after a seek past the end zero-fills the gap.
#pragma once

#include <cstdint>
#include <cstdio>

#include "framework/Platform.h"

class ImageFile {
 public:
  virtual ~ImageFile() = default;
  virtual bool Close() = 0;
  virtual size_t Read(void* buffer, size_t size, size_t count) = 0;
  virtual size_t Write(const void* buffer, size_t size, size_t count) = 0;
  virtual bool Seek(int64_t offset, int origin) = 0;
  virtual int64_t Tell() = 0;
  virtual int64_t Size() = 0;
  virtual bool Flush() = 0;
  virtual bool Eof() = 0;
  virtual int Error() = 0;
  virtual bool PutC(BYTE c) { return Write(&c, 1, 1) == 1; }
  virtual int GetC() = 0;
};

class ImageIOFile : public ImageFile {
 public:
  // With a stream, the stream stays the caller's; without, Open makes one.
  explicit ImageIOFile(FILE* stream = nullptr) : stream_(stream), closeStream_(stream == nullptr) {}
  ~ImageIOFile() override;
  bool Open(const char* path, const char* mode);
  bool Close() override;
  size_t Read(void* buffer, size_t size, size_t count) override;
  size_t Write(const void* buffer, size_t size, size_t count) override;
  bool Seek(int64_t offset, int origin) override;
  int64_t Tell() override;
  int64_t Size() override;
  bool Flush() override;
  bool Eof() override;
  int Error() override;
  bool PutC(BYTE c) override;
  int GetC() override;

 private:
  FILE* stream_;
  bool closeStream_;
};

class ImageMemFile : public ImageFile {
 public:
  explicit ImageMemFile(BYTE* buffer = nullptr, size_t size = 0);
  ~ImageMemFile() override;
  ImageMemFile(const ImageMemFile&) = delete;
  ImageMemFile& operator=(const ImageMemFile&) = delete;

  bool Open();
  // With detach, the caller owns the buffer from then on (free it with free()).
  BYTE* GetBuffer(bool detach = true);
  size_t GetCapacity() const { return capacity_; }

  bool Close() override;
  size_t Read(void* buffer, size_t size, size_t count) override;
  size_t Write(const void* buffer, size_t size, size_t count) override;
  bool Seek(int64_t offset, int origin) override;
  int64_t Tell() override;
  int64_t Size() override;
  bool Flush() override;
  bool Eof() override;
  int Error() override;
  bool PutC(BYTE c) override;
  int GetC() override;

 private:
  bool Reserve(size_t needed);
  void FillGap();

  BYTE* buffer_;
  size_t size_;
  bool own_;
  size_t position_;
  size_t capacity_;
};

// Reads exactly `bytes` bytes; false when the file ends first.
inline bool ReadAll(ImageFile* file, void* buffer, size_t bytes) {
  return bytes == 0 || file->Read(buffer, 1, bytes) == bytes;
}

// Bytes from the current position to the end of the file (0 when unknown).
inline int64_t BytesLeft(ImageFile* file) {
  const int64_t left = file->Size() - file->Tell();
  return left > 0 ? left : 0;
}
