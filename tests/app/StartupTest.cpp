// The start-up services: the update check against a versions file served
// over HTTP on the loopback (Python's http.server, started here), the update,
// welcome and tip dialogs on the X display, the idle refocus while an update
// dialog is up, and the real program's first start.
#include <windows.h>

#include <cstdlib>
#include <functional>
#include <string>

#include "app/StartupDialogs.h"
#include "app/StartupManager.h"
#include "app/StartupRules.h"
#include "resources/resource.h"
#include "tests/app/AppFixture.h"
#include "tests/app/FileSavingSupport.h"
#include "tests/app/RunningProgram.h"

namespace {

constexpr const char kServerScript[] = R"(import functools, http.server, os, sys, threading, time
root, portfile, stopfile = sys.argv[1:4]
class Quiet(http.server.SimpleHTTPRequestHandler):
    def log_message(self, *args): pass
server = http.server.ThreadingHTTPServer(("127.0.0.1", 0), functools.partial(Quiet, directory=root))
threading.Thread(target=server.serve_forever, daemon=True).start()
with open(portfile + ".tmp", "w") as f: f.write(str(server.server_address[1]))
os.replace(portfile + ".tmp", portfile)
deadline = time.time() + 120
while not os.path.exists(stopfile) and time.time() < deadline: time.sleep(0.05)
server.shutdown()
os.remove(portfile)
)";

// Python's http.server on 127.0.0.1 serving the files of a folder of its
// own; it stops when the object goes (or after two minutes at most).
class LoopbackServer {
 public:
  LoopbackServer() {
    site_ = folder_.File("site");
    ::CreateDirectoryA(site_.c_str(), nullptr);
    const std::string script = folder_.File("serve.py");
    TempFolder::Write(script, kServerScript);
    portFile_ = folder_.File("port");
    stopFile_ = folder_.File("stop");
    std::string command = "Z:\\usr\\bin\\python3 \"" + UnixPath(script) + "\" \"" + UnixPath(site_) +
                          "\" \"" + UnixPath(portFile_) + "\" \"" + UnixPath(stopFile_) + "\"";
    STARTUPINFOA startup{};
    startup.cb = sizeof startup;
    PROCESS_INFORMATION process{};
    if (!::CreateProcessA(nullptr, command.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr,
                          &startup, &process))
      return;
    ::CloseHandle(process.hThread);
    ::CloseHandle(process.hProcess);
    for (int i = 0; i < 200 && port_.empty(); ++i) {
      ::Sleep(50);
      port_ = TempFolder::Read(portFile_);
    }
  }
  ~LoopbackServer() {
    TempFolder::Write(stopFile_, "stop");
    for (int i = 0; i < 60 && ::GetFileAttributesA(portFile_.c_str()) != INVALID_FILE_ATTRIBUTES; ++i)
      ::Sleep(50);
  }
  bool Running() const { return !port_.empty(); }
  void Serve(const char* name, const std::string& text) const {
    TempFolder::Write(site_ + "\\" + name, text);
  }
  std::string Url(const char* name) const { return "http://127.0.0.1:" + port_ + "/" + name; }

 private:
  TempFolder folder_;
  std::string site_, portFile_, stopFile_, port_;
};

// Runs `step` on this thread's timer while a modal loop runs; it returns
// true when it is done.
class TimerSteps {
 public:
  explicit TimerSteps(std::function<bool()> step) {
    Current() = std::move(step);
    timer_ = ::SetTimer(nullptr, 0, 60, Tick);
  }
  ~TimerSteps() {
    ::KillTimer(nullptr, timer_);
    Current() = nullptr;
  }

 private:
  static std::function<bool()>& Current() {
    static std::function<bool()> step;
    return step;
  }
  static void CALLBACK Tick(HWND, UINT, UINT_PTR, DWORD) {
    if (Current() && Current()()) Current() = nullptr;
  }
  UINT_PTR timer_ = 0;
};

std::string ItemText(HWND dialog, int id) { return WindowText(::GetDlgItem(dialog, id)); }

void Command(HWND dialog, int id) {
  ::SendMessageA(dialog, WM_COMMAND, MAKEWPARAM(id, BN_CLICKED),
                 reinterpret_cast<LPARAM>(::GetDlgItem(dialog, id)));
}

using UpdateCheck = AppTest;

