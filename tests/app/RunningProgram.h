// ovelin.exe started as a program of its own from a test, with its settings
// in a folder of the test, and ways to find and close its windows.
#pragma once

#include <windows.h>

#include <string>

#include "tests/window/WinTestSupport.h"  // SendMouse

struct WindowSearch {
  DWORD processId;
  HWND main = nullptr;
  bool messageBox = false;
  bool hiddenToo = false;  // windows not shown count too
};

// The main window of a process once it shows a document window (null
// before), and whether a message box is up.
WindowSearch FindDocumentWindow(DWORD processId, bool hiddenToo = false);

// The program started with APPDATA pointing at `appData`; a program that
// has not ended when the object goes is ended, so no test leaves it behind.
// Unless `firstRun` is set, settings without the welcome's mark get that of
// a returning user, so the welcome dialog stays away.
class RunningProgram {
 public:
  // `programPath` empty: the ovelin.exe beside the test program.
  // `hidden`: started with its windows hidden (no withdrawn-window waits of
  // Wine without a window manager when it ends).
  RunningProgram(const std::string& appData, const std::string& arguments,
                 bool firstRun = false, const std::string& programPath = "", bool hidden = false);
  ~RunningProgram();
  RunningProgram(const RunningProgram&) = delete;
  RunningProgram& operator=(const RunningProgram&) = delete;

  bool Started() const { return started_ != FALSE; }
  // The main window once it shows a document window; null after the timeout.
  WindowSearch WaitForDocumentWindow(DWORD timeoutMs = 20000);
  // Posts WM_CLOSE and waits for the exit code; -1 when it did not end.
  long CloseAndWait(HWND main, DWORD timeoutMs = 20000);
  // A visible dialog (class "#32770") of the program; null after the timeout.
  HWND WaitForDialog(DWORD timeoutMs = 10000);

 private:
  PROCESS_INFORMATION process_{};
  BOOL started_ = FALSE;
  bool hidden_ = false;
};

std::string WindowText(HWND hWnd);
// The ovelin.exe beside the test program.
std::string OvelinExePath();
// The document windows of a main window, in z-order.
std::string DocumentWindowTitles(HWND main);
// For a screenshot by hand: waits OVELIN_SHOT_HOLD_MS milliseconds when set.
void HoldForScreenshot();

// The rectangle of button `index` of a toolbar in another process, in
// screen coordinates (TB_GETITEMRECT through memory of that process).
bool RemoteToolbarButtonRect(HWND toolbar, int index, RECT& rect);
// The text of pane `index` of a status bar in another process
// (SB_GETTEXT through memory of that process).
std::string RemoteStatusText(HWND statusBar, int index = 0);
