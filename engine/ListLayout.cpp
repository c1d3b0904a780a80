// Measuring and drawing the equation list: every line measured with its own
// format, the relation signs lined up, the lines stacked into one box with
// VerticalSpacing between them, and drawn from the bottom up.
#include <algorithm>

#include "engine/EquationList.h"
#include "framework/Dc.h"

namespace {

bool SameFormat(const LineFormat& a, const LineFormat& b) {
  return a.Bold == b.Bold && a.Underline == b.Underline && a.Italic == b.Italic &&
         a.UseColour == b.UseColour && a.Colour == b.Colour;
}

// A metafile records the fonts a measure selects along with the picture:
// there the moved lines' root tokens are all measured again, so that a
// recording holds the same selections whichever tokens read their place.
bool RecordsSelections(CDC& dc) {
  const DWORD type = ::GetObjectType(dc.GetSafeHdc());
  return type == OBJ_ENHMETADC || type == OBJ_METADC;
}

// Room added above and below a changed band, for the pen's half width and
// the rounding to pixels.
constexpr int32_t kBandPad = 50;

// False only when the context can tell that `rect` (logical units) lies
// wholly outside its clipping; a metafile records everything.
bool MayShow(CDC& dc, int32_t left, int32_t bottom, int32_t right, int32_t top) {
  const DWORD type = ::GetObjectType(dc.GetSafeHdc());
  if (type != OBJ_DC && type != OBJ_MEMDC) return true;
  const RECT rect{left, top, right, bottom};
  return ::RectVisible(dc.GetSafeHdc(), &rect) != FALSE;
}

}  // namespace

// A line laid out on other terms is measured again from its leaves. One
// not laid out since its parse has every token and row marked already: a
// walk of its whole tree (a long document's first measure) would change
// nothing.
void QVEquationList::ForgetLineLayout(int line) {
  EquationLine& engine = *Engines[line];
  if (engine.Factory().LaidOut()) engine.Root().MarkDirty();
  engine.SetNeedsRemeasure(true);
}

// Fonts are chosen with the line formats and the drawing scale, and text
// measures by the context's resolution: after a change of any, the kept
// layout is stale.
void QVEquationList::ForgetStaleLayout(const QVMOptions& options) {
  const bool stale =
      options.DrawScale != laidOutScale_ || textMemory_.ContextCount() != laidOutContext_;
  laidOutScale_ = options.DrawScale;
  laidOutContext_ = textMemory_.ContextCount();
  for (int i = 0; i < kLineCount; ++i) {
    const bool sameFormat = SameFormat(Formats[i], laidOutFormats_[i]);
    if (stale || !sameFormat) ForgetLineLayout(i);
    laidOutFormats_[i] = Formats[i];
  }
}

void QVEquationList::MeasureLines(CDC& dc, QVMOptions& options) {
  for (int i = 0; i < kLineCount; ++i) {
    if (Lines[i].IsEmpty()) continue;
    options.CurrentLineFormat = Formats[i];
    Engines[i]->Measure(dc, options);
  }
}

// Each empty line before the last line with text adds one spacing; the
// offsets count up from the last line with text, which sits on the bottom.
ExtentRecord QVEquationList::StackLines(CDC& dc, QVMOptions& options) {
  const int32_t spacing = options.VerticalSpacing.Clamped();
  ExtentRecord first;
  int32_t width = 0, height = 0;
  int counted = 0, last = -1;
  for (int i = 0; i < kLineCount; ++i) {
    Offsets[i] = 0;
    if (Lines[i].IsEmpty()) continue;
    const ExtentRecord& line = Engines[i]->extent;
    if (i == 0) first = line;
    height += line.height + spacing;
    width = std::max(width, line.width);
    ++counted;
    last = i;
  }
  if (last < 0) {
    // Nothing to draw still takes the room of one digit.
    options.CurrentLineFormat = Formats[0];
    Engines[0]->SetText("3", options);
    return Engines[0]->Measure(dc, options);
  }
  height += (last - counted + 1) * spacing - spacing;
  for (int i = last - 1; i >= 0; --i) {
    const int32_t below = Lines[i + 1].IsEmpty() ? 0 : Engines[i + 1]->extent.height;
    Offsets[i] = below + Offsets[i + 1] + spacing;
  }
  if (height == first.height) return first;
  ExtentRecord list;
  list.width = width;
  list.height = height;
  list.align = height - first.height + first.align;
  return list;
}

