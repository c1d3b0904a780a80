// SimpleBrowser: a child window hosting the system's WebBrowser control. It
// navigates the control to addresses and reports the control's events to
// its parent as WM_NOTIFY messages carrying a BrowserNotifyRecord. A dialog
// usually puts one in place of a placeholder control
// (CreateInPlaceOfControl).
// Choices of ours: Create waits for the control's blank document at most
// kDocumentWaitMs (a system without an HTML engine never produces one);
// event arguments of the wrong types are ignored; the post data of a
// navigation is read only from a one-dimensional array of bytes.
#pragma once

#include <exdisp.h>

#include <vector>

#include "framework/ComPtr.h"
#include "framework/OleControl.h"
#include "framework/Wnd.h"

enum BrowserNotification : UINT {
  BROWSER_BEFORE_NAVIGATE = 0,
  BROWSER_DOCUMENT_COMPLETE = 1,
  BROWSER_DOWNLOAD_BEGIN = 2,
  BROWSER_PROGRESS_CHANGE = 3,
  BROWSER_DOWNLOAD_COMPLETE = 4,
  BROWSER_NAVIGATE_COMPLETE = 5,
  BROWSER_STATUS_TEXT_CHANGE = 6,
  BROWSER_TITLE_CHANGE = 7,
};

// The payload of the browser's WM_NOTIFY; valid during the message only.
struct BrowserNotifyRecord {
  NMHDR hdr;
  CString url;               // codes 0, 1, 5
  CString frame;             // code 0
  const BYTE* post_data;     // code 0
  int32_t post_data_size;
  CString headers;           // always empty
  int32_t progress;          // code 3
  int32_t progress_max;
  CString text;              // status text (6) or title (7)
};

class SimpleBrowser : public CWnd {
  DECLARE_DYNAMIC(SimpleBrowser)
 public:
  static constexpr UINT kControlId = 0xE900;
  static constexpr DWORD kDocumentWaitMs = 2000;

  SimpleBrowser() = default;
  ~SimpleBrowser() override;

  BOOL Create(DWORD style, const RECT& rect, CWnd* parent, UINT id);
  // Replaces the dialog's control `id` with a browser of the same place and id.
  BOOL CreateInPlaceOfControl(CWnd* dialog, UINT id);
  void Navigate(const char* address);

  // Test hook: how long Create waits for the blank document.
  static void SetDocumentWaitForTest(DWORD ms) { documentWaitMs_ = ms; }

  IWebBrowser2* GetBrowser() const { return browser_.get(); }
  CWnd& GetControlWindow() { return controlWindow_; }

  // Each sends its notification to the parent; a derived class may override.
  virtual bool OnBeforeNavigate2(const CString& url, const CString& frame, const BYTE* postData,
                                 int32_t postDataSize, const CString& headers);
  virtual void OnDocumentComplete(const CString& url);
  virtual void OnDownloadBegin();
  virtual void OnProgressChange(int32_t progress, int32_t progressMax);
  virtual void OnDownloadComplete();
  virtual void OnNavigateComplete2(const CString& url);
  virtual void OnStatusTextChange(const CString& text);
  virtual void OnTitleChange(const CString& text);

 protected:
  void PostNcDestroy() override;
  void OnSize(UINT type, int width, int height);

  // Event sink entries: the control's arguments, checked by type.
  bool BeforeNavigate2Event(DISPPARAMS* params);
  bool DocumentCompleteEvent(DISPPARAMS* params);
  bool DownloadBeginEvent(DISPPARAMS* params);
  bool ProgressChangeEvent(DISPPARAMS* params);
  bool DownloadCompleteEvent(DISPPARAMS* params);
  bool NavigateComplete2Event(DISPPARAMS* params);
  bool StatusTextChangeEvent(DISPPARAMS* params);
  bool TitleChangeEvent(DISPPARAMS* params);

  DECLARE_MESSAGE_MAP()
  DECLARE_EVENTSINK_MAP()

 private:
  void ReleaseBrowser();
  bool IsTopLevel(IDispatch* source) const;
  LRESULT Notify(BrowserNotifyRecord& record, UINT code);
  void WaitForBlankDocument();

  static inline DWORD documentWaitMs_ = kDocumentWaitMs;
  CWnd controlWindow_;
  ComPtr<IWebBrowser2> browser_;
  ComPtr<IDispatch> dispatch_;
};
