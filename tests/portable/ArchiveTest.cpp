#include <gtest/gtest.h>

#include <string>

#include "framework/Archive.h"
#include "framework/File.h"
#include "framework/Object.h"
#include "tests/portable/TempFolder.h"

namespace {

// The bytes an archive writes for `store`.
template <typename Store>
std::string ArchiveBytes(Store store) {
  CMemFile file;
  {
    CArchive archive(&file, CArchive::store);
    store(archive);
  }
  return std::string(reinterpret_cast<const char*>(file.GetData()), file.GetLength());
}

CString LoadString(const std::string& bytes) {
  CMemFile file(reinterpret_cast<BYTE*>(const_cast<char*>(bytes.data())),
                static_cast<UINT>(bytes.size()));
  CArchive archive(&file, CArchive::load);
  CString s;
  archive >> s;
  return s;
}

}  // namespace

TEST(CArchive, ScalarsAreLittleEndian) {
  const std::string bytes = ArchiveBytes([](CArchive& ar) {
    ar << static_cast<BYTE>(0x12) << static_cast<WORD>(0x3456) << static_cast<int32_t>(-2)
       << static_cast<uint32_t>(0x01020304u) << 1.0;
  });
  EXPECT_EQ(bytes, std::string("\x12\x56\x34\xFE\xFF\xFF\xFF\x04\x03\x02\x01"
                               "\x00\x00\x00\x00\x00\x00\xF0\x3F",
                               19));
}

TEST(CArchive, StringLengthPrefixes) {
  struct Case {
    int length;
    std::string prefix;
  };
  const Case cases[] = {
      {0, std::string("\x00", 1)},
      {254, "\xFE"},
      {255, std::string("\xFF\xFF\x00", 3)},
      {0xFFFD, "\xFF\xFD\xFF"},
      {0xFFFE, std::string("\xFF\xFF\xFF\xFE\xFF\x00\x00", 7)},
      {0x10000, std::string("\xFF\xFF\xFF\x00\x00\x01\x00", 7)},
  };
  for (const Case& c : cases) {
    const CString text('q', c.length);
    const std::string bytes = ArchiveBytes([&](CArchive& ar) { ar << text; });
    ASSERT_EQ(bytes.size(), c.prefix.size() + c.length) << c.length;
    EXPECT_EQ(bytes.substr(0, c.prefix.size()), c.prefix) << c.length;
    EXPECT_EQ(LoadString(bytes), text) << c.length;
  }
}

TEST(CArchive, TruncatedDataThrows) {
  const std::string full = ArchiveBytes([](CArchive& ar) { ar << CString("hello") << 7; });
  for (size_t cut = 0; cut < full.size(); ++cut) {
    std::string part = full.substr(0, cut);
    CMemFile file(reinterpret_cast<BYTE*>(part.data()), static_cast<UINT>(part.size()));
    CArchive archive(&file, CArchive::load);
    CString s;
    int n;
    EXPECT_THROW(archive >> s >> n, CArchiveException) << cut;
  }
}

TEST(CArchive, OverlongStringLengthRefusedBeforeAllocating) {
  // Claims 4 GB of text with three bytes behind it.
  const std::string bytes("\xFF\xFF\xFF\xFF\xFF\xFF\xFF" "abc", 10);
  try {
    LoadString(bytes);
    FAIL() << "no exception";
  } catch (const CArchiveException& e) {
    EXPECT_EQ(e.m_cause, CArchiveException::endOfFile);
  }
}

TEST(CArchive, WideStringMarkerIsFormatError) {
  const std::string bytes("\xFF\xFE\xFF\x01" "a", 5);
  try {
    LoadString(bytes);
    FAIL() << "no exception";
  } catch (const CArchiveException& e) {
    EXPECT_EQ(e.m_cause, CArchiveException::genericException);
  }
}

TEST(CArchive, WrongDirectionThrows) {
  CMemFile file;
  CArchive archive(&file, CArchive::store);
  BYTE b;
  EXPECT_THROW(archive >> b, CArchiveException);
}

