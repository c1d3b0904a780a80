// A document the OLE tests embed: a text that its archive stores after a
// marker, and an item that draws a rectangle of a size the test chooses.
#pragma once

#include "framework/Frame.h"
#include "framework/OleServer.h"

class OleTestDoc : public COleServerDoc {
  DECLARE_DYNCREATE(OleTestDoc)
 public:
  void Serialize(CArchive& ar) override;
  void DeleteContents() override { text.Empty(); }
  // Changes the text as an edit would: modified, items told.
  void Edit(const char* newText);

  CString text;
  CSize drawnSize{3000, 1500};  // 0.01 mm, what OnDraw reports
  CSize extent{2000, 1000};     // 0.01 mm, what OnGetExtent reports
  int draws = 0;

 protected:
  COleServerItem* OnGetEmbeddedItem() override;
};

class OleTestItem : public COleServerItem {
 public:
  explicit OleTestItem(OleTestDoc* doc) : COleServerItem(doc, TRUE) {}
  OleTestDoc* GetDocument() const {
    return static_cast<OleTestDoc*>(COleServerItem::GetDocument());
  }
  BOOL OnDraw(CDC* dc, CSize& size) override;
  BOOL OnGetExtent(DWORD aspect, CSize& size) override;
};

class OleTestMainFrame : public CMDIFrameWnd {
  DECLARE_DYNCREATE(OleTestMainFrame)
};

class OleTestChildFrame : public CMDIChildWnd {
  DECLARE_DYNCREATE(OleTestChildFrame)
};

class OleTestView : public CView {
  DECLARE_DYNCREATE(OleTestView)
 public:
  void OnDraw(HDC) override {}
};

// The document's marker in its archive.
inline constexpr char kOleTestMarker[] = "OLETEST";
