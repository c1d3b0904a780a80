// The equation as a picture: the bitmap and metafile pictures, the three
// clipboard commands read back from the clipboard, the EMF, BMP and GIF
// exports and Save As choosing between them. Sizes are checked against the
// extent each document measures for itself.
#include <filesystem>
#include <map>

#include "app/document/BitmapDC.h"
#include "app/help/AboutDlg.h"
#include "app/help/LanguageManager.h"
#include "app/startup/StartupDialogs.h"
#include "framework/FileDialog.h"
#include "resources/resource.h"
#include "tests/app/AppFixture.h"
#include "tests/app/FileSavingSupport.h"
#include "tests/app/RunningProgram.h"
#include "tests/ole/OleTestSupport.h"
#include "tests/portable/ImageTestSupport.h"

namespace {

constexpr COLORREF kWhite = RGB(255, 255, 255);
// One inch by half an inch in 0.01 mm.
const ExtentRecord kInchByHalf{2540, 1270};

class Pictures : public AppTest {
 protected:
  void SetUp() override {
    AppTest::SetUp();
    doc = NewDocumentWith(kQuadraticFormula);
    ASSERT_NE(doc, nullptr);
  }
  // The screen's pixel size of a document's own extent (at least one pixel).
  CSize OwnPixels() {
    const CSize pixels = QVM400Doc::PicturePixels(doc->MeasureOwnExtent());
    return CSize(std::max<LONG>(pixels.cx, 1), std::max<LONG>(pixels.cy, 1));
  }
  void Command(UINT id) { frame->SendMessage(WM_COMMAND, id, 0); }