TEST(CArchive, RoundTripThroughDiskFile) {
  TempFolder folder;
  const std::string path = folder.File("a.bin");
  {
    CFile file(path.c_str(), CFile::modeCreate | CFile::modeWrite);
    CArchive ar(&file, CArchive::store);
    ar << CString("text") << -5 << 2.5 << static_cast<WORD>(9);
  }
  CFile file(path.c_str(), CFile::modeRead);
  CArchive ar(&file, CArchive::load);
  CString s;
  int32_t i;
  double d;
  WORD w;
  ar >> s >> i >> d >> w;
  EXPECT_EQ(s, "text");
  EXPECT_EQ(i, -5);
  EXPECT_EQ(d, 2.5);
  EXPECT_EQ(w, 9);
  EXPECT_EQ(ar.BytesLeft(), 0u);
}

TEST(CFile, ShortReadStatusAndErrors) {
  TempFolder folder;
  const std::string path = folder.File("f.txt");
  TempFolder::Write(path, "abc");
  CFile file;
  ASSERT_TRUE(file.Open(path.c_str(), CFile::modeRead | CFile::shareDenyNone));
  char buffer[10];
  EXPECT_EQ(file.Read(buffer, sizeof buffer), 3u);
  EXPECT_EQ(file.Read(buffer, sizeof buffer), 0u);
  EXPECT_EQ(file.GetLength(), 3u);
  EXPECT_EQ(file.GetFileName(), "f.txt");

  CFileStatus status;
  EXPECT_TRUE(CFile::GetStatus(path.c_str(), status));
  EXPECT_EQ(status.m_size, 3u);
  EXPECT_FALSE(CFile::GetStatus("", status));
  EXPECT_TRUE(CFile::GetStatus(folder.Path().string().c_str(), status));
  EXPECT_TRUE(status.m_attribute & CFile::directory);

  CFileException error;
  CFile missing;
  EXPECT_FALSE(missing.Open(folder.File("none").c_str(), CFile::modeRead, &error));
  EXPECT_EQ(error.m_cause, CFileException::fileNotFound);
  EXPECT_THROW(CFile(folder.File("none").c_str(), CFile::modeRead), CFileException);
}

TEST(CMemFile, GrowsSeeksAndZeroFillsGaps) {
  CMemFile file(16);
  file.Write("ab", 2);
  file.Seek(6, CFile::begin);
  file.Write("z", 1);
  ASSERT_EQ(file.GetLength(), 7u);
  EXPECT_EQ(std::string(reinterpret_cast<const char*>(file.GetData()), 7), std::string("ab\0\0\0\0z", 7));
  const std::string big(5000, 'x');
  file.Write(big.data(), static_cast<UINT>(big.size()));
  EXPECT_EQ(file.GetLength(), 5007u);
  file.SeekToBegin();
  char two[2];
  EXPECT_EQ(file.Read(two, 2), 2u);
  EXPECT_THROW(file.Seek(-10, CFile::current), CFileException);
}

TEST(CMemFile, AttachedBufferIsNeverReallocated) {
  BYTE buffer[4] = {1, 2, 3, 4};
  CMemFile file(buffer, sizeof buffer);
  file.Write("xy", 2);
  EXPECT_EQ(buffer[0], 'x');
  EXPECT_THROW(file.Write("abc", 3), CFileException);  // would pass the end
  EXPECT_EQ(file.Detach(), buffer);
}

namespace {
class Shape : public CObject {
  DECLARE_SERIAL(Shape)
};
IMPLEMENT_SERIAL(Shape, CObject, 1)
class Circle : public Shape {
  DECLARE_DYNCREATE(Circle)
};
IMPLEMENT_DYNCREATE(Circle, Shape)
}  // namespace

TEST(CObject, RuntimeClassesAndCreateByName) {
  Circle circle;
  EXPECT_TRUE(circle.IsKindOf(RUNTIME_CLASS(Shape)));
  EXPECT_TRUE(circle.IsKindOf(RUNTIME_CLASS(CObject)));
  EXPECT_FALSE(Shape().IsKindOf(RUNTIME_CLASS(Circle)));
  EXPECT_STREQ(circle.GetRuntimeClass()->m_lpszClassName, "Circle");
  EXPECT_EQ(RUNTIME_CLASS(Shape)->m_wSchema, 1u);
  EXPECT_TRUE(Shape().IsSerializable());
  CObject* made = CRuntimeClass::CreateObject("Circle");
  ASSERT_NE(made, nullptr);
  EXPECT_TRUE(made->IsKindOf(RUNTIME_CLASS(Circle)));
  delete made;
  EXPECT_EQ(CRuntimeClass::CreateObject("NoSuchClass"), nullptr);
}
