// Damaged and hostile files through the program's own Open: each is made
// here from a file the program saved, opens with one clear message or draws
// quickly, leaves the open document and the file on disk as they were, and
// the program goes on.
#include <cstdint>
#include <cstdio>
#include <cstring>
#include <functional>
#include <string>

#include "framework/CompoundFileCheck.h"
#include "tests/app/AppFixture.h"

namespace {

uint32_t Get32(const std::string& bytes, size_t at) {
  uint32_t value = 0;
  for (int i = 3; i >= 0; --i) value = value << 8 | static_cast<uint8_t>(bytes[at + i]);
  return value;
}
void Put32(std::string& bytes, size_t at, uint32_t value) {
  for (int i = 0; i < 4; ++i) bytes[at + i] = static_cast<char>(value >> (8 * i));
}

// Where the parts of a compound file written with 512-byte sectors are.
struct Layout {
  const std::string& bytes;
  size_t Sector(uint32_t n) const { return 512 * (static_cast<size_t>(n) + 1); }
  size_t FatSector() const { return Sector(Get32(bytes, 0x4C)); }
  uint32_t DirectoryStart() const { return Get32(bytes, 0x30); }
  // The directory entry named "Contents" (in the directory's first sector).
  size_t ContentsEntry() const {
    for (size_t at = Sector(DirectoryStart()); at < Sector(DirectoryStart()) + 512; at += 128)
      if (bytes.compare(at, 16, std::string("C\0o\0n\0t\0e\0n\0t\0s\0", 16)) == 0) return at;
    return 0;
  }
};

using HostileFile = AppTest;

TEST_F(HostileFile, DamagedCompoundFilesAreRefusedWithoutHanging) {
  const std::string saved = SaveEquationFile("sound.qvm", "x^2+1");
  ASSERT_FALSE(saved.empty());
  const std::string sound = TempFolder::Read(saved);
  ASSERT_EQ(CheckCompoundFile(sound.data(), sound.size()), "");  // what Wine writes passes
  const Layout layout{sound};
  ASSERT_NE(layout.ContentsEntry(), 0u);
  const struct {
    const char* name;
    std::function<void(std::string&)> damage;
  } corpus[] = {
      {"fat-loop-at-516.qvm", [](std::string& b) { Put32(b, 516, 1); }},
      {"directory-chain-loop.qvm",
       [&](std::string& b) { Put32(b, layout.FatSector() + 4 * layout.DirectoryStart(), layout.DirectoryStart()); }},
      {"zero-fat.qvm", [&](std::string& b) { std::memset(&b[layout.FatSector()], 0, 512); }},
      {"self-linked-entry.qvm",
       [&](std::string& b) {
         const size_t entry = layout.ContentsEntry();
         Put32(b, entry + 0x44, static_cast<uint32_t>((entry - layout.Sector(layout.DirectoryStart())) / 128));
       }},
      {"stream-past-the-end.qvm", [&](std::string& b) { Put32(b, layout.ContentsEntry() + 0x78, 0x7FFFFFFF); }},
  };

  QVM400Doc* open = NewDocumentWith("kept");
  ASSERT_NE(open, nullptr);
  for (const auto& item : corpus) {
    std::string bytes = sound;
    item.damage(bytes);
    ASSERT_NE(bytes, sound) << item.name;
    const std::string path = appData.File(item.name);
    TempFolder::Write(path, bytes);
    TakeShownBoxes();
    EXPECT_EQ(app->OpenDocumentFile(path.c_str()), nullptr) << item.name;
    const auto boxes = TakeShownBoxes();
    ASSERT_EQ(boxes.size(), 1u) << item.name;
    EXPECT_EQ(boxes[0].text, path + " has a bad format.");
    EXPECT_EQ(ActiveDocument(), open);
    EXPECT_EQ(open->Equation.Lines[0], "kept");
    EXPECT_EQ(TempFolder::Read(path), bytes) << item.name;
  }
  // The sound file still opens.
  EXPECT_NE(app->OpenDocumentFile(saved.c_str()), nullptr);
  EXPECT_TRUE(TakeShownBoxes().empty());
}

// Sizes, widths and spacings no page can show, saved as they stand: the
// document opens, measures a sane box and paints at once.
TEST_F(HostileFile, HugeSizesAndSpacingsDrawQuickly) {
  const struct {
    const char* name;
    std::function<void(QVMOptions&)> set;
  } corpus[] = {
      {"font-size-million.qvm", [](QVMOptions& o) { o.Font.Value.Size = 1000000; }},
      {"font-size-max.qvm", [](QVMOptions& o) { o.Font.Value.Size = INT32_MAX; }},
      {"font-height-max.qvm", [](QVMOptions& o) { o.Font.Value.LogFont.lfHeight = INT32_MIN; }},
      {"pen-width-huge.qvm", [](QVMOptions& o) { o.GeneralPen.Value.Width = 1e12; }},
      {"spacing-huge.qvm", [](QVMOptions& o) { o.VerticalSpacing.Value = 2000000000; }},
      {"matrix-spacing-huge.qvm", [](QVMOptions& o) { o.MatrixVerticalSpacing.Value = INT32_MAX; }},
  };
  for (const auto& item : corpus) {
    QVM400Doc* doc = NewDocumentWith("x=(-b+-sqrt(b^2-4ac))/(2a)\r\n\r\ny=1/2\r\n\r\n\r\nz");
    ASSERT_NE(doc, nullptr);
    item.set(doc->Options);
    const std::string path = appData.File(item.name);
    ASSERT_TRUE(doc->OnSaveDocument(path.c_str()));
    doc->OnCloseDocument();
    const std::string bytes = TempFolder::Read(path);

    const DWORD start = ::GetTickCount();
    auto* opened = static_cast<QVM400Doc*>(app->OpenDocumentFile(path.c_str()));
    ASSERT_NE(opened, nullptr) << item.name;
    const ExtentRecord extent = opened->MeasureOwnExtent();
    PaintView(ViewOf(opened));
    std::printf("%-24s opened, measured and painted in %lu ms\n", item.name,
                static_cast<unsigned long>(::GetTickCount() - start));
    EXPECT_GT(extent.height, 0) << item.name;
    EXPECT_LT(extent.height, 2000000) << item.name;
    EXPECT_GT(extent.width, 0) << item.name;
    EXPECT_LT(extent.width, 2000000) << item.name;
    EXPECT_TRUE(TakeShownBoxes().empty()) << item.name;
    EXPECT_EQ(TempFolder::Read(path), bytes) << item.name;
    opened->OnCloseDocument();
  }
}

}  // namespace
