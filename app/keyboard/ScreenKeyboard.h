// QVScreenKeyboard: a small window of painted keys that types into the
// window the user works in. It never takes the activation, follows the
// foreground window, turns a key press into synthetic keystrokes and can
// hold Shift, Ctrl and Alt down across presses. Its background drags the
// window; its frame resizes it and the keys scale with it.
// Choices of ours: the keystrokes of one press go in one SendInput batch;
// the keyboard attaches to the target's input only around a press and a
// hand-back of the focus, never to a hidden window's thread; it lets go only
// of the modifiers it holds itself (never a Shift the user holds on the real
// keyboard), and it lets go of them when it is hidden, when a layout is
// built and when it is destroyed, clearing their latches; a held modifier
// that the system let go of is pressed again before the next key; the key of
// a layout change is freed with its layout and never kept as the pressed key;
// characters that the keyboard layout cannot type with Shift alone go as
// Unicode key events; the outline of a drag is drawn on a screen DC got and
// released per stroke, and a lost capture erases it; Caps Lock is left as
// the user toggled it.
#pragma once

#include <vector>

#include "controls/ScreenKeyLayouts.h"
#include "framework/Collections.h"
#include "framework/Dialog.h"

class CDC;

// One key of the keyboard (owned by its list).
struct QVKeyDef {
  CString outputText;
  CString legend;
  CString caption;
  CRect keyRect;  // layout units, moved by (+1, +1)
  BYTE pressed = 0;
  BYTE symbolFont = 0;
  COLORREF faceColour = 0;
  COLORREF pressedFaceColour = 0;
  COLORREF darkEdgeColour = 0;
  COLORREF shadowEdgeColour = 0;
  int32_t targetLayout = 0;
  BYTE largeLegend = 0;
};

class QVScreenKeyboard : public CDialog {
 public:
  // Modifier bits of the live key state.
  static constexpr int32_t kCapsOn = 1, kShiftDown = 2, kCtrlDown = 4, kAltDown = 8;
  static constexpr UINT_PTR kModifierTimer = 101;

  QVScreenKeyboard();
  ~QVScreenKeyboard() override;

  // Frees the keys, lets go of held modifiers and adds the keys of `layout`,
  // sizing the window for it.
  void BuildLayout(int32_t layout);
  void AddKey(const CRect& rect, const char* outputText, const char* legend, const char* caption,
              bool symbolFont, bool largeLegend, int32_t targetLayout, bool defaultColours,
              COLORREF face, COLORREF pressedFace, COLORREF darkEdge, COLORREF shadowEdge);
  // Performs one press of `key`; false when the press built another layout,
  // which freed `key` with the rest.
  bool PressKey(QVKeyDef* key);
  // Key-ups for the modifiers the keyboard holds down; clears their latches.
  void ReleaseModifiers();
  // Gives the focus back to the target window when it lost the foreground.
  void GiveFocusBack();
  // The live modifier state (kCapsOn | kShiftDown | kCtrlDown | kAltDown).
  static int32_t LiveModifierBits();

  BOOL OnInitDialog() override;
  void OnOK() override { ShowWindow(SW_HIDE); }
  void OnCancel() override { ShowWindow(SW_HIDE); }
  BOOL PreTranslateMessage(MSG* msg) override;

  // For tests and the frame: the keys and the state they read.
  const CTypedPtrList<CPtrList, QVKeyDef*>& Keys() const { return keys; }
  // A key's rectangle in client pixels.
  CRect KeyPixelRect(const QVKeyDef& key) const;
  QVKeyDef* KeyAt(CPoint point) const;
  bool IsShiftLatched() const { return shiftLatched != 0; }
  bool IsCtrlLatched() const { return ctrlLatched != 0; }
  bool IsAltLatched() const { return altLatched != 0; }
  HWND TargetWindow() const { return targetWindow; }
  BYTE DragState() const { return dragState; }

 protected:
  void OnPaint();
  void OnSize(UINT type, int width, int height);
  void OnLButtonDown(UINT flags, CPoint point);
  void OnLButtonDblClk(UINT flags, CPoint point) { OnLButtonDown(flags, point); }
  void OnMouseMove(UINT flags, CPoint point);
  void OnLButtonUp(UINT flags, CPoint point);
  void OnRButtonDown(UINT, CPoint) {}
  void OnRButtonDblClk(UINT, CPoint) {}
  void OnRButtonUp(UINT, CPoint) { GiveFocusBack(); }
  BOOL OnMouseWheel(UINT, short, CPoint) {
    GiveFocusBack();
    return TRUE;
  }
  int OnMouseActivate(CWnd*, UINT, UINT) { return MA_NOACTIVATE; }
  void OnTimer(UINT_PTR id);
  void OnShowWindow(BOOL show, UINT status);
  void OnCaptureChanged(CWnd* capture);
  void OnDestroy();
  LRESULT OnQueryDragIcon(WPARAM, LPARAM) { return reinterpret_cast<LRESULT>(icon); }

 private:
  void FreeKeys();
  void AddLayoutKeys(int32_t layout);
  void Rescale();
  void FullRepaint();
  void DrawKey(CDC& dc, const QVKeyDef& key) const;
  void DrawKeyFace(CDC& dc, const QVKeyDef& key, CRect& rect) const;
  void DrawKeyLabel(CDC& dc, const QVKeyDef& key, const CRect& area, int fontHeight) const;
  bool IsSunken(const QVKeyDef& key) const;
  // The strokes of a special key.
  void PressSpecialKey(const QVKeyDef& key, std::vector<KeyStroke>& strokes);
  void ToggleModifier(BYTE& latched, uint16_t vk, int32_t downBit, std::vector<KeyStroke>& strokes);
  void PressLatchedAgain(std::vector<KeyStroke>& strokes) const;
  void TypeText(const CString& text, std::vector<KeyStroke>& strokes);
  void SendStrokes(const std::vector<KeyStroke>& strokes);
  void FollowForeground();
  void StartDrag();
  void DrawDragOutline() const;
  void EndDrag(bool move);

  CRect keyExtent;
  double scaleX = 1.0;
  double scaleY = 1.0;
  BYTE dragState = 0;
  int32_t lastMouseX = 0, lastMouseY = 0;
  CRect dragOutline;
  QVKeyDef* pressedKey = nullptr;
  int32_t shiftMode = 1, ctrlMode = 2, altMode = 2;
  BYTE shiftLatched = 0, ctrlLatched = 0, altLatched = 0, capsLatched = 0;
  CTypedPtrList<CPtrList, QVKeyDef*> keys;
  int32_t modifierBits = 0;
  HWND targetWindow = nullptr;
  COLORREF defaultFace, defaultPressedFace, defaultDarkEdge, defaultShadowEdge;
  HICON icon = nullptr;

  DECLARE_MESSAGE_MAP()
};

// The program's one on-screen keyboard.
extern QVScreenKeyboard theScreenKeyboard;
