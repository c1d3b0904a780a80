// Test helpers for the window layer (see WinTestSupport.h).
#include "tests/window/WinTestSupport.h"

#include <gtest/gtest.h>

#include <cstring>
#include <deque>
#include <map>

#include "framework/App.h"
#include "framework/MessageBox.h"

namespace {

std::vector<ShownBox>& Shown() {
  static std::vector<ShownBox> boxes;
  return boxes;
}

std::deque<int>& Answers() {
  static std::deque<int> answers;
  return answers;
}

int RecordingHook(HWND, const char* text, const char* caption, UINT type) {
  Shown().push_back({text ? text : "", caption ? caption : "", type});
  if (!Answers().empty()) {
    const int answer = Answers().front();
    Answers().pop_front();
    return answer;
  }
  switch (type & MB_TYPEMASK) {
    case MB_YESNOCANCEL: return IDCANCEL;
    case MB_YESNO: return IDNO;
    default: return IDOK;
  }
}

class BoxEnvironment : public ::testing::Environment {
 public:
  void SetUp() override { SetMessageBoxHook(RecordingHook); }
};

const auto* const kEnvironment = ::testing::AddGlobalTestEnvironment(new BoxEnvironment);

std::map<UINT_PTR, std::function<void()>>& Pending() {
  static std::map<UINT_PTR, std::function<void()>> pending;
  return pending;
}

void CALLBACK FireLater(HWND, UINT, UINT_PTR id, DWORD) {
  ::KillTimer(nullptr, id);
  auto it = Pending().find(id);
  if (it == Pending().end()) return;
  auto action = std::move(it->second);
  Pending().erase(it);
  action();
}

}  // namespace

std::vector<ShownBox> TakeShownBoxes() {
  std::vector<ShownBox> boxes;
  boxes.swap(Shown());
  Answers().clear();
  return boxes;
}

void QueueBoxAnswers(std::vector<int> answers) {
  for (int answer : answers) Answers().push_back(answer);
}

bool PumpUntil(const std::function<bool()>& done, DWORD timeoutMs) {
  const DWORD start = ::GetTickCount();
  MSG msg;
  while (!done()) {
    if (::GetTickCount() - start > timeoutMs) return false;
    if (::PeekMessageA(&msg, nullptr, 0, 0, PM_NOREMOVE)) {
      if (msg.message == WM_QUIT) {
        ::PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE);
        continue;
      }
      AfxPumpMessage();
    } else {
      ::MsgWaitForMultipleObjects(0, nullptr, FALSE, 10, QS_ALLINPUT);
    }
  }
  return true;
}

void DrainMessages() {
  MSG msg;
  for (int i = 0; i < 1000 && ::PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE); ++i) {
    if (msg.message == WM_QUIT) continue;
    ::TranslateMessage(&msg);
    ::DispatchMessageA(&msg);
  }
}

UINT_PTR RunLater(DWORD delayMs, std::function<void()> action) {
  const UINT_PTR id = ::SetTimer(nullptr, 0, delayMs, FireLater);
  Pending()[id] = std::move(action);
  return id;
}

void CancelRunLater(UINT_PTR id) {
  ::KillTimer(nullptr, id);
  Pending().erase(id);
}

EmptyDialogTemplate::EmptyDialogTemplate(DWORD style) {
  DLGTEMPLATE header{};
  header.style = style;
  header.cx = 120;
  header.cy = 60;
  data_.resize(sizeof header / sizeof(WORD));
  std::memcpy(data_.data(), &header, sizeof header);
  data_.push_back(0);  // no menu
  data_.push_back(0);  // the standard dialog class
  data_.push_back(0);  // no title
}

void SendMouse(POINT screen, DWORD buttonFlag) {
  INPUT input{};
  input.type = INPUT_MOUSE;
  input.mi.dx = ::MulDiv(screen.x, 65536, ::GetSystemMetrics(SM_CXSCREEN));
  input.mi.dy = ::MulDiv(screen.y, 65536, ::GetSystemMetrics(SM_CYSCREEN));
  input.mi.dwFlags = MOUSEEVENTF_MOVE | MOUSEEVENTF_ABSOLUTE | buttonFlag;
  ::SendInput(1, &input, sizeof input);
}