// The worker's body, run here: what it posts to the frame for each file the
// server gives, and what it leaves in the kept versions file.
TEST_F(UpdateCheck, PostsNewerVersionsAndKeepsAGoodFileAfterAFailedDownload) {
  LoopbackServer server;
  ASSERT_TRUE(server.Running()) << "python3 http.server did not start";
  const std::string kept = appData.File("QVVersions.txt");
  auto check = [&](const std::string& url) -> UpdateNotice* {
    auto* job = new UpdateCheckJob;
    job->productId = 1;
    job->url = url.c_str();
    job->versionsFile = kept.c_str();
    job->notify = frame->GetSafeHwnd();
    job->currentMajor = 4;
    job->currentMinor = 4;
    UpdateCheckThreadProc(job);
    MSG msg;
    if (!::PeekMessageA(&msg, frame->GetSafeHwnd(), StartupManager::kUpdateAvailableMessage,
                        StartupManager::kUpdateAvailableMessage, PM_REMOVE))
      return nullptr;
    return reinterpret_cast<UpdateNotice*>(msg.lParam);
  };
  struct Case {
    const char* file;
    UINT templateId;  // 0: no notice
  } cases[] = {
      {"VER;1;Ovelin;4;5;http://127.0.0.1/get\r\n", IDD_UPDATE_MINOR},
      {"VER;2;Feldric;9;9\r\nVER;1;Ovelin;5;0\r\n", IDD_UPDATE_MAJOR},
      {"VER;1;Ovelin;4;4\r\n", 0},
      {"VER;2;Feldric;9;9\r\nVER;1;Ovelin;3;9\r\n", 0},
  };
  for (const Case& c : cases) {
    server.Serve("QVVersions.php", c.file);
    UpdateNotice* notice = check(server.Url("QVVersions.php"));
    EXPECT_EQ(TempFolder::Read(kept), c.file);
    if (!c.templateId) {
      EXPECT_EQ(notice, nullptr) << c.file;
      delete notice;
      continue;
    }
    ASSERT_NE(notice, nullptr) << c.file;
    ASSERT_EQ(notice->entries.size(), 1u);
    EXPECT_EQ(notice->entries[0].templateId, c.templateId);
    EXPECT_EQ(notice->entries[0].record.ProductName, "Ovelin");
    delete notice;
  }
  // A 404 page, and a page without a version line, leave the kept file as
  // it was; what it holds is still read.
  server.Serve("QVVersions.php", "VER;1;Ovelin;4;6\r\n");
  delete check(server.Url("QVVersions.php"));
  server.Serve("broken.php", "<html><body>Internal error</body></html>");
  for (const char* name : {"missing.php", "broken.php"}) {
    UpdateNotice* notice = check(server.Url(name));
    EXPECT_EQ(TempFolder::Read(kept), "VER;1;Ovelin;4;6\r\n") << name;
    ASSERT_NE(notice, nullptr) << name;
    EXPECT_EQ(notice->entries[0].record.Minor, 6);
    delete notice;
    EXPECT_EQ(::GetFileAttributesA((kept + ".download").c_str()), INVALID_FILE_ATTRIBUTES);
  }
}

using StartupDialogs = AppTest;

