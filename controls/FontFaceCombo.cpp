// CFontFaceCombo.
#include "controls/FontFaceCombo.h"

#include <commctrl.h>

#include <algorithm>
#include <cstring>

#include "framework/DataExchange.h"
#include "resources/resource.h"

IMPLEMENT_DYNAMIC(CFontFaceCombo, CComboBox)

BEGIN_MESSAGE_MAP(CFontFaceCombo, CComboBox)
  ON_WM_MEASUREITEM_REFLECT()
  ON_WM_DRAWITEM_REFLECT()
  ON_CONTROL_REFLECT(CBN_DROPDOWN, OnDropDown)
END_MESSAGE_MAP()

namespace {

// Where the text starts beside the TrueType glyph.
constexpr int kGlyphWidth = 15;

LOGFONTA FaceLogFont(const char* face, int height, BYTE quality) {
  LOGFONTA font{};
  font.lfHeight = height;
  font.lfWeight = FW_NORMAL;
  font.lfCharSet = DEFAULT_CHARSET;
  font.lfQuality = quality;
  lstrcpynA(font.lfFaceName, face, LF_FACESIZE);
  return font;
}

int TextWidth(HDC dc, HFONT font, const CString& text) {
  HGDIOBJ old = ::SelectObject(dc, font);
  SIZE size{};
  ::GetTextExtentPoint32A(dc, text, text.GetLength(), &size);
  ::SelectObject(dc, old);
  return size.cx;
}

}  // namespace

CFontFaceCombo::CFontFaceCombo() : SampleColour(::GetSysColor(COLOR_WINDOWTEXT)) {}

CFontFaceCombo::~CFontFaceCombo() {
  fonts_.clear();
  if (glyphs_) ImageList_Destroy(glyphs_);
}

void CFontFaceCombo::FillFontList() {
  // The TrueType mark is the program's when a language module lacks it.
  const char* glyphs = MAKEINTRESOURCEA(IDB_FONT_PREVIEW);
  if (!glyphs_)
    glyphs_ = ImageList_LoadImageA(AfxFindResourceHandle(glyphs, RT_BITMAP), glyphs, kGlyphWidth, 1,
                                   RGB(255, 255, 255), IMAGE_BITMAP, 0);
  ResetContent();
  fonts_.clear();
  HDC dc = ::GetDC(m_hWnd);
  ::EnumFontsA(dc, nullptr, EnumFace, reinterpret_cast<LPARAM>(this));
  ::ReleaseDC(m_hWnd, dc);
  SetCurSel(0);
}

int CALLBACK CFontFaceCombo::EnumFace(const LOGFONTA* font, const TEXTMETRICA*, DWORD type,
                                      LPARAM self) {
  if (font->lfCharSet == ANSI_CHARSET) reinterpret_cast<CFontFaceCombo*>(self)->AddFace(*font, type);
  return 1;
}

void CFontFaceCombo::AddFace(const LOGFONTA& font, DWORD type) {
  // EnumFonts may report one face more than once (one per style).
  if (FindStringExact(-1, font.lfFaceName) != CB_ERR) return;
  const int index = AddString(font.lfFaceName);
  if (index < 0) return;
  SetItemData(index, type);
  if (Style == NameInControlFont) return;
  auto made = std::make_unique<CFont>();
  if (made->Attach(MakeFont(font.lfFaceName, DEFAULT_QUALITY)))
    fonts_[CString(font.lfFaceName)] = std::move(made);
}

HFONT CFontFaceCombo::MakeFont(const char* face, BYTE quality) const {
  const LOGFONTA font = FaceLogFont(face, FontHeight, quality);
  return ::CreateFontIndirectA(&font);
}

CFont* CFontFaceCombo::FontOf(const char* face) const {
  const auto it = fonts_.find(CString(face));
  return it == fonts_.end() ? nullptr : it->second.get();
}

void CFontFaceCombo::SelectFace(const char* face) {
  if (!face || !*face) {
    SetCurSel(-1);
    return;
  }
  int index = FindStringExact(-1, face);
  // Guard: a face missing here stays the face; no other one stands in.
  if (index == CB_ERR) index = AddString(face);
  SetCurSel(index);
}

CString CFontFaceCombo::GetSelectedFace() const {
  const int index = GetCurSel();
  return index < 0 ? CString() : GetLBText(index);
}

void CFontFaceCombo::MeasureItem(LPMEASUREITEMSTRUCT item) {
  if (item->itemID == static_cast<UINT>(-1) || !m_hWnd) {
    item->itemHeight = static_cast<UINT>(FontHeight + 4);
    return;
  }
  const CString face = GetLBText(static_cast<int>(item->itemID));
  HFONT font = MakeFont(face, ANTIALIASED_QUALITY);
  LOGFONTA logFont{};
  ::GetObjectA(font, sizeof logFont, &logFont);
  if (Style == NameThenSample || Style == SampleThenName) {
    HDC dc = ::GetDC(m_hWnd);
    widestName_ = std::max(widestName_,
                           TextWidth(dc, static_cast<HFONT>(::GetStockObject(DEFAULT_GUI_FONT)), face));
    widestSample_ = std::max(widestSample_, TextWidth(dc, font, SampleText));
    ::ReleaseDC(m_hWnd, dc);
  } else {
    widestName_ = widestSample_ = 0;
  }
  ::DeleteObject(font);
  item->itemHeight = static_cast<UINT>(std::abs(logFont.lfHeight) + 4);
}

