// The application: idle processing in the message loop, the
// PreTranslateMessage walk, profile settings and the recent-file list in the
// registry, shell commands and DDE commands.
#include <gtest/gtest.h>

#include "framework/Controls.h"
#include "framework/RecentFileList.h"
#include "tests/portable/TempFolder.h"
#include "tests/window/MdiFixture.h"

namespace {

using AppTest = MdiTest;

// A bar with one button per command, updated at idle time as bars are.
class ButtonBar : public CWnd {
 public:
  LRESULT OnIdleUpdate(WPARAM, LPARAM) {
    g_route.push_back("bar update");
    UpdateDialogControls(GetParentFrame(), TRUE);
    return 0;
  }
  DECLARE_MESSAGE_MAP()
};

BEGIN_MESSAGE_MAP(ButtonBar, CWnd)
  ON_MESSAGE(WM_IDLEUPDATECMDUI, OnIdleUpdate)
END_MESSAGE_MAP()

TEST_F(AppTest, IdleUpdatesBarsAtCountZeroThenGoesOnToCountOne) {
  ASSERT_NE(NewDocument(), nullptr);
  main->ShowWindow(SW_SHOWNA);  // update-UI runs for a visible frame only
  ButtonBar bar;
  ASSERT_TRUE(bar.Create(nullptr, nullptr, WS_CHILD | WS_VISIBLE, CRect(0, 0, 100, 20), main, 50));
  CButton docButton;
  CButton nobodyButton;
  docButton.Create("doc", WS_CHILD | WS_VISIBLE, CRect(0, 0, 40, 20), &bar, ID_CMD_DOC);
  nobodyButton.Create("none", WS_CHILD | WS_VISIBLE, CRect(40, 0, 80, 20), &bar, ID_CMD_NOBODY);
  RunLater(300, [] { ::PostQuitMessage(0); });
  const UINT_PTR watchdog = RunLater(5000, [] { ::PostQuitMessage(1); });
  EXPECT_EQ(app->Run(), 0);
  CancelRunLater(watchdog);
  EXPECT_TRUE(docButton.IsWindowEnabled());
  EXPECT_FALSE(nobodyButton.IsWindowEnabled());
  // Every idle period starts at 0 and ends at 1 (FALSE).
  ASSERT_GE(app->idleCounts.size(), 2u);
  EXPECT_EQ(app->idleCounts[0], 0);
  EXPECT_EQ(app->idleCounts[1], 1);
  for (size_t i = 1; i < app->idleCounts.size(); ++i) {
    if (app->idleCounts[i] != 0) {
      EXPECT_EQ(app->idleCounts[i], app->idleCounts[i - 1] + 1);
    }
  }
  EXPECT_EQ(g_route.front(), "bar update");
  bar.DestroyWindow();
  main->ShowWindow(SW_HIDE);
}

class Recorder : public CWnd {
 public:
  std::string name;
  BOOL eat = FALSE;
  BOOL PreTranslateMessage(MSG* msg) override {
    if (msg->message == WM_KEYDOWN) g_route.push_back(name);
    return eat;
  }
};

TEST_F(AppTest, PreTranslateWalksFromTheTargetUpToTheMainWindow) {
  Recorder outer;
  Recorder inner;
  outer.name = "outer";
  inner.name = "inner";
  ASSERT_TRUE(outer.Create(nullptr, nullptr, WS_CHILD, CRect(0, 0, 50, 50), main, 60));
  ASSERT_TRUE(inner.Create(nullptr, nullptr, WS_CHILD, CRect(0, 0, 20, 20), &outer, 61));
  inner.PostMessage(WM_KEYDOWN, 'Q');
  ASSERT_TRUE(PumpUntil([] { return !g_route.empty(); }));
  EXPECT_EQ(g_route, (std::vector<std::string>{"inner", "outer"}));
  g_route.clear();
  inner.eat = TRUE;  // eaten: the walk stops
  inner.PostMessage(WM_KEYDOWN, 'Q');
  ASSERT_TRUE(PumpUntil([] { return !g_route.empty(); }));
  EXPECT_EQ(g_route, std::vector<std::string>{"inner"});
  outer.DestroyWindow();
}

// --- profile settings -----------------------------------------------------------------

class ProfileTest : public MdiTest {
 protected:
  void SetUp() override {
    MdiTest::SetUp();
    key = "Ovelin Tests " + std::to_string(::GetCurrentProcessId());
    app->SetRegistryKey(key.c_str());
  }
  void TearDown() override {
    ::RegDeleteTreeA(HKEY_CURRENT_USER, ("Software\\" + key).c_str());
    MdiTest::TearDown();
  }
  std::string key;
};

TEST_F(ProfileTest, ValuesRoundTripThroughTheRegistry) {
  EXPECT_EQ(app->GetProfileInt("General", "Missing", -1), static_cast<UINT>(-1));
  EXPECT_STREQ(app->GetProfileString("General", "Missing", "fallback"), "fallback");
  EXPECT_TRUE(app->WriteProfileInt("General", "Count", 17));
  EXPECT_TRUE(app->WriteProfileString("General", "Name", "Marvolk"));
  EXPECT_EQ(app->GetProfileInt("General", "Count", 0), 17u);
  EXPECT_STREQ(app->GetProfileString("General", "Name"), "Marvolk");
  EXPECT_TRUE(app->WriteProfileString("General", "Name", nullptr));
  EXPECT_STREQ(app->GetProfileString("General", "Name", "gone"), "gone");
  HKEY section = app->GetSectionKey("General");
  ASSERT_NE(section, nullptr);
  ::RegCloseKey(section);
  char value[64] = {};
  LONG size = sizeof value;
  const std::string path = "Software\\" + key + "\\Ovelin Test\\General";
  EXPECT_EQ(::RegQueryValueA(HKEY_CURRENT_USER, path.c_str(), value, &size), ERROR_SUCCESS);
}

TEST_F(ProfileTest, RecentFilesAreSavedAndShownInTheMenu) {
  app->LoadStdProfileSettings(4);
  app->AddToRecentFileList("C:\\one.tst");
  app->AddToRecentFileList("C:\\two.tst");
  app->AddToRecentFileList("c:\\ONE.tst");  // the same file again
  app->SaveStdProfileSettings();
  EXPECT_STREQ(app->GetProfileString("Recent File List", "File1"), "c:\\ONE.tst");
  EXPECT_STREQ(app->GetProfileString("Recent File List", "File2"), "C:\\two.tst");
  EXPECT_STREQ(app->GetProfileString("Recent File List", "File3", "none"), "none");
  app->LoadStdProfileSettings(4);
  ASSERT_EQ(app->m_pRecentFileList->GetCount(), 2);

  HMENU file = ::GetSubMenu(main->GetMenu(), 0);
  main->SendMessage(WM_INITMENUPOPUP, reinterpret_cast<WPARAM>(file), 0);
  char text[64] = {};
  ::GetMenuStringA(file, ID_FILE_MRU_FILE1, text, sizeof text, MF_BYCOMMAND);
  EXPECT_STREQ(text, "&1 c:\\ONE.tst");
  ::GetMenuStringA(file, ID_FILE_MRU_FILE1 + 1, text, sizeof text, MF_BYCOMMAND);
  EXPECT_STREQ(text, "&2 C:\\two.tst");
  EXPECT_EQ(::GetMenuState(file, ID_FILE_MRU_FILE1 + 1, MF_BYCOMMAND) & MF_GRAYED, 0u);
  EXPECT_EQ(::GetMenuItemID(file, 3), static_cast<UINT>(0));  // the separator follows
  // Opening a file that is gone drops it from the list.
  main->SendMessage(WM_COMMAND, ID_FILE_MRU_FILE1 + 1);
  EXPECT_EQ(app->m_pRecentFileList->GetCount(), 1);
  TakeShownBoxes();
}

// --- shell and DDE commands -------------------------------------------------------------

TEST_F(AppTest, ShellCommandsOpenCreateOrEndTheProgram) {
  TempFolder folder;
  const std::string path = folder.File("shell.tst");
  WriteDocumentFile(path, "");
  CCommandLineInfo open;
  open.m_strFileName = path.c_str();
  open.m_nShellCommand = CCommandLineInfo::FileOpen;
  EXPECT_TRUE(app->ProcessShellCommand(open));
  EXPECT_EQ(OpenCount(), 1);

  CCommandLineInfo fresh;
  EXPECT_TRUE(app->ProcessShellCommand(fresh));
  EXPECT_EQ(OpenCount(), 2);

  CCommandLineInfo missing;
  missing.m_strFileName = folder.File("missing.tst").c_str();
  missing.m_nShellCommand = CCommandLineInfo::FileOpen;
  EXPECT_FALSE(app->ProcessShellCommand(missing));
  EXPECT_EQ(TakeShownBoxes().size(), 1u);

  CCommandLineInfo dde;
  dde.m_nShellCommand = CCommandLineInfo::FileDDE;
  app->m_nCmdShow = SW_SHOWNORMAL;
  EXPECT_TRUE(app->ProcessShellCommand(dde));
  EXPECT_EQ(app->m_nCmdShow, SW_HIDE);
}

TEST(DDECommand, ParsesVerbAndQuotedArguments) {
  struct Case {
    const char* command;
    bool ok;
    const char* verb;
    std::vector<std::string> args;
  };
  const Case cases[] = {
      {"[open(\"C:\\a b.tst\")]", true, "open", {"C:\\a b.tst"}},
      {"[printto(\"x.tst\",\"Printer\", \"drv\",\"port\")]", true, "printto",
       {"x.tst", "Printer", "drv", "port"}},
      {"[new]", true, "new", {}},
      {"[open(\"C:\\cut", false, "", {}},
      {"[open(\"C:\\cut)]", false, "", {}},
      {"open(\"x\")", false, "", {}},
      {"[open(x)]", false, "", {}},
  };
  for (const Case& c : cases) {
    CString verb;
    CStringArray args;
    EXPECT_EQ(CDocManager::ParseDDECommand(c.command, verb, args) != FALSE, c.ok) << c.command;
    if (!c.ok) continue;
    EXPECT_STREQ(verb, c.verb);
    ASSERT_EQ(args.GetSize(), static_cast<int>(c.args.size())) << c.command;
    for (size_t i = 0; i < c.args.size(); ++i) EXPECT_EQ(args[static_cast<int>(i)].str(), c.args[i]);
  }
}

TEST_F(AppTest, DDEOpenShowsTheMainWindowAndOpensTheFile) {
  TempFolder folder;
  const std::string path = folder.File("dde.tst");
  WriteDocumentFile(path, "");
  std::string command = "[open(\"" + path + "\")]";
  EXPECT_TRUE(app->OnDDECommand(command.data()));
  EXPECT_EQ(OpenCount(), 1);
  EXPECT_TRUE(main->IsWindowVisible());
  std::string unknown = "[format(\"c:\")]";
  EXPECT_FALSE(app->OnDDECommand(unknown.data()));
  main->ShowWindow(SW_HIDE);
}

}  // namespace