  QVM400Doc* doc = nullptr;
};

// The size of a bitmap and the colours of two opposite corners.
struct BitmapLook {
  CSize size;
  COLORREF topLeft = CLR_INVALID;
  COLORREF bottomRight = CLR_INVALID;
};

BitmapLook LookAt(HBITMAP bitmap) {
  BitmapLook look;
  BITMAP info{};
  if (!::GetObjectA(bitmap, sizeof info, &info)) return look;
  look.size = CSize(info.bmWidth, info.bmHeight);
  HDC dc = ::CreateCompatibleDC(nullptr);
  HGDIOBJ previous = ::SelectObject(dc, bitmap);
  look.topLeft = ::GetPixel(dc, 0, 0);
  look.bottomRight = ::GetPixel(dc, info.bmWidth - 1, info.bmHeight - 1);
  ::SelectObject(dc, previous);
  ::DeleteDC(dc);
  return look;
}

// What a metafile picture block says.
struct MetafileLook {
  SIZE_T blockSize = 0;
  LONG mm = 0;
  LONG xExt = 0;
  LONG yExt = 0;
  UINT metafileBytes = 0;
};

MetafileLook LookAt(HGLOBAL block) {
  MetafileLook look;
  look.blockSize = ::GlobalSize(block);
  if (const auto* picture = static_cast<const METAFILEPICT*>(::GlobalLock(block))) {
    look = {look.blockSize, picture->mm, picture->xExt, picture->yExt,
            ::GetMetaFileBitsEx(picture->hMF, 0, nullptr)};
    ::GlobalUnlock(block);
  }
  return look;
}

// The clipboard's formats and pictures, read back.
struct ClipboardLook {
  HWND owner = nullptr;
  bool hasText = false;
  bool hasBitmap = false;
  bool hasMetafile = false;
  BitmapLook bitmap;
  MetafileLook metafile;
};

ClipboardLook ReadClipboard() {
  ClipboardLook look;
  if (!::OpenClipboard(nullptr)) return look;
  look.owner = ::GetClipboardOwner();
  look.hasText = ::IsClipboardFormatAvailable(CF_TEXT);
  if (HANDLE bitmap = ::GetClipboardData(CF_BITMAP)) {
    look.hasBitmap = true;
    look.bitmap = LookAt(static_cast<HBITMAP>(bitmap));
  }
  if (HANDLE block = ::GetClipboardData(CF_METAFILEPICT)) {
    look.hasMetafile = true;
    look.metafile = LookAt(static_cast<HGLOBAL>(block));
  }
  ::CloseClipboard();
  return look;
}

void EmptyTheClipboard() {
  if (!::OpenClipboard(nullptr)) return;
  ::EmptyClipboard();
  ::CloseClipboard();
}

void ExpectMetafileOf(const MetafileLook& look, const ExtentRecord& extent) {
  EXPECT_EQ(sizeof(METAFILEPICT), 24u);
  EXPECT_GE(look.blockSize, sizeof(METAFILEPICT));
  EXPECT_EQ(look.mm, MM_ANISOTROPIC);
  EXPECT_EQ(look.xExt, extent.width);
  EXPECT_EQ(look.yExt, extent.height);
  EXPECT_GT(look.metafileBytes, 0u);
}

TEST(CBitmapDC, OwnsABitmapOfTheBackgroundColourUntilItHandsItOver) {
  const long before = GdiObjectCounter::Alive();
  {
    CBitmapDC dc(30, 20, nullptr, RGB(1, 2, 3));
    ASSERT_TRUE(dc.IsReady());
    EXPECT_EQ(::GetPixel(dc.GetSafeHdc(), 29, 19), RGB(1, 2, 3));
    const std::unique_ptr<CBitmap> bitmap = dc.DetachBitmap();
    ASSERT_NE(bitmap, nullptr);
    const BitmapLook look = LookAt(static_cast<HBITMAP>(bitmap->m_hObject));
    EXPECT_EQ(look.size, CSize(30, 20));
    EXPECT_EQ(look.topLeft, RGB(1, 2, 3));
    EXPECT_EQ(dc.DetachBitmap(), nullptr);  // handed over once
  }
  { CBitmapDC kept(5, 5); }  // never handed over: deleted with the DC
  {
    CBitmapDC empty(0, -4);
    EXPECT_EQ(LookAt(static_cast<HBITMAP>(empty.DetachBitmap()->m_hObject)).size, CSize(1, 1));
  }
  EXPECT_EQ(GdiObjectCounter::Alive(), before);
}

TEST_F(Pictures, BitmapPictureHasThePixelSizeOfTheExtentOnWhite) {
  CWindowDC screen(nullptr);
  ASSERT_EQ(screen.GetDeviceCaps(LOGPIXELSX), 96);
  const struct {
    ExtentRecord extent;
    CSize pixels;
  } cases[] = {
      {kInchByHalf, CSize(96, 48)}, {{1000, 500}, CSize(38, 19)}, {{254, 2540}, CSize(10, 96)}};
  for (const auto& c : cases) {
    const std::unique_ptr<CBitmap> bitmap = doc->MakeBitmapPicture(c.extent);
    ASSERT_NE(bitmap, nullptr);
    const BitmapLook look = LookAt(static_cast<HBITMAP>(bitmap->m_hObject));
    EXPECT_EQ(look.size, c.pixels) << c.extent.width;
    EXPECT_EQ(look.topLeft, kWhite);
  }
}

TEST_F(Pictures, MetafilePictureDeclaresTheExtentInHundredthsOfAMillimetre) {
  HGLOBAL block = doc->MakeMetafilePicture(kInchByHalf);
  ASSERT_NE(block, nullptr);
  ExpectMetafileOf(LookAt(block), kInchByHalf);
  auto* picture = static_cast<METAFILEPICT*>(::GlobalLock(block));
  ::DeleteMetaFile(picture->hMF);
  ::GlobalUnlock(block);
  ::GlobalFree(block);
}

// A program pasting the picture plays it into a rectangle of its own: the
// metafile must leave the scaling to it and fill that rectangle.
TEST_F(Pictures, MetafilePictureScalesIntoThePastersRectangle) {
  HGLOBAL block = doc->MakeMetafilePicture(doc->MeasureOwnExtent());
  ASSERT_NE(block, nullptr);
  auto* picture = static_cast<METAFILEPICT*>(::GlobalLock(block));
  ExpectPictureFillsThePastersRectangle(*picture);
  ::DeleteMetaFile(picture->hMF);
  ::GlobalUnlock(block);
  ::GlobalFree(block);
}

// Far beyond the 16-bit coordinates of a Windows metafile: played into a
// paster's rectangle, every line shows in its place, the first on top.
TEST_F(Pictures, TallestEquationCopiedAsMetafilePlaysBackEveryLineUpright) {
  QVM400Doc* tall = NewDocument();
  ASSERT_NE(tall, nullptr);
  tall->Options.Font.Value.Size = kMaxFontSize;
  tall->SetEquationText(TallestEquation().c_str());
  const ExtentRecord extent = tall->MeasureOwnExtent();
  ASSERT_GT(extent.height, 300 * 32767);
  EmptyTheClipboard();
  Command(ID_COPY_AS_METAFILE);
  ASSERT_TRUE(::OpenClipboard(nullptr));
  HANDLE block = ::GetClipboardData(CF_METAFILEPICT);
  const auto* picture = block ? static_cast<const METAFILEPICT*>(::GlobalLock(block)) : nullptr;
  METAFILEPICT copy = picture ? *picture : METAFILEPICT{};
  copy.hMF = picture ? ::CopyMetaFileA(picture->hMF, nullptr) : nullptr;
  if (picture) ::GlobalUnlock(block);
  ::CloseClipboard();
  ASSERT_NE(copy.hMF, nullptr);
  ExpectMetafileOf(MetafileLook{sizeof copy, copy.mm, copy.xExt, copy.yExt, 1}, extent);
  ExpectTallestEquationUpright(copy);
  ::DeleteMetaFile(copy.hMF);
}

TEST_F(Pictures, ClipboardCommandsPutTheDocumentsOwnPictures) {
  // Another view painted last: the commands must not take its extent.
  app->EquationExtent = ExtentRecord{99999, 88888};
  const ExtentRecord own = doc->MeasureOwnExtent();
  const struct {
    UINT command;  // 0: Copy with nothing selected
    bool bitmap;
    bool metafile;
  } cases[] = {
      {ID_COPY_AS_METAFILE, false, true}, {ID_COPY_AS_BITMAP, true, false}, {0, true, true}};
  for (const auto& c : cases) {
    EmptyTheClipboard();
    app->RefocusEdit = 0;
    app->EquationExtent = ExtentRecord{99999, 88888};
    if (c.command) {
      Command(c.command);
    } else {
      SetCaret(0);
      Command(ID_EDIT_COPY);
    }
    const ClipboardLook look = ReadClipboard();
    EXPECT_EQ(look.owner, frame->GetSafeHwnd()) << c.command;
    EXPECT_EQ(look.hasBitmap, c.bitmap) << c.command;
    EXPECT_EQ(look.hasMetafile, c.metafile) << c.command;
    if (c.metafile) ExpectMetafileOf(look.metafile, own);
    if (c.bitmap) {
      EXPECT_EQ(look.bitmap.size, OwnPixels()) << c.command;
      EXPECT_EQ(look.bitmap.topLeft, kWhite) << c.command;
      EXPECT_EQ(look.bitmap.bottomRight, kWhite) << c.command;
    }
    EXPECT_EQ(app->RefocusEdit, 1) << c.command;
  }
  EXPECT_TRUE(TakeShownBoxes().empty());
}

TEST_F(Pictures, CopyWithASelectionCopiesTheTextOnly) {
  EmptyTheClipboard();
  app->EquationEdit->SetSel(0, 1);
  Command(ID_EDIT_COPY);
  const ClipboardLook look = ReadClipboard();
  EXPECT_TRUE(look.hasText);
  EXPECT_FALSE(look.hasBitmap);
  EXPECT_FALSE(look.hasMetafile);
}

TEST_F(Pictures, ClipboardHeldElsewhereIsReportedAndLeftAlone) {
  CWnd holder;
  ASSERT_TRUE(
      holder.CreateEx(0, AfxRegisterWndClass(0), "holder", WS_POPUP, 0, 0, 1, 1, nullptr, nullptr));
  ASSERT_TRUE(::OpenClipboard(holder.GetSafeHwnd()));
  Command(ID_COPY_AS_METAFILE);
  Command(ID_COPY_AS_BITMAP);
  const std::vector<ShownBox> boxes = TakeShownBoxes();
  ASSERT_EQ(boxes.size(), 2u);
  EXPECT_EQ(boxes[0].text, "Cannot open the Clipboard");
  EXPECT_EQ(boxes[1].text, "Cannot open the Clipboard");
  // Still ours to close: the commands did not close a clipboard they never opened.
  EXPECT_TRUE(::CloseClipboard());
  holder.DestroyWindow();
}

// Writes the exports of the fixture's equation for outside readers
// (tools/export-crosscheck.sh) into the folder OVELIN_EXPORT_DIR names: the
// EMF, BMP and GIF, the BMP reduced to 8 bits with the standard palette,
// and "sizes.txt" with the pixel size and the extent. Skipped without it.
TEST_F(Pictures, WritesExportsForOutsideReaders) {
  char folder[MAX_PATH] = {};
  if (!::GetEnvironmentVariableA("OVELIN_EXPORT_DIR", folder, sizeof folder))
    GTEST_SKIP() << "OVELIN_EXPORT_DIR not set";
  const std::string base = std::string(folder) + "\\";
  ASSERT_TRUE(doc->ExportEmf((base + "eq.emf").c_str()));
  ASSERT_TRUE(doc->ExportBmp((base + "eq.bmp").c_str()));
  ASSERT_TRUE(doc->ExportGif((base + "eq.gif").c_str()));
  RasterImage reduced((base + "eq.bmp").c_str(), kFormatBmp);
  ASSERT_TRUE(reduced.ReduceBitDepth(8, false, nullptr, 0));
  ASSERT_TRUE(reduced.SaveFile((base + "eq-reduced.bmp").c_str(), kFormatBmp));
  const ExtentRecord extent = doc->MeasureOwnExtent();
  const CSize pixels = OwnPixels();
  TempFolder::Write(base + "sizes.txt",
                    std::to_string(pixels.cx) + " " + std::to_string(pixels.cy) + " " +
                        std::to_string(extent.width) + " " + std::to_string(extent.height) + "\n");
}

// --------------------------------------------------------------- exports

class Exports : public Pictures {
 protected:
  void SetUp() override {
    Pictures::SetUp();
    for (const char* name : {"TMP", "TEMP"}) {
      char value[MAX_PATH] = {};
      ::GetEnvironmentVariableA(name, value, sizeof value);
      savedTemp_.push_back(value);
    }
    UseTempFolder(temp.Path().string());
  }
  void TearDown() override {
    ::SetEnvironmentVariableA("TMP", savedTemp_[0].c_str());
    ::SetEnvironmentVariableA("TEMP", savedTemp_[1].c_str());
    Pictures::TearDown();
  }
  static void UseTempFolder(const std::string& folder) {
    ::SetEnvironmentVariableA("TMP", folder.c_str());
    ::SetEnvironmentVariableA("TEMP", folder.c_str());
  }
  static int FilesIn(const TempFolder& folder) {
    int count = 0;
    for ([[maybe_unused]] const auto& entry : std::filesystem::directory_iterator(folder.Path()))
      ++count;
    return count;
  }

