#include "app/startup/TextFileReader.h"

#include <array>

namespace {

constexpr uint16_t kReplacementChar = 0xFFFD;

#ifndef _WIN32
// Windows-1252 for the native build: 0x80-0x9F hold these characters (0
// where the code page has none); every other byte is its own code point.
constexpr std::array<uint16_t, 32> kCp1252High = {
    0x20AC, 0,      0x201A, 0x0192, 0x201E, 0x2026, 0x2020, 0x2021, 0x02C6, 0x2030, 0x0160,
    0x2039, 0x0152, 0,      0x017D, 0,      0,      0x2018, 0x2019, 0x201C, 0x201D, 0x2022,
    0x2013, 0x2014, 0x02DC, 0x2122, 0x0161, 0x203A, 0x0153, 0,      0x017E, 0x0178};

// The 1252 byte of `ch`, or 0 when the code page lacks it.
char Cp1252Byte(uint16_t ch) {
  if (ch < 0x80 || (ch >= 0xA0 && ch <= 0xFF)) return static_cast<char>(ch);
  for (size_t i = 0; i < kCp1252High.size(); ++i)
    if (kCp1252High[i] == ch) return static_cast<char>(0x80 + i);
  return 0;
}
#endif

}  // namespace

void CTextFileBase::Close() {
  if (File && OwnsFile) {
    if (File->IsOpen()) File->Abort();
    delete File;
  }
  File = nullptr;
}

CTextFileBase::~CTextFileBase() { CTextFileBase::Close(); }

CTextFileReader::CTextFileReader(const char* path) {
  File = new CFile;
  OwnsFile = 1;
  FirstLine = 1;
  BufferPos = -1;
  if (!File->Open(path, CFile::modeRead | CFile::shareDenyWrite, nullptr)) {
    EndOfFile = 1;
    return;
  }
  DetectEncoding();
}

// One byte through the 1024-byte buffer; false at the end of the file.
bool CTextFileReader::ReadByte(BYTE& byte) {
  if (HavePending) {
    HavePending = 0;
    byte = static_cast<BYTE>(Pending & 0xFF);
    return true;
  }
  if (EndOfFile || !File || !File->IsOpen()) {
    EndOfFile = 1;
    return false;
  }
  if (BufferPos == -1 || BufferPos == kBufferBytes - 1) {
    BufferSize = static_cast<int32_t>(File->Read(Buffer, kBufferBytes));
    if (BufferSize == 0) {
      EndOfFile = 1;
      return false;
    }
    BufferPos = 0;
  } else if (++BufferPos >= BufferSize) {
    EndOfFile = 1;
    return false;
  }
  byte = Buffer[BufferPos];
  return true;
}

// A UTF-8 sequence of at most three bytes as one 16-bit character.
bool CTextFileReader::ReadUtf8(uint16_t& ch) {
  BYTE lead = 0;
  if (!ReadByte(lead)) return false;
  if (lead < 0x80) {
    ch = lead;
    return true;
  }
  BYTE next1 = 0;
  BYTE next2 = 0;
  if ((lead & 0xE0) == 0xC0) {
    // A sequence cut by the end of the file still counts as a character.
    if (!ReadByte(next1)) {
      ch = kReplacementChar;
      return true;
    }
    ch = static_cast<uint16_t>(((lead << 6) & 0x7FF) | (next1 & 0x3F));
    return true;
  }
  if ((lead & 0xF0) == 0xE0) {
    if (!ReadByte(next1) || !ReadByte(next2)) {
      ch = kReplacementChar;
      return true;
    }
    ch = static_cast<uint16_t>((lead << 12) | ((next1 << 6) & 0xFFF) | (next2 & 0x3F));
    return true;
  }
  ch = kReplacementChar;
  return true;
}

