// Resource strings and message boxes, opening web pages in the shell, and the
// selected text of an edit window.
// Choice of ours: ShellOpenMaximized opens only http:// and https://
// addresses, so text from files or the network can never start a program.
#pragma once

#include "framework/String.h"

// The string in the current resource module; empty when the id is absent.
CString LoadResourceString(UINT id);

// A box without owner window, texts from the string table; returns the button.
int ResourceMessageBox(UINT textId, UINT captionId, UINT type);

// True for "http://" or "https://" (any case) followed by an address with no
// control characters.
bool IsWebAddress(const char* text);

// True for the links a link control opens: a web address, or "mailto:"
// (any case) followed by an address with no control characters.
bool IsOpenableLink(const char* link);

// Opens a web address maximised in the user's browser. Anything but a web
// address is ignored; returns whether the shell was asked (always false off
// Windows). Shell failures show nothing.
bool ShellOpenMaximized(const char* address);

#ifdef _WIN32
// The edit window's text between the selection's start and end.
CString GetEditSelectedText(HWND edit);
#endif
