// CFileDialog over GetOpenFileName and GetSaveFileName.
#include "framework/FileDialog.h"

#include "framework/App.h"
#include "framework/CommonDialogs.h"

namespace {
CFileDialog::Hook g_fileDialogHook = nullptr;
}

CFileDialog::Hook CFileDialog::SetFileDialogHook(Hook hook) {
  Hook previous = g_fileDialogHook;
  g_fileDialogHook = hook;
  return previous;
}

CFileDialog::CFileDialog(BOOL openFileDialog, const char* defaultExt, const char* fileName,
                         DWORD flags, const char* filter, CWnd* parent)
    : m_bOpenFileDialog(openFileDialog), filterText_(filter), defaultExt_(defaultExt) {
  if (fileName) lstrcpynA(fileName_, fileName, sizeof fileName_);
  filter_ = filterText_.str();
  for (char& c : filter_)
    if (c == '|') c = '\0';
  filter_.push_back('\0');  // the list ends with two NULs
  m_ofn.lStructSize = sizeof m_ofn;
  m_ofn.hwndOwner = parent ? parent->GetSafeHwnd() : nullptr;
  m_ofn.hInstance = AfxGetInstanceHandle();
  m_ofn.lpstrFilter = filterText_.IsEmpty() ? nullptr : filter_.c_str();
  m_ofn.nFilterIndex = 1;
  m_ofn.lpstrFile = fileName_;
  m_ofn.nMaxFile = sizeof fileName_;
  m_ofn.lpstrDefExt = defaultExt_.IsEmpty() ? nullptr : defaultExt_.GetString();
  m_ofn.Flags = flags | OFN_EXPLORER | OFN_ENABLESIZING;
}

INT_PTR CFileDialog::DoModal() {
  if (g_fileDialogHook) return g_fileDialogHook(*this);
  if (!m_ofn.hwndOwner) {
    CWnd* main = AfxGetMainWnd();
    if (main && main->GetSafeHwnd() && main->IsWindowVisible())
      m_ofn.hwndOwner = ::GetLastActivePopup(main->GetSafeHwnd());
  }
  const BOOL chosen = m_bOpenFileDialog ? AfxGetOpenFileName(&m_ofn) : AfxGetSaveFileName(&m_ofn);
  return chosen ? IDOK : IDCANCEL;
}

void CFileDialog::SetPathName(const char* path) { lstrcpynA(fileName_, path, sizeof fileName_); }

CString CFileDialog::GetFileName() const {
  const CString path(fileName_);
  return path.Mid(path.ReverseFind('\\') + 1);
}

CString CFileDialog::GetFileExt() const {
  const CString name = GetFileName();
  const int dot = name.ReverseFind('.');
  return dot >= 0 ? name.Mid(dot + 1) : CString();
}

CString CFileDialog::GetFileTitle() const {
  const CString name = GetFileName();
  const int dot = name.ReverseFind('.');
  return dot >= 0 ? name.Left(dot) : name;
}