// One character in the file's encoding; false at the end of the file. A
// pending character (the end of the previous line) comes first.
bool CTextFileReader::ReadChar(uint16_t& ch) {
  if (HavePending && Encoding != kAnsi) {
    HavePending = 0;
    ch = Pending;
    return true;
  }
  BYTE low = 0;
  BYTE high = 0;
  switch (Encoding) {
    case kUtf16LittleEndian:
    case kUtf16BigEndian:
      // An odd last byte ends the text instead of pairing with nothing.
      if (!ReadByte(low) || !ReadByte(high)) return false;
      ch = Encoding == kUtf16LittleEndian ? static_cast<uint16_t>(low | (high << 8))
                                          : static_cast<uint16_t>(high | (low << 8));
      return true;
    case kUtf8:
      return ReadUtf8(ch);
    default:
      if (!ReadByte(low)) return false;
      ch = low;
      return true;
  }
}

void CTextFileReader::RewindToStart() {
  File->Seek(0, CFile::begin);
  HavePending = 0;
  BufferPos = -1;
  BufferSize = 0;
  FirstLine = 1;
  EndOfFile = 0;
}

void CTextFileReader::DetectEncoding() {
  BYTE b0 = 0;
  BYTE b1 = 0;
  if (ReadByte(b0) && ReadByte(b1)) {
    if (b0 == 0xFF && b1 == 0xFE) {
      Encoding = kUtf16LittleEndian;
      return;
    }
    if (b0 == 0xFE && b1 == 0xFF) {
      Encoding = kUtf16BigEndian;
      return;
    }
    BYTE b2 = 0;
    if (b0 == 0xEF && b1 == 0xBB && ReadByte(b2) && b2 == 0xBF) {
      Encoding = kUtf8;
      return;
    }
  }
  Encoding = kAnsi;
  RewindToStart();
}

// The wide text in the code page, with the default character for what the
// code page lacks.
CString CTextFileReader::Narrow(const std::u16string& wide) {
  if (wide.empty()) return CString();
#ifdef _WIN32
  const auto* text = reinterpret_cast<const wchar_t*>(wide.data());
  const int count = static_cast<int>(wide.size());
  const char defaultChar = static_cast<char>(DefaultChar);
  BOOL used = FALSE;
  const UINT codePage = CodePage ? CodePage : CP_ACP;
  const int bytes = ::WideCharToMultiByte(codePage, 0, text, count, nullptr, 0,
                                          DefaultChar ? &defaultChar : nullptr, nullptr);
  if (bytes <= 0) return CString();
  std::string narrow(static_cast<size_t>(bytes), '\0');
  ::WideCharToMultiByte(codePage, 0, text, count, narrow.data(), bytes,
                        DefaultChar ? &defaultChar : nullptr, &used);
  if (used) UsedDefaultChar = 1;
  return CString(narrow);
#else
  std::string narrow;
  narrow.reserve(wide.size());
  for (char16_t ch : wide) {
    char byte = Cp1252Byte(static_cast<uint16_t>(ch));
    if (byte == 0 && ch != 0) {
      byte = DefaultChar ? static_cast<char>(DefaultChar) : '?';
      UsedDefaultChar = 1;
    }
    narrow.push_back(byte);
  }
  return CString(narrow);
#endif
}

bool CTextFileReader::ReadLine(CString& line) {
  line.Empty();
  if (EndOfFile || !File) return false;
  uint16_t ch = 0;
  bool have = ReadChar(ch);
  if (FirstLine) {
    FirstLine = 0;
    // An empty file (or a byte-order mark alone) holds no line at all.
    if (!have) return false;
  } else if (have) {
    // `ch` ends the previous line: CR LF, a lone CR and a lone LF are one end.
    if (ch == '\r') have = ReadChar(ch);
    if (have && ch == '\n') have = ReadChar(ch);
  }
  std::string narrow;
  std::u16string wide;
  while (have && ch != '\r' && ch != '\n') {
    if (Encoding == kAnsi)
      narrow.push_back(static_cast<char>(ch));
    else
      wide.push_back(static_cast<char16_t>(ch));
    have = ReadChar(ch);
  }
  if (have) {
    Pending = ch;
    HavePending = 1;
  }
  line = Encoding == kAnsi ? CString(narrow) : Narrow(wide);
  return true;
}
