// CTextFileBase and CTextFileReader: a text file read line by line into
// 8-bit strings, whatever its encoding. A byte-order mark selects UTF-16
// little- or big-endian or UTF-8; a file without one is 8-bit text in the
// ANSI code page. Lines end in CR, LF or CR LF.
// Choices of ours: an empty file, or one holding only a byte-order mark,
// gives no line; an odd last byte of a UTF-16 file and a UTF-8 sequence cut
// by the end of the file end the text (the cut sequence reads as U+FFFD);
// a line may be of any length. Natively (no Win32) the ANSI code page is
// Windows-1252.
#pragma once

#include <cstdint>
#include <string>

#include "framework/File.h"
#include "framework/String.h"

class CTextFileBase {
 public:
  enum TextEncoding : int32_t { kAnsi = 0, kUtf16BigEndian = 1, kUtf16LittleEndian = 2, kUtf8 = 3 };

  CTextFileBase() = default;
  CTextFileBase(const CTextFileBase&) = delete;
  CTextFileBase& operator=(const CTextFileBase&) = delete;
  // Closes an owned file and deletes its object.
  virtual void Close();
  virtual ~CTextFileBase();

  TextEncoding GetEncoding() const { return static_cast<TextEncoding>(Encoding); }
  // The character put in for wide characters the code page lacks (0: the
  // system's own), and whether a conversion had to use it.
  void SetDefaultChar(char ch) { DefaultChar = static_cast<BYTE>(ch); }
  bool GetUsedDefaultChar() const { return UsedDefaultChar != 0; }

 protected:
  static constexpr int kBufferBytes = 1024;

  int32_t Encoding = kAnsi;
  CFile* File = nullptr;
  BYTE OwnsFile = 0;
  BYTE EndOfFile = 0;
  BYTE Buffer[kBufferBytes] = {};
  int32_t BufferPos = -1;  // index of the last byte handed out
  int32_t BufferSize = 0;
  BYTE DefaultChar = 0;
  BYTE UsedDefaultChar = 0;
  UINT CodePage = 0;  // 0: the ANSI code page
  BYTE HavePending = 0;
  BYTE FirstLine = 1;
  uint16_t Pending = 0;
};

class CTextFileReader : public CTextFileBase {
 public:
  // Opens `path` for reading (writers shut out) and detects the encoding; a
  // file that cannot be opened reads as empty.
  explicit CTextFileReader(const char* path);
  ~CTextFileReader() override = default;

  // The next line without its end; false at the end of the file.
  bool ReadLine(CString& line);

 private:
  bool ReadByte(BYTE& byte);
  bool ReadChar(uint16_t& ch);
  bool ReadUtf8(uint16_t& ch);
  void DetectEncoding();
  void RewindToStart();
  CString Narrow(const std::u16string& wide);
};
