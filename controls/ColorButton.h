// CColorButton: a push button that shows a colour swatch with a drop-down
// arrow and opens the colour palette popup (ColorPalettePopup.h) when
// clicked. It tells its parent about the popup with the WM_COLOUR_*
// messages (wParam the colour, lParam the button's id).
// Choices of ours: the "automatic" marker never leaves the button through
// data exchange: it is read as the button's default colour, which the
// owner sets to the default of the option the button edits. A popup whose
// window cannot be made leaves the button closed and tells nobody.
#pragma once

#include "framework/Controls.h"

class CDataExchange;

constexpr UINT WM_COLOUR_CHANGED = 2025;
constexpr UINT WM_COLOUR_DROPDOWN = 2026;
constexpr UINT WM_COLOUR_CLOSEUP = 2027;
constexpr UINT WM_COLOUR_ACCEPTED = 2028;
constexpr UINT WM_COLOUR_CANCELLED = 2029;

// The colour value that means "the default colour".
constexpr COLORREF kAutomaticColour = 0xFF000000;

class CColorButton : public CButton {
  DECLARE_DYNCREATE(CColorButton)
 public:
  CColorButton();

  COLORREF GetColour() const { return colour_; }
  void SetColour(COLORREF colour);
  COLORREF GetDefaultColour() const { return defaultColour_; }
  void SetDefaultColour(COLORREF colour) { defaultColour_ = colour; }
  // The colour as a value to keep: the default colour for "automatic".
  COLORREF GetEffectiveColour() const;
  bool IsPopupOpen() const { return popupOpen_; }

  void PreSubclassWindow() override;
  void DrawItem(LPDRAWITEMSTRUCT item) override;

  CString DefaultText{"Automatic"};
  CString CustomText{"More Colors..."};
  // The swatch follows the popup's highlighted colour while it is open.
  BOOL TrackSelection = FALSE;

 protected:
  BOOL OnClicked();
  LRESULT OnAccepted(WPARAM colour, LPARAM);
  LRESULT OnCancelled(WPARAM colour, LPARAM);
  LRESULT OnChanged(WPARAM colour, LPARAM);
  int OnCreate(LPCREATESTRUCTA create);

 private:
  void NotifyParent(UINT message, COLORREF colour) const;
  COLORREF colour_ = kAutomaticColour;
  COLORREF defaultColour_;
  bool popupOpen_ = false;

  DECLARE_MESSAGE_MAP()
};

// Loading sets the button's colour and redraws it; saving reads it (the
// default colour when it is "automatic").
void DDX_ColorButtonValue(CDataExchange* dx, int id, COLORREF& value);
