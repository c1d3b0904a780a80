// CDrawnButton: a push button that draws itself. A flat look that lights up
// under the mouse or a classic 3-D look; an icon or a masked bitmap beside or
// above the caption, with grey or darker copies made on request; six state
// colours; a checkbox mode; an optional pop-up menu or web address opened on
// click; an optional cursor, tooltip and sounds. Dialogs subclass their
// push buttons with it.
// Choices of ours: the bitmaps GetIconInfo hands out are always freed; a
// web address or sound name longer than 260 characters is refused rather
// than cut (a cut address would open another page); tooltip texts are cut
// to kMaxTipChars; the mask blit uses black on white whatever the DC's
// colours were, so transparent pixels stay transparent; a button being
// disabled hands the focus to the next control only when it held it (or the
// system took it), never away from another control.
#pragma once

#include "framework/Controls.h"
#include "framework/Dc.h"
#include "framework/Gdi.h"

class CDrawnButton : public CButton {
  DECLARE_DYNAMIC(CDrawnButton)
 public:
  enum ButtonColourSlot {
    kBackgroundIn = 0,   // hovered or pressed
    kForegroundIn = 1,
    kBackgroundOut = 2,  // normal
    kForegroundOut = 3,
    kBackgroundFocus = 4,
    kForegroundFocus = 5,
    kColourSlots = 6
  };
  enum Result { kOk = 0, kInvalidResource = 1, kFailedMask = 2, kInvalidIndex = 3, kBadParam = 5 };
  enum Align { kAlignHorizontal = 0, kAlignVertical = 1, kAlignHorizontalRight = 2 };
  // Special "out" images for the image setters.
  static inline const HICON kGreyIcon = reinterpret_cast<HICON>(static_cast<INT_PTR>(-2));
  static inline const HICON kDarkerIcon = reinterpret_cast<HICON>(static_cast<INT_PTR>(-3));
  static inline const HBITMAP kGreyBitmap = reinterpret_cast<HBITMAP>(static_cast<INT_PTR>(-2));
  static inline const HBITMAP kDarkerBitmap = reinterpret_cast<HBITMAP>(static_cast<INT_PTR>(-3));
  static constexpr UINT kGreyId = static_cast<UINT>(-2);
  static constexpr UINT kDarkerId = static_cast<UINT>(-3);
  static constexpr int kMaxTextChars = 260;   // web address and sound names
  static constexpr int kMaxTipChars = 1023;

  CDrawnButton();
  ~CDrawnButton() override;

  // --- images (the button owns what it is given) ---
  DWORD SetIcons(HICON in, HICON out = nullptr);
  DWORD SetIconResources(UINT inId, UINT outId = 0);
  DWORD SetBitmapImages(HBITMAP in, COLORREF inTransparent, HBITMAP out = nullptr,
                        COLORREF outTransparent = 0);
  DWORD SetBitmapResources(UINT inId, COLORREF inTransparent, UINT outId = 0,
                           COLORREF outTransparent = 0);
  void FreeImages(BOOL check = TRUE);

  // --- look ---
  DWORD ShiftColor(int slot, short shade, BOOL repaint = TRUE);
  DWORD SetColor(int slot, COLORREF colour, BOOL repaint = TRUE);
  COLORREF GetColor(int slot) const;
  void SetFlat(BOOL flat, BOOL repaint = TRUE);
  void SetAlign(int align, BOOL repaint = TRUE);
  void SetCheckboxMode(BOOL checkbox) { checkbox_ = checkbox; }
  void SetDrawBorder(BOOL draw, BOOL repaint = TRUE);
  void SetFlatFocus(BOOL draw, BOOL repaint = TRUE);
  void SetAlwaysTrack(BOOL always) { alwaysTrack_ = always; }
  void DrawTransparent(BOOL repaint = TRUE);

  // --- behaviour ---
  void SetCheck(int check, BOOL repaint = TRUE);
  int GetCheck() const { return checked_; }
  // The button owns the cursor and destroys it.
  void SetBtnCursor(HCURSOR cursor, BOOL repaint = FALSE);
  void SetTooltipText(const char* text, BOOL activate = TRUE);
  void ActivateTooltip(BOOL activate = TRUE);
  // False when the address is longer than kMaxTextChars.
  BOOL SetURL(const char* address);
  const CString& GetURL() const { return webAddress_; }
  // The first sub-menu of menu `menuId` pops up on click; commands go to `owner`.
  BOOL SetMenu(UINT menuId, HWND owner, BOOL repaint = TRUE);
  void SetMenuCallback(HWND window, UINT message, LPARAM parameter = 0);
  // A sound played on entering (hover) or clicking; null switches it off.
  BOOL SetSound(const char* sound, HMODULE module = nullptr, BOOL playOnClick = FALSE);
  BOOL IsHovering() const { return hovering_; }

