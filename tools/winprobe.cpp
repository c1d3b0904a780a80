// winprobe: tells where a running program's windows are on the screen, and
// starts a program with its own application-data folder. Used by
// tools/screen.py, which drives the program with real X input and reads the
// X server's pixels; Wine makes no X window for child windows, so their
// places have to come from the Win32 side.
//
//   winprobe rect TITLE [SPEC]      screen rectangle "x y w h" of the visible
//                                   top-level window titled TITLE (or TITLE,
//                                   " - " and a document's name), or of its
//                                   first visible descendant matching SPEC
//   winprobe owned TITLE [SPEC]     the same for the first visible window
//                                   owned by TITLE's window (a popup) that
//                                   matches SPEC itself or holds a match
//   winprobe button TITLE SPEC N    centre "x y" of button N of the toolbar
//                                   found by SPEC
//   winprobe ownedbutton TITLE SPEC N   the same in a popup owned by TITLE's
//                                   window (a palette)
//   winprobe text TITLE SPEC        the window's text (a status bar's: its
//                                   first pane), CR LF as a line break and
//                                   other bytes outside printable ASCII as
//                                   \xNN (WM_GETTEXT, any length)
//   winprobe run APPDATA EXE [ARG]  starts EXE with APPDATA as its
//                                   application-data folder; does not wait
//
// SPEC: "#ID" (control id), "class:NAME" or "text:TEXT". Exit code 1 when
// nothing matches, 2 for a usage error. "--desktop NAME" first looks on that
// desktop (a Wine virtual desktop is one) instead of the default one.
#include <windows.h>
#include <commctrl.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>

