// CPropertySheet and CPropertyPage over the common-controls property sheet.
// A page is a dialog: its members reach its controls by data exchange when
// it is first shown (OnInitDialog) and leave them whenever the user leaves
// the page (OnKillActive) and when OK or Apply is pressed (before OnOK).
// A page that was never shown gets no OnOK.
// DoModal runs the sheet in a loop of our own, like CDialog::DoModal.
// Choices of ours: DoModal answers IDOK when the sheet was closed with OK,
// IDCANCEL otherwise (also after Apply followed by Cancel).
#pragma once

#include <vector>

#include "framework/Dialog.h"

#include <commctrl.h>
#include <prsht.h>

class CPropertySheet;

class CPropertyPage : public CDialog {
  DECLARE_DYNAMIC(CPropertyPage)
 public:
  explicit CPropertyPage(UINT templateId, UINT captionId = 0);
  // A page from a template in memory (kept by the caller).
  explicit CPropertyPage(const DLGTEMPLATE* dialogTemplate, const char* caption = nullptr);

  virtual BOOL OnSetActive();
  virtual BOOL OnKillActive();
  virtual BOOL OnApply();
  virtual void OnReset();
  virtual BOOL OnQueryCancel() { return TRUE; }
  void OnOK() override {}
  void OnCancel() override {}
  // Enables the sheet's Apply button (TRUE) or disables it.
  void SetModified(BOOL changed = TRUE);
  void CancelToClose();
  CPropertySheet* GetSheet() const { return sheet_; }

  PROPSHEETPAGEA m_psp{};

 protected:
  BOOL OnNotify(WPARAM wParam, LPARAM lParam, LRESULT* result) override;

 private:
  static INT_PTR CALLBACK PageProc(HWND hWnd, UINT message, WPARAM wParam, LPARAM lParam);
  CString caption_;
  CPropertySheet* sheet_ = nullptr;
  BOOL firstSetActive_ = TRUE;
  friend class CPropertySheet;
};

class CPropertySheet : public CWnd {
  DECLARE_DYNAMIC(CPropertySheet)
 public:
  explicit CPropertySheet(const char* caption = nullptr, CWnd* parent = nullptr,
                          UINT selectPage = 0);
  explicit CPropertySheet(UINT captionId, CWnd* parent = nullptr, UINT selectPage = 0);
  ~CPropertySheet() override;

  void AddPage(CPropertyPage* page);
  int GetPageCount() const { return static_cast<int>(pages_.size()); }
  CPropertyPage* GetPage(int index) const;
  int GetPageIndex(const CPropertyPage* page) const;
  BOOL SetActivePage(int index);
  BOOL SetActivePage(CPropertyPage* page) { return SetActivePage(GetPageIndex(page)); }
  int GetActiveIndex() const;
  CPropertyPage* GetActivePage() const { return GetPage(GetActiveIndex()); }
  void SetTitle(const char* title) { caption_ = title; }
  void PressButton(int button) { ::SendMessageA(m_hWnd, PSM_PRESSBUTTON, button, 0); }

  virtual INT_PTR DoModal();
  BOOL ContinueModal() override;
  BOOL PreTranslateMessage(MSG* msg) override;

  PROPSHEETHEADERA m_psh{};

 private:
  CString caption_;
  CWnd* parent_;
  UINT startPage_;
  std::vector<CPropertyPage*> pages_;
  BOOL okPressed_ = FALSE;
  friend class CPropertyPage;
};
