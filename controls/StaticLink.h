// CStaticLink: a static text control that draws itself underlined in a link
// colour (blue, purple once visited) and opens its link with the shell when
// clicked. The parent's WM_CTLCOLORSTATIC and the click are reflected to it.
// Choices of ours: only "http://", "https://" and "mailto:" links are
// opened (a static's text must never start a program); a control whose
// WM_GETFONT answers none is underlined from the default GUI font; the
// static's type is read with SS_TYPEMASK, so SS_NOPREFIX and the other flag
// bits do not hide a text static.
#pragma once

#include "framework/Controls.h"
#include "framework/Gdi.h"

class CStaticLink : public CStatic {
 public:
  HBRUSH CtlColor(HDC dc, UINT ctlColor);
  void OnClicked();

  // Replaces the shell call in tests (null: ShellExecuteA); returns what
  // ShellExecuteA would.
  using OpenFunction = HINSTANCE (*)(const char* link);
  static OpenFunction TestHookOpen;

  COLORREF UnvisitedColor = RGB(0, 0, 255);
  COLORREF VisitedColor = RGB(128, 0, 128);
  BOOL Visited = FALSE;
  CString Link;   // when empty, the control's text
  CFont LinkFont;  // an underlined copy of the control's font, made on first use

 private:
  bool MakeLinkFont();

  DECLARE_MESSAGE_MAP()
};
