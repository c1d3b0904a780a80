#include <gtest/gtest.h>

#include <cstring>

#include "framework/Collections.h"
#include "framework/String.h"

TEST(CString, ConstructionAndConcatenation) {
  EXPECT_EQ(CString("ab") + "c", "abc");
  EXPECT_EQ('x' + CString("y") + 'z', "xyz");
  EXPECT_EQ(CString('-', 3), "---");
  EXPECT_EQ(CString("abcdef", 3), "abc");
  EXPECT_EQ(CString(static_cast<const char*>(nullptr)), "");
  const CString withNul("a\0b", 3);
  EXPECT_EQ(withNul.GetLength(), 3);
}

TEST(CString, ValueSemantics) {
  CString a = "one";
  CString b = a;
  b += "two";
  EXPECT_EQ(a, "one");
  EXPECT_EQ(b, "onetwo");
}

TEST(CString, SubstringsClampOutOfRange) {
  const CString s = "hello";
  EXPECT_EQ(s.Mid(1, 3), "ell");
  EXPECT_EQ(s.Mid(3), "lo");
  EXPECT_EQ(s.Mid(9), "");
  EXPECT_EQ(s.Mid(-2, 3), "hel");
  EXPECT_EQ(s.Mid(2, 100), "llo");
  EXPECT_EQ(s.Left(2), "he");
  EXPECT_EQ(s.Left(-1), "");
  EXPECT_EQ(s.Right(2), "lo");
  EXPECT_EQ(s.Right(10), "hello");
  EXPECT_EQ(s.GetAt(7), '\0');
}

TEST(CString, FindFamily) {
  const CString s = "a=b=c";
  EXPECT_EQ(s.Find('='), 1);
  EXPECT_EQ(s.Find('=', 2), 3);
  EXPECT_EQ(s.Find('=', 5), -1);
  EXPECT_EQ(s.Find("b="), 2);
  EXPECT_EQ(s.Find(""), 0);
  EXPECT_EQ(s.ReverseFind('='), 3);
  EXPECT_EQ(s.FindOneOf("cb"), 2);
  EXPECT_EQ(s.FindOneOf(""), -1);
}

TEST(CString, EditingOperations) {
  CString s = "a-b-c";
  EXPECT_EQ(s.Replace('-', '+'), 2);
  EXPECT_EQ(s, "a+b+c");
  EXPECT_EQ(s.Replace("+", "--"), 2);
  EXPECT_EQ(s, "a--b--c");
  EXPECT_EQ(s.Replace("", "x"), 0);
  EXPECT_EQ(s.Remove('-'), 4);
  EXPECT_EQ(s, "abc");
  s.Insert(1, "XY");
  EXPECT_EQ(s, "aXYbc");
  s.Insert(99, '!');
  EXPECT_EQ(s, "aXYbc!");
  s.Delete(1, 2);
  EXPECT_EQ(s, "abc!");
  s.Delete(3, 50);
  EXPECT_EQ(s, "abc");
  s.Delete(-1, 2);
  EXPECT_EQ(s, "abc");
}

TEST(CString, TrimAndCase) {
  CString s = " \t x y \r\n";
  EXPECT_EQ(s.Trim(), "x y");
  CString t = "xxaxx";
  EXPECT_EQ(t.Trim('x'), "a");
  CString u = "--=a=--";
  EXPECT_EQ(u.TrimLeft("-="), "a=--");
  EXPECT_EQ(u.TrimRight("-="), "a");
  CString mixed = "AbC\xC4";
  mixed.MakeLower();
  EXPECT_EQ(mixed, "abc\xC4");  // only ASCII letters fold
  EXPECT_EQ(CString("abc").CompareNoCase("ABD"), -1);
  EXPECT_EQ(CString("abc").CompareNoCase("ABC"), 0);
  EXPECT_GT(CString("\xE9").Compare("a"), 0);  // bytes compare unsigned
}

TEST(CString, FormatLongAndShort) {
  CString s;
  s.Format("%d-%s", 42, "x");
  EXPECT_EQ(s, "42-x");
  s.Format("%.6f", 1e300);
  EXPECT_EQ(s.GetLength(), 301 + 7);
  s.AppendFormat("%c", '!');
  EXPECT_EQ(s.Right(1), "!");
}

TEST(CString, Tokenize) {
  const CString s = ";;a;b;;c;";
  int pos = 0;
  std::vector<std::string> tokens;
  for (CString t = s.Tokenize(";", pos); pos >= 0; t = s.Tokenize(";", pos)) tokens.push_back(t.str());
  EXPECT_EQ(tokens, (std::vector<std::string>{"a", "b", "c"}));
  int none = 0;
  EXPECT_EQ(CString(";;;").Tokenize(";", none), "");
  EXPECT_EQ(none, -1);
}

TEST(CString, BufferRoundTrip) {
  CString s = "abc";
  char* buffer = s.GetBuffer(10);
  std::strcpy(buffer, "xy");
  s.ReleaseBuffer();
  EXPECT_EQ(s, "xy");
  std::memcpy(s.GetBufferSetLength(4), "wxyz", 4);
  s.ReleaseBuffer(3);
  EXPECT_EQ(s, "wxy");
}

TEST(CArray, GrowInsertRemove) {
  CStringArray a;
  a.Add("b");
  a.InsertAt(0, "a");
  a.SetAtGrow(3, "d");
  ASSERT_EQ(a.GetSize(), 4);
  EXPECT_EQ(a[0], "a");
  EXPECT_EQ(a[2], "");
  a.RemoveAt(1, 10);
  EXPECT_EQ(a.GetSize(), 1);
  a.RemoveAt(5);  // out of range: nothing
  EXPECT_EQ(a.GetUpperBound(), 0);
}

TEST(CMap, LookupAndIterate) {
  CMapStringToPtr map;
  int one = 1, two = 2;
  map.SetAt("one", &one);
  map["two"] = &two;
  void* found = nullptr;
  EXPECT_TRUE(map.Lookup("two", found));
  EXPECT_EQ(found, &two);
  EXPECT_FALSE(map.Lookup("three", found));
  int visited = 0;
  for (POSITION pos = map.GetStartPosition(); pos;) {
    CString key;
    void* value;
    map.GetNextAssoc(pos, key, value);
    ++visited;
  }
  EXPECT_EQ(visited, 2);
  EXPECT_TRUE(map.RemoveKey("one"));
  EXPECT_EQ(map.GetCount(), 1);
}

TEST(CList, PositionsInsertRemove) {
  CTypedPtrList<CPtrList, int*> list;
  int a = 1, b = 2, c = 3;
  list.AddTail(&b);
  list.AddHead(&a);
  POSITION last = list.AddTail(&c);
  EXPECT_EQ(list.GetCount(), 3);
  EXPECT_EQ(list.Find(&b), list.FindIndex(1));
  list.RemoveAt(list.Find(&b));
  list.InsertBefore(last, &b);
  std::vector<int> seen;
  for (POSITION pos = list.GetHeadPosition(); pos;) seen.push_back(*list.GetNext(pos));
  EXPECT_EQ(seen, (std::vector<int>{1, 2, 3}));
  EXPECT_EQ(*list.RemoveHead(), 1);
  EXPECT_EQ(*list.RemoveTail(), 3);
  EXPECT_EQ(list.GetHead(), list.GetTail());
}