// Two newer versions give two dialogs, one after the other; while each is
// up the idle handler leaves the focus alone, and gives it back after.
TEST_F(StartupDialogs, UpdateDialogsShowTheVersionsAndHoldTheIdleRefocus) {
  ASSERT_NE(NewDocument(), nullptr);
  auto* notice = new UpdateNotice;
  notice->currentMajor = 4;
  notice->currentMinor = 4;
  VersionRecord record;
  record.Parse("VER;1;Ovelin;4;5;http://127.0.0.1/get");
  notice->entries.push_back({IDD_UPDATE_MINOR, record});
  record.Parse("VER;1;Ovelin;5;0;http://127.0.0.1/get;http://127.0.0.1/new");
  notice->entries.push_back({IDD_UPDATE_MAJOR, record});

  std::vector<std::string> versions, newVersion, download;
  std::vector<bool> whatsNewShown, refocusHeld;
  // For a screenshot by hand, each dialog stays up OVELIN_SHOT_HOLD_MS.
  const char* hold = std::getenv("OVELIN_SHOT_HOLD_MS");
  const DWORD holdMs = hold ? static_cast<DWORD>(std::atoi(hold)) : 0;
  DWORD shownAt = 0;
  TimerSteps steps([&] {
    QVUpdateAvailableDlg* dialog = app->Startup.UpdateDialog;
    if (!dialog || !dialog->GetSafeHwnd() || !dialog->IsWindowVisible()) return false;
    if (!shownAt) shownAt = ::GetTickCount();
    if (::GetTickCount() - shownAt < holdMs) return false;
    shownAt = 0;
    const HWND hWnd = dialog->GetSafeHwnd();
    versions.push_back(ItemText(hWnd, IDC_UPDATE_VERSIONS));
    newVersion.push_back(ItemText(hWnd, IDC_UPDATE_NEW_VERSION));
    download.push_back(ItemText(hWnd, IDC_UPDATE_DOWNLOAD));
    whatsNewShown.push_back(::IsWindowVisible(::GetDlgItem(hWnd, IDC_UPDATE_WHATS_NEW)) != 0);
    ::SetFocus(hWnd);
    app->RefocusEdit = 1;
    app->OnIdle(1);
    refocusHeld.push_back(app->RefocusEdit == 1 && ::GetFocus() != app->EquationEditWindow());
    Command(hWnd, IDOK);
    return versions.size() == 2;
  });
  app->Startup.ShowUpdateDialogs(notice);
  ASSERT_EQ(versions.size(), 2u);
  EXPECT_EQ(versions[0], "Current Version 4.004   -  New Version  4.005");
  EXPECT_EQ(versions[1], "Current Version 4.004   -  New Version  5.000");
  EXPECT_EQ(newVersion[0], "A new version of Ovelin is available for download.");
  EXPECT_EQ(newVersion[1], "A MAJOR version upgrade of Ovelin is available for download.");
  EXPECT_EQ(download[0], "Download Ovelin");
  EXPECT_EQ(whatsNewShown, (std::vector<bool>{false, true}));
  EXPECT_EQ(refocusHeld, (std::vector<bool>{true, true}));

  EXPECT_EQ(app->Startup.UpdateDialog, nullptr);
  app->RefocusEdit = 1;
  app->OnIdle(1);
  EXPECT_EQ(app->RefocusEdit, 0);
  EXPECT_EQ(::GetFocus(), app->EquationEditWindow());
}

// Escape keeps the user's choice of the update box, as OK does.
TEST_F(StartupDialogs, WelcomeReadsTheUpdateBoxWhenClosedWithEscape) {
  for (const bool tick : {false, true}) {
    QVFirstRunDlg dialog;
    dialog.ProductName = "Ovelin";
    dialog.CheckForUpdates = !tick;
    std::string title;
    TimerSteps steps([&] {
      if (!dialog.GetSafeHwnd() || !dialog.IsWindowVisible()) return false;
      title = ItemText(dialog.GetSafeHwnd(), IDC_WELCOME_TITLE);
      ::SendDlgItemMessageA(dialog.GetSafeHwnd(), IDC_UPDATE_CHECK_BOX, BM_CLICK, 0, 0);
      ::PostMessageA(::GetFocus(), WM_KEYDOWN, VK_ESCAPE, 0);
      return true;
    });
    EXPECT_EQ(dialog.DoModal(), IDCANCEL);
    EXPECT_EQ(title, "Welcome to Ovelin");
    EXPECT_EQ(dialog.CheckForUpdates, tick ? 1 : 0);
  }
}

