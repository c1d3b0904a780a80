// CFileDialog: the system's Open and Save As dialogs.
// Filters are written "Text (*.txt)|*.txt|All Files (*.*)|*.*||" as usual.
// Choices of ours: one hook (SetFileDialogHook) can answer every file
// dialog instead of the system, so tests never wait for a person; the file
// name buffer holds 4 * MAX_PATH characters.
#pragma once

#include <string>

#include "framework/Wnd.h"

class CFileDialog {
 public:
  CFileDialog(BOOL openFileDialog, const char* defaultExt = nullptr,
              const char* fileName = nullptr,
              DWORD flags = OFN_HIDEREADONLY | OFN_OVERWRITEPROMPT, const char* filter = nullptr,
              CWnd* parent = nullptr);
  virtual ~CFileDialog() = default;
  CFileDialog(const CFileDialog&) = delete;
  CFileDialog& operator=(const CFileDialog&) = delete;

  // IDOK when a file was chosen, IDCANCEL otherwise.
  virtual INT_PTR DoModal();

  CString GetPathName() const { return fileName_; }
  CString GetFileName() const;
  CString GetFileExt() const;
  CString GetFileTitle() const;
  // Sets the chosen path (for a hook answering the dialog).
  void SetPathName(const char* path);
  // The filter as given, with "|" separators.
  const CString& GetFilter() const { return filterText_; }

  BOOL m_bOpenFileDialog;
  OPENFILENAMEA m_ofn{};

  using Hook = INT_PTR (*)(CFileDialog& dialog);
  // Replaces the system dialog (null restores it); returns the previous hook.
  static Hook SetFileDialogHook(Hook hook);

 private:
  CString filterText_;
  std::string filter_;  // with NUL separators
  CString defaultExt_;
  char fileName_[MAX_PATH * 4] = {};
};