// A disabled list shows its face greyed, as disabled controls show their text.
void CFontFaceCombo::DrawItem(LPDRAWITEMSTRUCT item) {
  if (item->itemState & ODS_FOCUS) ::DrawFocusRect(item->hDC, &item->rcItem);
  if (item->itemID == static_cast<UINT>(-1)) return;
  HDC dc = item->hDC;
  const int saved = ::SaveDC(dc);
  const bool disabled = (item->itemState & ODS_DISABLED) != 0;
  const bool selected = !disabled && (item->itemState & ODS_SELECTED) != 0;
  COLORREF sampleColour = disabled ? ::GetSysColor(COLOR_GRAYTEXT) : SampleColour;
  if (selected) {
    ::FillRect(dc, &item->rcItem, ::GetSysColorBrush(COLOR_HIGHLIGHT));
    sampleColour = ::GetSysColor(COLOR_HIGHLIGHTTEXT);
    ::SetTextColor(dc, sampleColour);
  } else {
    HBRUSH background = ::CreateSolidBrush(::GetBkColor(dc));
    ::FillRect(dc, &item->rcItem, background);
    ::DeleteObject(background);
  }
  ::SetBkMode(dc, TRANSPARENT);
  RECT text = item->rcItem;
  if (item->itemData == TRUETYPE_FONTTYPE && glyphs_) {
    ImageList_Draw(glyphs_, 0, dc, text.left + 5, text.top + 4, ILD_TRANSPARENT);
    text.left += kGlyphWidth;
  }
  const CString face = GetLBText(static_cast<int>(item->itemID));
  ::SetTextColor(dc, selected || disabled ? sampleColour : ::GetSysColor(COLOR_WINDOWTEXT));
  const bool editPart = (item->itemState & ODS_COMBOBOXEDIT) != 0;
  HFONT fitted = editPart ? FittedFaceFont(face, item->rcItem) : nullptr;
  DrawPreview(dc, text, face, editPart, sampleColour, fitted);
  if (fitted) ::DeleteObject(fitted);
  ::RestoreDC(dc, saved);
}

// The edit part is only as tall as the control's field, lower than the
// list's items: a face font taller than the field would spill over its
// edges, so there the face is drawn in a font that fits. Null when the
// face's own font fits, or when the face has none.
HFONT CFontFaceCombo::FittedFaceFont(const char* face, const RECT& rect) const {
  const int room = rect.bottom - rect.top - 2;
  if (room <= 0 || room >= FontHeight || !FontOf(face)) return nullptr;
  const LOGFONTA font = FaceLogFont(face, room, DEFAULT_QUALITY);
  return ::CreateFontIndirectA(&font);
}

// The name and the sample by the preview style, centred in the item; the
// sample in `sampleColour` unless the item is selected.
void CFontFaceCombo::DrawPreview(HDC dc, const RECT& rect, const char* faceName, bool editPart,
                                 COLORREF sampleColour, HFONT faceFont) {
  CFont* ownFont = FontOf(faceName);
  HFONT own = faceFont ? faceFont : ownFont ? static_cast<HFONT>(*ownFont) : GetFont();
  HFONT control = GetFont();
  const CString face(faceName);
  auto drawAt = [&](int x, HFONT font, const CString& text, COLORREF colour) {
    HGDIOBJ old = ::SelectObject(dc, font);
    if (colour != CLR_INVALID) ::SetTextColor(dc, colour);
    RECT box = rect;
    box.left = x;
    ::DrawTextA(dc, text, text.GetLength(), &box, DT_SINGLELINE | DT_VCENTER | DT_NOPREFIX);
    ::SelectObject(dc, old);
    return TextWidth(dc, font, text);
  };
  const COLORREF sample = ::GetTextColor(dc) == ::GetSysColor(COLOR_HIGHLIGHTTEXT)
                              ? CLR_INVALID : sampleColour;
  switch (Style) {
    case NameOnly: drawAt(rect.left + 2, own, face, CLR_INVALID); break;
    case NameInControlFont: drawAt(rect.left + 2, control, face, CLR_INVALID); break;
    case NameThenSample: {
      const int nameWidth = drawAt(rect.left + 2, control, face, CLR_INVALID);
      drawAt(rect.left + 20 + (editPart ? nameWidth : widestName_), own, SampleText, sample);
      break;
    }
    case SampleThenName: {
      const int sampleWidth = drawAt(rect.left + 10, own, SampleText, sample);
      drawAt(rect.left + 20 + (editPart ? sampleWidth : widestSample_), control, face, CLR_INVALID);
      break;
    }
    default: drawAt(rect.left + 10, own, SampleText, sample);
  }
}

void CFontFaceCombo::OnDropDown() {
  const int scroll = ::GetSystemMetrics(SM_CXVSCROLL);
  int width = scroll + 15 + widestName_;
  if (Style == NameThenSample || Style == SampleThenName)
    width = scroll + widestName_ + widestSample_ + 35;
  else if (Style == SampleOnly)
    width = scroll + 15 + widestSample_;
  SendMessage(CB_SETDROPPEDWIDTH, static_cast<WPARAM>(width));
}

void DDX_FontPreviewComboValue(CDataExchange* dx, int id, CString& face) {
  auto* combo = dynamic_cast<CFontFaceCombo*>(CWnd::FromHandlePermanent(dx->PrepareCtrl(id)));
  if (!combo) return;
  if (dx->m_bSaveAndValidate)
    face = combo->GetSelectedFace();
  else
    combo->SelectFace(face);
}
