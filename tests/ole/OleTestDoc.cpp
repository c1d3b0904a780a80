// The OLE tests' document, item and windows.
#include "tests/ole/OleTestDoc.h"

IMPLEMENT_DYNCREATE(OleTestDoc, COleServerDoc)
IMPLEMENT_DYNCREATE(OleTestMainFrame, CMDIFrameWnd)
IMPLEMENT_DYNCREATE(OleTestChildFrame, CMDIChildWnd)
IMPLEMENT_DYNCREATE(OleTestView, CView)

void OleTestDoc::Serialize(CArchive& ar) {
  if (ar.IsStoring()) {
    ar << CString(kOleTestMarker) << text;
    return;
  }
  CString marker;
  ar >> marker;
  if (marker != kOleTestMarker) AfxThrowArchiveException(CArchiveException::badSchema);
  ar >> text;
}

void OleTestDoc::Edit(const char* newText) {
  text = newText;
  SetModifiedFlag(TRUE);
  UpdateAllItems(nullptr);
}

COleServerItem* OleTestDoc::OnGetEmbeddedItem() { return new OleTestItem(this); }

// A rectangle over the whole picture, y up as in the program's own item.
BOOL OleTestItem::OnDraw(CDC* dc, CSize& size) {
  if (!dc) return FALSE;
  OleTestDoc* doc = GetDocument();
  ++doc->draws;
  size = doc->drawnSize;
  dc->SetMapMode(MM_ANISOTROPIC);
  dc->SetWindowOrg(0, 0);
  dc->SetWindowExt(size.cx, -size.cy);
  dc->SetViewportExt(size.cx, size.cy);
  ::Rectangle(dc->GetSafeHdc(), 0, 0, size.cx, -size.cy);
  return TRUE;
}

BOOL OleTestItem::OnGetExtent(DWORD aspect, CSize& size) {
  if (aspect != DVASPECT_CONTENT) return COleServerItem::OnGetExtent(aspect, size);
  size = GetDocument()->extent;
  return TRUE;
}
