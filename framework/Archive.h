// CArchive: binary serialisation over a CFile, little-endian, without tags.
// Strings are stored as a length prefix and the bytes: one byte up to 254,
// 0xFF and a 16-bit length up to 0xFFFD, 0xFF 0xFFFF and a 32-bit length
// beyond. Reading past the end throws CArchiveException::endOfFile; a string
// longer than the data left is refused before anything is allocated, and the
// 16-bit marker 0xFFFE (a wide string) is a format error.
#pragma once

#include <cstdint>

#include "framework/File.h"
#include "framework/String.h"

class CObject;

class CArchive {
 public:
  enum Mode { store = 0, load = 1 };

  CArchive(CFile* file, UINT mode);
  CArchive(const CArchive&) = delete;
  CArchive& operator=(const CArchive&) = delete;

  bool IsLoading() const { return loading_; }
  bool IsStoring() const { return !loading_; }
  CFile* GetFile() const { return file_; }
  void Flush() {}
  void Close() {}

  // Raw bytes: Read returns how many were available; Write throws on failure.
  UINT Read(void* buffer, UINT count);
  void Write(const void* buffer, UINT count);
  // Reads exactly `count` bytes or throws endOfFile.
  void ReadExact(void* buffer, UINT count);
  // Bytes left between the position and the end of the file.
  uint64_t BytesLeft() const;

  CArchive& operator<<(BYTE value);
  CArchive& operator<<(char value) { return *this << static_cast<BYTE>(value); }
  CArchive& operator<<(bool value) { return *this << static_cast<BYTE>(value ? 1 : 0); }
  CArchive& operator<<(WORD value);
  CArchive& operator<<(int16_t value) { return *this << static_cast<WORD>(value); }
  CArchive& operator<<(int32_t value) { return *this << static_cast<uint32_t>(value); }
  CArchive& operator<<(uint32_t value);
  CArchive& operator<<(int64_t value) { return *this << static_cast<uint64_t>(value); }
  CArchive& operator<<(uint64_t value);
  CArchive& operator<<(float value);
  CArchive& operator<<(double value);
  CArchive& operator<<(const CString& value);
  CArchive& operator<<(const char* value) { return *this << CString(value); }

  CArchive& operator>>(BYTE& value);
  CArchive& operator>>(char& value);
  CArchive& operator>>(bool& value);
  CArchive& operator>>(WORD& value);
  CArchive& operator>>(int16_t& value);
  CArchive& operator>>(int32_t& value);
  CArchive& operator>>(uint32_t& value);
  CArchive& operator>>(int64_t& value);
  CArchive& operator>>(uint64_t& value);
  CArchive& operator>>(float& value);
  CArchive& operator>>(double& value);
  CArchive& operator>>(CString& value);

#ifdef _WIN32
  // LONG and DWORD (and COLORREF) are 32-bit long types on Windows.
  CArchive& operator<<(LONG value) { return *this << static_cast<int32_t>(value); }
  CArchive& operator<<(DWORD value) { return *this << static_cast<uint32_t>(value); }
  CArchive& operator>>(LONG& value);
  CArchive& operator>>(DWORD& value);
#endif

  // Text lines: WriteString writes the text as it is; ReadString reads up
  // to a line feed (dropping it and a CR before it) and is false at the end.
  void WriteString(const char* text);
  bool ReadString(CString& line);

  // The schema of the object being loaded, for versioned Serialize code.
  UINT GetObjectSchema() const { return schema_; }
  void SetObjectSchema(UINT schema) { schema_ = schema; }

 private:
  void RequireLoading() const;
  void RequireStoring() const;
  uint32_t ReadStringLength();

  CFile* file_;
  bool loading_;
  UINT schema_ = static_cast<UINT>(-1);
};
