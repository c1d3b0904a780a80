// CChildFrame: a maximised document window.
#include "app/frame/ChildFrame.h"

IMPLEMENT_DYNCREATE(CChildFrame, CMDIChildWnd)

BOOL CChildFrame::PreCreateWindow(CREATESTRUCTA& cs) {
  if (!CMDIChildWnd::PreCreateWindow(cs)) return FALSE;
  cs.style = WS_CHILD | WS_VISIBLE | WS_MAXIMIZE | WS_OVERLAPPEDWINDOW | FWS_ADDTOTITLE;
  return TRUE;
}
