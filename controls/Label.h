// CLabel: a static text with its own font and colours, a solid or graded
// background, flashing text or background, rotated or raised ("3-D") text,
// and link behaviour (a click opens a web or mail address, or notifies the
// parent with WM_NOTIFY code kLabelClicked). Dialogs subclass their static
// texts with it; every setter returns the label so calls can be chained.
// CLayeredWindowHelper calls SetLayeredWindowAttributes, looked up in USER32
// at run time.
// Choices of ours: a graded fill of a label with no width draws nothing; a
// link opens only http://, https:// and mailto: addresses, so text from
// files can never start a program; a redraw repaints the parent under the
// label first and the label after it, so the label is never painted over.
#pragma once

#include "framework/Controls.h"
#include "framework/Gdi.h"

class CDC;

class CLabel : public CStatic {
  DECLARE_DYNAMIC(CLabel)
 public:
  static constexpr UINT kLabelClicked = 0x8200;  // WM_NOTIFY code to the parent
  static constexpr UINT_PTR kFlashTimer = 1;
  static constexpr UINT kFlashMilliseconds = 500;
  static constexpr int kMaxGradedStrips = 100;
  enum LinkMode { kNoLink = 0, kWebLink = 1, kMailLink = 2 };
  enum FlashMode { kNoFlash = 0, kFlashText = 1, kFlashBackground = 2 };
  enum FillMode { kSolidFill = 0, kGradedFill = 1 };

  CLabel();
  ~CLabel() override;

  BOOL PreCreateWindow(CREATESTRUCTA& cs) override { return CStatic::PreCreateWindow(cs); }
  void PreSubclassWindow() override;

  virtual CLabel& SetBackgroundColour(COLORREF colour, COLORREF secondColour = 0,
                                      int fillMode = kSolidFill);
  virtual CLabel& SetTextColour(COLORREF colour);
  virtual CLabel& SetLabelText(const char* text);
  virtual CLabel& SetBold(BOOL bold);
  virtual CLabel& SetFaceName(const char* faceName, BYTE charSet = DEFAULT_CHARSET);
  virtual CLabel& SetUnderline(BOOL underline);
  virtual CLabel& SetItalic(BOOL italic);
  virtual CLabel& SetPointSize(int points);
  virtual CLabel& SetSunken(BOOL sunken);
  virtual CLabel& SetBorder(BOOL border);
  virtual CLabel& SetTransparent(BOOL transparent);
  virtual CLabel& SetFlashText(BOOL flash);
  virtual CLabel& SetFlashBackground(BOOL flash);
  virtual CLabel& SetUrlLink(BOOL link, BOOL notifyParent);
  virtual CLabel& SetLinkCursor(HCURSOR cursor);
  virtual CLabel& Set3DText(BOOL raised, BOOL downRight = TRUE);
  virtual CLabel& SetRotation(int degrees, BOOL rotated = TRUE);
  virtual CLabel& Set3DHighlightColour(COLORREF colour);
  virtual CLabel& SetLogFont(const LOGFONTA& font);
  virtual CLabel& SetMailLink(BOOL link, BOOL notifyParent);
  virtual CLabel& SetLinkTarget(const char* target);

  // Fills `rect` left to right from `start` to `end` in at most 100 solid
  // strips; returns the number of strips drawn.
  static int FillGraded(CDC& dc, const RECT& rect, COLORREF start, COLORREF end);
  // What a click on a label in link mode `mode` opens: empty when it opens
  // nothing (no link, or an address that is not http(s) or mailto).
  static CString LinkAddress(int mode, const CString& target, const CString& text);

  BOOL FlashTimerRunning() const { return flashTimerRunning_; }
  BOOL FlashPhase() const { return flashPhase_; }

 protected:
  void OnPaint();
  void OnTimer(UINT_PTR id);
  BOOL OnSetCursor(CWnd* wnd, UINT hitTest, UINT message);
  LRESULT OnSysColorChangeMessage(WPARAM, LPARAM);
  BOOL OnEraseBkgnd(HDC) { return TRUE; }
  void OnLButtonDown(UINT flags, CPoint point);

  DECLARE_MESSAGE_MAP()

 private:
  void Redraw();
  void RemakeFont();
  // The font made again from its description, and the label redrawn.
  CLabel& FontChanged();
  CLabel& SetLink(int mode, BOOL notifyParent);
  void StopFlashTimer();
  void StartFlashTimer(int mode);
  UINT TextFormat(const CString& text) const;
  void PaintBackground(CDC& dc, const CRect& client);
  void PaintText(CDC& dc, const CRect& client, const CString& text);

  COLORREF textColour_;
  COLORREF highlightColour_ = RGB(255, 255, 255);
  CBrush systemBrush_;
  CBrush backgroundBrush_;
  LOGFONTA logFont_{};
  CFont font_;
  BOOL flashPhase_ = FALSE;
  BOOL flashTimerRunning_ = FALSE;
  int linkMode_ = kNoLink;
  BOOL transparent_ = FALSE;
  BOOL text3D_ = FALSE;
  BOOL notifyParent_ = FALSE;
  BOOL rotated_ = FALSE;
  int flashMode_ = kNoFlash;
  HCURSOR linkCursor_ = nullptr;
  BOOL downRight3D_ = TRUE;
  int fillMode_ = kSolidFill;
  COLORREF secondColour_ = 0;
  COLORREF backgroundColour_ = 0;
  CString linkTarget_;
};

class CLayeredWindowHelper {
 public:
  CLayeredWindowHelper();
  ~CLayeredWindowHelper();
  CLayeredWindowHelper(const CLayeredWindowHelper&) = delete;
  CLayeredWindowHelper& operator=(const CLayeredWindowHelper&) = delete;

  // TRUE without doing anything when USER32 could not be loaded; FALSE when
  // it lacks the call; otherwise the call's own result.
  BOOL SetLayeredWindowAttributes(HWND window, COLORREF colourKey, BYTE alpha, DWORD flags);

 private:
  HMODULE user32_ = nullptr;
};

// The main frame's one helper, defined with the program's other globals.
extern CLayeredWindowHelper theLayeredWindowHelper;
