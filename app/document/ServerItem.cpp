// QVM400SrvrItem: native data, extent and picture of an embedded equation.
#include "app/document/ServerItem.h"

#include "app/App.h"
#include "app/document/Document.h"
#include "app/document/LoweringHint.h"
#include "app/document/PictureDC.h"
#include "app/document/WindowsMetafile.h"
#include "framework/Dc.h"

IMPLEMENT_DYNAMIC(QVM400SrvrItem, COleServerItem)

QVM400SrvrItem::QVM400SrvrItem(QVM400Doc* doc) : COleServerItem(doc, TRUE) {}

QVM400Doc* QVM400SrvrItem::GetDocument() const {
  return static_cast<QVM400Doc*>(COleServerItem::GetDocument());
}

// A linked item would store nothing of its own; the embedded one is the
// document.
void QVM400SrvrItem::Serialize(CArchive& ar) {
  if (!IsLinkedItem() && GetDocument()) GetDocument()->Serialize(ar);
}

BOOL QVM400SrvrItem::OnGetExtent(DWORD aspect, CSize& size) {
  if (aspect != DVASPECT_CONTENT) return COleServerItem::OnGetExtent(aspect, size);
  const ExtentRecord extent = GetDocument()->MeasureOwnExtent();
  size = CSize(extent.width, extent.height);
  return TRUE;
}

// Measures again on the container's context: the picture's size follows
// the fonts of the context it is drawn for.
BOOL QVM400SrvrItem::OnDraw(CDC* dc, CSize& size) {
  if (!dc || !GetDocument()) return FALSE;
  ExtentRecord extent;
  GetDocument()->MeasureEquation(extent, dc);
  DrawMeasured(dc, extent, size);
  return TRUE;
}

// The container's picture, measured on the metafile as OnDraw measures.
// One that fits 16-bit coordinates is drawn straight into it; a taller or
// wider one would wrap there, so it is recorded in coarser units.
HMETAFILE QVM400SrvrItem::RecordMetafile(CSize& size) {
  if (!GetDocument()) return nullptr;
  CMetaFileDC dc;
  if (!dc.Create()) return nullptr;
  ExtentRecord extent;
  GetDocument()->MeasureEquation(extent, &dc);
  const CSize padded(extent.width, extent.height + PointRoundingPad(extent.align));
  if (WindowsMetafileUnit(padded) == 1) {
    DrawMeasured(&dc, extent, size);
    return dc.Close();
  }
  return RecordWindowsMetafile(padded, [&](CDC& scaled) { DrawMeasured(&scaled, extent, size); });
}

void QVM400SrvrItem::DrawMeasured(CDC* dc, const ExtentRecord& extent, CSize& size) {
  const int32_t pad = PointRoundingPad(extent.align);
  const int paddedHeight = extent.height + pad;
  size = CSize(extent.width, paddedHeight);
  dc->SetTextAlign(0);
  dc->SetMapMode(MM_ANISOTROPIC);
  dc->SetWindowOrg(0, 0);
  dc->SetWindowExt(extent.width, -paddedHeight);
  SetMeasuringViewportExt(dc, extent.width, paddedHeight);
  GetDocument()->DrawEquation(dc, 0, 0);
  QVIniFile& hint = GetQVMApp()->ControlIni;
  hint.WriteInt("Lowering Hint", "Amount", LoweringAmount(extent.align, pad, extent.height), true);
  hint.Save();
}
