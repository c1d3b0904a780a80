// Language modules: finding them beside the program, loading one by its
// path, the Language Selection dialog and the Language command, and the
// program started in German with the module built beside it.
#include <algorithm>
#include <filesystem>
#include <functional>
#include <map>
#include <set>

#include "app/help/LanguageSelectDlg.h"
#include "app/startup/StartupDialogs.h"
#include "controls/TextHelpers.h"
#include "resources/PreferenceIds.h"
#include "resources/resource.h"
#include "tests/app/AppFixture.h"
#include "tests/app/RunningProgram.h"

namespace {

std::string GermanModule() { return std::string(QVM400App::ProgramDirectory()) + "QVM400DEU.dll"; }

// A folder with copies of the German module under `names`.
void AddModules(const TempFolder& folder, std::initializer_list<const char*> names) {
  for (const char* name : names)
    std::filesystem::copy_file(GermanModule(), folder.File(name));
}

std::string FolderOf(const TempFolder& folder) { return folder.Path().string() + "\\"; }

std::vector<std::string> Codes(const QVLanguageManager& manager) {
  std::vector<std::string> codes;
  for (const CString& code : manager.FoundCodes) codes.push_back(code.GetString());
  return codes;
}

TEST(QVLanguageManager, FindsOnlyModulesDirectlyInTheFolder) {
  TempFolder folder;
  AddModules(folder, {"QVM400POR.dll", "QVM400DEU.dll", "QVM400.dll", "QVM400DEUX.dll"});
  TempFolder::Write(folder.File("QVM400FRA.txt"), "");
  std::filesystem::create_directory(folder.Path() / "x");
  // Listed with its subfolder, "x\QVM400D.dll" would give the code "00D".
  AddModules(folder, {"x\\QVM400D.dll", "x\\QVM400FIN.dll"});
  QVLanguageManager manager;
  manager.FindModules("QVM400", FolderOf(folder).c_str());
  EXPECT_EQ(Codes(manager), (std::vector<std::string>{"DEU", "POR"}));
  EXPECT_EQ(manager.GetNameAt(0), "German");
  EXPECT_EQ(manager.GetNameAt(1), "");
  EXPECT_EQ(manager.GetNameAt(2), "");
  EXPECT_EQ(manager.GetNameAt(-1), "");

  QVLanguageManager none;
  none.FindModules("QVM400", (FolderOf(folder) + "absent\\").c_str());
  EXPECT_TRUE(none.FoundCodes.IsEmpty());
}

// The folder holds the only QVM400POR.dll: loaded by its name alone through
// the library search path it would not be found.
TEST(QVLanguageManager, LoadsTheModuleFromItsFolderAndFallsBackToEnglish) {
  TempFolder folder;
  AddModules(folder, {"QVM400POR.dll"});
  {
    QVLanguageManager manager;
    manager.FindModules("QVM400", FolderOf(folder).c_str());
    EXPECT_EQ(manager.LoadModule("POR"), "POR");
    ASSERT_NE(manager.Module, nullptr);
    EXPECT_EQ(AfxGetResourceHandle(), reinterpret_cast<HINSTANCE>(manager.Module));
    EXPECT_EQ(LoadResourceString(AFX_IDS_IDLEMESSAGE), "Bereit");
    EXPECT_EQ(manager.GetCurrentName(), "");
    EXPECT_EQ(manager.LoadModule("FRA"), "ENG");  // absent: English again
    EXPECT_EQ(AfxGetResourceHandle(), nullptr);
    EXPECT_EQ(manager.LoadModule("por"), "ENG");  // codes compare by case
    EXPECT_EQ(manager.LoadModule(""), "ENG");
    EXPECT_EQ(manager.LoadModule("POR"), "POR");
  }
  EXPECT_EQ(AfxGetResourceHandle(), nullptr);  // put back when the module went
  EXPECT_EQ(LoadResourceString(AFX_IDS_IDLEMESSAGE), "Ready");
  EXPECT_EQ(QVLanguageManager::NameToCode("German"), "DEU");
  EXPECT_EQ(QVLanguageManager::NameToCode("german"), "");
  EXPECT_EQ(QVLanguageManager::CodeToName("SVE"), "Svenska");
}

// ---- the dialog ---------------------------------------------------------------

struct DialogRun {
  std::vector<std::string> entries;
  std::string selected;
};

// Runs the dialog on `manager`; `act` works on the combo box, then OK.
DialogRun RunDialog(QVLanguageManager* manager, const std::function<void(HWND)>& act) {
  DialogRun run;
  QVLanguageSelectDlg dialog;
  dialog.Manager = manager;
  DialogScript script(200, [&](HWND shown) {
    HWND combo = ::GetDlgItem(shown, IDC_LANGUAGE_LIST);
    const int count = static_cast<int>(::SendMessageA(combo, CB_GETCOUNT, 0, 0));
    for (int i = 0; i < count; ++i) run.entries.push_back(dialog.Languages.GetLBText(i).GetString());
    const int selected = dialog.Languages.GetCurSel();
    if (selected >= 0) run.selected = dialog.Languages.GetLBText(selected).GetString();
    act(combo);
  });
  EXPECT_EQ(dialog.DoModal(), IDOK);
  return run;
}

TEST(QVLanguageSelectDlg, ListsTheModulesAndStoresTheChoice) {
  TempFolder folder;
  AddModules(folder, {"QVM400DEU.dll", "QVM400POR.dll"});
  QVLanguageManager manager;
  manager.FindModules("QVM400", FolderOf(folder).c_str());
  manager.CurrentCode = "ENG";

  DialogRun run = RunDialog(&manager, [](HWND combo) {
    ::SendMessageA(combo, CB_SELECTSTRING, static_cast<WPARAM>(-1),
                   reinterpret_cast<LPARAM>("German"));
  });
  EXPECT_EQ(run.entries, (std::vector<std::string>{"", "English", "German"}));
  EXPECT_EQ(run.selected, "English");
  EXPECT_EQ(manager.CurrentCode, "DEU");

  // Text typed into the combo box selects nothing: the language stays.
  run = RunDialog(&manager, [](HWND combo) {
    ::SendMessageA(combo, CB_SETCURSEL, static_cast<WPARAM>(-1), 0);
    ::SetWindowTextA(combo, "Klingon");
  });
  EXPECT_EQ(run.selected, "German");
  EXPECT_EQ(manager.CurrentCode, "DEU");

  // The module of an unknown code has the empty name, and so the empty code.
  RunDialog(&manager, [](HWND combo) { ::SendMessageA(combo, CB_SETCURSEL, 0, 0); });
  EXPECT_EQ(manager.CurrentCode, "");
}

TEST(QVLanguageSelectDlg, WithoutModulesListsOnlyEnglish) {
  QVLanguageManager manager;
  manager.CurrentCode = "ENG";
  const DialogRun run = RunDialog(&manager, [](HWND) {});
  EXPECT_EQ(run.entries, (std::vector<std::string>{"English"}));
  EXPECT_EQ(run.selected, "English");
  EXPECT_EQ(manager.CurrentCode, "ENG");
}

// ---- the application -------------------------------------------------------------

// The program's classes started again with "Language" stored as `code`
// (QVM400DEU.dll lies beside the test program, as beside ovelin.exe).
class LanguageStart : public AppTest {
 protected:
  void RestartWithLanguage(const char* code) {
    app->CloseAllDocuments(TRUE);
    app->m_pMainWnd->DestroyWindow();
    DrainMessages();
    delete app;
    TempFolder::Write(SettingsFile("QVM400"), std::string("[General]\r\nLanguage=") + code +
                                                  "\r\n\r\n");
    app = new QVM400App;
    app->m_nCmdShow = SW_HIDE;
    app->LoadSettings();
    app->AddTemplates();
    ASSERT_TRUE(app->CreateMainFrame());
    frame = static_cast<CMainFrame*>(app->m_pMainWnd);
  }
  std::vector<std::string> MenuBar() const {
    std::vector<std::string> titles;
    HMENU menu = ::GetMenu(frame->GetSafeHwnd());
    for (int i = 0; i < ::GetMenuItemCount(menu); ++i) {
      char text[64] = {};
      ::GetMenuStringA(menu, i, text, sizeof text, MF_BYPOSITION);
      titles.push_back(text);
    }
    return titles;
  }
  std::string Prompt(UINT id) {
    frame->SetMessageText(id);
    return frame->StatusBar().GetWindowText().GetString();
  }
};

TEST_F(LanguageStart, GermanModuleGivesGermanMenusAndPrompts) {
  EXPECT_EQ(app->LanguageManager.CurrentCode, "ENG");  // fresh start
  EXPECT_EQ(MenuBar(), (std::vector<std::string>{"&File", "&Options", "&View", "&Help"}));
  RestartWithLanguage("DEU");
  EXPECT_EQ(app->LanguageManager.CurrentCode, "DEU");
  EXPECT_EQ(MenuBar(), (std::vector<std::string>{"&Datei", "&Optionen", "&Ansicht", "&Hilfe"}));
  EXPECT_EQ(Prompt(ID_FILE_OPEN), "\xD6" "ffnet eine vorhandene Gleichung");
  EXPECT_EQ(Prompt(ID_GREEK_UPPER_DELTA), "Gro\xDF" "es Delta");
  // What the module leaves out comes from the program: the equation bar's
  // template and the accelerators.
  EXPECT_NE(app->EquationEditWindow(), nullptr);
  EXPECT_NE(frame->m_hAccelTable, nullptr);
  QVM400Doc* doc = NewDocument();
  ASSERT_NE(doc, nullptr);
  const auto documentMenu = MenuBar();
  EXPECT_NE(std::find(documentMenu.begin(), documentMenu.end(), "&Einf\xFC" "gen"), documentMenu.end());
  EXPECT_NE(TempFolder::Read(SettingsFile("QVM400")).find("Language=DEU"), std::string::npos);
}

// The dialogs come from the module: German captions and texts, the
// program's own controls and version.
TEST_F(LanguageStart, DialogsAreGerman) {
  RestartWithLanguage("DEU");
  struct Seen {
    std::string caption, item;
  };
  auto open = [this](UINT command, int item) {
    Seen seen;
    DialogScript script(
        300,
        [&seen, item](HWND dialog) {
          seen.caption = WindowText(dialog);
          seen.item = WindowText(::GetDlgItem(dialog, item));
          HoldForScreenshot();
        },
        IDCANCEL);
    app->OnCmdMsg(command, CN_COMMAND, nullptr, nullptr);
    return seen;
  };
  Seen about = open(ID_APP_ABOUT, IDC_ABOUT_VERSION);
  EXPECT_EQ(about.caption, "\xDC" "ber Ovelin 4");
  EXPECT_EQ(about.item, "Ovelin V4.004.0");
  Seen maker = open(ID_ABOUT_MARVOLK, IDC_MARVOLK_LINK);
  EXPECT_EQ(maker.caption, "\xDC" "ber Marvolk");
  EXPECT_EQ(maker.item, "http://www.marvolk.com/aboutus.php");
  Seen language = open(ID_LANGUAGE, IDC_LANGUAGE_LIST);
  EXPECT_EQ(language.caption, "Sprachauswahl");
  EXPECT_EQ(language.item, "German");
  EXPECT_TRUE(TakeShownBoxes().empty());  // cancelled: nothing stored
}

// ---- the German module's dialogs --------------------------------------------------

// The room a control's text leaves for the rest of it (a check box's box, a
// frame's indent, a button's edges, our drawn buttons' icon), and whether
// the control wraps its text at words; `shows` false: the control has none.
struct TextRoom {
  bool shows = false, wrapped = false;
  int reserved = 0;
};

TextRoom RoomOf(HWND control, int digitWidth) {
  char kind[16] = {};
  ::GetClassNameA(control, kind, sizeof kind);
  const LONG style = ::GetWindowLongA(control, GWL_STYLE);
  const LONG staticType = style & SS_TYPEMASK;  // SS_LEFT, SS_CENTER and SS_RIGHT wrap
  if (std::string(kind) == "Static")
    return {staticType <= SS_RIGHT || staticType == SS_SIMPLE || staticType == SS_LEFTNOWORDWRAP,
            staticType <= SS_RIGHT, 0};
  if (std::string(kind) != "Button") return {};
  const bool wrapped = (style & BS_MULTILINE) != 0;
  switch (style & BS_TYPEMASK) {
    case BS_GROUPBOX: return {true, false, 2 * digitWidth};
    case BS_OWNERDRAW: return {true, true, ::GetSystemMetrics(SM_CXICON) + 6};
    case BS_PUSHBUTTON: case BS_DEFPUSHBUTTON: return {true, wrapped, 2 * digitWidth};
    default: return {true, wrapped, ::GetSystemMetrics(SM_CXMENUCHECK) + digitWidth};  // boxes, radios
  }
}

// `control`'s text measured with its own font on its dialog's DC, as the
// control lays it out: "" when it fits, else what it needs and has.
std::string Overflow(HWND control) {
  HWND dialog = ::GetParent(control);
  HDC dc = ::GetDC(dialog);
  HGDIOBJ old = ::SelectObject(dc, reinterpret_cast<HGDIOBJ>(::SendMessageA(control, WM_GETFONT, 0, 0)));
  SIZE digit{};
  ::GetTextExtentPoint32A(dc, "0", 1, &digit);
  const TextRoom room = RoomOf(control, digit.cx);
  const std::string text = WindowText(control);
  const LONG style = ::GetWindowLongA(control, GWL_STYLE);
  RECT client{};
  ::GetClientRect(control, &client);
  const LONG width = client.right - room.reserved;
  RECT needed{0, 0, width, 0};
  if (room.shows && !text.empty() && (style & WS_VISIBLE))
    ::DrawTextA(dc, text.c_str(), -1, &needed, DT_CALCRECT | (room.wrapped ? DT_WORDBREAK : DT_SINGLELINE) |
                                                   (room.reserved == 0 && (style & SS_NOPREFIX) ? DT_NOPREFIX : 0));
  ::SelectObject(dc, old);
  ::ReleaseDC(dialog, dc);
  if (needed.right <= width && needed.bottom <= client.bottom) return std::string();
  return "\"" + text + "\" needs " + std::to_string(needed.right) + " x " + std::to_string(needed.bottom) +
         " px, has " + std::to_string(width) + " x " + std::to_string(client.bottom);
}

// Every text of `dialog` and its nested controls that does not fit.
std::vector<std::string> Overflows(HWND dialog) {
  std::vector<std::string> cuts;
  ::EnumChildWindows(
      dialog,
      [](HWND control, LPARAM list) -> BOOL {
        const std::string cut = Overflow(control);
        if (!cut.empty()) reinterpret_cast<std::vector<std::string>*>(list)->push_back(cut);
        return TRUE;
      },
      reinterpret_cast<LPARAM>(&cuts));
  return cuts;
}

std::set<UINT> DialogTemplatesOf(HMODULE module) {
  std::set<UINT> ids;
  ::EnumResourceNamesA(
      module, RT_DIALOG,
      [](HMODULE, LPCSTR, LPSTR name, LONG_PTR found) -> BOOL {
        reinterpret_cast<std::set<UINT>*>(found)->insert(static_cast<UINT>(reinterpret_cast<UINT_PTR>(name)));
        return TRUE;
      },
      reinterpret_cast<LONG_PTR>(&ids));
  return ids;
}

// Every dialog and page that the German module translates, opened as the
// program opens it (a page on its sheet; command 0: a start-up dialog): no
// text is cut by its control. The module carries no pictures, and the
// program's show: the welcome dialog's icons and the Fonts page's TrueType
// mark (a grey and a black "T"; nothing else there is that very grey).
TEST_F(LanguageStart, EveryGermanDialogFitsItsTextsAndShowsItsPictures) {
  RestartWithLanguage("DEU");
  ASSERT_NE(NewDocument(), nullptr);
  SimpleBrowser::SetDocumentWaitForTest(0);
  CStringArray noTips;
  auto startup = [&](UINT id) {
    QVFirstRunDlg welcome;
    QVTipOfTheDayDlg tip;
    QVBrowserDlg browser;
    QVUpdateAvailableDlg update(id, frame);
    update.Record.Parse("VER;1;Ovelin 4;5;12;http://127.0.0.1/get;http://127.0.0.1/new");
    welcome.ProductName = "Ovelin 4";
    tip.TipFiles = &noTips;
    if (id == IDD_FIRST_RUN)
      welcome.DoModal();
    else if (id == IDD_TIP_OF_THE_DAY)
      tip.DoModal();
    else if (id == IDD_BROWSER)
      browser.DoModal();
    else
      update.DoModal();
  };
  const struct {
    UINT id, command;
    int page;
  } dialogs[] = {
      {IDD_ABOUTBOX, ID_APP_ABOUT, -1}, {IDD_ABOUT_MARVOLK, ID_ABOUT_MARVOLK, -1},
      {IDD_LANGUAGE_SELECT, ID_LANGUAGE, -1}, {IDD_INSERT_INTEGRAL, ID_INSERT_INTEGRAL, -1},
      {IDD_INSERT_LIMIT, ID_INSERT_LIMIT, -1}, {IDD_INSERT_SUM_PRODUCT, ID_INSERT_SUM, -1},
      {IDD_INSERT_NTH_ROOT, ID_INSERT_NTH_ROOT, -1}, {IDD_INSERT_BOUNDS, ID_INSERT_BOUNDS, -1},
      {IDD_INSERT_SCIENTIFIC, ID_INSERT_SCIENTIFIC, -1},
      {IDD_INSERT_DERIVATIVE_AT_POINT, ID_INSERT_DERIVATIVE_AT_POINT, -1},
      {IDD_MATRIX, ID_INSERT_MATRIX, -1}, {IDD_VECTOR, ID_INSERT_VECTOR, -1},
      {IDD_PIECEWISE, ID_INSERT_PIECEWISE, -1}, {IDD_PAGE_FONTS, ID_EDIT_PREFERENCES, 0},
      {IDD_PAGE_VECTORS, ID_EDIT_PREFERENCES, 1}, {IDD_PAGE_STYLES, ID_EDIT_PREFERENCES, 2},
      {IDD_PAGE_UNITS, ID_EDIT_PREFERENCES, 3}, {IDD_PAGE_MATRIX, ID_EDIT_PREFERENCES, 4},
      {IDD_PAGE_SHORTCUTS, ID_EDIT_PREFERENCES, 5}, {IDD_FIRST_RUN, 0, -1},
      {IDD_UPDATE_MINOR, 0, -1}, {IDD_UPDATE_MAJOR, 0, -1},
      {IDD_TIP_OF_THE_DAY, 0, -1}, {IDD_BROWSER, 0, -1},
  };
  std::map<UINT, std::vector<std::string>> cuts;
  std::set<UINT> opened;
  std::vector<COLORREF> button, faces;
  for (const auto& d : dialogs) {
    DialogScript script(
        300,
        [&](HWND dialog) {
          if (d.page >= 0) {
            ::SendMessageA(dialog, PSM_SETCURSEL, static_cast<WPARAM>(d.page), 0);
            dialog = reinterpret_cast<HWND>(::SendMessageA(dialog, PSM_GETCURRENTPAGEHWND, 0, 0));
          }
          opened.insert(d.id);
          if (d.id == IDD_FIRST_RUN) button = ShownPixels(::GetDlgItem(dialog, IDC_NEWSLETTER_BUTTON));
          if (d.id == IDD_PAGE_FONTS) faces = ShownPixels(::GetDlgItem(dialog, IDC_FONTS_MAIN_FACE));
          const std::vector<std::string> found = Overflows(dialog);
          if (!found.empty()) cuts[d.id] = found;
        },
        IDCANCEL);
    if (d.command)
      frame->SendMessage(WM_COMMAND, d.command, 0);
    else
      startup(d.id);
  }
  SimpleBrowser::SetDocumentWaitForTest(SimpleBrowser::kDocumentWaitMs);
  EXPECT_EQ(cuts, (std::map<UINT, std::vector<std::string>>()));
  EXPECT_EQ(opened, DialogTemplatesOf(reinterpret_cast<HMODULE>(app->LanguageManager.Module)));
  const auto coloured = std::count_if(button.begin(), button.end(), [](COLORREF c) {
    return GetRValue(c) != GetGValue(c) || GetGValue(c) != GetBValue(c);
  });
  EXPECT_GT(coloured, 100) << "the newsletter icon";
  const COLORREF markGrey = RGB(128, 128, 128);
  EXPECT_GT(std::count(faces.begin(), faces.end(), markGrey), 20) << "the TrueType mark";
}

TEST_F(LanguageStart, AnAbsentModuleKeepsEnglishAndTheOption) {
  RestartWithLanguage("FRA");
  EXPECT_EQ(app->LanguageManager.CurrentCode, "ENG");
  EXPECT_EQ(app->LanguageOption.GetValue(), "FRA");
  EXPECT_EQ(MenuBar()[0], "&File");
  EXPECT_EQ(TempFolder::Read(SettingsFile("QVM400")), "[General]\r\nLanguage=FRA\r\n\r\n");
}

TEST_F(LanguageStart, LanguageCommandStoresANewChoiceForTheNextStart) {
  CTestCmdUI state;
  state.m_nID = ID_LANGUAGE;
  app->OnCmdMsg(ID_LANGUAGE, CN_UPDATE_COMMAND_UI, &state, nullptr);
  EXPECT_TRUE(state.m_bEnabled);  // the German module was found

  auto choose = [this](const char* name) {
    DialogScript script(200, [name](HWND dialog) {
      ::SendDlgItemMessageA(dialog, IDC_LANGUAGE_LIST, CB_SELECTSTRING, static_cast<WPARAM>(-1),
                            reinterpret_cast<LPARAM>(name));
    });
    app->RefocusEdit = 0;
    app->OnCmdMsg(ID_LANGUAGE, CN_COMMAND, nullptr, nullptr);
    EXPECT_EQ(app->RefocusEdit, 1);
  };
  choose("English");  // the language in use: nothing written, nothing shown
  EXPECT_TRUE(TakeShownBoxes().empty());
  choose("German");
  const auto boxes = TakeShownBoxes();
  ASSERT_EQ(boxes.size(), 1u);
  EXPECT_EQ(boxes[0].text, "Please restart Ovelin 4 to load new language");
  EXPECT_EQ(boxes[0].caption, "Ovelin 4");
  EXPECT_EQ(app->LanguageOption.GetValue(), "DEU");
  EXPECT_NE(TempFolder::Read(SettingsFile("QVM400")).find("Language=DEU"), std::string::npos);
  EXPECT_EQ(MenuBar()[0], "&File");  // shown at the next start
}

// ovelin.exe itself, started in German: its status bar, about box and
// maker's about box.
TEST(GermanProgram, StartsInGerman) {
  TempFolder appData;
  std::filesystem::create_directories(appData.Path() / "Marvolk");
  TempFolder::Write((appData.Path() / "Marvolk" / "QVM400.ini").string(),
                    "[General]\r\nLanguage=DEU\r\n\r\n");
  RunningProgram program(appData.Path().string(), "");
  WindowSearch search = program.WaitForDocumentWindow();
  ASSERT_NE(search.main, nullptr);
  HWND statusBar = ::FindWindowExA(search.main, nullptr, "msctls_statusbar32", nullptr);
  EXPECT_EQ(RemoteStatusText(statusBar), "Bereit");
  HoldForScreenshot();
  ::PostMessageA(search.main, WM_COMMAND, ID_APP_ABOUT, 0);
  HWND about = program.WaitForDialog();
  ASSERT_NE(about, nullptr);
  EXPECT_EQ(WindowText(about), "\xDC" "ber Ovelin 4");
  EXPECT_EQ(WindowText(::GetDlgItem(about, IDC_ABOUT_VERSION)), "Ovelin V4.004.0");
  HoldForScreenshot();
  ::PostMessageA(about, WM_COMMAND, IDOK, 0);
  ::Sleep(300);
  ::PostMessageA(search.main, WM_COMMAND, ID_ABOUT_MARVOLK, 0);
  HWND maker = program.WaitForDialog();
  ASSERT_NE(maker, nullptr);
  EXPECT_EQ(WindowText(maker), "\xDC" "ber Marvolk");
  HoldForScreenshot();
  ::PostMessageA(maker, WM_COMMAND, IDOK, 0);
  ::Sleep(300);
  ::PostMessageA(search.main, WM_COMMAND, ID_LANGUAGE, 0);
  HWND language = program.WaitForDialog();
  ASSERT_NE(language, nullptr);
  EXPECT_EQ(WindowText(language), "Sprachauswahl");
  HoldForScreenshot();
  ::PostMessageA(language, WM_COMMAND, IDCANCEL, 0);
  ::Sleep(300);
  EXPECT_EQ(program.CloseAndWait(search.main), 0);
}

}  // namespace
