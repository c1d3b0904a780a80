#include <gtest/gtest.h>

#include <string>

#include "engine/EquationList.h"
#include "framework/Archive.h"

namespace {

// The twenty lines of `text`, joined by "|" for compact expectations.
std::string Split(const CString& text) {
  CString lines[QVEquationList::kLineCount];
  QVEquationList::SplitText(text, lines);
  std::string joined = lines[0].str();
  for (int i = 1; i < QVEquationList::kLineCount; ++i) joined += "|" + lines[i].str();
  return joined;
}

std::string Lines(const std::string& first, int emptyAfter) {
  std::string s = first;
  for (int i = 0; i < emptyAfter; ++i) s += "|";
  return s;
}

std::string StoreBytes(QVEquationList& list) {
  CMemFile file;
  {
    CArchive archive(&file, CArchive::store);
    list.Serialize(archive);
  }
  return std::string(reinterpret_cast<const char*>(file.GetData()), file.GetLength());
}

}  // namespace

TEST(QVEquationList, SplitsAtLineBreaks) {
  EXPECT_EQ(Split(""), Lines("", 19));
  EXPECT_EQ(Split("a=b\r\n=c"), Lines("a=b|=c", 18));
  EXPECT_EQ(Split("a\r\n\r\nc"), Lines("a||c", 17));
  // A bare CR breaks the line and keeps the next character.
  EXPECT_EQ(Split("a\rbc\r\nd"), Lines("a|bc|d", 17));
  EXPECT_EQ(Split("a\r"), Lines("a|", 18));
}

TEST(QVEquationList, SurplusLinesStayInLineTwenty) {
  CString text;
  for (int i = 1; i <= 25; ++i) text.AppendFormat(i == 1 ? "%d" : "\r\n%d", i);
  CString lines[QVEquationList::kLineCount];
  QVEquationList::SplitText(text, lines);
  EXPECT_EQ(lines[18], "19");
  EXPECT_EQ(lines[19], "20\r\n21\r\n22\r\n23\r\n24\r\n25");

  // Line twenty empty but more text after it: the text is kept.
  CString emptyTwenty;
  for (int i = 1; i <= 19; ++i) emptyTwenty.AppendFormat("%d\r\n", i);
  QVEquationList::SplitText(emptyTwenty + "\r\nmore", lines);
  EXPECT_EQ(lines[19], "more");
  QVEquationList::SplitText(emptyTwenty, lines);
  EXPECT_EQ(lines[19], "");
}

TEST(QVEquationList, JoinsTwentyLinesAndReparsesOnlyChangedOnes) {
  QVMOptions options;
  QVEquationList list;
  list.SetText("x+1=2\r\ny=10", options);
  CString expected = "x+1=2\r\ny=10";
  for (int i = 0; i < 18; ++i) expected += "\r\n";
  EXPECT_EQ(list.GetText(), expected);
  EXPECT_EQ(list.Engines[1]->GetText(), "y=10");
  QVMToken* before = list.Engines[0]->Root().GetAt(0);
  list.SetText("x+1=2\r\ny=11", options);
  EXPECT_EQ(list.Engines[0]->Root().GetAt(0), before);  // unchanged line kept its tree
  EXPECT_EQ(list.Engines[1]->GetText(), "y=11");
  list.ForceReparse();
  EXPECT_TRUE(list.Engines[0]->NeedsReparse());
}

TEST(QVEquationList, ArchiveFormRoundTrips) {
  QVEquationList empty;
  const std::string bytes = StoreBytes(empty);
  ASSERT_EQ(bytes.size(), 182u);
  EXPECT_EQ(bytes.substr(0, 11), std::string("\x01\x00\x00\x00\x00\x00\x00\x00\x00\xFF\x00", 11));

  QVEquationList list;
  list.Lines[0] = "a=b";
  list.Lines[19] = "z";
  list.Formats[0].Bold = true;
  list.Formats[0].Underline = true;
  list.Formats[19].UseColour = true;
  list.Formats[19].Colour = 0x123456;
  std::string stored = StoreBytes(list);
  EXPECT_EQ(stored.substr(2, 12), std::string("\x03" "a=b\x01\x00\x01\x00\x00\x00\xFF\x00", 12));

  QVEquationList loaded;
  CMemFile file(reinterpret_cast<BYTE*>(stored.data()), static_cast<UINT>(stored.size()));
  CArchive archive(&file, CArchive::load);
  loaded.Serialize(archive);
  EXPECT_EQ(loaded.GetText(), list.GetText());
  EXPECT_TRUE(loaded.Formats[0].Bold);
  EXPECT_FALSE(loaded.Formats[0].Italic);
  EXPECT_TRUE(loaded.Formats[0].Underline);
  EXPECT_EQ(loaded.Formats[19].Colour, 0x123456u);

  // A version below 1 reads nothing more; a cut-short stream throws.
  std::string versionZero("\x00\x00\x05zzzzz", 8);
  QVEquationList untouched;
  CMemFile zeroFile(reinterpret_cast<BYTE*>(versionZero.data()), 8);
  CArchive zeroArchive(&zeroFile, CArchive::load);
  untouched.Serialize(zeroArchive);
  EXPECT_EQ(untouched.Lines[0], "");
  stored.resize(50);
  CMemFile shortFile(reinterpret_cast<BYTE*>(stored.data()), 50);
  CArchive shortArchive(&shortFile, CArchive::load);
  EXPECT_THROW(loaded.Serialize(shortArchive), CArchiveException);
}
