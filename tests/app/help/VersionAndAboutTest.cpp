// The version resource as the about box reads it (the program's own, one
// removed, one whose fixed part is cut short), the two about boxes with the
// maker's link, and the help and manual commands.
#include <windows.h>

#include <shellapi.h>

#include <algorithm>
#include <cstring>
#include <filesystem>
#include <vector>

#include "app/help/AboutDlg.h"
#include "app/help/FileVersionInfo.h"
#include "controls/StaticLink.h"
#include "controls/TextHelpers.h"
#include "resources/resource.h"
#include "tests/app/AppFixture.h"
#include "tests/app/RunningProgram.h"

namespace {

// ---- version blocks -----------------------------------------------------------

void PutWord(std::vector<BYTE>& block, WORD value) {
  block.push_back(LOBYTE(value));
  block.push_back(HIBYTE(value));
}
void PutKey(std::vector<BYTE>& block, const wchar_t* key) {
  for (const wchar_t* p = key;; ++p) {
    PutWord(block, static_cast<WORD>(*p));
    if (!*p) break;
  }
  while (block.size() % 4) block.push_back(0);
}
void SetLength(std::vector<BYTE>& block, size_t at) {
  const WORD length = static_cast<WORD>(block.size() - at);
  block[at] = LOBYTE(length);
  block[at + 1] = HIBYTE(length);
}

// A version block whose fixed part is `fixedLength` bytes of a valid
// 4.4.0.0 record, with a translation table (US English, 1252).
std::vector<BYTE> VersionBlock(WORD fixedLength) {
  VS_FIXEDFILEINFO fixed{};
  fixed.dwSignature = 0xFEEF04BD;
  fixed.dwStrucVersion = 0x10000;
  fixed.dwFileVersionMS = fixed.dwProductVersionMS = MAKELONG(4, 4);
  std::vector<BYTE> block;
  PutWord(block, 0);
  PutWord(block, fixedLength);
  PutWord(block, 0);
  PutKey(block, L"VS_VERSION_INFO");
  const auto* bytes = reinterpret_cast<const BYTE*>(&fixed);
  block.insert(block.end(), bytes, bytes + fixedLength);
  while (block.size() % 4) block.push_back(0);
  const size_t varFileInfo = block.size();
  PutWord(block, 0);
  PutWord(block, 0);
  PutWord(block, 1);
  PutKey(block, L"VarFileInfo");
  const size_t translation = block.size();
  PutWord(block, 0);
  PutWord(block, 4);
  PutWord(block, 0);
  PutKey(block, L"Translation");
  PutWord(block, 0x409);
  PutWord(block, 1252);
  SetLength(block, translation);
  SetLength(block, varFileInfo);
  SetLength(block, 0);
  return block;
}

// Every resource of a module, copied into an update except the version.
struct ResourceCopy {
  HMODULE from;
  HANDLE to;
};

BOOL CALLBACK CopyLanguage(HMODULE, LPCSTR type, LPCSTR name, WORD language, LONG_PTR param) {
  auto* copy = reinterpret_cast<ResourceCopy*>(param);
  HRSRC found = ::FindResourceExA(copy->from, type, name, language);
  HGLOBAL data = found ? ::LoadResource(copy->from, found) : nullptr;
  if (!data) return FALSE;
  return ::UpdateResourceA(copy->to, type, name, language, ::LockResource(data),
                           ::SizeofResource(copy->from, found));
}
BOOL CALLBACK CopyName(HMODULE module, LPCSTR type, LPSTR name, LONG_PTR param) {
  return ::EnumResourceLanguagesA(module, type, name, CopyLanguage, param);
}
BOOL CALLBACK CopyType(HMODULE module, LPSTR type, LONG_PTR param) {
  if (type == MAKEINTRESOURCEA(16)) return TRUE;  // RT_VERSION
  return ::EnumResourceNamesA(module, type, CopyName, param);
}

// A copy of ovelin.exe in `folder` whose version resource is `block`, or
// which has none when `block` is empty.
std::string ProgramWithVersion(const TempFolder& folder, const std::vector<BYTE>& block) {
  const std::string path = folder.File("ovelin.exe");
  std::filesystem::copy_file(OvelinExePath(), path);
  HANDLE update = ::BeginUpdateResourceA(path.c_str(), block.empty());
  if (!update) return "";
  bool copied = true;
  if (block.empty()) {
    ResourceCopy copy{::LoadLibraryExA(OvelinExePath().c_str(), nullptr, LOAD_LIBRARY_AS_DATAFILE),
                      update};
    copied = copy.from && ::EnumResourceTypesA(copy.from, CopyType, reinterpret_cast<LONG_PTR>(&copy));
    if (copy.from) ::FreeLibrary(copy.from);
  } else {
    copied = ::UpdateResourceA(update, MAKEINTRESOURCEA(16), MAKEINTRESOURCEA(1),
                               MAKELANGID(LANG_ENGLISH, SUBLANG_ENGLISH_US),
                               const_cast<BYTE*>(block.data()), static_cast<DWORD>(block.size()));
  }
  return ::EndUpdateResourceA(update, !copied) && copied ? path : "";
}

bool IsAllZero(const VS_FIXEDFILEINFO& info) {
  static const VS_FIXEDFILEINFO zero{};
  return std::memcmp(&info, &zero, sizeof zero) == 0;
}

TEST(CFileVersionInfo, ReadsTheProgramsOwnVersionAndReadsAgain) {
  CFileVersionInfo info;
  ASSERT_TRUE(info.CreateFromModule(::GetModuleHandleA(nullptr)));
  EXPECT_EQ(info.ProductMajor(), 4);
  EXPECT_EQ(info.ProductMinor(), 4);
  EXPECT_EQ(info.FileBuild(), 0);
  EXPECT_EQ(info.TranslationCount, 1u);
  EXPECT_EQ(info.Translations[0], MAKELONG(0x409, 1252));
  ASSERT_TRUE(info.Create(OvelinExePath().c_str()));  // the first block is freed
  EXPECT_EQ(info.ProductMajor(), 4);
  EXPECT_FALSE(info.CreateFromModule(nullptr));
  EXPECT_FALSE(info.Create(nullptr));
}

TEST(CFileVersionInfo, WithoutAWholeVersionResourceEverythingIsZero) {
  TempFolder folder;
  const std::string text = folder.File("plain.txt");
  TempFolder::Write(text, "no version here");
  struct Case {
    const char* name;
    std::string path;
    bool valid;
  };
  TempFolder whole, removed, shortFixed;
  const Case cases[] = {
      {"a hand-made whole block", ProgramWithVersion(whole, VersionBlock(52)), true},
      {"no version resource", ProgramWithVersion(removed, {}), false},
      // Would be read 32 bytes past its end.
      {"fixed part of 20 bytes", ProgramWithVersion(shortFixed, VersionBlock(20)), false},
      {"a text file", text, false},
  };
  for (const Case& c : cases) {
    ASSERT_FALSE(c.path.empty()) << c.name;
    CFileVersionInfo info;
    EXPECT_EQ(info.Create(c.path.c_str()), c.valid ? TRUE : FALSE) << c.name;
    EXPECT_EQ(IsAllZero(info.FixedInfo), !c.valid) << c.name;
    EXPECT_EQ(info.VersionData == nullptr, !c.valid) << c.name;
    EXPECT_EQ(info.TranslationCount, c.valid ? 1u : 0u) << c.name;
  }
}

// ---- about boxes -----------------------------------------------------------------

std::string ItemText(HWND dialog, int id) { return WindowText(::GetDlgItem(dialog, id)); }

using AboutBoxes = AppTest;

TEST_F(AboutBoxes, TheAboutBoxShowsTheVersionResource) {
  std::string version, copyright;
  std::string caption;
  DialogScript script(200, [&](HWND dialog) {
    caption = WindowText(dialog);
    version = ItemText(dialog, IDC_ABOUT_VERSION);
    copyright = ItemText(dialog, IDC_ABOUT_COPYRIGHT);
  });
  app->RefocusEdit = 0;
  app->OnCmdMsg(ID_APP_ABOUT, CN_COMMAND, nullptr, nullptr);
  EXPECT_EQ(caption, "About Ovelin 4");
  EXPECT_EQ(version, "Ovelin V4.004.0");
  EXPECT_EQ(copyright, "Copyright (C) Marvolk Software");
  EXPECT_EQ(app->RefocusEdit, 1);
}

// ovelin.exe without a version resource says so with version 0.000.0.
TEST(AboutBoxOfAProgram, WithoutVersionResourceShowsZero) {
  TempFolder appData, folder;
  const std::string path = ProgramWithVersion(folder, {});
  ASSERT_FALSE(path.empty());
  RunningProgram program(appData.Path().string(), "", false, path);
  WindowSearch search = program.WaitForDocumentWindow();
  ASSERT_NE(search.main, nullptr);
  ::PostMessageA(search.main, WM_COMMAND, ID_APP_ABOUT, 0);
  HWND dialog = program.WaitForDialog();
  ASSERT_NE(dialog, nullptr);
  EXPECT_EQ(WindowText(dialog), "About Ovelin 4");
  EXPECT_EQ(ItemText(dialog, IDC_ABOUT_VERSION), "Ovelin V0.000.0");
  ::PostMessageA(dialog, WM_COMMAND, IDOK, 0);
  EXPECT_EQ(program.CloseAndWait(search.main), 0);
}

// What a static link hands to its DC: brush, text colour and font.
struct LinkLook {
  HBRUSH brush = nullptr;
  COLORREF color = 0;
  LOGFONTA font{};
};

LinkLook LookOf(HWND parent, HWND link) {
  LinkLook look;
  HDC dc = ::CreateCompatibleDC(nullptr);
  HGDIOBJ before = ::GetCurrentObject(dc, OBJ_FONT);
  look.brush = reinterpret_cast<HBRUSH>(
      ::SendMessageA(parent, WM_CTLCOLORSTATIC, reinterpret_cast<WPARAM>(dc),
                     reinterpret_cast<LPARAM>(link)));
  look.color = ::GetTextColor(dc);
  ::GetObjectA(::GetCurrentObject(dc, OBJ_FONT), sizeof look.font, &look.font);
  ::SelectObject(dc, before);
  ::DeleteDC(dc);
  return look;
}

// How the link looks on the screen: the most pixels of `color` in one row,
// and the width its pixels span (an underline fills a row over that width).
struct InkOnScreen {
  int widestRow = 0;
  int span = 0;
};

InkOnScreen ScreenInk(HWND link, COLORREF color) {
  RECT rect{};
  ::GetWindowRect(link, &rect);
  const int width = rect.right - rect.left, height = rect.bottom - rect.top;
  HDC screen = ::GetDC(nullptr);
  HDC memory = ::CreateCompatibleDC(screen);
  HBITMAP bitmap = ::CreateCompatibleBitmap(screen, width, height);
  HGDIOBJ before = ::SelectObject(memory, bitmap);
  ::BitBlt(memory, 0, 0, width, height, screen, rect.left, rect.top, SRCCOPY);
  InkOnScreen ink;
  int left = width, right = -1;
  for (int y = 0; y < height; ++y) {
    int row = 0;
    for (int x = 0; x < width; ++x) {
      if (::GetPixel(memory, x, y) != color) continue;
      ++row;
      left = std::min(left, x);
      right = std::max(right, x);
    }
    ink.widestRow = std::max(ink.widestRow, row);
  }
  ink.span = right - left + 1;
  ::SelectObject(memory, before);
  ::DeleteObject(bitmap);
  ::DeleteDC(memory);
  ::ReleaseDC(nullptr, screen);
  return ink;
}

std::vector<std::string> g_opened;
HINSTANCE RecordOpen(const char* link) {
  g_opened.push_back(link);
  return reinterpret_cast<HINSTANCE>(42);
}

class StaticLinkTest : public AppTest {
 protected:
  void SetUp() override {
    AppTest::SetUp();
    g_opened.clear();
    CStaticLink::TestHookOpen = RecordOpen;
  }
  void TearDown() override {
    CStaticLink::TestHookOpen = nullptr;
    AppTest::TearDown();
  }
};

// A real click with the mouse on the link of the maker's about box.
TEST_F(StaticLinkTest, MakersLinkIsBlueAndUnderlinedThenPurpleAfterAClick) {
  LinkLook first, after;
  InkOnScreen blue, purple;
  std::string shownText;
  bool clicked = false;
  std::string caption;
  DialogScript script(300, [&](HWND dialog) {
    caption = WindowText(dialog);
    HWND link = ::GetDlgItem(dialog, IDC_MARVOLK_LINK);
    shownText = WindowText(link);
    first = LookOf(dialog, link);
    PumpUntil([] { return false; }, 300);  // painted and on the screen
    blue = ScreenInk(link, RGB(0, 0, 255));
    RECT rect{};
    ::GetWindowRect(link, &rect);
    ::SetForegroundWindow(dialog);
    const POINT point{rect.left + 10, (rect.top + rect.bottom) / 2};
    SendMouse(point);
    SendMouse(point, MOUSEEVENTF_LEFTDOWN);
    SendMouse(point, MOUSEEVENTF_LEFTUP);
    clicked = PumpUntil([] { return !g_opened.empty(); }, 3000);
    after = LookOf(dialog, link);
    PumpUntil([] { return false; }, 300);
    purple = ScreenInk(link, RGB(128, 0, 128));
  });
  app->OnCmdMsg(ID_ABOUT_MARVOLK, CN_COMMAND, nullptr, nullptr);
  EXPECT_EQ(caption, "About Marvolk");
  EXPECT_EQ(shownText, "http://www.marvolk.com/aboutus.php");
  EXPECT_EQ(first.brush, static_cast<HBRUSH>(::GetStockObject(NULL_BRUSH)));
  EXPECT_EQ(first.color, RGB(0, 0, 255));
  EXPECT_TRUE(first.font.lfUnderline);
  ASSERT_TRUE(clicked);
  ASSERT_EQ(g_opened.size(), 1u);
  EXPECT_EQ(g_opened[0], shownText);
  EXPECT_EQ(after.color, RGB(128, 0, 128));
  // Underlined: one row of link colour as wide as the text.
  EXPECT_GT(blue.span, 100);
  EXPECT_GE(blue.widestRow, blue.span * 9 / 10);
  EXPECT_GE(purple.widestRow, purple.span * 9 / 10);
  EXPECT_EQ(purple.span, blue.span);
}

// A parent window holding statics of several kinds, each made a link.
struct LinkHost {
  explicit LinkHost(DWORD style, const char* text) {
    parent.CreateEx(0, AfxRegisterWndClass(0), "host", WS_POPUP, 0, 0, 300, 100, nullptr,
                    nullptr);
    link.Create(text, WS_CHILD | WS_VISIBLE | style, CRect(0, 0, 200, 20), &parent, 77);
  }
  ~LinkHost() { parent.DestroyWindow(); }
  void Click() {
    parent.SendMessage(WM_COMMAND, MAKEWPARAM(77, STN_CLICKED),
                       reinterpret_cast<LPARAM>(link.GetSafeHwnd()));
  }
  CWnd parent;
  CStaticLink link;
};

TEST_F(StaticLinkTest, KindsOfStaticsAndOfLinks) {
  LOGFONTA gui{};
  ::GetObjectA(::GetStockObject(DEFAULT_GUI_FONT), sizeof gui, &gui);
  {  // never given a font (WM_GETFONT answers none), and SS_NOPREFIX
    LinkHost host(SS_LEFT | SS_NOPREFIX, "https://example.org/a&b");
    ASSERT_EQ(host.link.SendMessage(WM_GETFONT), 0);
    const LinkLook look = LookOf(host.parent.GetSafeHwnd(), host.link.GetSafeHwnd());
    EXPECT_EQ(look.brush, static_cast<HBRUSH>(::GetStockObject(NULL_BRUSH)));
    EXPECT_TRUE(look.font.lfUnderline);
    EXPECT_STREQ(look.font.lfFaceName, gui.lfFaceName);
    EXPECT_EQ(look.font.lfHeight, gui.lfHeight);
    EXPECT_NE(host.link.GetStyle() & SS_NOTIFY, 0u);
  }
  {  // an icon static keeps its look but still opens its text
    LinkHost host(SS_ICON, "mailto:info@example.org");
    const LinkLook look = LookOf(host.parent.GetSafeHwnd(), host.link.GetSafeHwnd());
    EXPECT_NE(look.brush, static_cast<HBRUSH>(::GetStockObject(NULL_BRUSH)));
    EXPECT_NE(look.color, RGB(0, 0, 255));
    host.Click();
    ASSERT_EQ(g_opened.size(), 1u);
    EXPECT_EQ(g_opened[0], "mailto:info@example.org");
    EXPECT_TRUE(host.link.Visited);
  }
  for (const char* text : {"calc.exe", "file:///C:/windows/notepad.exe", "ftp://example.org",
                           "mailto:", "http://"}) {
    LinkHost host(SS_LEFT, text);
    host.Click();
    EXPECT_FALSE(host.link.Visited) << text;
  }
  EXPECT_EQ(g_opened.size(), 1u);
}

// ---- help and manual commands --------------------------------------------------------

// A file beside the test program (the program's folder), removed again.
class ProgramFolderFile {
 public:
  explicit ProgramFolderFile(const char* name)
      : path_(std::string(QVM400App::ProgramDirectory()) + name) {
    TempFolder::Write(path_, "x");
  }
  ~ProgramFolderFile() {
    std::error_code ignored;
    std::filesystem::remove(path_, ignored);
  }

