// CFontFaceCombo: an owner-drawn combo box of the installed ANSI fonts,
// each face shown in its own font (or beside a sample text, by the preview
// style), TrueType faces marked with a small glyph.
// Choices of ours: a face that is asked for but not installed is added to
// the list (drawn in the control's font) and selected, so that it is shown
// and kept as it was rather than replaced by another face. The closed
// list's field draws its face in a font no taller than the field, and a
// disabled list draws its text in the system's grey text colour.
#pragma once

#include <map>
#include <memory>

#include "framework/Controls.h"
#include "framework/Gdi.h"

#include <commctrl.h>

class CDataExchange;

class CFontFaceCombo : public CComboBox {
  DECLARE_DYNAMIC(CFontFaceCombo)
 public:
  enum PreviewStyle { NameOnly = 0, NameInControlFont = 1, NameThenSample = 2,
                      SampleThenName = 3, SampleOnly = 4 };

  CFontFaceCombo();
  ~CFontFaceCombo() override;

  // Lists the installed ANSI faces again and selects the first.
  void FillFontList();
  // Selects `face` (exact match, any case); a face not in the list is
  // added first. An empty face selects nothing.
  void SelectFace(const char* face);
  // The selected face, or "" with no selection.
  CString GetSelectedFace() const;
  // The font a face is drawn in; null when none was made for it.
  CFont* FontOf(const char* face) const;

  void MeasureItem(LPMEASUREITEMSTRUCT item) override;
  void DrawItem(LPDRAWITEMSTRUCT item) override;

  CString SampleText{"abcdeABCDE"};
  COLORREF SampleColour;
  int Style = NameOnly;
  int FontHeight = 18;

 protected:
  void OnDropDown();

 private:
  static int CALLBACK EnumFace(const LOGFONTA* font, const TEXTMETRICA*, DWORD type, LPARAM self);
  void AddFace(const LOGFONTA& font, DWORD type);
  HFONT MakeFont(const char* face, BYTE quality) const;
  HFONT FittedFaceFont(const char* face, const RECT& rect) const;
  void DrawPreview(HDC dc, const RECT& rect, const char* face, bool editPart,
                   COLORREF sampleColour, HFONT faceFont);

  HIMAGELIST glyphs_ = nullptr;
  std::map<CString, std::unique_ptr<CFont>> fonts_;
  int widestName_ = 0;
  int widestSample_ = 0;

  DECLARE_MESSAGE_MAP()
};

// Loading selects the face (SelectFace); saving gives the selected face.
void DDX_FontPreviewComboValue(CDataExchange* dx, int id, CString& face);
