// What the measuring and drawing files share (Windows only): the arguments
// every per-kind function gets, the font metrics of a token, text helpers,
// and the measure and draw functions of each construct. The two switches
// over token kinds (LineLayout.cpp, Drawing.cpp) call these.
#pragma once

#include <optional>
#include <string>

#include "engine/EquationLine.h"
#include "engine/LayoutRules.h"
#include "engine/TextMemory.h"
#include "engine/Token.h"
#include "framework/Dc.h"
#include "options/QVMOptions.h"

struct MeasureArgs {
  CDC& dc;
  int32_t x;  // the token's offset in its row
  const QVMOptions& options;
  QVMTokenFactory& factory;
};

struct DrawArgs {
  CDC& dc;
  int32_t x;
  int32_t y;  // bottom of the token's own box (row bottom + adjust)
  bool isFirst;
  QVMOptions& options;
  QVMTokenFactory& factory;
};

// Characters of the ANSI code page the measure and draw put in for signs.
constexpr char kEnDash = '\x96';
constexpr char kMiddleDot = '\xB7';

// A record of just a width, a height and an align.
ExtentRecord MakeBox(int32_t width, int32_t height, int32_t align);

// Ascent, descent, height and average character width of a token's font.
struct FontMetrics {
  int32_t a, d, h, w;
};
FontMetrics MetricsOf(const QVMToken& token);

// Selects `font` at its description's size: the memory in use's kept font
// named `key` where it keeps one, otherwise one made for the scope. With
// `later`, a kept font on a lingering context is only taken, and true is
// returned: SelectCurrentFont selects it when a text needs it. A `link`
// finds the kept font again without naming it.
bool SelectSizedFont(CDC& dc, QVFont& font, const FontName& key, bool later = false,
                     TextMemory::FontLink* link = nullptr);

// The metrics of the font selected in `dc`, named `font`: remembered ones
// when the memory in use knows them (found through `link` when given);
// zero when the context cannot answer.
void ReadMetrics(CDC& dc, const FontName& font, TEXTMETRICA& metrics,
                 TextMemory::FontLink* link = nullptr);

// SelectFont for a scope, with the font named for TextSize; DeselectFont at
// its end, exceptions included.
class SelectedToken {
 public:
  SelectedToken(QVMToken& token, CDC& dc, const QVMOptions& options, QVMTokenFactory& factory,
                bool withShapes);
  ~SelectedToken();
  SelectedToken(const SelectedToken&) = delete;
  SelectedToken& operator=(const SelectedToken&) = delete;

 private:
  QVMToken& token_;
  CDC& dc_;
  QVMTokenFactory& factory_;
  std::optional<FontInUse> font_;
};

// The text extent of a string in the selected font; a remembered one when
// the font in use and the memory in use know it.
CSize TextSize(CDC& dc, const CString& text);
// The ink of one glyph of the selected font; remembered ones when the font
// in use and the memory in use know it.
GlyphInk GlyphInkOf(CDC& dc, unsigned char code);
// The ABC widths of one character of the selected font, remembered the
// same way; false when the context gives none.
bool CharWidthsOf(CDC& dc, unsigned char code, ABC& abc);
// The selected font's metrics, remembered the same way.
void CurrentFontMetrics(CDC& dc, TEXTMETRICA& metrics);
// The ink of a token's text `shown`, drawn `offset` into its box `width`
// wide, in the selected font; no ink for blanks.
InkSides TextInk(CDC& dc, QVMToken& t, const CString& shown, int32_t offset, int32_t width);
InkSides NoInk();
// The reach of a text's glyphs drawn with their baseline `descent` above
// the box's bottom.
InkReach TextReach(CDC& dc, const CString& shown, int32_t descent);
// A token's ink reach in its box, the box itself where nothing better is
// known.
InkReach ReachOf(const QVMToken& t);
// A row's ink reach drawn with its bottom `y` above the box's bottom.
InkReach RowReachAt(const TokenRow& row, int32_t y);
// One device pixel in the context's logical units, rounded up.
int32_t OnePixel(CDC& dc);
// The device pixel rows in `length` logical units, rounded.
int PixelRows(CDC& dc, int32_t length);
// The width of the tokens at the start of a row that draw nothing.
int32_t LeadingBlank(const TokenRow& row);
// "+-" typed as one sign: it is spaced as "+" is.
bool IsPlusMinus(const QVMToken& token);
// A token's width without the paper its row put after it.
inline int32_t OwnWidth(const QVMToken& t) { return t.extent.width - t.Paper(); }

// Text with its bottom at y (the line draw sets TA_BOTTOM).
void TextAt(CDC& dc, int32_t x, int32_t y, const CString& text);
// A polyline of two points with the selected pen.
void RuleFromTo(CDC& dc, int32_t x0, int32_t y0, int32_t x1, int32_t y1);

