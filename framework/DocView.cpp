// CDocument, CView, CScrollView.
#include "framework/DocView.h"

#include <algorithm>
#include <cstdlib>
#include <new>

#include "framework/App.h"
#include "framework/Dc.h"
#include "framework/DocManager.h"
#include "framework/ReplacingFile.h"

IMPLEMENT_DYNAMIC(CDocument, CCmdTarget)
IMPLEMENT_DYNAMIC(CView, CWnd)
IMPLEMENT_DYNAMIC(CScrollView, CView)

namespace {

// The file name part of a path.
CString FileNamePart(const CString& path) { return path.Mid(path.ReverseFind('\\') + 1); }

// The full path of a file name (relative names against the current folder).
CString FullPath(const char* path) {
  char buffer[MAX_PATH * 2] = {};
  const DWORD length = ::GetFullPathNameA(path, sizeof buffer, buffer, nullptr);
  return length > 0 && length < sizeof buffer ? CString(buffer) : CString(path);
}

}  // namespace

// --- CDocument -------------------------------------------------------------------

BEGIN_MESSAGE_MAP(CDocument, CCmdTarget)
  ON_COMMAND(ID_FILE_CLOSE, OnFileClose)
  ON_COMMAND(ID_FILE_SAVE, OnFileSave)
  ON_COMMAND(ID_FILE_SAVE_AS, OnFileSaveAs)
END_MESSAGE_MAP()

CDocument::~CDocument() {
  for (CView* view : views_) view->m_pDocument = nullptr;
  if (m_pDocTemplate) m_pDocTemplate->RemoveDocument(this);
}

void CDocument::SetTitle(const char* title) {
  m_strTitle = title;
  UpdateFrameCounts();
}

void CDocument::SetPathName(const char* pathName, BOOL addToMRU) {
  m_strPathName = FullPath(pathName);
  SetTitle(FileNamePart(m_strPathName));
  if (addToMRU)
    if (CWinApp* app = AfxGetApp()) app->AddToRecentFileList(m_strPathName);
}

void CDocument::AddView(CView* view) {
  if (std::find(views_.begin(), views_.end(), view) != views_.end()) return;
  views_.push_back(view);
  view->m_pDocument = this;
  OnChangedViewList();
}

void CDocument::RemoveView(CView* view) {
  const auto it = std::find(views_.begin(), views_.end(), view);
  if (it == views_.end()) return;
  views_.erase(it);
  view->m_pDocument = nullptr;
  OnChangedViewList();
}

POSITION CDocument::GetFirstViewPosition() const {
  return views_.empty() ? nullptr : reinterpret_cast<POSITION>(static_cast<uintptr_t>(1));
}

CView* CDocument::GetNextView(POSITION& pos) const {
  const auto index = reinterpret_cast<uintptr_t>(pos) - 1;
  CView* view = index < views_.size() ? views_[index] : nullptr;
  pos = index + 1 < views_.size() ? reinterpret_cast<POSITION>(index + 2) : nullptr;
  return view;
}

void CDocument::UpdateAllViews(CView* sender, LPARAM hint, CObject* hintObject) {
  const std::vector<CView*> views = views_;  // a view may close in OnUpdate
  for (CView* view : views)
    if (view != sender) view->OnUpdate(sender, hint, hintObject);
}

void CDocument::UpdateFrameCounts() {
  std::vector<CFrameWnd*> frames;
  for (CView* view : views_) {
    CFrameWnd* frame = view->GetParentFrame();
    if (frame && std::find(frames.begin(), frames.end(), frame) == frames.end())
      frames.push_back(frame);
  }
  int number = frames.size() > 1 ? 1 : 0;
  for (CFrameWnd* frame : frames) {
    frame->m_nWindow = number ? number++ : 0;
    frame->OnUpdateFrameTitle(TRUE);
  }
}

BOOL CDocument::HasOtherFrame(CFrameWnd* frame) const {
  return std::any_of(views_.begin(), views_.end(),
                     [frame](CView* view) { return view->GetParentFrame() != frame; });
}

void CDocument::OnChangedViewList() {
  if (views_.empty() && m_bAutoDelete) {
    OnCloseDocument();
    return;
  }
  UpdateFrameCounts();
}

