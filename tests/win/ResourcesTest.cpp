// Loads the program's compiled resources the way the program does: menus,
// accelerators, the equation dialog bar, toolbars with their true-colour
// strips, icons, the version block and the string table.
#include <windows.h>

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "app/frame/SymbolCommands.h"
#include "framework/String.h"
#include "resources/resource.h"

namespace {

HINSTANCE Module() { return GetModuleHandleA(nullptr); }

constexpr WORD kToolbarType = 241;
constexpr BYTE kMaskGrey = 192;

// A TOOLBAR resource: version, button image size and items (0 = separator).
struct ToolbarResource {
  bool found = false;
  WORD version = 0, width = 0, height = 0;
  std::vector<WORD> items;

  int ButtonCount() const {
    int n = 0;
    for (WORD item : items) n += item != 0;
    return n;
  }
};

ToolbarResource ReadToolbar(UINT id) {
  ToolbarResource t;
  HRSRC info = FindResourceA(Module(), MAKEINTRESOURCEA(id), MAKEINTRESOURCEA(kToolbarType));
  if (!info) return t;
  const DWORD size = SizeofResource(Module(), info);
  const auto* words = static_cast<const WORD*>(LockResource(LoadResource(Module(), info)));
  if (!words || size < 4 * sizeof(WORD)) return t;
  const WORD count = words[3];
  if (size < (4u + count) * sizeof(WORD)) return t;
  t.found = true;
  t.version = words[0];
  t.width = words[1];
  t.height = words[2];
  t.items.assign(words + 4, words + 4 + count);
  return t;
}

// A bitmap loaded as a DIB section, freed on destruction.
class DibBitmap {
 public:
  explicit DibBitmap(UINT id) {
    handle_ = static_cast<HBITMAP>(LoadImageA(Module(), MAKEINTRESOURCEA(id), IMAGE_BITMAP, 0, 0,
                                              LR_CREATEDIBSECTION));
    if (handle_ && GetObjectA(handle_, sizeof section_, &section_) != sizeof section_)
      section_ = {};
  }
  ~DibBitmap() {
    if (handle_) DeleteObject(handle_);
  }
  DibBitmap(const DibBitmap&) = delete;
  DibBitmap& operator=(const DibBitmap&) = delete;

  bool Loaded() const { return handle_ && section_.dsBm.bmBits; }
  const BITMAP& Info() const { return section_.dsBm; }
  // Blue, green, red of a pixel counted from the first row in memory.
  const BYTE* Pixel(int x, int row) const {
    return static_cast<const BYTE*>(section_.dsBm.bmBits) + row * section_.dsBm.bmWidthBytes +
           x * 3;
  }
  bool IsMask(int x, int row) const {
    const BYTE* p = Pixel(x, row);
    return p[0] == kMaskGrey && p[1] == kMaskGrey && p[2] == kMaskGrey;
  }

