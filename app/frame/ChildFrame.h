// CChildFrame: the document window around a view; every one opens
// maximised inside the main frame.
#pragma once

#include "framework/Frame.h"

class CChildFrame : public CMDIChildWnd {
  DECLARE_DYNCREATE(CChildFrame)
 public:
  BOOL PreCreateWindow(CREATESTRUCTA& cs) override;
};
