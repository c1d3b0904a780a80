// Real key and mouse input through SendInput.
#include "tests/app/RealInput.h"

void SendKey(WORD key, bool up) {
  INPUT input{};
  input.type = INPUT_KEYBOARD;
  input.ki.wVk = key;
  input.ki.dwFlags = up ? KEYEVENTF_KEYUP : 0;
  ::SendInput(1, &input, sizeof input);
}

void Stroke(WORD key, bool shift, bool control) {
  if (control) SendKey(VK_CONTROL, false);
  if (shift) SendKey(VK_SHIFT, false);
  SendKey(key, false);
  SendKey(key, true);
  if (shift) SendKey(VK_SHIFT, true);
  if (control) SendKey(VK_CONTROL, true);
}

void TypeKeys(const char* text) {
  for (const char* c = text; *c; ++c) {
    const SHORT scan = ::VkKeyScanA(*c);
    Stroke(LOBYTE(scan), (HIBYTE(scan) & 1) != 0, (HIBYTE(scan) & 2) != 0);
  }
}

CPoint ScreenCentre(const CToolBar& bar, int index) {
  CRect rect;
  bar.GetItemRect(index, &rect);
  CPoint centre((rect.left + rect.right) / 2, (rect.top + rect.bottom) / 2);
  bar.ClientToScreen(&centre);
  return centre;
}