BOOL CDocument::OnNewDocument() {
  DeleteContents();
  m_strPathName.Empty();
  SetModifiedFlag(FALSE);
  return TRUE;
}

BOOL CDocument::OnOpenDocument(const char* pathName) {
  CFile file;
  CFileException error;
  if (!file.Open(pathName, CFile::modeRead | CFile::shareDenyWrite, &error)) {
    ReportSaveLoadException(pathName, &error, FALSE, 0);
    return FALSE;
  }
  DeleteContents();
  SetModifiedFlag(TRUE);  // a half-read document must not pass as clean
  try {
    CArchive archive(&file, CArchive::load);
    Serialize(archive);
    file.Close();
  } catch (const CException& e) {
    file.Abort();
    DeleteContents();
    ReportSaveLoadException(pathName, &e, FALSE, 0);
    return FALSE;
  } catch (const std::bad_alloc&) {
    file.Abort();
    DeleteContents();
    const CMemoryException memory;
    ReportSaveLoadException(pathName, &memory, FALSE, 0);
    return FALSE;
  }
  SetModifiedFlag(FALSE);
  return TRUE;
}

// Writes through a replacing file, which takes the target's place only when
// the archive is complete: a failed save keeps the old file.
BOOL CDocument::OnSaveDocument(const char* pathName) {
  const CString target = FullPath(pathName);
  try {
    CReplacingFile file(target);
    CFileException error;
    if (!file.Begin(&error)) throw error;
    CArchive archive(&file, CArchive::store);
    Serialize(archive);
    archive.Flush();
    file.Commit();
  } catch (const CException& e) {
    ReportSaveLoadException(target, &e, TRUE, 0);
    return FALSE;
  } catch (const std::bad_alloc&) {
    const CMemoryException memory;
    ReportSaveLoadException(target, &memory, TRUE, 0);
    return FALSE;
  }
  SetModifiedFlag(FALSE);
  return TRUE;
}

void CDocument::ReportSaveLoadException(const char* pathName, const CException* e, BOOL saving,
                                        UINT defaultPromptId) {
  if (dynamic_cast<const CUserException*>(e)) return;  // already reported
  CString text;
  if (const auto* archive = dynamic_cast<const CArchiveException*>(e)) {
    CArchiveException named(archive->m_cause,
                            archive->m_strFileName.IsEmpty() ? CString(pathName)
                                                             : archive->m_strFileName);
    text = named.GetErrorMessage();
  } else if (e) {
    text = e->GetErrorMessage();
  }
  if (text.IsEmpty() && defaultPromptId) text.LoadString(defaultPromptId);
  if (text.IsEmpty()) text = AfxLoadString(saving ? AFX_IDP_FAILED_TO_SAVE_DOC : AFX_IDP_FAILED_TO_OPEN_DOC);
  AfxMessageBox(text, MB_ICONEXCLAMATION);
}

// Destroys the frames of every view, then the contents and, when it owns
// itself, the document.
void CDocument::OnCloseDocument() {
  const BOOL autoDelete = m_bAutoDelete;
  m_bAutoDelete = FALSE;  // losing the views must not close us a second time
  while (!views_.empty()) {
    CView* view = views_.front();
    CFrameWnd* frame = view->GetParentFrame();
    if (frame)
      frame->DestroyWindow();
    else
      view->DestroyWindow();
    if (!views_.empty() && views_.front() == view) RemoveView(view);  // had no window
  }
  m_bAutoDelete = autoDelete;
  DeleteContents();
  if (m_bAutoDelete) delete this;
}

BOOL CDocument::CanCloseFrame(CFrameWnd* frame) {
  if (HasOtherFrame(frame)) return TRUE;
  return SaveModified();
}

// Only a clear "No" discards changes; Cancel and anything unexpected keep
// the document open.
BOOL CDocument::SaveModified() {
  if (!IsModified()) return TRUE;
  CString name = m_strPathName.IsEmpty() ? m_strTitle : FileNamePart(m_strPathName);
  if (name.IsEmpty()) name = AfxLoadString(AFX_IDS_UNTITLED);
  switch (AfxMessageBox(AfxFormatResource(AFX_IDP_ASK_TO_SAVE, name.GetString()), MB_YESNOCANCEL)) {
    case IDYES: return DoFileSave();
    case IDNO: return TRUE;
    default: return FALSE;
  }
}