  TempFolder out;
  TempFolder temp;

 private:
  std::vector<std::string> savedTemp_;
};

RECTL EmfFrame(const std::string& path) {
  RECTL frame{-1, -1, -1, -1};
  HENHMETAFILE emf = ::GetEnhMetaFileA(path.c_str());
  ENHMETAHEADER header{};
  if (emf && ::GetEnhMetaFileHeader(emf, sizeof header, &header)) frame = header.rclFrame;
  if (emf) ::DeleteEnhMetaFile(emf);
  return frame;
}

void ExpectFrame(const RECTL& frame, const ExtentRecord& extent) {
  EXPECT_EQ(frame.left, 0);
  EXPECT_EQ(frame.top, 0);
  EXPECT_EQ(frame.right, extent.width);
  EXPECT_EQ(frame.bottom, extent.height);
}

TEST_F(Exports, EmfFrameIsTheExtent) {
  const std::string given = out.File("given.emf");
  ASSERT_TRUE(doc->ExportEmf(given.c_str(), kInchByHalf));
  ExpectFrame(EmfFrame(given), kInchByHalf);
  app->EquationExtent = ExtentRecord{99999, 88888};
  const std::string own = out.File("own.emf");
  ASSERT_TRUE(doc->ExportEmf(own.c_str()));
  ExpectFrame(EmfFrame(own), doc->MeasureOwnExtent());
}

// The program's own EMF, read back by the image library's metafile reader
// (found by detection): a picture with the equation's ink in it.
TEST_F(Exports, ExportedEmfReadsBackAsAPicture) {
  const std::string emf = out.File("eq.emf");
  ASSERT_TRUE(doc->ExportEmf(emf.c_str()));
  RasterImage picture(emf.c_str(), kFormatUnknown);
  ASSERT_TRUE(picture.IsValid()) << picture.GetLastError();
  EXPECT_EQ(picture.GetType(), kFormatWmf);
  int dark = 0;
  for (int32_t y = 0; y < picture.GetHeight(); ++y)
    for (int32_t x = 0; x < picture.GetWidth(); ++x) {
      const RGBQUAD c = picture.GetPixelColor(x, y, false);
      if (c.rgbRed + c.rgbGreen + c.rgbBlue < 3 * 96) ++dark;
    }
  const int total = picture.GetWidth() * picture.GetHeight();
  EXPECT_GT(dark, total / 50);  // the strokes of the formula
  EXPECT_LT(dark, total / 2);   // on a light ground
}

TEST_F(Exports, BmpAndGifHaveThePixelSizeAndTheGifIsTheStandardPaletteReduction) {
  const std::string bmp = out.File("eq.bmp");
  const std::string gif = out.File("eq.gif");
  ASSERT_TRUE(doc->ExportBmp(bmp.c_str(), kInchByHalf));
  ASSERT_TRUE(doc->ExportGif(gif.c_str(), kInchByHalf));
  RasterImage fromBmp(bmp.c_str(), kFormatBmp);
  RasterImage fromGif(gif.c_str(), kFormatGif);
  ASSERT_TRUE(fromBmp.IsValid());
  ASSERT_TRUE(fromGif.IsValid());
  EXPECT_EQ(fromBmp.GetWidth(), 96);
  EXPECT_EQ(fromBmp.GetHeight(), 48);
  EXPECT_EQ(fromGif.GetBpp(), 8);
  const RGBQUAD corner = fromBmp.GetPixelColor(0, 47);
  EXPECT_EQ(RGB(corner.rgbRed, corner.rgbGreen, corner.rgbBlue), kWhite);
  ASSERT_TRUE(fromBmp.ReduceBitDepth(8, false, nullptr, 0));
  EXPECT_TRUE(SamePixels(fromBmp, fromGif));
  // The temporary BMP of the GIF route is gone.
  EXPECT_EQ(FilesIn(temp), 0);
}

TEST_F(Exports, GifNeverReadsAPictureLeftFromEarlier) {
  // A picture of another size where an older program kept its temporary file.
  const std::string stale = temp.File("qvm4temp.tmp");
  RasterImage other(7, 3, 24, kFormatBmp);
  ASSERT_TRUE(other.SaveFile(stale.c_str(), kFormatBmp));
  const std::string before = TempFolder::Read(stale);
  const std::string gif = out.File("eq.gif");
  ASSERT_TRUE(doc->ExportGif(gif.c_str(), kInchByHalf));
  RasterImage read(gif.c_str(), kFormatGif);
  EXPECT_EQ(read.GetWidth(), 96);
  EXPECT_EQ(TempFolder::Read(stale), before);

  // Without a temporary folder the GIF export fails and writes nothing,
  // and a file that was there stays as it was.
  UseTempFolder(temp.File("missing"));
  TempFolder::Write(gif, "old");
  EXPECT_FALSE(doc->ExportGif(gif.c_str(), kInchByHalf));
  EXPECT_EQ(TempFolder::Read(gif), "old");
  EXPECT_EQ(FilesIn(out), 1);
}

TEST_F(Exports, FailedExportsLeaveNoFile) {
  const std::string gone = out.File("missing\\eq");
  for (const char* extension : {".emf", ".bmp", ".gif"}) {
    const std::string path = gone + extension;
    const BOOL written = std::string(extension) == ".emf"   ? doc->ExportEmf(path.c_str())
                         : std::string(extension) == ".bmp" ? doc->ExportBmp(path.c_str())
                                                            : doc->ExportGif(path.c_str());
    EXPECT_FALSE(written) << extension;
    EXPECT_FALSE(std::filesystem::exists(path)) << extension;
  }
  EXPECT_EQ(FilesIn(out), 0);
  EXPECT_EQ(FilesIn(temp), 0);
}

// ---------------------------------------------------------------- Save As

CString g_chosenPath;

INT_PTR ChoosePath(CFileDialog& dialog) {
  if (g_chosenPath.IsEmpty()) return IDCANCEL;
  dialog.SetPathName(g_chosenPath);
  return IDOK;
}

class SaveAs : public Exports {
 protected:
  void SetUp() override {
    Exports::SetUp();
    previous_ = CFileDialog::SetFileDialogHook(ChoosePath);
    TakeShownBoxes();
  }
  void TearDown() override {
    CFileDialog::SetFileDialogHook(previous_);
    g_chosenPath.Empty();
    Exports::TearDown();
  }
  void SaveAsCommand(const std::string& path) {
    g_chosenPath = path.c_str();
    Command(ID_FILE_SAVE_AS);
  }