 private:
  HBITMAP handle_ = nullptr;
  DIBSECTION section_ = {};
};

struct ToolbarCase {
  UINT toolbar;
  WORD width, height;
  size_t items;
  UINT strip;  // the true-colour strip the palette code loads
};

// clang-format off
const ToolbarCase kToolbars[] = {
  {IDR_MAINFRAME,                16, 16, 25, IDR_MAINFRAME},
  {IDR_SHORTCUTS,                24, 24,  8, 156},
  {IDR_PALETTE_GREEK_LOWER,      13, 16, 23, 157},
  {IDR_PALETTE_GREEK_UPPER,      13, 16, 11, 202},
  {IDR_PALETTE_SYMBOLS,          13, 16, 29, 158},
  {IDR_PALETTE_EQUATION_NUMBERS, 24, 24, 10, 181},
  {IDR_PALETTE_CALCULUS,         24, 24,  7, 165},
  {IDR_PALETTE_ROOTS,            24, 24, 14, 180},
  {IDR_PALETTE_ARRAYS,           24, 24,  3, 193},
};
// clang-format on

// Each strip: 24-bit, one image per button, mask grey in the first pixel of
// memory (the image lists take the mask from there), no blank image.
void ExpectStrip(UINT bitmapId, const ToolbarResource& t) {
  SCOPED_TRACE(testing::Message() << "bitmap " << bitmapId);
  DibBitmap strip(bitmapId);
  ASSERT_TRUE(strip.Loaded());
  EXPECT_EQ(strip.Info().bmBitsPixel, 24);
  EXPECT_EQ(strip.Info().bmWidth, t.ButtonCount() * t.width);
  EXPECT_EQ(strip.Info().bmHeight, t.height);
  EXPECT_TRUE(strip.IsMask(0, 0));
  for (int button = 0; button < t.ButtonCount(); ++button) {
    bool drawn = false;
    for (int row = 0; row < strip.Info().bmHeight && !drawn; ++row)
      for (int x = button * t.width; x < (button + 1) * t.width && !drawn; ++x)
        drawn = !strip.IsMask(x, row);
    EXPECT_TRUE(drawn) << "image " << button << " is empty";
  }
}

TEST(Resources, ToolbarsAndTheirStripsLoad) {
  for (const ToolbarCase& c : kToolbars) {
    SCOPED_TRACE(testing::Message() << "toolbar " << c.toolbar);
    const ToolbarResource t = ReadToolbar(c.toolbar);
    ASSERT_TRUE(t.found);
    EXPECT_EQ(t.version, 1);
    EXPECT_EQ(t.width, c.width);
    EXPECT_EQ(t.height, c.height);
    EXPECT_EQ(t.items.size(), c.items);
    ExpectStrip(c.toolbar, t);
    ExpectStrip(c.strip, t);
  }
}

TEST(Resources, ShortcutsBarHoldsTheDegreeSignAndSevenPaletteHeads) {
  const std::vector<WORD> expected = {32828, 32831, 32949, 32877, 32918, 32827, 32879, 32899};
  EXPECT_EQ(ReadToolbar(IDR_SHORTCUTS).items, expected);
}

TEST(Resources, EverySymbolCommandSitsOnItsPaletteButton) {
  for (const SymbolCommand& c : SymbolCommands()) {
    const ToolbarResource t = ReadToolbar(c.palette);
    ASSERT_TRUE(t.found) << c.palette;
    ASSERT_LE(static_cast<size_t>(c.button), t.items.size()) << c.id;
    EXPECT_EQ(t.items[c.button - 1], c.id) << "palette " << c.palette << " button " << c.button;
  }
  EXPECT_EQ(ReadToolbar(IDR_PALETTE_GREEK_LOWER).items.at(22), ID_GREEK_PSI);
}

// Status prompt and tooltip ("prompt\ntip") for every toolbar button.
TEST(Resources, EveryToolbarButtonHasPromptAndTooltip) {
  for (const ToolbarCase& c : kToolbars) {
    for (WORD id : ReadToolbar(c.toolbar).items) {
      if (id == 0) continue;
      CString text;
      ASSERT_TRUE(text.LoadString(id)) << id;
      const int tip = text.Find('\n');
      EXPECT_GT(tip, 0) << id;
      EXPECT_LT(tip, text.GetLength() - 1) << id;
    }
  }
}

struct MenuCase {
  UINT menu;
  UINT command;
  const char* text;  // up to the accelerator's tab
};

// clang-format off
const MenuCase kMenuTexts[] = {
  {IDR_MAINFRAME, ID_FILE_NEW,            "&New"},
  {IDR_MAINFRAME, ID_FILE_OPEN,           "&Open..."},
  {IDR_MAINFRAME, ID_FILE_PRINT_SETUP,    "P&rint Setup..."},
  {IDR_MAINFRAME, ID_APP_EXIT,            "E&xit"},
  {IDR_MAINFRAME, ID_APP_ABOUT,           "&About Ovelin 4..."},
  {IDR_MAINFRAME, ID_ABOUT_MARVOLK,       "About &Marvolk..."},
  {IDR_MAINFRAME, ID_READ_HELP_FILE,      "Read &Help File"},
  {IDR_MAINFRAME, ID_READ_MANUAL,         "Read &Manual (PDF)"},
  {IDR_MAINFRAME, ID_READ_QUICKREF_CARD,  "Read &Quickref Card (PDF)"},
  {IDR_MAINFRAME, ID_READ_WHATS_NEW_CARD, "Read What's New Card (PDF)"},
  {IDR_MAINFRAME, ID_RESET_OPTIONS,       "Reset Options..."},
  {IDR_MAINFRAME, ID_WRITE_DEFAULT_CONFIG, "Write Default Configuration File"},
  {IDR_MAINFRAME, ID_LANGUAGE,            "Language..."},
  {IDR_MAINFRAME, ID_REGISTER_NEWSLETTER, "Register for Marvolk Newsletter..."},
  {IDR_MAINFRAME, ID_REGISTER_TUTORIALS,  "Register for Email Tutorials..."},
  {IDR_MAINFRAME, ID_CHECK_FOR_UPDATES,   "Check for Updates"},
  {IDR_QVM400TYPE, ID_FILE_SAVE_AS,       "Save &As..."},
  {IDR_QVM400TYPE, ID_FILE_PRINT,         "&Print..."},
  {IDR_QVM400TYPE, ID_WINDOW_NEW,         "&New Window"},
  {IDR_QVM400TYPE, ID_EDIT_CUT,           "Cu&t"},
  {IDR_QVM400TYPE, ID_EDIT_COPY,          "&Copy"},
  {IDR_QVM400TYPE, ID_EDIT_PASTE,         "&Paste"},
  {IDR_QVM400TYPE, ID_COPY_AS_METAFILE,   "Copy as Metafile"},
  {IDR_QVM400TYPE, ID_COPY_AS_BITMAP,     "Copy as Bitmap"},
  {IDR_QVM400TYPE, ID_RESET_EQUATION,     "&Reset Equation"},
  {IDR_QVM400TYPE, ID_EDIT_OPTIONS,       "&Edit Options..."},
  {IDR_QVM400TYPE, ID_LINE_BOLD,          "Line Bold"},
  {IDR_QVM400TYPE, ID_LINE_ITALIC,        "Line Italic"},
  {IDR_QVM400TYPE, ID_LINE_UNDERLINE,     "Line Underline"},
  {IDR_QVM400TYPE, ID_ALIGN_EQUAL_SIGNS,  "Align Equal Signs"},
  {IDR_QVM400TYPE, ID_RESET_TO_DEFAULT,   "Reset Preferences to Defaults"},
  {IDR_QVM400TYPE, ID_SCREEN_KEYBOARD,    "Show On Screen Keyboard"},
  {IDR_QVM400TYPE, ID_INSERT_DEGREE,      "Degree Sign"},
  {IDR_QVM400TYPE, ID_APP_ABOUT,          "&About Ovelin 4..."},
  {IDR_QVPTYPE,    ID_EDIT_COPY,          "&Copy"},
  {IDR_QVPTYPE,    ID_WINDOW_NEW,         "&New Window"},
  {IDR_QVPTYPE,    ID_FILE_SAVE_AS,       "Save &As..."},
  {IDR_SRVR_EMBEDDED, ID_FILE_UPDATE,     "&Update"},
  {IDR_SRVR_EMBEDDED, ID_APP_EXIT,        "E&xit && Return to Document"},
  {IDR_SRVR_EMBEDDED, ID_COPY_AS_METAFILE, "Copy as Metafile"},
};
// clang-format on

std::string MenuText(HMENU menu, UINT command) {
  char buffer[256] = {};
  // MF_BYCOMMAND searches the popups too.
  if (GetMenuStringA(menu, command, buffer, sizeof buffer, MF_BYCOMMAND) <= 0) return "<missing>";
  std::string text = buffer;
  return text.substr(0, text.find('\t'));
}

TEST(Resources, MenusLoadWithTheirTexts) {
  for (const MenuCase& c : kMenuTexts) {
    HMENU menu = LoadMenuA(Module(), MAKEINTRESOURCEA(c.menu));
    ASSERT_NE(menu, nullptr) << c.menu;
    EXPECT_EQ(MenuText(menu, c.command), c.text) << "menu " << c.menu << " command " << c.command;
    DestroyMenu(menu);
  }
}

struct AcceleratorCase {
  UINT table;
  BYTE modifiers;  // FCONTROL / FSHIFT, FVIRTKEY always
  WORD key;
  WORD command;
};

const AcceleratorCase kAccelerators[] = {
    {IDR_MAINFRAME, FCONTROL, 'N', ID_FILE_NEW},
    {IDR_QVM400TYPE, FCONTROL, 'M', ID_COPY_AS_METAFILE},
    {IDR_QVM400TYPE, FCONTROL, 'C', ID_EDIT_COPY},
    {IDR_QVPTYPE, FCONTROL, 'M', ID_COPY_AS_METAFILE},
    {IDR_SRVR_EMBEDDED, FCONTROL, 'S', ID_FILE_UPDATE},
    {IDR_SRVR_EMBEDDED, 0, VK_ESCAPE, ID_CANCEL_EDIT_SRVR},
    {IDR_SRVR_EMBEDDED, FCONTROL, 'M', ID_COPY_AS_METAFILE},
};

TEST(Resources, AcceleratorTablesLoadWithTheirKeys) {
  for (const AcceleratorCase& c : kAccelerators) {
    SCOPED_TRACE(testing::Message() << "table " << c.table << " command " << c.command);
    HACCEL table = LoadAcceleratorsA(Module(), MAKEINTRESOURCEA(c.table));
    ASSERT_NE(table, nullptr);
    const int count = CopyAcceleratorTableA(table, nullptr, 0);
    std::vector<ACCEL> keys(count);
    CopyAcceleratorTableA(table, keys.data(), count);
    bool found = false;
    for (const ACCEL& k : keys)
      found |= k.key == c.key && k.cmd == c.command &&
               (k.fVirt & (FVIRTKEY | FCONTROL | FSHIFT | FALT)) == (FVIRTKEY | c.modifiers);
    EXPECT_TRUE(found);
    DestroyAcceleratorTable(table);
  }
}

INT_PTR CALLBACK PassiveDialogProc(HWND, UINT, WPARAM, LPARAM) { return FALSE; }

// The dialog bar built inside a hidden owner window, destroyed afterwards.
class DialogBar {
 public:
  DialogBar() {
    owner_ = CreateWindowExA(0, "STATIC", "", WS_POPUP, 0, 0, 600, 200, nullptr, nullptr,
                             Module(), nullptr);
    if (owner_)
      dialog_ = CreateDialogParamA(Module(), MAKEINTRESOURCEA(IDD_EQUATION_BAR), owner_,
                                   PassiveDialogProc, 0);
  }
  ~DialogBar() {
    if (owner_) DestroyWindow(owner_);  // destroys the dialog with it
  }
  DialogBar(const DialogBar&) = delete;
  DialogBar& operator=(const DialogBar&) = delete;