// Tips 001, 002 and 005 (and names that are no tips): Next and Previous
// walk them in order and wrap around; the box follows every click.
TEST_F(StartupDialogs, TipOfTheDayOrderAndShowTipsBox) {
  SimpleBrowser::SetDocumentWaitForTest(0);
  CStringArray files;
  for (const char* name : {"tip001.html", "tip002.html", "tip005.html", "tip01.html", "tipabc.html"})
    files.Add(name);
  QVTipOfTheDayDlg dialog;
  dialog.ShowTips = 1;
  dialog.LastTip = -1;
  dialog.TipFiles = &files;
  dialog.ProgramFolder = "C:\\Ovelin\\";
  std::vector<std::string> pages;
  int showTipsAfterClick = -1;
  TimerSteps steps([&] {
    if (!dialog.GetSafeHwnd() || !dialog.IsWindowVisible()) return false;
    const HWND hWnd = dialog.GetSafeHwnd();
    pages.push_back(dialog.CurrentPage.GetString());
    for (int i = 0; i < 3; ++i) {
      Command(hWnd, IDC_TIP_NEXT);
      pages.push_back(dialog.CurrentPage.GetString());
    }
    Command(hWnd, IDC_TIP_PREVIOUS);
    pages.push_back(dialog.CurrentPage.GetString());
    ::SendDlgItemMessageA(hWnd, IDC_SHOW_TIPS, BM_CLICK, 0, 0);
    showTipsAfterClick = dialog.ShowTips;
    ::PostMessageA(hWnd, WM_COMMAND, IDCANCEL, 0);
    return true;
  });
  dialog.DoModal();
  SimpleBrowser::SetDocumentWaitForTest(SimpleBrowser::kDocumentWaitMs);
  const std::string folder = "C:\\Ovelin\\TipOfTheDay\\";
  EXPECT_EQ(pages, (std::vector<std::string>{folder + "tip001.html", folder + "tip002.html",
                                             folder + "tip005.html", folder + "tip001.html",
                                             folder + "tip005.html"}));
  EXPECT_EQ(dialog.LastTip, 5);
  EXPECT_EQ(showTipsAfterClick, 0);
  EXPECT_EQ(dialog.ShowTips, 0);
}

// Finds a visible top-level window of `processId` with `caption`.
HWND WaitForProcessWindow(DWORD processId, const char* caption, DWORD timeoutMs = 20000) {
  const DWORD start = ::GetTickCount();
  for (;;) {
    for (HWND hWnd = ::FindWindowExA(nullptr, nullptr, nullptr, caption); hWnd;
         hWnd = ::FindWindowExA(nullptr, hWnd, nullptr, caption)) {
      DWORD owner = 0;
      ::GetWindowThreadProcessId(hWnd, &owner);
      if (owner == processId && ::IsWindowVisible(hWnd)) return hWnd;
    }
    if (::GetTickCount() - start > timeoutMs) return nullptr;
    ::Sleep(100);
  }
}

// A first start greets the user; OK with the update box ticked starts the
// check in the same run, which finds a newer release on the server.
TEST(ProgramStartup, FirstStartWelcomesAndChecksForUpdates) {
  LoopbackServer server;
  ASSERT_TRUE(server.Running()) << "python3 http.server did not start";
  server.Serve("QVVersions.php", "VER;1;Ovelin;4;5;http://127.0.0.1/get;\r\n");
  TempFolder appData;
  ::SetEnvironmentVariableA(StartupManager::kTestVersionsUrlVariable,
                            server.Url("QVVersions.php").c_str());
  RunningProgram program(appData.Path().string(), "", true);
  ::SetEnvironmentVariableA(StartupManager::kTestVersionsUrlVariable, nullptr);
  ASSERT_TRUE(program.Started());
  WindowSearch search = program.WaitForDocumentWindow();
  ASSERT_NE(search.main, nullptr);

  HWND welcome = WaitForProcessWindow(search.processId, "Marvolk Software");
  ASSERT_NE(welcome, nullptr);
  EXPECT_EQ(ItemText(welcome, IDC_WELCOME_TITLE), "Welcome to Ovelin");
  EXPECT_EQ(::SendDlgItemMessageA(welcome, IDC_UPDATE_CHECK_BOX, BM_GETCHECK, 0, 0), BST_CHECKED);
  HoldForScreenshot();
  ::PostMessageA(welcome, WM_COMMAND, IDOK, 0);

  HWND update = WaitForProcessWindow(search.processId, "Update Available");
  ASSERT_NE(update, nullptr);
  EXPECT_EQ(ItemText(update, IDC_UPDATE_VERSIONS), "Current Version 4.004   -  New Version  4.005");
  EXPECT_FALSE(::IsWindowVisible(::GetDlgItem(update, IDC_UPDATE_WHATS_NEW)));
  HoldForScreenshot();
  ::PostMessageA(update, WM_COMMAND, IDOK, 0);

  const std::string settings = TempFolder::Read((appData.Path() / "Marvolk" / "QVM400.ini").string());
  EXPECT_NE(settings.find("FirstRun=0"), std::string::npos);
  EXPECT_NE(settings.find("CheckForUpdates=1"), std::string::npos);
  EXPECT_EQ(settings.find("LastUpdateCheck=\r"), std::string::npos);
  EXPECT_EQ(TempFolder::Read((appData.Path() / "Marvolk" / "QVVersions.txt").string()),
            "VER;1;Ovelin;4;5;http://127.0.0.1/get;\r\n");
  EXPECT_EQ(program.CloseAndWait(search.main), 0);
}

}  // namespace