 private:
  CFileDialog::Hook previous_ = nullptr;
};

TEST_F(SaveAs, ChoosesByTheExtensionInAnyCase) {
  const struct {
    const char* name;
    std::string signature;  // at offset `at`
    size_t at;
  } cases[] = {
      {"EQ.GIF", "GIF8", 0},  {"eq.gif", "GIF8", 0},  {"eq.Bmp", "BM", 0},
      {"eq.emf", " EMF", 40}, {"eq.EMF", " EMF", 40},
  };
  const CString title = doc->GetTitle();
  for (const auto& c : cases) {
    const std::string path = out.File(c.name);
    std::filesystem::remove(path);
    SaveAsCommand(path);
    const std::string bytes = TempFolder::Read(path);
    ASSERT_GE(bytes.size(), c.at + c.signature.size()) << c.name;
    EXPECT_EQ(bytes.substr(c.at, c.signature.size()), c.signature) << c.name;
    // An export leaves the document's name and state alone.
    EXPECT_EQ(doc->GetTitle(), title) << c.name;
    EXPECT_TRUE(doc->GetPathName().IsEmpty()) << c.name;
    EXPECT_TRUE(doc->IsModified()) << c.name;
  }
  EXPECT_TRUE(TakeShownBoxes().empty());

  const std::string document = out.File("Eq.QVM");
  SaveAsCommand(document);
  EXPECT_EQ(doc->GetPathName().CompareNoCase(document.c_str()), 0);
  EXPECT_FALSE(doc->IsModified());
  EXPECT_TRUE(TakeShownBoxes().empty());
}

TEST_F(SaveAs, UnknownExtensionIsReportedAndWritesNothing) {
  for (const char* name : {"eq.png", "eq", "eq.gif.txt"}) {
    SaveAsCommand(out.File(name));
    const std::vector<ShownBox> boxes = TakeShownBoxes();
    ASSERT_EQ(boxes.size(), 1u) << name;
    EXPECT_EQ(boxes[0].caption, "File Save Error");
    EXPECT_NE(boxes[0].text.find(out.File(name)), std::string::npos);
  }
  EXPECT_EQ(FilesIn(out), 0);
}

TEST_F(SaveAs, AsksBeforeReplacingAFile) {
  const std::string path = out.File("eq.bmp");
  TempFolder::Write(path, "mine");
  QueueBoxAnswers({IDNO});
  SaveAsCommand(path);
  std::vector<ShownBox> boxes = TakeShownBoxes();
  ASSERT_EQ(boxes.size(), 1u);
  EXPECT_EQ(boxes[0].text, path + " already exists.\nDo you want to replace it?");
  EXPECT_EQ(boxes[0].type & MB_TYPEMASK, static_cast<UINT>(MB_YESNO));
  EXPECT_EQ(TempFolder::Read(path), "mine");

  QueueBoxAnswers({IDYES});
  SaveAsCommand(path);
  EXPECT_EQ(TakeShownBoxes().size(), 1u);
  EXPECT_EQ(TempFolder::Read(path).substr(0, 2), "BM");
  EXPECT_EQ(FilesIn(out), 1);
}

// After "replace?" is answered Yes, a file that cannot be replaced (read-
// only, or on a full disk) stays as it was and the save says what stopped it.
TEST_F(SaveAs, KeepsAFileItCannotReplaceAndSaysWhy) {
  FullDisk disk;
  ASSERT_TRUE(disk.Ready()) << "a tmpfs mounted as a Wine drive (needs root)";
  const struct {
    std::string path;
    bool readOnly;
    const char* failure;  // before the path
  } cases[] = {{out.File("eq.qvm"), true, "Access to "},
               {out.File("eq.gif"), true, "The equation could not be written to\n"},
               {disk.File("eq.qvm"), false, "Disk full while accessing "}};
  for (const auto& c : cases) TempFolder::Write(c.path, "mine");
  ASSERT_TRUE(disk.Fill());
  for (const auto& c : cases) {
    ::SetFileAttributesA(c.path.c_str(), c.readOnly ? FILE_ATTRIBUTE_READONLY : FILE_ATTRIBUTE_NORMAL);
    QueueBoxAnswers({IDYES});
    SaveAsCommand(c.path);
    const std::vector<ShownBox> boxes = TakeShownBoxes();
    ASSERT_EQ(boxes.size(), 2u) << c.path;
    EXPECT_EQ(boxes[1].text.rfind(c.failure + c.path, 0), 0u) << boxes[1].text;
    EXPECT_EQ(TempFolder::Read(c.path), "mine") << c.path;
    ::SetFileAttributesA(c.path.c_str(), FILE_ATTRIBUTE_NORMAL);
  }
  EXPECT_TRUE(doc->GetPathName().IsEmpty());
  EXPECT_EQ(FilesIn(out), 2);  // nothing left beside them
  EXPECT_EQ(std::distance(std::filesystem::directory_iterator(disk.File("")), {}), 2);
}

TEST_F(SaveAs, FailedExportIsReportedAsAFileSaveError) {
  UseTempFolder(temp.File("missing"));  // the GIF route cannot make its temporary file
  const std::string path = out.File("eq.gif");
  SaveAsCommand(path);
  const std::vector<ShownBox> boxes = TakeShownBoxes();
  ASSERT_EQ(boxes.size(), 1u);
  EXPECT_EQ(boxes[0].caption, "File Save Error");
  EXPECT_EQ(boxes[0].text, "The equation could not be written to\n" + path);
  EXPECT_EQ(FilesIn(out), 0);
}

// ---------------------------------------------------- a translation's formats

constexpr WORD kGerman = MAKELANGID(LANG_GERMAN, SUBLANG_GERMAN);

// String-table block `block` (the strings from 16 * (block - 1) on) holding
// `texts`; the strings it leaves empty come from the program.
std::vector<WORD> StringBlock(UINT block, const std::map<UINT, std::wstring>& texts) {
  std::vector<WORD> words;
  for (UINT id = (block - 1) * 16; id < block * 16; ++id) {
    const std::wstring text = texts.count(id) ? texts.at(id) : std::wstring();
    words.push_back(static_cast<WORD>(text.size()));
    words.insert(words.end(), text.begin(), text.end());
  }
  return words;
}

// The German module copied to `path` with `strings` and the texts of dialog
// `dialogId` (each `from` becomes a `to` of its length) replaced, as a
// resource editor would replace them.
bool WriteEditedModule(const std::string& path, const std::map<UINT, std::wstring>& strings,
                       UINT dialogId, const std::vector<std::pair<std::wstring, std::wstring>>& texts) {
  std::filesystem::copy_file(QVM400App::ProgramDirectory().GetString() + std::string("QVM400DEU.dll"), path);
  HMODULE module = ::LoadLibraryExA(path.c_str(), nullptr, LOAD_LIBRARY_AS_DATAFILE);
  HRSRC info = ::FindResourceExA(module, MAKEINTRESOURCEA(5), MAKEINTRESOURCEA(dialogId), kGerman);
  if (!info) return false;
  const auto* bytes = static_cast<const wchar_t*>(::LockResource(::LoadResource(module, info)));
  std::wstring dialog(bytes, ::SizeofResource(module, info) / sizeof(wchar_t));
  ::FreeLibrary(module);
  for (const auto& [from, to] : texts) dialog.replace(dialog.find(from), from.size(), to);
  HANDLE update = ::BeginUpdateResourceA(path.c_str(), FALSE);
  for (const auto& [id, text] : strings) {
    std::vector<WORD> block = StringBlock(id / 16 + 1, strings);
    ::UpdateResourceA(update, MAKEINTRESOURCEA(6), MAKEINTRESOURCEA(id / 16 + 1), kGerman, block.data(),
                      static_cast<DWORD>(block.size() * sizeof(WORD)));
  }
  ::UpdateResourceA(update, MAKEINTRESOURCEA(5), MAKEINTRESOURCEA(dialogId), kGerman, dialog.data(),
                    static_cast<DWORD>(dialog.size() * sizeof(wchar_t)));
  return ::EndUpdateResourceA(update, FALSE) != FALSE;
}

// A module whose translations take other arguments than the program's own
// texts ("%s" once too often crashed Save As in strlen): wherever a text is
// filled in, the program's own shows instead; a translation taking the same
// arguments, whatever its words and widths, is used.
TEST_F(SaveAs, TranslationsThatTakeOtherArgumentsGiveWayToTheProgramsOwn) {
  TempFolder folder;
  const std::string existing = out.File("eq.bmp");
  TempFolder::Write(existing, "mine");
  ASSERT_TRUE(WriteEditedModule(folder.File("QVM400TST.dll"),
                                {{IDS_REPLACE_EXISTING_FILE, L"%s ist schon da: %s. Ersetzen?"},
                                 {IDS_SAVE_UNKNOWN_TYPE, L"Typ %d geht nicht"},
                                 {IDS_ABOUT_VERSION_FORMAT, L"Version %2d,%03d (%d)"},
                                 {AFX_IDP_ASK_TO_SAVE, L"%s%n speichern?"}},
                                IDD_UPDATE_MINOR,
                                {{L"%s herunterladen", L"%s%s%s%s%s%s%s%s"},
                                 {L"Aktuelle Version %d.%03d", L"Aktuelle Version %s.%03d"}}));
  QVLanguageManager manager;
  manager.FindModules("QVM400", (folder.Path().string() + "\\").c_str());
  ASSERT_EQ(manager.LoadModule("TST"), "TST");

  QueueBoxAnswers({IDNO});
  SaveAsCommand(existing);
  SaveAsCommand(out.File("eq.png"));
  QueueBoxAnswers({IDCANCEL});
  doc->SaveModified();
  std::vector<std::string> shown;
  for (const ShownBox& box : TakeShownBoxes()) shown.push_back(box.text);
  EXPECT_EQ(shown, (std::vector<std::string>{
                       existing + " already exists.\nDo you want to replace it?",
                       "Ovelin cannot save a file of this type:\n" + out.File("eq.png") +
                           "\n\nChoose a name ending in .qvm, .emf, .gif or .bmp.",
                       "Save changes to " + std::string(doc->GetTitle()) + "?"}));
  std::vector<std::string> update;
  QVUpdateAvailableDlg dialog(IDD_UPDATE_MINOR, frame);
  dialog.Record.Parse("VER;1;Ovelin;4;5;http://127.0.0.1/get");
  dialog.CurrentMajor = dialog.CurrentMinor = 4;
  DialogScript script(300, [&](HWND updateDialog) {
    for (int item : {IDC_UPDATE_VERSIONS, IDC_UPDATE_NEW_VERSION, IDC_UPDATE_DOWNLOAD})
      update.push_back(WindowText(::GetDlgItem(updateDialog, item)));
  });
  dialog.DoModal();
  EXPECT_EQ(update, (std::vector<std::string>{"Current Version 4.004   -  New Version  4.005",
                                      "Eine neue Version von Ovelin steht zum Herunterladen bereit.",
                                      "Download Ovelin"}));
  EXPECT_EQ(AboutVersionText(::GetModuleHandleA(nullptr)), "Version  4,004 (0)");
  EXPECT_EQ(TempFolder::Read(existing), "mine");
}

}  // namespace