  HWND Dialog() const { return dialog_; }

 private:
  HWND owner_ = nullptr;
  HWND dialog_ = nullptr;
};

std::string ClassOf(HWND window) {
  char name[64] = {};
  GetClassNameA(window, name, sizeof name);
  return CharUpperA(name);
}

TEST(Resources, EquationDialogBarHoldsTheMultiLineTextBox) {
  DialogBar bar;
  ASSERT_NE(bar.Dialog(), nullptr);
  EXPECT_TRUE(GetWindowLongA(bar.Dialog(), GWL_STYLE) & WS_CHILD);

  HWND edit = GetDlgItem(bar.Dialog(), IDC_EQUATION_EDIT);
  ASSERT_NE(edit, nullptr);
  EXPECT_EQ(ClassOf(edit), "EDIT");
  const LONG style = GetWindowLongA(edit, GWL_STYLE);
  for (LONG bit : {ES_MULTILINE, ES_WANTRETURN, ES_AUTOVSCROLL, ES_AUTOHSCROLL, WS_VSCROLL})
    EXPECT_EQ(style & bit, bit) << std::hex << bit;
  // Dialogs draw an edit box's border as a sunken client edge.
  EXPECT_TRUE((style & WS_BORDER) || (GetWindowLongA(edit, GWL_EXSTYLE) & WS_EX_CLIENTEDGE));

  // Twenty lines of text stay twenty lines: Enter and line breaks are kept.
  std::string twenty;
  for (int i = 0; i < 19; ++i) twenty += "\r\n";
  SetWindowTextA(edit, twenty.c_str());
  EXPECT_EQ(SendMessageA(edit, EM_GETLINECOUNT, 0, 0), 20);

  HWND check = GetDlgItem(bar.Dialog(), IDC_EQUATION_CHECK);
  ASSERT_NE(check, nullptr);
  EXPECT_EQ(ClassOf(check), "BUTTON");
  EXPECT_EQ(GetWindowLongA(check, GWL_STYLE) & BS_TYPEMASK, BS_AUTOCHECKBOX);

  HWND icon = GetDlgItem(bar.Dialog(), IDC_EQUATION_ICON);
  ASSERT_NE(icon, nullptr);
  EXPECT_NE(SendMessageA(icon, STM_GETICON, 0, 0), 0);
}

TEST(Resources, AboutBoxHasItsTwoTextFields) {
  HWND dialog = CreateDialogParamA(Module(), MAKEINTRESOURCEA(IDD_ABOUTBOX), nullptr,
                                   PassiveDialogProc, 0);
  ASSERT_NE(dialog, nullptr);
  EXPECT_NE(GetDlgItem(dialog, IDC_ABOUT_VERSION), nullptr);
  EXPECT_NE(GetDlgItem(dialog, IDC_ABOUT_COPYRIGHT), nullptr);
  EXPECT_NE(GetDlgItem(dialog, IDOK), nullptr);
  DestroyWindow(dialog);
}

TEST(Resources, IconsLoadAtBothSizes) {
  for (UINT id : {IDR_MAINFRAME, IDR_QVM400TYPE, IDR_QVPTYPE}) {
    for (int size : {16, 32}) {
      HICON icon = static_cast<HICON>(
          LoadImageA(Module(), MAKEINTRESOURCEA(id), IMAGE_ICON, size, size, 0));
      EXPECT_NE(icon, nullptr) << id << " at " << size;
      if (icon) DestroyIcon(icon);
    }
  }
}

TEST(Resources, VersionBlockHasProductVersionAndTranslation) {
  char path[MAX_PATH] = {};
  ASSERT_GT(GetModuleFileNameA(nullptr, path, MAX_PATH), 0u);
  DWORD ignored = 0;
  const DWORD size = GetFileVersionInfoSizeA(path, &ignored);
  ASSERT_GT(size, 0u);
  std::vector<char> block(size);
  ASSERT_TRUE(GetFileVersionInfoA(path, 0, size, block.data()));

  VS_FIXEDFILEINFO* fixed = nullptr;
  UINT length = 0;
  ASSERT_TRUE(VerQueryValueA(block.data(), "\\", reinterpret_cast<void**>(&fixed), &length));
  EXPECT_EQ(fixed->dwSignature, 0xFEEF04BDu);
  EXPECT_EQ(HIWORD(fixed->dwProductVersionMS), 4);
  EXPECT_EQ(LOWORD(fixed->dwProductVersionMS), 4);

  WORD* translation = nullptr;
  ASSERT_TRUE(VerQueryValueA(block.data(), "\\VarFileInfo\\Translation",
                             reinterpret_cast<void**>(&translation), &length));
  ASSERT_EQ(length, 4u);
  EXPECT_EQ(translation[0], 0x409);
  EXPECT_EQ(translation[1], 1252);
}

struct StringCase {
  UINT id;
  const char* text;
};

// clang-format off
const StringCase kStrings[] = {
  {100,   "OLE initialization failed.  Make sure that the OLE libraries are the correct version."},
  {128,   "Ovelin 4"},
  {136,   "Cannot find Adobe Acrobat"},
  {137,   "I cannot locate that file"},
  {138,   "File Error"},
  {139,   "A default configuration file has been written to\n"},
  {140,   "\n\nRead the installation instructions for details\non how to use this feature."},
  {141,   "All options have been reset to factory defaults\n\nOvelin must be restarted to load new options."},
  {142,   "Ovelin Preferences"},
  {143,   "About to reset all options to original default values"},
  {144,   "Please restart Ovelin 4 to load new language"},
  {145,   "OV4_CARD.pdf"},
  {61700, "Failed to create empty document."},
  {IDS_SHORTCUTS_CAPTION, "Shortcuts"},
  {IDS_SAVE_AS_FILTER,
   "Ovelin File (*.qvm)|*.qvm|EMF Files (*.emf)|*.emf|GIF Files (*.gif)|*.gif|Bitmaps Files (*.bmp)|*.bmp||"},
  {IDS_CLIPBOARD_OPEN_FAILED, "Cannot open the Clipboard"},
};
// clang-format on

TEST(Resources, StringTableHoldsTheProgramsTexts) {
  for (const StringCase& c : kStrings) {
    CString text;
    EXPECT_TRUE(text.LoadString(c.id)) << c.id;
    EXPECT_EQ(text.str(), c.text) << c.id;
  }
}

// The status prompt: the part before the tooltip.
std::string Prompt(UINT id) {
  CString text;
  text.LoadString(id);
  return text.str().substr(0, text.str().find('\n'));
}

TEST(Resources, CommandPromptsQuoted) {
  EXPECT_EQ(Prompt(32776), "Place Equation On Clipboard as Picture");
  EXPECT_EQ(Prompt(32829), "Pi");
  EXPECT_EQ(Prompt(32830), "Theta");
  EXPECT_EQ(Prompt(32832), "Alpha");
  EXPECT_EQ(Prompt(32833), "Beta");
  EXPECT_EQ(Prompt(32834), "Chi");
  EXPECT_EQ(Prompt(32835), "Delta");
  EXPECT_EQ(Prompt(32836), "Upper Case Delta");
  EXPECT_EQ(Prompt(AFX_IDS_IDLEMESSAGE), "Ready");
}

std::vector<std::string> Fields(UINT id) {
  CString text;
  text.LoadString(id);
  std::vector<std::string> fields;
  std::string s = text.str();
  size_t start = 0;
  for (size_t end; (end = s.find('\n', start)) != std::string::npos; start = end + 1)
    fields.push_back(s.substr(start, end - start));
  fields.push_back(s.substr(start));
  return fields;
}

TEST(Resources, DocumentStringsHaveTheirSevenFields) {
  const std::vector<std::string> ovelin = {"", "Ovelin4", "QVM400", "Ovelin Files",
                                           ".qvm;.ov3;.ov2;.ux3;.ux2", "QVM300.Equation",
                                           "Ovelin 4 Equation"};
  const std::vector<std::string> qvp = {"", "QVP", "QVP", "QVP", ".qvm;.ov3;.ov2;.ux3;.ux2",
                                        "QVM300.Equation", "Ovelin 4 Equation"};
  EXPECT_EQ(Fields(129), ovelin);
  EXPECT_EQ(Fields(147), qvp);
}

}  // namespace
