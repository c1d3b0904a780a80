// Every message box of the program goes through ShowMessageBox, so that tests
// can replace the one hook and no box ever waits for a person in a test run.
#pragma once

#include "framework/Platform.h"

// Shows a message box and returns the button pressed (IDOK, IDYES, ...).
using MessageBoxHook = int (*)(HWND owner, const char* text, const char* caption, UINT type);

int ShowMessageBox(HWND owner, const char* text, const char* caption, UINT type);

// Replaces the hook (null restores the system's message box) and returns the
// previous one.
MessageBoxHook SetMessageBoxHook(MessageBoxHook hook);
