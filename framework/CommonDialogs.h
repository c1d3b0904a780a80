// The common dialogs (open, save, print, colour), from comdlg32 loaded when
// one is first asked for. Linked in, comdlg32 and the printing libraries it
// imports (winspool, compstui) were loaded at every start, which under Wine
// costs more than most of the start's own work. Each function behaves as the
// system's of the same name; when the library cannot be loaded the dialog
// reports a failure (AfxCommDlgExtendedError gives CDERR_INITIALIZATION).
#pragma once

#include "framework/Platform.h"

#include <commdlg.h>

BOOL AfxGetOpenFileName(OPENFILENAMEA* ofn);
BOOL AfxGetSaveFileName(OPENFILENAMEA* ofn);
BOOL AfxPrintDlg(PRINTDLGA* pd);
BOOL AfxChooseColor(CHOOSECOLORA* cc);
DWORD AfxCommDlgExtendedError();
