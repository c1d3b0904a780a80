// The start-up services: the update check against a versions file served
// over HTTP on the loopback (Python's http.server, started here), the update,
// welcome and tip dialogs on the X display, the idle refocus while an update
// dialog is up, and the real program's first start.
#include <windows.h>

#include <shlobj.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <functional>
#include <map>
#include <sstream>
#include <string>

#include "app/startup/StartupDialogs.h"
#include "app/startup/StartupManager.h"
#include "app/startup/StartupRules.h"
#include "resources/resource.h"
#include "tests/app/AppFixture.h"
#include "tests/app/FileSavingSupport.h"
#include "tests/app/RunningProgram.h"

namespace {

// Files of the folder, and answers of a kind: "error" (status 500),
// "short" (81 of 100,000 promised bytes), "huge" (300 MB without a length),
// "endless", "slow" (nothing for half a minute) and "trickle" (a little
// every 0.2 s). Each request adds its name to requests.log as it comes, and
// "name bytes-sent seconds" to answers.log once answered.
constexpr const char kServerScript[] = R"(import functools, http.server, os, sys, threading, time
root, portfile, stopfile = sys.argv[1:4]
LINE = b"VER;1;Ovelin;4;9;http://127.0.0.1/get\r\n"
class Answers(http.server.SimpleHTTPRequestHandler):
    def log_message(self, *args): pass
    def head(self, status, length=None):
        self.send_response(status)
        if length is not None: self.send_header("Content-Length", str(length))
        self.send_header("Connection", "close")
        self.end_headers()
    def send(self, block, total, pause):
        sent = 0
        try:
            while total is None or sent < total:
                self.wfile.write(block); sent += len(block); time.sleep(pause)
        except OSError: pass
        return sent
    def do_GET(self):
        started, name, sent = time.time(), self.path.lstrip("/"), 0
        with open(os.path.join(root, "requests.log"), "a") as f: f.write(name + "\n")
        if name == "error": self.head(500, len(LINE)); sent = self.send(LINE, 1, 0)
        elif name == "short": self.head(200, 100000); sent = self.send(LINE * 2 + b"VER;1;O", 1, 0)
        elif name == "huge": self.head(200); sent = self.send(LINE * 1700, 300 * 1000 * 1000, 0)
        elif name == "endless": self.head(200); sent = self.send(LINE * 1700, None, 0)
        elif name == "trickle": self.head(200); sent = self.send(LINE, None, 0.2)
        elif name == "slow": time.sleep(30); self.head(200, len(LINE)); sent = self.send(LINE, 1, 0)
        else: super().do_GET()
        with open(os.path.join(root, "answers.log"), "a") as f:
            f.write("%s %d %.3f\n" % (name, sent, time.time() - started))
server = http.server.ThreadingHTTPServer(("127.0.0.1", 0), functools.partial(Answers, directory=root))
threading.Thread(target=server.serve_forever, daemon=True).start()
with open(portfile + ".tmp", "w") as f: f.write(str(server.server_address[1]))
os.replace(portfile + ".tmp", portfile)
deadline = time.time() + 600
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
  // The log of the answers given, "name bytes-sent seconds" a line.
  std::string AnswersLog() const { return TempFolder::Read(site_ + "\\answers.log"); }
  // How many requests came so far, and how many for `name` were answered.
  int Requests() const {
    const std::string log = TempFolder::Read(site_ + "\\requests.log");
    return static_cast<int>(std::count(log.begin(), log.end(), '\n'));
  }
  int Answered(const std::string& name) const {
    const std::string log = "\n" + AnswersLog(), line = "\n" + name + " ";
    int count = 0;
    for (size_t at = log.find(line); at != std::string::npos; at = log.find(line, at + 1)) ++count;
    return count;
  }

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

// Files below `folder` with their sizes, by path.
std::map<std::string, uintmax_t> FilesBelow(const std::string& folder) {
  std::map<std::string, uintmax_t> files;
  std::error_code error;
  for (const auto& entry : std::filesystem::recursive_directory_iterator(folder, error))
    if (entry.is_regular_file()) files[entry.path().string()] = entry.file_size();
  return files;
}

std::string DownloadCache() {
  char path[MAX_PATH] = {};
  ::SHGetFolderPathA(nullptr, CSIDL_INTERNET_CACHE, nullptr, 0, path);
  return path;
}

// The worker's body, run here, for each answer of the server: what it
// leaves for the frame and in the kept versions file, and what it leaves
// nowhere else.
TEST_F(UpdateCheck, PostsNewerVersionsAndKeepsAGoodFileAfterAFailedDownload) {
  LoopbackServer server;
  ASSERT_TRUE(server.Running()) << "python3 http.server did not start";
  const std::string kept = appData.File("QVVersions.txt");
  const auto cacheBefore = FilesBelow(DownloadCache());
  auto check = [&](const std::string& url, const std::string& versionsFile) {
    UpdateCheckThreadProc(new UpdateCheckJob{1, url.c_str(), versionsFile.c_str(),
                                             frame->GetSafeHwnd(),
                                             StartupManager::kUpdateAvailableMessage, 4, 4,
                                             app->Startup.Link()});
    EXPECT_EQ(app->Startup.Link().use_count(), 1) << "the job was not freed";
    std::unique_ptr<UpdateNotice> notice = app->Startup.Link()->Take();
    EXPECT_EQ(app->Startup.Link()->Take(), nullptr) << "more than one notice";
    return notice;
  };
  std::string manyMajors;
  for (int major = 5; major < 905; ++major)
    manyMajors += "VER;1;Ovelin;" + std::to_string(major) + ";0\r\n";
  struct Case {
    const char* name;  // on the server
    std::string file;  // served under that name when not empty
    UINT templateId;  // 0: no notice
    int major, minor;
  } cases[] = {
      {"QVVersions.php", "VER;1;Ovelin;4;5;http://127.0.0.1/get\r\n", IDD_UPDATE_MINOR, 4, 5},
      {"QVVersions.php", "VER;2;Feldric;9;9\r\nVER;1;Ovelin;5;0\r\n", IDD_UPDATE_MAJOR, 5, 0},
      {"QVVersions.php", "VER;1;Ovelin;4;4\r\n", 0, 0, 0},
      {"QVVersions.php", "VER;2;Feldric;9;9\r\nVER;1;Ovelin;3;9\r\n", 0, 0, 0},
      {"QVVersions.php", manyMajors, IDD_UPDATE_MAJOR, 904, 0},
      {"QVVersions.php", "VER;1;Ovelin;4;7\r\nVER;1;Ovelin;4;6\r\n", IDD_UPDATE_MINOR, 4, 7},
      // Whatever else the server answers leaves the kept file as it was, and
      // what it holds is still read; the answers' own version is 4.9.
      {"missing.php", "", IDD_UPDATE_MINOR, 4, 7},
      {"broken.php", "<html><body>Internal error</body></html>", IDD_UPDATE_MINOR, 4, 7},
      {"error", "", IDD_UPDATE_MINOR, 4, 7},
      {"short", "", IDD_UPDATE_MINOR, 4, 7},
      {"huge", "", IDD_UPDATE_MINOR, 4, 7},
      {"endless", "", IDD_UPDATE_MINOR, 4, 7},
  };
  std::string keptAfter;
  for (const Case& c : cases) {
    if (!c.file.empty()) server.Serve(c.name, c.file);
    if (c.name == std::string("QVVersions.php")) keptAfter = c.file;
    std::unique_ptr<UpdateNotice> notice = check(server.Url(c.name), kept);
    EXPECT_EQ(TempFolder::Read(kept), keptAfter) << c.name;
    if (!c.templateId) {
      EXPECT_EQ(notice, nullptr) << c.name;
      continue;
    }
    ASSERT_NE(notice, nullptr) << c.name;
    EXPECT_EQ(notice->templateId, c.templateId) << c.name;
    EXPECT_EQ(notice->record.ProductName, "Ovelin");
    EXPECT_EQ(notice->record.Major, c.major) << c.name;
    EXPECT_EQ(notice->record.Minor, c.minor) << c.name;
  }
  // The endless answers were not read to their end (the socket's buffers
  // take a few megabytes), and nothing of any answer stayed on the disk.
  std::istringstream log(server.AnswersLog());
  for (std::string name, bytes, seconds; log >> name >> bytes >> seconds;) {
    if (name != "huge" && name != "endless") continue;
    EXPECT_LT(std::stoll(bytes), 64'000'000) << name;
    std::printf("[ figure ] %s: %s bytes sent in %s s\n", name.c_str(), bytes.c_str(), seconds.c_str());
  }
  EXPECT_EQ(FilesBelow(DownloadCache()), cacheBefore);
  for (const auto& [path, size] : FilesBelow(appData.Path().string()))
    EXPECT_TRUE(path.ends_with(".ini") || path == kept) << path;

  // A versions folder that vanished makes writing the download throw: the
  // worker catches it, shows nothing and leaves no notice.
  server.Serve("QVVersions.php", "VER;1;Ovelin;4;8\r\n");
  TakeShownBoxes();
  EXPECT_EQ(check(server.Url("QVVersions.php"), appData.File("gone\\QVVersions.txt")), nullptr);
  EXPECT_TRUE(TakeShownBoxes().empty());
}

using StartupDialogs = AppTest;

std::unique_ptr<UpdateNotice> MakeNotice(const char* line, UINT templateId) {
  auto notice = std::make_unique<UpdateNotice>();
  notice->templateId = templateId;
  notice->record.Parse(line);
  notice->currentMajor = 4;
  notice->currentMinor = 4;
  return notice;
}

// Two notices, the second coming while the first dialog is up, give two
// dialogs one after the other, never one inside the other; while each is up
// the idle handler leaves the focus alone, and gives it back after. A notice
// still waiting when the main frame goes is freed with it.
TEST_F(StartupDialogs, UpdateDialogsShowTheVersionsAndHoldTheIdleRefocus) {
  ASSERT_NE(NewDocument(), nullptr);
  const std::shared_ptr<UpdateCheckLink> link = app->Startup.Link();
  link->Put(MakeNotice("VER;1;Ovelin;4;5;http://127.0.0.1/get", IDD_UPDATE_MINOR));

  std::vector<std::string> versions, newVersion, download;
  std::vector<bool> whatsNewShown, refocusHeld;
  HWND first = nullptr;  // gone before the second shows: no nesting
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
    if (versions.size() == 1) {
      first = hWnd;
      link->Put(MakeNotice("VER;1;Ovelin;5;0;http://127.0.0.1/get;http://127.0.0.1/new",
                           IDD_UPDATE_MAJOR));
      frame->SendMessage(StartupManager::kUpdateAvailableMessage);
    } else {
      EXPECT_FALSE(::IsWindow(first));
    }
    ::SetFocus(hWnd);
    app->RefocusEdit = 1;
    app->OnIdle(1);
    refocusHeld.push_back(app->RefocusEdit == 1 && ::GetFocus() != app->EquationEditWindow());
    Command(hWnd, IDOK);
    return versions.size() == 2;
  });
  frame->SendMessage(StartupManager::kUpdateAvailableMessage);
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

  EXPECT_TRUE(link->Put(MakeNotice("VER;1;Ovelin;4;6", IDD_UPDATE_MINOR)));
  frame->DestroyWindow();
  frame = nullptr;
  EXPECT_EQ(link->Take(), nullptr);
  EXPECT_FALSE(link->Put(MakeNotice("VER;1;Ovelin;4;7", IDD_UPDATE_MINOR)));
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