BOOL CDocument::DoFileSave() {
  const DWORD attributes =
      m_strPathName.IsEmpty() ? INVALID_FILE_ATTRIBUTES : ::GetFileAttributesA(m_strPathName);
  const bool readOnly = attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_READONLY);
  if (m_strPathName.IsEmpty() || readOnly) return DoSave(nullptr);
  return DoSave(m_strPathName);
}

BOOL CDocument::DoSave(const char* pathName, BOOL replace) {
  CString newName(pathName);
  if (newName.IsEmpty()) {
    newName = m_strPathName;
    if (replace && newName.IsEmpty()) {
      newName = m_strTitle;
      // A title may hold characters a file name cannot.
      for (const char* bad = "\\/:*?\"<>|"; *bad; ++bad) newName.Remove(*bad);
      if (m_pDocTemplate) {
        CString extension;
        if (m_pDocTemplate->GetDocString(extension, CDocTemplate::filterExt)) {
          const int separator = extension.Find(';');
          if (separator >= 0) extension = extension.Left(separator);
          newName += extension;
        }
      }
    }
    CWinApp* app = AfxGetApp();
    if (!app || !app->DoPromptFileName(newName, 0, OFN_HIDEREADONLY | OFN_PATHMUSTEXIST |
                                                       OFN_OVERWRITEPROMPT,
                                       FALSE, m_pDocTemplate))
      return FALSE;
  }
  if (!OnSaveDocument(newName)) return FALSE;
  if (replace) SetPathName(newName);
  return TRUE;
}

void CDocument::OnFileClose() {
  if (!SaveModified()) return;
  OnCloseDocument();
}

void CDocument::OnFileSave() { DoFileSave(); }
void CDocument::OnFileSaveAs() { DoSave(nullptr); }

BOOL CDocument::OnCmdMsg(UINT nID, int nCode, void* pExtra, AFX_CMDHANDLERINFO* pHandlerInfo) {
  if (CCmdTarget::OnCmdMsg(nID, nCode, pExtra, pHandlerInfo)) return TRUE;
  return m_pDocTemplate && m_pDocTemplate->OnCmdMsg(nID, nCode, pExtra, pHandlerInfo);
}

// --- CView ----------------------------------------------------------------------------

BEGIN_MESSAGE_MAP(CView, CWnd)
  ON_WM_CREATE()
  ON_WM_DESTROY()
  ON_WM_PAINT()
  ON_WM_MOUSEACTIVATE()
  ON_MESSAGE(WM_INITIALUPDATE, OnInitialUpdateMessage)
END_MESSAGE_MAP()

CView::~CView() {
  if (m_pDocument) m_pDocument->RemoveView(this);
}

BOOL CView::PreCreateWindow(CREATESTRUCTA& cs) {
  if (!cs.lpszClass)
    cs.lpszClass = AfxRegisterWndClass(CS_DBLCLKS, ::LoadCursorA(nullptr, IDC_ARROW),
                                       reinterpret_cast<HBRUSH>(COLOR_WINDOW + 1));
  if (cs.style & WS_BORDER) {
    cs.style &= ~WS_BORDER;
    cs.dwExStyle |= WS_EX_CLIENTEDGE;
  }
  return TRUE;
}

int CView::OnCreate(LPCREATESTRUCTA cs) {
  if (Default() == -1) return -1;
  auto* context = static_cast<CCreateContext*>(cs->lpCreateParams);
  if (context && context->m_pCurrentDoc) context->m_pCurrentDoc->AddView(this);
  return 0;
}

void CView::OnDestroy() {
  CFrameWnd* frame = GetParentFrame();
  if (frame && frame->GetActiveView() == this) frame->SetActiveView(nullptr, FALSE);
  Default();
}

// The paint DC ends the paint in its destructor, even when drawing throws.
// A paint for the frame alone (a scroll bar that appeared) uncovers none of
// the client: nothing drawn there could show.
void CView::OnPaint() {
  CPaintDC dc(m_hWnd);
  if (::IsRectEmpty(&dc.m_ps.rcPaint)) return;
  OnPrepareDC(&dc);
  OnDraw(&dc);
}