 private:
  std::string path_;
};

bool IsEnabled(QVM400App* app, UINT id) {
  CTestCmdUI state;
  state.m_nID = id;
  app->OnCmdMsg(id, CN_UPDATE_COMMAND_UI, &state, nullptr);
  return state.m_bEnabled;
}

using HelpCommands = AppTest;

TEST_F(HelpCommands, AreEnabledOnlyWhileTheirFilesArePresent) {
  const struct {
    UINT id;
    const char* file;
  } commands[] = {{ID_READ_HELP_FILE, "Ovelin4.chm"},
                  {ID_READ_MANUAL, "ov4_manl.pdf"},
                  {ID_READ_QUICKREF_CARD, "ov4_card.pdf"},
                  {ID_READ_WHATS_NEW_CARD, "ov4_whatsnew.pdf"}};
  for (const auto& command : commands) {
    EXPECT_FALSE(IsEnabled(app, command.id)) << command.file;
    ProgramFolderFile present(command.file);
    EXPECT_TRUE(IsEnabled(app, command.id)) << command.file;
    for (const auto& other : commands) {
      if (other.id != command.id) {
        EXPECT_FALSE(IsEnabled(app, other.id)) << other.file;
      }
    }
  }
}

TEST_F(HelpCommands, MissingReaderAndMissingFileHaveTheirMessages) {
  // An extension no program is registered for, as a PDF without a reader.
  const CString name = "ovelin-help-test.ovnoassoc";
  ProgramFolderFile present(name);
  app->RefocusEdit = 0;
  app->OpenProgramFile(name);
  auto boxes = TakeShownBoxes();
  ASSERT_EQ(boxes.size(), 1u);
  EXPECT_EQ(boxes[0].text, std::string(LoadResourceString(IDS_PDF_READER_NEEDED)));
  EXPECT_EQ(boxes[0].caption, "Cannot find Adobe Acrobat");
  EXPECT_EQ(app->RefocusEdit, 1);

  app->OpenProgramFile("ovelin-help-test-absent.pdf");
  boxes = TakeShownBoxes();
  ASSERT_EQ(boxes.size(), 1u);
  EXPECT_EQ(boxes[0].text, "I cannot locate that file");
  EXPECT_EQ(boxes[0].caption, "File Error");
}

}  // namespace