// A child row's box, or W x H of the token's font when the row is empty.
CSize RowBoxOrFont(const ExtentRecord& row, const FontMetrics& m);
ExtentRecord MeasureRow(TokenRow& row, const MeasureArgs& a);
void DrawRow(TokenRow& row, const DrawArgs& a, int32_t x, int32_t y);

// T: the font height the stretched Symbol pieces are sized from.
int32_t StretchFontSize(const QVMToken& token, const QVMOptions& options);
int32_t PenWidthOf(const QVMOptions& options);
// How far a line's ink may reach past the line it is drawn along: half its
// pen, and the pixel that rounding to the device may add.
int32_t RuleReach(CDC& dc, const QVMOptions& options);
bool IsIntegral(const QVMToken& token);

// Constructs with child rows, measure and draw side by side.
ExtentRecord MeasurePower(QVMToken& t, const MeasureArgs& a);
void DrawPower(QVMToken& t, const DrawArgs& a);
ExtentRecord MeasureSubscript(QVMToken& t, const MeasureArgs& a);
void DrawSubscript(QVMToken& t, const DrawArgs& a);
ExtentRecord MeasureInverseFunction(QVMToken& t, const MeasureArgs& a);
void DrawInverseFunction(QVMToken& t, const DrawArgs& a);
ExtentRecord MeasureFraction(QVMToken& t, const MeasureArgs& a);
void DrawFraction(QVMToken& t, const DrawArgs& a);
ExtentRecord MeasurePermutation(QVMToken& t, const MeasureArgs& a);
void DrawPermutation(QVMToken& t, const DrawArgs& a);
ExtentRecord MeasureSquareRoot(QVMToken& t, const MeasureArgs& a);
void DrawSquareRoot(QVMToken& t, const DrawArgs& a);
ExtentRecord MeasureRoot(QVMToken& t, const MeasureArgs& a);
void DrawRoot(QVMToken& t, const DrawArgs& a);
ExtentRecord MeasureLongDivision(QVMToken& t, const MeasureArgs& a);
void DrawLongDivision(QVMToken& t, const DrawArgs& a);
ExtentRecord MeasureCodeDrawn(QVMToken& t, const MeasureArgs& a);
void DrawCodeDrawn(QVMToken& t, const DrawArgs& a);

// Brackets, bars and integrals stretched from Symbol pieces; bracket
// groups; matrices.
CSize MeasureStretchedDelimiter(CDC& dc, const CString& text, int32_t height, int32_t size);
// False when the bracket is short: nothing drawn, the caller draws text.
// Given an `inkSpan`, the pieces sized for `height` are spread so that
// their ink, not their cells, spans that.
bool DrawStretchedDelimiter(CDC& dc, int32_t x, int32_t y, CString text, int32_t height,
                            int32_t size, COLORREF color, int32_t inkSpan = 0);
// Where the ink of a bracket or sign drawn at `height` stands in its
// measured box `width` wide: a short one is a glyph of the selected font.
// A `stretched` one has the pieces measured for `height`.
InkSides DelimiterInk(CDC& dc, const CString& text, int32_t height, int32_t size, int32_t width,
                      bool stretched = false);
// How far the ink of a tall bracket or sign drawn at `height` reaches above
// its bottom (the draw without an ink span).
InkReach StretchedReach(CDC& dc, const CString& text, int32_t height, int32_t size);
ExtentRecord MeasureBrackets(QVMToken& t, const MeasureArgs& a);
void DrawBrackets(QVMToken& t, const DrawArgs& a);
ExtentRecord MeasureMatrix(QVMToken& t, const MeasureArgs& a);
void DrawMatrix(QVMToken& t, const DrawArgs& a);

// Accents, vectors, over-arrows and arcs.
ExtentRecord MeasureModifier(QVMToken& t, const MeasureArgs& a);
void DrawModifier(QVMToken& t, const DrawArgs& a);
ExtentRecord MeasureCapitalVector(QVMToken& t, const MeasureArgs& a);
void DrawCapitalVector(QVMToken& t, const DrawArgs& a);
ExtentRecord MeasureLetterVector(QVMToken& t, const MeasureArgs& a);
void DrawLetterVector(QVMToken& t, const DrawArgs& a);
ExtentRecord MeasureOverArrow(QVMToken& t, const MeasureArgs& a);
void DrawOverArrow(QVMToken& t, const DrawArgs& a);
ExtentRecord MeasureArc(QVMToken& t, const MeasureArgs& a);
void DrawArc(QVMToken& t, const DrawArgs& a);
void DrawEllipticArc(CDC& dc, int32_t left, int32_t bottom, int32_t right, int32_t top,
                     double a0, double a1);