namespace {

struct Spec {
  int id = -1;
  std::string className;
  std::string text;
};

bool ParseSpec(const char* text, Spec& spec) {
  if (text[0] == '#') {
    spec.id = std::atoi(text + 1);
    return true;
  }
  if (std::strncmp(text, "class:", 6) == 0) {
    spec.className = text + 6;
    return true;
  }
  if (std::strncmp(text, "text:", 5) == 0) {
    spec.text = text + 5;
    return true;
  }
  return false;
}

bool Matches(HWND window, const Spec& spec) {
  if (spec.id >= 0) return ::GetDlgCtrlID(window) == spec.id;
  char buffer[256] = {};
  if (!spec.className.empty()) {
    ::GetClassNameA(window, buffer, sizeof buffer);
    return spec.className == buffer;
  }
  ::GetWindowTextA(window, buffer, sizeof buffer);
  return spec.text == buffer;
}

struct Search {
  const Spec* spec;
  HWND found;
};

BOOL CALLBACK FindChild(HWND child, LPARAM param) {
  auto* search = reinterpret_cast<Search*>(param);
  if (!::IsWindowVisible(child) || !Matches(child, *search->spec)) return TRUE;
  search->found = child;
  return FALSE;
}

// `top` itself when it matches, else its first visible matching descendant.
HWND FindIn(HWND top, const Spec* spec) {
  if (!spec || Matches(top, *spec)) return top;
  Search search{spec, nullptr};
  ::EnumChildWindows(top, FindChild, reinterpret_cast<LPARAM>(&search));
  return search.found;
}

struct OwnedSearch {
  HWND owner;
  const Spec* spec;
  HWND found;
};

BOOL CALLBACK FindOwned(HWND window, LPARAM param) {
  auto* search = reinterpret_cast<OwnedSearch*>(param);
  if (!::IsWindowVisible(window) || ::GetWindow(window, GW_OWNER) != search->owner) return TRUE;
  HWND match = FindIn(window, search->spec);
  if (!match) return TRUE;
  search->found = match;
  return FALSE;
}

struct TitleSearch {
  std::string prefix;  // "TITLE - ": a frame that names its document
  HWND found;
};

BOOL CALLBACK FindTitled(HWND window, LPARAM param) {
  auto* search = reinterpret_cast<TitleSearch*>(param);
  char text[256] = {};
  ::GetWindowTextA(window, text, sizeof text);
  if (!::IsWindowVisible(window) || std::strncmp(text, search->prefix.c_str(), search->prefix.size()))
    return TRUE;
  search->found = window;
  return FALSE;
}

// The visible window titled TITLE, or "TITLE - " and a document's name.
HWND MainWindow(const char* title) {
  HWND window = ::FindWindowA(nullptr, title);
  if (window && ::IsWindowVisible(window)) return window;
  TitleSearch search{std::string(title) + " - ", nullptr};
  ::EnumWindows(FindTitled, reinterpret_cast<LPARAM>(&search));
  return search.found;
}

int PrintRect(HWND window) {
  if (!window) return 1;
  RECT rect{};
  ::GetWindowRect(window, &rect);
  std::printf("%ld %ld %ld %ld\n", static_cast<long>(rect.left), static_cast<long>(rect.top),
              static_cast<long>(rect.right - rect.left), static_cast<long>(rect.bottom - rect.top));
  return 0;
}

// Buttons of a toolbar all have the size it answers; a vertical bar stacks
// them from its top, a horizontal one lines them up from its left.
int PrintButtonCentre(HWND toolbar, int index) {
  const LRESULT count = ::SendMessageA(toolbar, TB_BUTTONCOUNT, 0, 0);
  if (!toolbar || index < 0 || index >= count) return 1;
  const DWORD size = static_cast<DWORD>(::SendMessageA(toolbar, TB_GETBUTTONSIZE, 0, 0));
  const int width = LOWORD(size);
  const int height = HIWORD(size);
  RECT client{};
  ::GetClientRect(toolbar, &client);
  const bool vertical = client.bottom > client.right;
  POINT centre{vertical ? width / 2 : index * width + width / 2,
               vertical ? index * height + height / 2 : height / 2};
  ::ClientToScreen(toolbar, &centre);
  std::printf("%ld %ld\n", static_cast<long>(centre.x), static_cast<long>(centre.y));
  return 0;
}

// WM_GETTEXT, unlike GetWindowText, asks a window of another process.
int PrintText(HWND window) {
  if (!window) return 1;
  const LRESULT length = ::SendMessageA(window, WM_GETTEXTLENGTH, 0, 0);
  std::string text(static_cast<size_t>(length) + 1, '\0');
  text.resize(static_cast<size_t>(
      ::SendMessageA(window, WM_GETTEXT, text.size(), reinterpret_cast<LPARAM>(text.data()))));
  std::string shown;
  for (size_t i = 0; i < text.size(); ++i) {
    const unsigned char c = static_cast<unsigned char>(text[i]);
    if (c == '\r' && i + 1 < text.size() && text[i + 1] == '\n') {
      shown += '\n';
      ++i;
    } else if (c >= 0x20 && c < 0x7F && c != '\\') {
      shown += static_cast<char>(c);
    } else {
      char escaped[8];
      std::snprintf(escaped, sizeof escaped, "\\x%02X", c);
      shown += escaped;
    }
  }
  std::fwrite(shown.data(), 1, shown.size(), stdout);
  return 0;
}

int Run(int argc, char** argv) {
  if (!::SetEnvironmentVariableA("APPDATA", argv[2])) return 1;
  std::string command = std::string("\"") + argv[3] + "\"";
  for (int i = 4; i < argc; ++i) command += std::string(" \"") + argv[i] + "\"";
  STARTUPINFOA startup{};
  startup.cb = sizeof startup;
  PROCESS_INFORMATION process{};
  if (!::CreateProcessA(nullptr, command.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr,
                        &startup, &process))
    return 1;
  std::printf("%lu\n", static_cast<unsigned long>(process.dwProcessId));
  ::CloseHandle(process.hThread);
  ::CloseHandle(process.hProcess);
  return 0;
}

int Usage() {
  std::fprintf(stderr,
               "usage: winprobe rect|owned TITLE [SPEC] | button|ownedbutton TITLE SPEC N | "
               "text TITLE SPEC | run APPDATA EXE [ARG...]\n");
  return 2;
}

}  // namespace

int main(int argc, char** argv) {
  if (argc >= 3 && std::strcmp(argv[1], "--desktop") == 0) {
    HDESK desktop = ::OpenDesktopA(argv[2], 0, FALSE, GENERIC_ALL);
    if (!desktop || !::SetThreadDesktop(desktop)) return 1;
    argc -= 2;
    argv += 2;
  }
  if (argc < 3) return Usage();
  const std::string verb = argv[1];
  if (verb == "run") return argc >= 4 ? Run(argc, argv) : Usage();
  Spec spec;
  if (argc >= 4 && !ParseSpec(argv[3], spec)) return Usage();
  const Spec* wanted = argc >= 4 ? &spec : nullptr;
  HWND main = MainWindow(argv[2]);
  if (!main) return 1;
  if (verb == "rect") return PrintRect(FindIn(main, wanted));
  OwnedSearch owned{main, wanted, nullptr};
  if (verb == "owned" || verb == "ownedbutton")
    ::EnumWindows(FindOwned, reinterpret_cast<LPARAM>(&owned));
  if (verb == "owned") return PrintRect(owned.found);
  if (verb == "button" && argc == 5 && wanted)
    return PrintButtonCentre(FindIn(main, wanted), std::atoi(argv[4]));
  if (verb == "ownedbutton" && argc == 5 && wanted)
    return PrintButtonCentre(owned.found, std::atoi(argv[4]));
  if (verb == "text" && wanted) return PrintText(FindIn(main, wanted));
  return Usage();
}
