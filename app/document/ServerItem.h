// QVM400SrvrItem: the equation as another program's embedded object. Its
// native data is the document's own archive, its size the document's
// measured extent, and its picture the equation drawn in 0.01 mm with the
// height padded so that the part below the baseline is a whole number of
// points. Each drawing leaves a lowering hint in "QVM4ADJ". A picture too
// tall or wide for a Windows metafile's 16-bit coordinates reaches the
// container in coarser logical units, its size still declared in 0.01 mm.
// Choices of ours: the extent is this document's own measure, not the last
// repaint of whichever view (an embedded document may have no view at all);
// an empty picture writes a hint of 0 instead of dividing by its height.
#pragma once

#include "engine/Extent.h"
#include "framework/OleServer.h"

class QVM400Doc;

class QVM400SrvrItem : public COleServerItem {
  DECLARE_DYNAMIC(QVM400SrvrItem)
 public:
  explicit QVM400SrvrItem(QVM400Doc* doc);
  ~QVM400SrvrItem() override = default;

  QVM400Doc* GetDocument() const;
  void Serialize(CArchive& ar) override;
  BOOL OnDraw(CDC* dc, CSize& size) override;
  BOOL OnGetExtent(DWORD aspect, CSize& size) override;
  HMETAFILE RecordMetafile(CSize& size) override;

  // Draws the equation measured as `extent`: pads the height, maps 0.01 mm
  // with y upwards, draws and leaves the lowering hint; `size` gets the
  // padded picture's size.
  void DrawMeasured(CDC* dc, const ExtentRecord& extent, CSize& size);
};