int CView::OnMouseActivate(CWnd* topParent, UINT hitTest, UINT message) {
  const int result = CWnd::OnMouseActivate(topParent, hitTest, message);
  if (result == MA_NOACTIVATE || result == MA_NOACTIVATEANDEAT) return result;
  if (CFrameWnd* frame = GetParentFrame()) frame->SetActiveView(this);
  return result;
}

LRESULT CView::OnInitialUpdateMessage(WPARAM, LPARAM) {
  OnInitialUpdate();
  return 0;
}

void CView::OnInitialUpdate() { OnUpdate(nullptr, 0, nullptr); }

void CView::OnUpdate(CView*, LPARAM, CObject*) { Invalidate(TRUE); }

void CView::OnActivateView(BOOL activate, CView* activateView, CView*) {
  if (!activate || activateView != this) return;
  CWnd* top = GetTopLevelParent();
  if (top && ::GetActiveWindow() == top->GetSafeHwnd()) SetFocus();
}

BOOL CView::OnCmdMsg(UINT nID, int nCode, void* pExtra, AFX_CMDHANDLERINFO* pHandlerInfo) {
  if (CWnd::OnCmdMsg(nID, nCode, pExtra, pHandlerInfo)) return TRUE;
  return m_pDocument && m_pDocument->OnCmdMsg(nID, nCode, pExtra, pHandlerInfo);
}

// --- CScrollView ----------------------------------------------------------------------

const CSize CScrollView::sizeDefault(0, 0);

BEGIN_MESSAGE_MAP(CScrollView, CView)
  ON_WM_SIZE()
  ON_WM_HSCROLL()
  ON_WM_VSCROLL()
  ON_WM_MOUSEWHEEL()
END_MESSAGE_MAP()

CSize CScrollView::LogicalToDevice(SIZE size) const {
  HDC dc = ::GetDC(nullptr);
  const int saved = ::SaveDC(dc);
  ::SetMapMode(dc, m_nMapMode);
  POINT corner[2] = {{0, 0}, {size.cx, size.cy}};
  ::LPtoDP(dc, corner, 2);
  ::RestoreDC(dc, saved);
  ::ReleaseDC(nullptr, dc);
  return CSize(std::abs(corner[1].x - corner[0].x), std::abs(corner[1].y - corner[0].y));
}

// Only a new mapping changes what the view draws: new sizes move the bars,
// and scrolling that follows from them (UpdateBars) or a bar that goes
// away repaints what it uncovers. A view sets its sizes while it paints;
// an invalidation there would ask for the whole picture to be measured and
// drawn a second time.
void CScrollView::SetScrollSizes(int mapMode, SIZE sizeTotal, const SIZE& sizePage,
                                 const SIZE& sizeLine) {
  const int oldMapMode = m_nMapMode;
  m_nMapMode = mapMode;
  m_totalLog = sizeTotal;
  m_totalDev = LogicalToDevice(sizeTotal);
  m_pageDev = CSize(sizePage) == sizeDefault ? CSize(m_totalDev.cx / 10, m_totalDev.cy / 10)
                                             : LogicalToDevice(sizePage);
  m_lineDev = CSize(sizeLine) == sizeDefault ? CSize(m_pageDev.cx / 10, m_pageDev.cy / 10)
                                             : LogicalToDevice(sizeLine);
  m_pageDev = CSize(std::max<LONG>(m_pageDev.cx, 1), std::max<LONG>(m_pageDev.cy, 1));
  m_lineDev = CSize(std::max<LONG>(m_lineDev.cx, 1), std::max<LONG>(m_lineDev.cy, 1));
  if (!m_hWnd) return;
  UpdateBars();
  if (mapMode != oldMapMode) Invalidate(TRUE);
}

