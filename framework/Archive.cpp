// CArchive: little-endian values and length-prefixed strings over a CFile.
#include "framework/Archive.h"

#include <cstring>

namespace {

template <typename T>
void PutLittleEndian(BYTE* out, T value) {
  for (size_t i = 0; i < sizeof(T); ++i) out[i] = static_cast<BYTE>(value >> (8 * i));
}

template <typename T>
T GetLittleEndian(const BYTE* in) {
  T value = 0;
  for (size_t i = 0; i < sizeof(T); ++i) value |= static_cast<T>(static_cast<T>(in[i]) << (8 * i));
  return value;
}

}  // namespace

CArchive::CArchive(CFile* file, UINT mode) : file_(file), loading_((mode & load) != 0) {}

void CArchive::RequireLoading() const {
  if (!loading_) AfxThrowArchiveException(CArchiveException::writeOnly, file_->GetFilePath());
}

void CArchive::RequireStoring() const {
  if (loading_) AfxThrowArchiveException(CArchiveException::readOnly, file_->GetFilePath());
}

UINT CArchive::Read(void* buffer, UINT count) {
  RequireLoading();
  return file_->Read(buffer, count);
}

void CArchive::Write(const void* buffer, UINT count) {
  RequireStoring();
  file_->Write(buffer, count);
}

void CArchive::ReadExact(void* buffer, UINT count) {
  if (Read(buffer, count) != count)
    AfxThrowArchiveException(CArchiveException::endOfFile, file_->GetFilePath());
}

uint64_t CArchive::BytesLeft() const {
  const uint64_t length = file_->GetLength();
  const uint64_t position = file_->GetPosition();
  return position < length ? length - position : 0;
}

CArchive& CArchive::operator<<(BYTE value) {
  Write(&value, 1);
  return *this;
}

CArchive& CArchive::operator<<(WORD value) {
  BYTE bytes[2];
  PutLittleEndian(bytes, value);
  Write(bytes, sizeof bytes);
  return *this;
}

CArchive& CArchive::operator<<(uint32_t value) {
  BYTE bytes[4];
  PutLittleEndian(bytes, value);
  Write(bytes, sizeof bytes);
  return *this;
}

CArchive& CArchive::operator<<(uint64_t value) {
  BYTE bytes[8];
  PutLittleEndian(bytes, value);
  Write(bytes, sizeof bytes);
  return *this;
}

CArchive& CArchive::operator<<(float value) {
  uint32_t bits;
  std::memcpy(&bits, &value, sizeof bits);
  return *this << bits;
}

CArchive& CArchive::operator<<(double value) {
  uint64_t bits;
  std::memcpy(&bits, &value, sizeof bits);
  return *this << bits;
}

CArchive& CArchive::operator<<(const CString& value) {
  const uint32_t length = static_cast<uint32_t>(value.GetLength());
  if (length < 0xFF) {
    *this << static_cast<BYTE>(length);
  } else if (length < 0xFFFE) {
    *this << static_cast<BYTE>(0xFF) << static_cast<WORD>(length);
  } else {
    *this << static_cast<BYTE>(0xFF) << static_cast<WORD>(0xFFFF) << length;
  }
  Write(value.GetString(), length);
  return *this;
}

CArchive& CArchive::operator>>(BYTE& value) {
  ReadExact(&value, 1);
  return *this;
}

CArchive& CArchive::operator>>(char& value) {
  ReadExact(&value, 1);
  return *this;
}

CArchive& CArchive::operator>>(bool& value) {
  BYTE byte;
  *this >> byte;
  value = byte != 0;
  return *this;
}

CArchive& CArchive::operator>>(WORD& value) {
  BYTE bytes[2];
  ReadExact(bytes, sizeof bytes);
  value = GetLittleEndian<WORD>(bytes);
  return *this;
}

CArchive& CArchive::operator>>(int16_t& value) {
  WORD word;
  *this >> word;
  value = static_cast<int16_t>(word);
  return *this;
}

CArchive& CArchive::operator>>(uint32_t& value) {
  BYTE bytes[4];
  ReadExact(bytes, sizeof bytes);
  value = GetLittleEndian<uint32_t>(bytes);
  return *this;
}

CArchive& CArchive::operator>>(int32_t& value) {
  uint32_t bits;
  *this >> bits;
  value = static_cast<int32_t>(bits);
  return *this;
}

CArchive& CArchive::operator>>(uint64_t& value) {
  BYTE bytes[8];
  ReadExact(bytes, sizeof bytes);
  value = GetLittleEndian<uint64_t>(bytes);
  return *this;
}

CArchive& CArchive::operator>>(int64_t& value) {
  uint64_t bits;
  *this >> bits;
  value = static_cast<int64_t>(bits);
  return *this;
}

CArchive& CArchive::operator>>(float& value) {
  uint32_t bits;
  *this >> bits;
  std::memcpy(&value, &bits, sizeof value);
  return *this;
}

CArchive& CArchive::operator>>(double& value) {
  uint64_t bits;
  *this >> bits;
  std::memcpy(&value, &bits, sizeof value);
  return *this;
}

#ifdef _WIN32
CArchive& CArchive::operator>>(LONG& value) {
  int32_t bits;
  *this >> bits;
  value = bits;
  return *this;
}

CArchive& CArchive::operator>>(DWORD& value) {
  uint32_t bits;
  *this >> bits;
  value = bits;
  return *this;
}
#endif

uint32_t CArchive::ReadStringLength() {
  BYTE shortLength;
  *this >> shortLength;
  if (shortLength < 0xFF) return shortLength;
  WORD wordLength;
  *this >> wordLength;
  // 0xFFFE announces a wide-character string, which no stored form uses.
  if (wordLength == 0xFFFE)
    AfxThrowArchiveException(CArchiveException::genericException, file_->GetFilePath());
  if (wordLength < 0xFFFF) return wordLength;
  uint32_t longLength;
  *this >> longLength;
  return longLength;
}

CArchive& CArchive::operator>>(CString& value) {
  const uint32_t length = ReadStringLength();
  // A damaged length must not allocate more than the file could hold, nor
  // more than a string can.
  if (length > BytesLeft() || length > static_cast<uint32_t>(INT32_MAX))
    AfxThrowArchiveException(CArchiveException::endOfFile, file_->GetFilePath());
  CString text;
  ReadExact(text.GetBufferSetLength(static_cast<int>(length)), length);
  value = text;
  return *this;
}

void CArchive::WriteString(const char* text) {
  if (text) Write(text, static_cast<UINT>(std::strlen(text)));
}

bool CArchive::ReadString(CString& line) {
  RequireLoading();
  line.Empty();
  char ch;
  UINT got = 0;
  while ((got = file_->Read(&ch, 1)) == 1 && ch != '\n') line += ch;
  if (got == 0 && line.IsEmpty()) return false;
  if (!line.IsEmpty() && line[line.GetLength() - 1] == '\r') line.Delete(line.GetLength() - 1);
  return true;
}
