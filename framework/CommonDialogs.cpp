// The common dialogs through comdlg32 loaded on first use.
#include "framework/CommonDialogs.h"

#include <cderr.h>

#include "framework/LibraryExports.h"

namespace {

struct CommonDialogLibrary {
  decltype(&::GetOpenFileNameA) getOpenFileName = nullptr;
  decltype(&::GetSaveFileNameA) getSaveFileName = nullptr;
  decltype(&::PrintDlgA) printDlg = nullptr;
  decltype(&::ChooseColorA) chooseColor = nullptr;
  decltype(&::CommDlgExtendedError) extendedError = nullptr;
};

// Loaded once; it stays loaded, as it would linked.
const CommonDialogLibrary& Library() {
  static const CommonDialogLibrary library = [] {
    CommonDialogLibrary functions;
    const HMODULE module = ::LoadLibraryA("comdlg32.dll");
    if (!module) return functions;
    ResolveExport(module, "GetOpenFileNameA", functions.getOpenFileName);
    ResolveExport(module, "GetSaveFileNameA", functions.getSaveFileName);
    ResolveExport(module, "PrintDlgA", functions.printDlg);
    ResolveExport(module, "ChooseColorA", functions.chooseColor);
    ResolveExport(module, "CommDlgExtendedError", functions.extendedError);
    return functions;
  }();
  return library;
}

}  // namespace

BOOL AfxGetOpenFileName(OPENFILENAMEA* ofn) {
  const auto function = Library().getOpenFileName;
  return function ? function(ofn) : FALSE;
}

BOOL AfxGetSaveFileName(OPENFILENAMEA* ofn) {
  const auto function = Library().getSaveFileName;
  return function ? function(ofn) : FALSE;
}

BOOL AfxPrintDlg(PRINTDLGA* pd) {
  const auto function = Library().printDlg;
  return function ? function(pd) : FALSE;
}

BOOL AfxChooseColor(CHOOSECOLORA* cc) {
  const auto function = Library().chooseColor;
  return function ? function(cc) : FALSE;
}

DWORD AfxCommDlgExtendedError() {
  const auto function = Library().extendedError;
  return function ? function() : CDERR_INITIALIZATION;
}
