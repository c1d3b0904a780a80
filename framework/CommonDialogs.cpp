// The common dialogs through comdlg32 loaded on first use.
#include "framework/CommonDialogs.h"

#include <cderr.h>

namespace {

struct CommonDialogLibrary {
  decltype(&::GetOpenFileNameA) getOpenFileName = nullptr;
  decltype(&::GetSaveFileNameA) getSaveFileName = nullptr;
  decltype(&::PrintDlgA) printDlg = nullptr;
  decltype(&::ChooseColorA) chooseColor = nullptr;
  decltype(&::CommDlgExtendedError) extendedError = nullptr;
};

template <typename Function>
void Resolve(HMODULE module, const char* name, Function& function) {
  function = reinterpret_cast<Function>(reinterpret_cast<void*>(::GetProcAddress(module, name)));
}

// Loaded once; it stays loaded, as it would linked.
const CommonDialogLibrary& Library() {
  static const CommonDialogLibrary library = [] {
    CommonDialogLibrary functions;
    const HMODULE module = ::LoadLibraryA("comdlg32.dll");
    if (!module) return functions;
    Resolve(module, "GetOpenFileNameA", functions.getOpenFileName);
    Resolve(module, "GetSaveFileNameA", functions.getSaveFileName);
    Resolve(module, "PrintDlgA", functions.printDlg);
    Resolve(module, "ChooseColorA", functions.chooseColor);
    Resolve(module, "CommDlgExtendedError", functions.extendedError);
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