namespace {

// Without an application-data folder there is nowhere to keep the versions
// file: no check starts, and nothing is downloaded.
TEST_F(UpdateCheck, NoApplicationDataFolderSkipsTheCheck) {
  ASSERT_NE(app->Startup.SettingsIni, nullptr);
  char savedProfile[MAX_PATH] = {};
  ::GetEnvironmentVariableA("USERPROFILE", savedProfile, MAX_PATH);
  const std::string nowhere = appData.File("missing");
  ::SetEnvironmentVariableA("APPDATA", nowhere.c_str());
  ::SetEnvironmentVariableA("USERPROFILE", nowhere.c_str());
  EXPECT_FALSE(app->Startup.StartUpdateCheck());
  ::SetEnvironmentVariableA("USERPROFILE", savedProfile);
  ::SetEnvironmentVariableA("APPDATA", appData.Path().string().c_str());
  EXPECT_EQ(::GetFileAttributesA(nowhere.c_str()), INVALID_FILE_ATTRIBUTES);
}

}  // namespace

namespace {

using CheckForUpdatesCommand = AppTest;

// Six days after the last check the command flips and saves the setting,
// marks the menu item and starts no check (the stamp stays).
TEST_F(CheckForUpdatesCommand, FlipsSavesAndMarksTheMenuItem) {
  const CString sixDaysAgo = startup::FormatStamp(StartupSettings::Now() - 6 * 86400);
  app->Startup.CheckForUpdates = 0;
  app->Startup.LastUpdateCheck = sixDaysAgo;
  app->RefocusEdit = 0;
  app->OnCmdMsg(ID_CHECK_FOR_UPDATES, CN_COMMAND, nullptr, nullptr);
  EXPECT_EQ(app->Startup.CheckForUpdates, 1);
  EXPECT_EQ(app->Startup.LastUpdateCheck, sixDaysAgo);
  EXPECT_EQ(app->RefocusEdit, 1);
  const std::string settings = TempFolder::Read(SettingsFile("QVM400"));
  EXPECT_NE(settings.find("CheckForUpdates=1"), std::string::npos);
  EXPECT_NE(settings.find("LastUpdateCheck=" + std::string(sixDaysAgo.GetString())), std::string::npos);

  CTestCmdUI state;
  state.m_nID = ID_CHECK_FOR_UPDATES;
  state.DoUpdate(app, FALSE);
  EXPECT_EQ(state.m_nCheck, 1);
  app->OnCmdMsg(ID_CHECK_FOR_UPDATES, CN_COMMAND, nullptr, nullptr);
  state.DoUpdate(app, FALSE);
  EXPECT_EQ(state.m_nCheck, 0);
}

}  // namespace

namespace {

// Keys lose their blanks and spell "=" as "__" before the search; a found
// text replaces the control's. The program's tables stay empty.
TEST(Localization, KeysAreNormalisedAndTablesStartEmpty) {
  for (const auto& table : theLocalization.Tables) EXPECT_EQ(table.GetSize(), 0);
  QVLocalization1 localization;
  EXPECT_EQ(localization.LanguageName, "English");
  localization.Tables[3].Add({"QVFirstRunDlg:InternetAccessRequired", "Internet needed", 7});
  localization.Tables[3].Add({"QVFirstRunDlg:a__b", "equals", 0});
  localization.CurrentDialogName = "QVFirstRunDlg";
  EXPECT_EQ(localization.LookupControlText("Internet Access Required"), "Internet needed");
  EXPECT_EQ(localization.LookupControlText("a = b"), "equals");
  EXPECT_EQ(localization.LookupControlText("internet access required"), "");
  int32_t value = -1;
  EXPECT_EQ(localization.LookupText(3, "QVFirstRunDlg:Internet Access Required", value),
            "Internet needed");
  EXPECT_EQ(value, 7);
  value = -1;
  EXPECT_EQ(localization.LookupText(4, "QVFirstRunDlg:InternetAccessRequired", value), "");
  EXPECT_EQ(value, -1);
}

}  // namespace