  void PreSubclassWindow() override;
  BOOL PreTranslateMessage(MSG* msg) override;
  void DrawItem(LPDRAWITEMSTRUCT item) override;

  // Pixel helpers, public for the tests of the images they make.
  static COLORREF GreyOf(COLORREF colour);
  static COLORREF DarkerOf(COLORREF colour, double factor = 0.25);

 protected:
  virtual void PaintBackground(CDC& dc, CRect& rect);
  virtual void PaintBorder(CDC& dc, const CRect& rect);
  virtual void PaintIcon(CDC& dc, BOOL hasCaption, const CRect& item, CRect& caption);
  virtual void PaintBitmap(CDC& dc, BOOL hasCaption, const CRect& item, CRect& caption);
  virtual void PaintText(CDC& dc, const CString& caption, CRect& rect);

  UINT OnGetDlgCode();
  BOOL OnSetCursor(CWnd* wnd, UINT hitTest, UINT message);
  void OnMouseMove(UINT flags, CPoint point);
  LRESULT OnMouseLeave(WPARAM, LPARAM);
  void OnKillFocus(CWnd* newFocus);
  LRESULT OnCancelMode(WPARAM, LPARAM);
  void OnActivate(UINT state, CWnd* other, BOOL minimized);
  void OnEnable(BOOL enable);
  LRESULT OnSysColorChangeMessage(WPARAM, LPARAM);
  LRESULT OnSetStyle(WPARAM style, LPARAM redraw);
  LRESULT OnSetCheck(WPARAM check, LPARAM);
  LRESULT OnGetCheck(WPARAM, LPARAM);
  HBRUSH CtlColor(HDC dc, UINT kind);
  BOOL OnClicked();

  DECLARE_MESSAGE_MAP()

 private:
  struct IconImage {
    HICON handle = nullptr;
    int width = 0;
    int height = 0;
  };
  struct BitmapImage {
    CBitmap bitmap;
    CBitmap mask;
    int width = 0;
    int height = 0;
    COLORREF transparent = 0;
  };

  void Repaint() { if (m_hWnd) Invalidate(); }
  void LeaveHover();
  void ResetColours();
  void PlaySoundOf(int which);
  void CacheParentBackground(CDC& dc, const CRect& item);
  CRect ImageRect(BOOL hasCaption, const CRect& item, CRect& caption, int width, int height) const;
  BOOL UseOutImage(BOOL haveOut) const;
  static BOOL IconSize(HICON icon, IconImage& image);

  BOOL showDisabledBitmap_ = TRUE;
  CPoint imageMargin_{3, 3};
  CPoint pressedOffset_{1, 1};
  BOOL flat_ = TRUE;
  BOOL hovering_ = FALSE;
  BOOL drawTransparent_ = FALSE;
  BOOL pressed_ = FALSE;
  BOOL focused_ = FALSE;
  BOOL disabled_ = FALSE;
  BOOL default_ = FALSE;
  BOOL checkbox_ = FALSE;
  int align_ = kAlignHorizontal;
  BOOL drawBorder_ = TRUE;
  BOOL drawFlatFocus_ = FALSE;
  COLORREF colours_[kColourSlots] = {};
  HWND menuOwner_ = nullptr;
  BOOL menuShown_ = FALSE;
  HMENU menu_ = nullptr;
  HCURSOR cursor_ = nullptr;
  CToolTipCtrl tooltip_;
  CString tipText_;
  CDC backgroundDC_;
  CBitmap backgroundBitmap_;
  CBitmap* oldBackgroundBitmap_ = nullptr;
  BOOL alwaysTrack_ = TRUE;
  BOOL checked_ = FALSE;
  UINT typeStyle_ = 0x1F;
  CString webAddress_;
  IconImage iconIn_, iconOut_;
  BitmapImage bitmapIn_, bitmapOut_;
  HWND callbackWindow_ = nullptr;
  UINT callbackMessage_ = 0;
  LPARAM callbackParameter_ = 0;
  struct Sound {
    CString name;
    HMODULE module = nullptr;
    DWORD flags = 0;
  } sounds_[2];  // 0 hover, 1 click
};