// Scroll ranges follow the total size and the client size; showing or
// hiding one bar changes the client size, so settle it in a second pass.
void CScrollView::UpdateBars() {
  if (m_nMapMode == 0) return;
  for (int pass = 0; pass < 2; ++pass) {
    CRect client;
    GetClientRect(&client);
    const CPoint before = GetDeviceScrollPosition();
    SCROLLINFO info{};
    info.fMask = SIF_PAGE | SIF_RANGE;
    info.nMin = 0;
    info.nMax = m_totalDev.cx > 0 ? m_totalDev.cx - 1 : 0;
    info.nPage = static_cast<UINT>(std::max(client.Width(), 0));
    SetScrollInfo(SB_HORZ, &info, TRUE);
    info.nMax = m_totalDev.cy > 0 ? m_totalDev.cy - 1 : 0;
    info.nPage = static_cast<UINT>(std::max(client.Height(), 0));
    SetScrollInfo(SB_VERT, &info, TRUE);
    const CPoint after = GetDeviceScrollPosition();
    if (after != before) ScrollWindow(before.x - after.x, before.y - after.y);
    CRect settled;
    GetClientRect(&settled);
    if (settled == client) break;
  }
}

CPoint CScrollView::GetDeviceScrollPosition() const {
  return CPoint(GetScrollPos(SB_HORZ), GetScrollPos(SB_VERT));
}

CPoint CScrollView::GetScrollPosition() const {
  POINT position = GetDeviceScrollPosition();
  HDC dc = ::GetDC(nullptr);
  const int saved = ::SaveDC(dc);
  ::SetMapMode(dc, m_nMapMode);
  ::DPtoLP(dc, &position, 1);
  ::RestoreDC(dc, saved);
  ::ReleaseDC(nullptr, dc);
  return position;
}

void CScrollView::ScrollToPosition(POINT logical) {
  const CSize device = LogicalToDevice(CSize(logical.x, logical.y));
  ScrollByDevice(SB_HORZ, device.cx);
  ScrollByDevice(SB_VERT, device.cy);
}

void CScrollView::OnPrepareDC(CDC* dc, CPrintInfo*) {
  if (m_nMapMode == 0) return;
  dc->SetMapMode(m_nMapMode);
  if (dc->IsPrinting()) return;
  const CPoint position = GetDeviceScrollPosition();
  dc->SetViewportOrg(-position.x, -position.y);
}

void CScrollView::OnSize(UINT type, int, int) {
  if (type != SIZE_MINIMIZED) UpdateBars();
}

void CScrollView::ScrollByDevice(int bar, int newPos) {
  SCROLLINFO info{};
  GetScrollInfo(bar, &info);
  const int maxPos = std::max(info.nMax - static_cast<int>(info.nPage) + 1, 0);
  newPos = std::clamp(newPos, 0, maxPos);
  const int old = GetScrollPos(bar);
  if (newPos == old) return;
  SetScrollPos(bar, newPos);
  if (bar == SB_HORZ)
    ScrollWindow(old - newPos, 0);
  else
    ScrollWindow(0, old - newPos);
}

int AfxScrollTarget(CWnd* wnd, int bar, UINT code, int line, int page) {
  SCROLLINFO info{};
  wnd->GetScrollInfo(bar, &info);
  switch (code) {
    case SB_LINEUP: return info.nPos - line;
    case SB_LINEDOWN: return info.nPos + line;
    case SB_PAGEUP: return info.nPos - page;
    case SB_PAGEDOWN: return info.nPos + page;
    case SB_TOP: return 0;
    case SB_BOTTOM: return info.nMax;
    case SB_THUMBTRACK:
    case SB_THUMBPOSITION: return info.nTrackPos;  // 32-bit, unlike the message's
    default: return info.nPos;
  }
}

void CScrollView::OnHScroll(UINT code, UINT, CWnd* bar) {
  if (bar) return;  // a scroll-bar control of our own handles itself
  ScrollByDevice(SB_HORZ, AfxScrollTarget(this, SB_HORZ, code, m_lineDev.cx, m_pageDev.cx));
}

void CScrollView::OnVScroll(UINT code, UINT, CWnd* bar) {
  if (bar) return;
  ScrollByDevice(SB_VERT, AfxScrollTarget(this, SB_VERT, code, m_lineDev.cy, m_pageDev.cy));
}

BOOL CScrollView::OnMouseWheel(UINT, short delta, CPoint) {
  const int lines = -delta * 3 / WHEEL_DELTA;
  ScrollByDevice(SB_VERT, GetScrollPos(SB_VERT) + lines * m_lineDev.cy);
  return TRUE;
}
