#include "app/startup/TextFileReader.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <string>
#include <vector>

#include "tests/portable/TempFolder.h"

#ifdef _WIN32
#include <windows.h>
#endif

using namespace std::string_literals;

namespace {

using Lines = std::vector<std::string>;

Lines ReadAll(const std::string& path, CTextFileReader::TextEncoding* encoding = nullptr) {
  CTextFileReader reader(path.c_str());
  if (encoding) *encoding = reader.GetEncoding();
  Lines lines;
  CString line;
  while (reader.ReadLine(line)) {
    lines.emplace_back(line.GetString());
    if (lines.size() > 10000) break;  // a reader that never ends fails below
  }
  CString after;
  EXPECT_FALSE(reader.ReadLine(after)) << "a line after the end";
  return lines;
}

Lines ReadBytes(const TempFolder& folder, const std::string& bytes) {
  const std::string path = folder.File("bytes.txt");
  TempFolder::Write(path, bytes);
  return ReadAll(path);
}

// `utf8` in another encoding. Natively the outside tool iconv makes it; under
// Wine, where iconv cannot be started, the system's own conversion does.
std::string Encode(const TempFolder& folder, const std::string& utf8, const std::string& to) {
#ifndef _WIN32
  const std::string in = folder.File("in.txt");
  const std::string out = folder.File("out.txt");
  TempFolder::Write(in, utf8);
  const std::string command = "iconv -f UTF-8 -t " + to + " '" + in + "' > '" + out + "'";
  EXPECT_EQ(std::system(command.c_str()), 0) << command;
  return TempFolder::Read(out);
#else
  (void)folder;
  std::wstring wide(utf8.size(), L'\0');
  wide.resize(MultiByteToWideChar(CP_UTF8, 0, utf8.data(), static_cast<int>(utf8.size()),
                                  wide.data(), static_cast<int>(wide.size())));
  std::string out;
  if (to == "CP1252") {
    out.resize(wide.size() * 2);
    out.resize(WideCharToMultiByte(1252, 0, wide.data(), static_cast<int>(wide.size()), out.data(),
                                   static_cast<int>(out.size()), nullptr, nullptr));
    return out;
  }
  for (wchar_t ch : wide) {
    const char low = static_cast<char>(ch & 0xFF), high = static_cast<char>(ch >> 8);
    if (to == "UTF-16LE") out += std::string{low, high};
    else out += std::string{high, low};
  }
  return out;
#endif
}

}  // namespace

// The same text in the five forms the reader meets gives the same lines; the
// endings CR LF, LF, CR and LF CR, an empty line, a long line and characters
// beyond ASCII (which the ANSI code page holds) included.
TEST(TextFileReader, SameLinesInEveryEncoding) {
  TempFolder folder;
  const std::string longLine(5000, 'x');
  const std::string text = "version 4.2\r\nGr\xC3\xBC\xC3\x9F" "e \xE2\x82\xAC 5\n\rlast\n\r" +
                           longLine + "\r\nend";
  const Lines expected = {"version 4.2", "Gr\xFC\xDF" "e \x80 5", "", "last", "", longLine, "end"};

  struct Form {
    const char* name;
    std::string bytes;
    CTextFileReader::TextEncoding encoding;
  };
  const std::vector<Form> forms = {
      {"ANSI", Encode(folder, text, "CP1252"), CTextFileReader::kAnsi},
      {"UTF-8 with mark", "\xEF\xBB\xBF" + text, CTextFileReader::kUtf8},
      {"UTF-16 LE", "\xFF\xFE" + Encode(folder, text, "UTF-16LE"), CTextFileReader::kUtf16LittleEndian},
      {"UTF-16 BE", "\xFE\xFF" + Encode(folder, text, "UTF-16BE"), CTextFileReader::kUtf16BigEndian},
  };
  for (const Form& form : forms) {
    SCOPED_TRACE(form.name);
    const std::string path = folder.File("form.txt");
    TempFolder::Write(path, form.bytes);
    CTextFileReader::TextEncoding encoding{};
    EXPECT_EQ(ReadAll(path, &encoding), expected);
    EXPECT_EQ(encoding, form.encoding);
  }

  // Without a mark, UTF-8 is ANSI text, byte for byte.
  TempFolder::Write(folder.File("plain.txt"), text);
  const Lines raw = ReadAll(folder.File("plain.txt"));
  ASSERT_EQ(raw.size(), expected.size());
  EXPECT_EQ(raw[1], "Gr\xC3\xBC\xC3\x9F" "e \xE2\x82\xAC 5");
}

TEST(TextFileReader, LineEnds) {
  TempFolder folder;
  struct Case {
    std::string bytes;
    Lines lines;
  };
  const std::vector<Case> cases = {
      {"", {}},
      {"\xEF\xBB\xBF", {}},
      {"\xFF\xFE", {}},
      {"\xFE\xFF", {}},
      {"a", {"a"}},
      {"a\r\n", {"a", ""}},
      {"\nb", {"", "b"}},
      {"a\r\rb", {"a", "", "b"}},
      {"a\n\rb", {"a", "", "b"}},
      {"a\r\nb\rc\nd", {"a", "b", "c", "d"}},
      {"\xEF\xBB", {"\xEF\xBB"}},  // a half mark is text
      {"\xEF\xBBx", {"\xEF\xBBx"}},
      // An odd last byte of UTF-16 is not paired with what lies past the file.
      {"\xFF\xFE" "a\0b\0c"s, {"ab"}},
      {"\xFE\xFF\0a\0\n\0b"s, {"a", "b"}},
      // Malformed UTF-8 reads as the default character; a cut sequence too.
      {"\xEF\xBB\xBF" "a\x80z\xF0", {"a?z?"}},
      {"\xEF\xBB\xBF" "a\xE2\x82", {"a?"}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(::testing::PrintToString(c.bytes));
    EXPECT_EQ(ReadBytes(folder, c.bytes), c.lines);
  }
}

// Lines that cross the 1024-byte buffer, and a file of exactly 1024 bytes.
TEST(TextFileReader, BlockBoundaries) {
  TempFolder folder;
  const std::string line1(1023, 'a');
  EXPECT_EQ(ReadBytes(folder, line1 + "\n"), (Lines{line1, ""}));
  EXPECT_EQ(ReadBytes(folder, line1 + "b"), (Lines{line1 + "b"}));
  const std::string line2(3000, 'c');
  EXPECT_EQ(ReadBytes(folder, line1 + "\r\n" + line2), (Lines{line1, line2}));
  // UTF-16 characters that straddle the buffer's end.
  std::string wide = "\xFF\xFE";
  for (int i = 0; i < 700; ++i) wide += std::string("\xE9\0", 2);
  EXPECT_EQ(ReadBytes(folder, wide), (Lines{std::string(700, '\xE9')}));
}

TEST(TextFileReader, MissingFileAndDefaultCharacter) {
  TempFolder folder;
  EXPECT_EQ(ReadAll(folder.File("none.txt")), Lines{});

  const std::string path = folder.File("greek.txt");
  TempFolder::Write(path, "\xEF\xBB\xBF\xE4\xB8\x80=1");  // U+4E00 has no ANSI byte
  CTextFileReader reader(path.c_str());
  reader.SetDefaultChar('#');
  CString line;
  ASSERT_TRUE(reader.ReadLine(line));
  EXPECT_STREQ(line, "#=1");
  EXPECT_TRUE(reader.GetUsedDefaultChar());
  reader.Close();
  EXPECT_FALSE(reader.ReadLine(line));
}
