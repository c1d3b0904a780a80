// SimpleBrowser.
#include "controls/SimpleBrowser.h"

#include <mshtml.h>

#include <string>

IMPLEMENT_DYNAMIC(SimpleBrowser, CWnd)

BEGIN_MESSAGE_MAP(SimpleBrowser, CWnd)
  ON_WM_SIZE()
END_MESSAGE_MAP()

namespace {

// DWebBrowserEvents2 dispatch ids.
constexpr DISPID kStatusTextChange = 102;
constexpr DISPID kDownloadComplete = 104;
constexpr DISPID kDownloadBegin = 106;
constexpr DISPID kProgressChange = 108;
constexpr DISPID kTitleChange = 113;
constexpr DISPID kBeforeNavigate2 = 250;
constexpr DISPID kNavigateComplete2 = 252;
constexpr DISPID kDocumentComplete = 259;

CString Narrow(const BSTR text) {
  if (!text) return CString();
  const int length = static_cast<int>(::SysStringLen(text));
  const int bytes = ::WideCharToMultiByte(CP_THREAD_ACP, 0, text, length, nullptr, 0, nullptr, nullptr);
  if (bytes <= 0) return CString();
  std::string narrow(static_cast<size_t>(bytes), '\0');
  ::WideCharToMultiByte(CP_THREAD_ACP, 0, text, length, narrow.data(), bytes, nullptr, nullptr);
  return CString(narrow);
}

// The text of a by-reference variant argument that holds a string.
CString StringOf(const VARIANT* byReference) {
  if (!byReference || !byReference->pvarVal || byReference->pvarVal->vt != VT_BSTR) return CString();
  return Narrow(byReference->pvarVal->bstrVal);
}

// The bytes of the post data: a variant (possibly by reference once more)
// holding a one-dimensional array of one-byte elements.
std::vector<BYTE> PostDataOf(const VARIANT* byReference) {
  std::vector<BYTE> bytes;
  const VARIANT* value = byReference ? byReference->pvarVal : nullptr;
  if (value && value->vt == (VT_BYREF | VT_VARIANT)) value = value->pvarVal;
  if (!value || !(value->vt & VT_ARRAY)) return bytes;
  SAFEARRAY* array = (value->vt & VT_BYREF) ? (value->pparray ? *value->pparray : nullptr) : value->parray;
  LONG lower = 0;
  LONG upper = -1;
  if (!array || ::SafeArrayGetDim(array) != 1 || ::SafeArrayGetElemsize(array) != 1 ||
      FAILED(::SafeArrayGetLBound(array, 1, &lower)) || FAILED(::SafeArrayGetUBound(array, 1, &upper)) ||
      upper < lower)
    return bytes;
  void* data = nullptr;
  if (FAILED(::SafeArrayAccessData(array, &data))) return bytes;
  const auto* first = static_cast<const BYTE*>(data);
  bytes.assign(first, first + (static_cast<size_t>(upper) - lower + 1));
  ::SafeArrayUnaccessData(array);
  return bytes;
}

BrowserNotifyRecord EmptyRecord() {
  BrowserNotifyRecord record{};
  record.post_data = nullptr;
  return record;
}

}  // namespace

BEGIN_EVENTSINK_MAP(SimpleBrowser)
  ON_EVENT(SimpleBrowser::kControlId, kBeforeNavigate2, BeforeNavigate2Event)
  ON_EVENT(SimpleBrowser::kControlId, kDocumentComplete, DocumentCompleteEvent)
  ON_EVENT(SimpleBrowser::kControlId, kDownloadBegin, DownloadBeginEvent)
  ON_EVENT(SimpleBrowser::kControlId, kProgressChange, ProgressChangeEvent)
  ON_EVENT(SimpleBrowser::kControlId, kDownloadComplete, DownloadCompleteEvent)
  ON_EVENT(SimpleBrowser::kControlId, kNavigateComplete2, NavigateComplete2Event)
  ON_EVENT(SimpleBrowser::kControlId, kStatusTextChange, StatusTextChangeEvent)
  ON_EVENT(SimpleBrowser::kControlId, kTitleChange, TitleChangeEvent)
END_EVENTSINK_MAP()

SimpleBrowser::~SimpleBrowser() { ReleaseBrowser(); }

void SimpleBrowser::ReleaseBrowser() {
  browser_.Reset();
  dispatch_.Reset();
}

void SimpleBrowser::PostNcDestroy() {
  ReleaseBrowser();
  CWnd::PostNcDestroy();
}

