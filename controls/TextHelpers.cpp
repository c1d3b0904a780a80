#include "controls/TextHelpers.h"

#include "framework/MessageBox.h"

#ifdef _WIN32
#include <shellapi.h>
#endif

CString LoadResourceString(UINT id) { return AfxLoadString(id); }

int ResourceMessageBox(UINT textId, UINT captionId, UINT type) {
  const CString text = LoadResourceString(textId);
  const CString caption = LoadResourceString(captionId);
  return ShowMessageBox(nullptr, text, caption, type);
}

bool IsWebAddress(const char* text) {
  if (text == nullptr) return false;
  const CString address(text);
  int schemeLength = 0;
  if (address.Left(7).CompareNoCase("http://") == 0) schemeLength = 7;
  if (address.Left(8).CompareNoCase("https://") == 0) schemeLength = 8;
  if (schemeLength == 0 || address.GetLength() == schemeLength) return false;
  for (int i = 0; i < address.GetLength(); ++i) {
    if (static_cast<unsigned char>(address[i]) < 0x20 || address[i] == 0x7F) return false;
  }
  return true;
}

bool IsOpenableLink(const char* link) {
  if (!link) return false;
  const CString text(link);
  if (text.Left(7).CompareNoCase("mailto:") == 0) {
    if (text.GetLength() == 7) return false;
    for (int i = 7; i < text.GetLength(); ++i)
      if (static_cast<unsigned char>(text[i]) < 0x20) return false;
    return true;
  }
  return IsWebAddress(link);
}

bool ShellOpenMaximized(const char* address) {
  // The shell would run a program or open any document it is given.
  if (!IsWebAddress(address)) return false;
#ifdef _WIN32
  SHELLEXECUTEINFOA info = {};
  info.cbSize = sizeof info;
  info.fMask = SEE_MASK_FLAG_NO_UI;
  info.lpVerb = "open";
  info.lpFile = address;
  info.nShow = SW_SHOWMAXIMIZED;
  ShellExecuteExA(&info);
  return true;
#else
  return false;
#endif
}

#ifdef _WIN32
CString GetEditSelectedText(HWND edit) {
  DWORD start = 0;
  DWORD end = 0;
  SendMessageA(edit, EM_GETSEL, reinterpret_cast<WPARAM>(&start), reinterpret_cast<LPARAM>(&end));
  const int length = GetWindowTextLengthA(edit);
  CString text;
  if (length > 0) {
    const int copied = GetWindowTextA(edit, text.GetBuffer(length), length + 1);
    text.ReleaseBuffer(copied > 0 ? copied : 0);
  }
  // The reported range may be stale or reversed; cut only inside the text.
  if (end <= start || static_cast<int>(start) >= text.GetLength()) return CString();
  return text.Mid(static_cast<int>(start), static_cast<int>(end - start));
}
#endif
