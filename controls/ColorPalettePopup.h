// CColorPalettePopup: the palette that a CColorButton opens: an
// "Automatic" box, a grid of 40 named colours and a "More Colors..." box
// that opens the system colour dialog. It captures the mouse, answers the
// keyboard, tells the button with WM_COLOUR_CHANGED while the highlight
// moves and with WM_COLOUR_ACCEPTED or WM_COLOUR_CANCELLED at the end, and
// deletes itself when its window goes.
// Choices of ours: every cell is its own tooltip tool, so each shows its
// own colour's name.
#pragma once

#include "framework/Gdi.h"
#include "framework/Wnd.h"

class CColorButton;

struct ColourTableEntry {
  COLORREF colour;
  const char* name;
};

class CColorPalettePopup : public CWnd {
 public:
  static constexpr int kColourCount = 40;
  static constexpr int kColumns = 8;
  // Choice values besides the cells 0 to 39.
  static constexpr int kNoChoice = -1;
  static constexpr int kCustomBox = -2;
  static constexpr int kDefaultBox = -3;
  static const ColourTableEntry kColours[kColourCount];

  // Makes the window at (x, y) in screen coordinates; without a window the
  // object is left for the caller to delete.
  CColorPalettePopup(CPoint origin, COLORREF colour, CColorButton* button,
                     const char* defaultText, const char* customText);
  ~CColorPalettePopup() override;

  int GetHighlight() const { return highlight_; }
  int GetOpeningChoice() const { return openingChoice_; }
  // Where a choice is drawn, in client coordinates.
  CRect ChoiceRect(int choice) const;
  // Takes the mouse back from any other window that took it.
  BOOL PreTranslateMessage(MSG* msg) override;

 protected:
  void OnPaint();
  void OnMouseMove(UINT flags, CPoint point);
  void OnLButtonUp(UINT flags, CPoint point);
  void OnKeyDown(UINT key, UINT repeat, UINT flags);
  void OnKillFocus(CWnd* next);
  LRESULT OnActivateApp(WPARAM active, LPARAM);
  LRESULT OnQueryNewPalette(WPARAM, LPARAM);
  LRESULT OnPaletteChanged(WPARAM changer, LPARAM);
  void PostNcDestroy() override { delete this; }

 private:
  void Layout(CPoint origin);
  void AddTooltips();
  int FindChoiceOf(COLORREF colour) const;
  int ChoiceAt(CPoint point) const;
  void ChangeHighlight(int choice);
  int KeyTarget(UINT key) const;
  void DrawCell(CDC& dc, int index);
  void DrawTextBox(CDC& dc, int choice);
  void Accept();
  void Cancel();
  void Finish(UINT message);

  int boxSize_;
  int margin_;
  int highlight_ = kNoChoice;
  int openingChoice_ = kNoChoice;
  CString defaultText_, customText_;
  CRect defaultRect_, customRect_;
  CFont font_;
  CPalette palette_;
  COLORREF openingColour_, chosenColour_;
  HWND tooltip_ = nullptr;
  CColorButton* button_;
  bool colourDialogOpen_ = false;
  bool finished_ = false;

  DECLARE_MESSAGE_MAP()
};