// Fifty starts in a row, each with an update check: after the check is done,
// or while it waits on a server that streams slowly, answers nothing yet,
// refuses the connection or cannot be reached. Meanwhile the main window
// answers at once; closed, the program ends normally and soon, and nothing
// is left but the settings and the versions file.
TEST(ProgramStartup, EndsSoonAfterUpdateChecksFiftyTimes) {
  LoopbackServer server;
  ASSERT_TRUE(server.Running()) << "python3 http.server did not start";
  server.Serve("QVVersions.php", "VER;1;Ovelin;4;4\r\n");
  const std::string urls[] = {server.Url("QVVersions.php"), server.Url("trickle"), server.Url("slow"),
                              "http://127.0.0.1:1/QVVersions.php", "http://10.255.255.1/QVVersions.php"};
  TempFolder appData;
  const std::string settings = appData.File("Marvolk\\QVM400.ini");
  ::CreateDirectoryA(appData.File("Marvolk").c_str(), nullptr);
  const auto cacheBefore = FilesBelow(DownloadCache());
  DWORD slowestAnswer = 0, endMs[5][10] = {};
  for (int start = 0; start < 50; ++start) {
    const int kind = start % 5, requests = server.Requests();
    const int answers = server.Answered("QVVersions.php");
    ::WritePrivateProfileStringA("QVCallHome", "CheckForUpdates", "1", settings.c_str());
    ::WritePrivateProfileStringA("QVCallHome", "LastUpdateCheck", "", settings.c_str());
    ::SetEnvironmentVariableA(StartupManager::kTestVersionsUrlVariable, urls[kind].c_str());
    RunningProgram program(appData.Path().string(), "", false, "", true);
    ::SetEnvironmentVariableA(StartupManager::kTestVersionsUrlVariable, nullptr);
    const HWND main = program.WaitForDocumentWindow().main;
    ASSERT_NE(main, nullptr) << start;
    // Closed once the check is done, or waits on a server that has the request.
    auto due = [&] {
      if (kind == 0) return server.Answered("QVVersions.php") > answers;
      return kind > 2 || server.Requests() > requests;
    };
    for (int i = 0; i < 20 || (i < 800 && !due()); ++i) {
      const DWORD asked = ::GetTickCount();
      DWORD_PTR result = 0;
      ::SendMessageTimeoutA(main, WM_NULL, 0, 0, SMTO_NORMAL, 60000, &result);
      slowestAnswer = std::max(slowestAnswer, ::GetTickCount() - asked);
      ::Sleep(25);
    }
    EXPECT_TRUE(due()) << urls[kind];
    const DWORD closing = ::GetTickCount();
    ASSERT_EQ(program.CloseAndWait(main), 0) << urls[kind];
    endMs[kind][start / 5] = ::GetTickCount() - closing;
  }
  EXPECT_LT(slowestAnswer, 5000u);
  std::printf("[ figure ] slowest answer of the main window: %lu ms\n", slowestAnswer);
  for (int kind = 0; kind < 5; ++kind) {
    std::sort(std::begin(endMs[kind]), std::end(endMs[kind]));
    EXPECT_LT(endMs[kind][9], 10000u) << urls[kind];
    std::printf("[ figure ] %s: ended %lu ms after WM_CLOSE (median), %lu ms (slowest)\n",
                urls[kind].c_str(), endMs[kind][5], endMs[kind][9]);
  }
  EXPECT_EQ(FilesBelow(DownloadCache()), cacheBefore);
  for (const auto& [path, size] : FilesBelow(appData.Path().string()))
    EXPECT_TRUE(path.ends_with(".ini") || path.ends_with("\\QVVersions.txt")) << path;
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