// The lines' trees follow the texts first (after a load the engines have
// not seen them yet); the spacers need a measure before the signs can be
// found and one after they are in. Only lines whose spacers moved are laid
// out again: a keystroke in one line leaves the others as they were.
ExtentRecord QVEquationList::Measure(CDC& dc, QVMOptions& options) {
  const LineFormatScope scope(options);
  const MemoryScope memory(textMemory_, dc);
  const LingeringFonts lingering(dc);
  for (int i = 0; i < kLineCount; ++i) Engines[i]->SetText(Lines[i], options);
  ForgetStaleLayout(options);
  MeasureLines(dc, options);
  bool moved[kLineCount] = {};
  AlignRelations(options, &moved);
  RelayoutMovedLines(moved, RecordsSelections(dc));
  MeasureLines(dc, options);
  return StackLines(dc, options);
}

// The alignment constants share bits: they are told apart through their
// masks. In the y-up units of every caller the top lies a height above the
// bottom and the baseline align above it.
void QVEquationList::Draw(CDC& dc, int32_t x, int32_t y, QVMOptions& options) {
  const MemoryScope memory(textMemory_, dc);
  LingeringFonts lingering(dc);
  const UINT alignment = dc.GetTextAlign();
  const ExtentRecord box = Measure(dc, options);
  const LineFormatScope scope(options);
  const UINT vertical = alignment & (TA_BASELINE | TA_BOTTOM);
  const int32_t bottom = vertical == TA_TOP ? y - box.height : vertical == TA_BASELINE ? y - box.align : y;
  const UINT horizontal = alignment & (TA_CENTER | TA_RIGHT);
  const int32_t shift = horizontal == TA_RIGHT    ? -box.width
                        : horizontal == TA_CENTER ? -(box.width / 2)
                                                  : box.margin;
  dc.SetTextAlign(TA_BOTTOM | TA_LEFT);
  for (int i = 0; i < kLineCount; ++i) {
    if (Lines[i].IsEmpty()) continue;
    options.CurrentLineFormat = Formats[i];
    Engines[i]->SetText(Lines[i], options);
    const int32_t lineBottom = bottom + Offsets[i];
    const int32_t lineTop = lineBottom + Engines[i]->extent.height;
    if (!MayShow(dc, x, lineBottom, x + shift + box.width, lineTop)) continue;
    Engines[i]->Draw(dc, x + shift, lineBottom, options);
    if (!Formats[i].Underline) continue;
    lingering.PutShapesBack();  // the rule is drawn with the caller's pen
    dc.MoveTo(x, lineBottom);
    dc.LineTo(x + box.width, lineBottom);
  }
}

std::vector<QVEquationList::LinePicture> QVEquationList::TakePictures(const ExtentRecord& box) const {
  std::vector<LinePicture> pictures(kLineCount);
  for (int i = 0; i < kLineCount; ++i) {
    if (Lines[i].IsEmpty()) continue;
    LinePicture& p = pictures[static_cast<size_t>(i)];
    p.text = Lines[i];
    p.format = Formats[i];
    p.spacers = SpacerLayout(Engines[i]->Root());
    p.band.bottom = box.height - Offsets[i];
    p.band.top = p.band.bottom - Engines[i]->extent.height;
    p.underlineWidth = Formats[i].Underline ? box.width : 0;
  }
  return pictures;
}

std::vector<ListBand> QVEquationList::ChangedBands(CDC& dc, QVMOptions& options) {
  const ExtentRecord box = Measure(dc, options);
  std::vector<LinePicture> now = TakePictures(box);
  std::vector<ListBand> bands;
  // Places are counted from the top: a line that grows moves only the
  // lines below it, which then differ in place.
  if (pictures_.empty() || box.margin != pictured_.margin) {
    bands.push_back(ListBand{0, std::max(box.height, pictured_.height)});
  } else {
    for (size_t i = 0; i < now.size(); ++i) {
      const LinePicture& a = pictures_[i];
      const LinePicture& b = now[i];
      if (a.text == b.text && SameFormat(a.format, b.format) && a.spacers == b.spacers &&
          a.band.top == b.band.top && a.band.bottom == b.band.bottom &&
          a.underlineWidth == b.underlineWidth)
        continue;
      if (!a.text.IsEmpty()) bands.push_back(a.band);
      if (!b.text.IsEmpty()) bands.push_back(b.band);
    }
  }
  for (ListBand& band : bands) {
    band.top -= kBandPad;
    band.bottom += kBandPad;
  }
  pictures_ = std::move(now);
  pictured_ = box;
  return bands;
}