BOOL SimpleBrowser::Create(DWORD style, const RECT& rect, CWnd* parent, UINT id) {
  ReleaseBrowser();
  const char* hostClass = AfxRegisterWndClass(CS_HREDRAW | CS_VREDRAW);
  if (!CreateEx(0, hostClass, nullptr, style, rect, parent, id)) return FALSE;
  const RECT inside = {0, 0, rect.right - rect.left, rect.bottom - rect.top};
  IUnknown* control = nullptr;
  if (controlWindow_.CreateControl(CLSID_WebBrowser, nullptr, WS_VISIBLE | WS_TABSTOP, inside, this, kControlId))
    control = controlWindow_.GetControlUnknown();
  if (!control || FAILED(control->QueryInterface(IID_IWebBrowser2, browser_.OutVoid())) ||
      FAILED(control->QueryInterface(IID_IDispatch, dispatch_.OutVoid()))) {
    ReleaseBrowser();
    if (controlWindow_.GetSafeHwnd()) controlWindow_.DestroyWindow();
    DestroyWindow();
    return FALSE;
  }
  Navigate("about:blank");
  WaitForBlankDocument();
  return TRUE;
}

// Waits until the control has a document, at most kDocumentWaitMs: without
// an HTML engine the control never makes one.
void SimpleBrowser::WaitForBlankDocument() {
  const ULONGLONG deadline = ::GetTickCount64() + documentWaitMs_;
  while (browser_ && ::GetTickCount64() < deadline) {
    ::Sleep(0);
    ComPtr<IDispatch> document;
    if (FAILED(browser_->get_Document(document.Out()))) return;
    if (document) {
      ComPtr<IHTMLDocument2> html;
      document->QueryInterface(IID_IHTMLDocument2, html.OutVoid());
      return;
    }
  }
}

BOOL SimpleBrowser::CreateInPlaceOfControl(CWnd* dialog, UINT id) {
  CWnd* placeholder = dialog ? dialog->GetDlgItem(static_cast<int>(id)) : nullptr;
  if (!placeholder) return FALSE;
  CRect rect;
  placeholder->GetWindowRect(&rect);
  dialog->ScreenToClient(&rect);
  placeholder->DestroyWindow();
  return Create(WS_CHILD | WS_VISIBLE, rect, dialog, id);
}

void SimpleBrowser::Navigate(const char* address) {
  if (!browser_ || !address) return;
  const int length = ::MultiByteToWideChar(CP_THREAD_ACP, 0, address, -1, nullptr, 0);
  if (length <= 0) return;
  std::wstring wide(static_cast<size_t>(length), L'\0');
  ::MultiByteToWideChar(CP_THREAD_ACP, 0, address, -1, wide.data(), length);
  BSTR url = ::SysAllocString(wide.c_str());
  VARIANT flags;
  ::VariantInit(&flags);
  flags.vt = VT_I4;
  flags.lVal = 0;
  VARIANT empty[3];
  for (VARIANT& v : empty) {
    ::VariantInit(&v);
    v.vt = VT_BSTR;
    v.bstrVal = ::SysAllocString(L"");
  }
  browser_->Navigate(url, &flags, &empty[0], &empty[1], &empty[2]);
  for (VARIANT& v : empty) ::VariantClear(&v);
  ::SysFreeString(url);
}

void SimpleBrowser::OnSize(UINT type, int width, int height) {
  CWnd::OnSize(type, width, height);
  if (browser_ && controlWindow_.GetSafeHwnd()) controlWindow_.MoveWindow(0, 0, width, height, TRUE);
}

// --- notifications to the parent ------------------------------------------------------

LRESULT SimpleBrowser::Notify(BrowserNotifyRecord& record, UINT code) {
  CWnd* parent = GetParent();
  if (!parent) return 0;
  record.hdr.hwndFrom = m_hWnd;
  record.hdr.idFrom = static_cast<UINT_PTR>(GetDlgCtrlID());
  record.hdr.code = code;
  return ::SendMessageA(parent->GetSafeHwnd(), WM_NOTIFY, record.hdr.idFrom, reinterpret_cast<LPARAM>(&record));
}

bool SimpleBrowser::OnBeforeNavigate2(const CString& url, const CString& frame, const BYTE* postData,
                                      int32_t postDataSize, const CString& headers) {
  BrowserNotifyRecord record = EmptyRecord();
  record.url = url;
  record.frame = frame;
  record.post_data = postData;
  record.post_data_size = postDataSize;
  record.headers = headers;
  return Notify(record, BROWSER_BEFORE_NAVIGATE) != 0;
}

void SimpleBrowser::OnDocumentComplete(const CString& url) {
  BrowserNotifyRecord record = EmptyRecord();
  record.url = url;
  Notify(record, BROWSER_DOCUMENT_COMPLETE);
}

void SimpleBrowser::OnDownloadBegin() {
  BrowserNotifyRecord record = EmptyRecord();
  Notify(record, BROWSER_DOWNLOAD_BEGIN);
}

