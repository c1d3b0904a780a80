// The message box hook. Off Windows there is no box: the text goes to stderr
// and the first button of the box counts as pressed.
#include "framework/MessageBox.h"

#include <cstdio>

namespace {

int SystemMessageBox(HWND owner, const char* text, const char* caption, UINT type) {
#ifdef _WIN32
  return MessageBoxA(owner, text, caption, type);
#else
  (void)owner;
  std::fprintf(stderr, "[%s] %s\n", caption ? caption : "", text ? text : "");
  switch (type & 0x0F) {
    case MB_YESNO:
    case MB_YESNOCANCEL: return IDYES;
    default: return IDOK;
  }
#endif
}

MessageBoxHook g_hook = nullptr;

}  // namespace

int ShowMessageBox(HWND owner, const char* text, const char* caption, UINT type) {
  return (g_hook ? g_hook : SystemMessageBox)(owner, text, caption, type);
}

MessageBoxHook SetMessageBoxHook(MessageBoxHook hook) {
  MessageBoxHook previous = g_hook;
  g_hook = hook;
  return previous;
}
