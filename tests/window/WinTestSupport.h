// Helpers for the window tests: recorded message boxes with scripted
// answers, a bounded message pump, one-shot thread timers, and a watchdog
// that ends a modal loop which would otherwise wait forever.
#pragma once

#include <windows.h>

#include <functional>
#include <string>
#include <vector>

struct ShownBox {
  std::string text;
  std::string caption;
  UINT type;
};

// The boxes shown since the last call; forgets them.
std::vector<ShownBox> TakeShownBoxes();
// Answers for the next boxes, in order; with none queued a box answers
// IDCANCEL (yes/no/cancel), IDNO (yes/no) or IDOK.
void QueueBoxAnswers(std::vector<int> answers);

// Pumps messages (through AfxPumpMessage) until `done` or the timeout.
bool PumpUntil(const std::function<bool()>& done, DWORD timeoutMs = 5000);
// Pumps whatever is queued now, and removes a WM_QUIT left behind.
void DrainMessages();

// Runs `action` once on this thread after `delayMs`, from the message loop
// that is running then (a modal loop included). Returns the timer id.
UINT_PTR RunLater(DWORD delayMs, std::function<void()> action);
void CancelRunLater(UINT_PTR id);

// Moves the pointer to a screen point, pressing or releasing the left
// button with MOUSEEVENTF_LEFTDOWN or MOUSEEVENTF_LEFTUP (real input: it
// goes the way a person's mouse does).
void SendMouse(POINT screen, DWORD buttonFlag = 0);

// A DLGTEMPLATE in memory with no controls.
class EmptyDialogTemplate {
 public:
  EmptyDialogTemplate(DWORD style = WS_POPUP | WS_CAPTION | WS_SYSMENU | DS_MODALFRAME);
  const DLGTEMPLATE* get() const { return reinterpret_cast<const DLGTEMPLATE*>(data_.data()); }

 private:
  std::vector<WORD> data_;
};