void SimpleBrowser::OnProgressChange(int32_t progress, int32_t progressMax) {
  BrowserNotifyRecord record = EmptyRecord();
  record.progress = progress;
  record.progress_max = progressMax;
  Notify(record, BROWSER_PROGRESS_CHANGE);
}

void SimpleBrowser::OnDownloadComplete() {
  BrowserNotifyRecord record = EmptyRecord();
  Notify(record, BROWSER_DOWNLOAD_COMPLETE);
}

void SimpleBrowser::OnNavigateComplete2(const CString& url) {
  BrowserNotifyRecord record = EmptyRecord();
  record.url = url;
  Notify(record, BROWSER_NAVIGATE_COMPLETE);
}

void SimpleBrowser::OnStatusTextChange(const CString& text) {
  BrowserNotifyRecord record = EmptyRecord();
  record.text = text;
  Notify(record, BROWSER_STATUS_TEXT_CHANGE);
}

void SimpleBrowser::OnTitleChange(const CString& text) {
  BrowserNotifyRecord record = EmptyRecord();
  record.text = text;
  Notify(record, BROWSER_TITLE_CHANGE);
}

// --- the control's events ----------------------------------------------------------

// Events of frames inside the page come with the frame's own dispatch.
bool SimpleBrowser::IsTopLevel(IDispatch* source) const {
  if (!source || !dispatch_) return false;
  if (source == dispatch_.get()) return true;
  ComPtr<IUnknown> a;
  ComPtr<IUnknown> b;
  return SUCCEEDED(source->QueryInterface(IID_IUnknown, a.OutVoid())) &&
         SUCCEEDED(dispatch_->QueryInterface(IID_IUnknown, b.OutVoid())) && a.get() == b.get();
}

bool SimpleBrowser::BeforeNavigate2Event(DISPPARAMS* params) {
  constexpr VARTYPE kVariantRef = VT_BYREF | VT_VARIANT;
  VARIANT* source = AfxEventArgument(params, 0, VT_DISPATCH);
  VARIANT* url = AfxEventArgument(params, 1, kVariantRef);
  VARIANT* frame = AfxEventArgument(params, 3, kVariantRef);
  VARIANT* postData = AfxEventArgument(params, 4, kVariantRef);
  VARIANT* cancel = AfxEventArgument(params, 6, VT_BYREF | VT_BOOL);
  if (!source || !url || !cancel || !cancel->pboolVal) return false;
  if (!IsTopLevel(source->pdispVal)) return true;
  const std::vector<BYTE> bytes = PostDataOf(postData);
  const bool stop = OnBeforeNavigate2(StringOf(url), StringOf(frame), bytes.empty() ? nullptr : bytes.data(),
                                      static_cast<int32_t>(bytes.size()), CString());
  *cancel->pboolVal = stop ? VARIANT_TRUE : VARIANT_FALSE;
  return true;
}

bool SimpleBrowser::DocumentCompleteEvent(DISPPARAMS* params) {
  VARIANT* source = AfxEventArgument(params, 0, VT_DISPATCH);
  VARIANT* url = AfxEventArgument(params, 1, VT_BYREF | VT_VARIANT);
  if (!source) return false;
  if (IsTopLevel(source->pdispVal)) OnDocumentComplete(StringOf(url));
  return true;
}

bool SimpleBrowser::NavigateComplete2Event(DISPPARAMS* params) {
  VARIANT* source = AfxEventArgument(params, 0, VT_DISPATCH);
  VARIANT* url = AfxEventArgument(params, 1, VT_BYREF | VT_VARIANT);
  if (!source) return false;
  if (IsTopLevel(source->pdispVal)) OnNavigateComplete2(StringOf(url));
  return true;
}

bool SimpleBrowser::DownloadBeginEvent(DISPPARAMS*) {
  OnDownloadBegin();
  return true;
}

bool SimpleBrowser::DownloadCompleteEvent(DISPPARAMS*) {
  OnDownloadComplete();
  return true;
}

bool SimpleBrowser::ProgressChangeEvent(DISPPARAMS* params) {
  VARIANT* progress = AfxEventArgument(params, 0, VT_I4);
  VARIANT* progressMax = AfxEventArgument(params, 1, VT_I4);
  if (!progress || !progressMax) return false;
  OnProgressChange(progress->lVal, progressMax->lVal);
  return true;
}

bool SimpleBrowser::StatusTextChangeEvent(DISPPARAMS* params) {
  VARIANT* text = AfxEventArgument(params, 0, VT_BSTR);
  if (!text) return false;
  OnStatusTextChange(Narrow(text->bstrVal));
  return true;
}

bool SimpleBrowser::TitleChangeEvent(DISPPARAMS* params) {
  VARIANT* text = AfxEventArgument(params, 0, VT_BSTR);
  if (!text) return false;
  OnTitleChange(Narrow(text->bstrVal));
  return true;
}
