// QVScreenKeyboard: layouts, scaling, drawing, dragging, and the keystrokes
// of a press.
#include "app/keyboard/ScreenKeyboard.h"

#include "app/frame/MainFrame.h"

#include "controls/NumberText.h"
#include "framework/Dc.h"
#include "resources/resource.h"

namespace {

constexpr COLORREF kDefaultFace = RGB(170, 213, 255);
constexpr COLORREF kDefaultPressedFace = RGB(255, 255, 213);
constexpr COLORREF kChangeFace = RGB(255, 220, 147);
constexpr COLORREF kChangePressedFace = RGB(255, 191, 60);
constexpr COLORREF kChangeEdge = RGB(0, 0, 1);
constexpr UINT kModifierPollMs = 250;

bool KeyStateDown(int vk) { return (::GetAsyncKeyState(vk) & 0x8000) != 0; }

// Attaches this thread to another thread's input for the life of the object,
// so that SetFocus and the synthetic keys act on that thread's state.
class AttachedInput {
 public:
  explicit AttachedInput(HWND target) {
    if (!target || !::IsWindow(target) || !::IsWindowVisible(target)) return;
    const DWORD theirs = ::GetWindowThreadProcessId(target, nullptr);
    mine_ = ::GetCurrentThreadId();
    if (theirs != mine_ && ::AttachThreadInput(mine_, theirs, TRUE)) theirs_ = theirs;
  }
  ~AttachedInput() {
    if (theirs_) ::AttachThreadInput(mine_, theirs_, FALSE);
  }
  AttachedInput(const AttachedInput&) = delete;
  AttachedInput& operator=(const AttachedInput&) = delete;

 private:
  DWORD mine_ = 0;
  DWORD theirs_ = 0;
};

}  // namespace

BEGIN_MESSAGE_MAP(QVScreenKeyboard, CDialog)
  ON_WM_PAINT()
  ON_WM_SIZE()
  ON_WM_LBUTTONDOWN()
  ON_WM_LBUTTONDBLCLK()
  ON_WM_MOUSEMOVE()
  ON_WM_LBUTTONUP()
  ON_WM_RBUTTONDOWN()
  ON_WM_RBUTTONUP()
  OVELIN_MOUSE(WM_RBUTTONDBLCLK, OnRButtonDblClk)
  ON_WM_MOUSEWHEEL()
  ON_WM_MOUSEACTIVATE()
  ON_WM_TIMER()
  ON_WM_SHOWWINDOW()
  ON_WM_CAPTURECHANGED()
  ON_WM_DESTROY()
  ON_MESSAGE(WM_QUERYDRAGICON, OnQueryDragIcon)
END_MESSAGE_MAP()

QVScreenKeyboard::QVScreenKeyboard()
    : CDialog(IDD_SCREEN_KEYBOARD),
      defaultFace(kDefaultFace),
      defaultPressedFace(kDefaultPressedFace),
      defaultDarkEdge(::GetSysColor(COLOR_3DDKSHADOW)),
      defaultShadowEdge(::GetSysColor(COLOR_BTNSHADOW)) {}

// The window normally goes with its frame; at the program's end the class
// library's window map may be gone already, so a window left then is only
// forgotten (the system removes it with the process).
QVScreenKeyboard::~QVScreenKeyboard() {
  FreeKeys();
  ReleaseModifiers();
  m_hWnd = nullptr;
}

// FALSE: no default focus. The keyboard has no controls, so the dialog
// manager would focus its hidden window, taking the focus from the window
// the user types in when the keyboard is made on its first showing.
BOOL QVScreenKeyboard::OnInitDialog() {
  CDialog::OnInitDialog();
  BuildLayout(kLayoutEmpty);
  SetTimer(kModifierTimer, kModifierPollMs);
  return FALSE;
}

void QVScreenKeyboard::OnDestroy() {
  ReleaseModifiers();
  FreeKeys();
  targetWindow = nullptr;
  dragState = 0;
  CDialog::OnDestroy();
}

void QVScreenKeyboard::FreeKeys() {
  POSITION position = keys.GetHeadPosition();
  while (position) delete keys.GetNext(position);
  keys.RemoveAll();
  pressedKey = nullptr;
}

// --- layouts -----------------------------------------------------------------------

void QVScreenKeyboard::BuildLayout(int32_t layout) {
  if (layout != kLayoutEmpty) CMainFrame::ScreenKeyboardPage = layout;
  FreeKeys();
  ReleaseModifiers();
  WINDOWPLACEMENT placement{};
  placement.length = sizeof placement;
  ::GetWindowPlacement(m_hWnd, &placement);
  AddLayoutKeys(layout);
  const KeyboardPixelSize size = KeyboardLayoutPixelSize(layout);
  placement.rcNormalPosition.right = placement.rcNormalPosition.left + size.width;
  placement.rcNormalPosition.bottom = placement.rcNormalPosition.top + size.height;
  // Keep the window's show state: placing it must not show a hidden keyboard.
  placement.showCmd = IsWindowVisible() ? SW_SHOWNOACTIVATE : SW_HIDE;
  ::SetWindowPlacement(m_hWnd, &placement);
  if (layout != kLayoutEmpty) Rescale();
  Invalidate(TRUE);
}

void QVScreenKeyboard::AddLayoutKeys(int32_t layout) {
  LocaleSeparators separators;
  separators.ReadDecimalSeparator();
  separators.ReadListSeparator();
  const std::string decimal(1, separators.decimalSeparator);
  const std::string list(1, separators.listSeparator);
  for (const KeySpec& spec : KeyboardLayoutKeys(layout, decimal, list)) {
    const CRect rect(spec.rect.left, spec.rect.top, spec.rect.right, spec.rect.bottom);
    if (spec.changeColours)
      AddKey(rect, spec.outputText.c_str(), spec.legend.c_str(), spec.caption.c_str(),
             spec.symbolFont, spec.largeLegend, spec.targetLayout, false, kChangeFace,
             kChangePressedFace, kChangeEdge, kChangeEdge);
    else
      AddKey(rect, spec.outputText.c_str(), spec.legend.c_str(), spec.caption.c_str(),
             spec.symbolFont, spec.largeLegend, spec.targetLayout, true, 0, 0, 0, 0);
  }
}

void QVScreenKeyboard::AddKey(const CRect& rect, const char* outputText, const char* legend,
                              const char* caption, bool symbolFont, bool largeLegend,
                              int32_t targetLayout, bool defaultColours, COLORREF face,
                              COLORREF pressedFace, COLORREF darkEdge, COLORREF shadowEdge) {
  auto* key = new QVKeyDef;
  key->outputText = outputText;
  key->legend = legend;
  key->caption = caption;
  key->keyRect = rect;
  key->keyRect.OffsetRect(1, 1);
  key->symbolFont = symbolFont ? 1 : 0;
  key->largeLegend = largeLegend ? 1 : 0;
  key->targetLayout = targetLayout;
  key->faceColour = defaultColours ? defaultFace : face;
  key->pressedFaceColour = defaultColours ? defaultPressedFace : pressedFace;
  key->darkEdgeColour = defaultColours ? defaultDarkEdge : darkEdge;
  key->shadowEdgeColour = defaultColours ? defaultShadowEdge : shadowEdge;
  keys.AddTail(key);
}

// One unit of margin on each side: the keys were moved by (+1, +1).
void QVScreenKeyboard::Rescale() {
  if (keys.IsEmpty()) return;
  POSITION position = keys.GetHeadPosition();
  keyExtent = keys.GetNext(position)->keyRect;
  while (position) ::UnionRect(&keyExtent, &keyExtent, &keys.GetNext(position)->keyRect);
  CRect client;
  GetClientRect(&client);
  scaleX = static_cast<double>(client.Width()) / (keyExtent.Width() + 2);
  scaleY = static_cast<double>(client.Height()) / (keyExtent.Height() + 2);
}

void QVScreenKeyboard::OnSize(UINT type, int width, int height) {
  CDialog::OnSize(type, width, height);
  if (keys.IsEmpty()) return;
  Rescale();
  // A window that shrinks gets no paint of its own: the old keys must go too.
  Invalidate(TRUE);
}

CRect QVScreenKeyboard::KeyPixelRect(const QVKeyDef& key) const {
  const KeyRect units{key.keyRect.left, key.keyRect.top, key.keyRect.right, key.keyRect.bottom};
  const KeyRect pixels = ScaleKeyRect(units, scaleX, scaleY);
  return CRect(pixels.left, pixels.top, pixels.right, pixels.bottom);
}

QVKeyDef* QVScreenKeyboard::KeyAt(CPoint point) const {
  POSITION position = keys.GetHeadPosition();
  while (position) {
    QVKeyDef* key = keys.GetNext(position);
    if (KeyPixelRect(*key).PtInRect(point)) return key;
  }
  return nullptr;
}

// --- drawing -----------------------------------------------------------------------

// The dialog's own painting is its background; the keys follow on top.
void QVScreenKeyboard::OnPaint() {
  {
    CPaintDC dc(m_hWnd);
    if (IsIconic()) {
      CRect client;
      GetClientRect(&client);
      if (icon)
        ::DrawIcon(dc, (client.Width() - ::GetSystemMetrics(SM_CXICON) + 1) / 2,
                   (client.Height() - ::GetSystemMetrics(SM_CYICON) + 1) / 2, icon);
      return;
    }
  }
  FullRepaint();
}

void QVScreenKeyboard::FullRepaint() {
  if (!m_hWnd) return;
  CClientDC dc(m_hWnd);
  CRect client;
  GetClientRect(&client);
  ::IntersectClipRect(dc, client.left, client.top, client.right, client.bottom);
  dc.SetBkMode(TRANSPARENT);
  modifierBits = LiveModifierBits();
  POSITION position = keys.GetHeadPosition();
  while (position) DrawKey(dc, *keys.GetNext(position));
}

bool QVScreenKeyboard::IsSunken(const QVKeyDef& key) const {
  if (key.legend == "$SHIFT") return shiftLatched != 0;
  if (key.legend == "$CTRL") return ctrlLatched != 0;
  if (key.legend == "$ALT") return altLatched != 0;
  if (key.legend == "$CAPSLOCK") return capsLatched != 0;
  return key.pressed != 0;
}

namespace {

// A typing key whose legend differs from its output shows both, in its
// corners; every other key shows one label in its middle.
bool LabelsInCorners(const QVKeyDef& key) {
  const bool capital = !key.legend.IsEmpty() && key.legend[0] >= 'A' && key.legend[0] <= 'Z';
  return !key.outputText.IsEmpty() && !capital && key.legend != key.outputText;
}

CString CentredLabel(const QVKeyDef& key) {
  if (key.outputText.IsEmpty()) return key.caption;
  if (key.legend != key.outputText) return key.legend;
  return key.caption.IsEmpty() ? key.outputText : key.caption;
}

// The width of `label` in a font made from `logFont`, which is left selected.
int SelectAndMeasure(CDC& dc, CFont& font, const LOGFONTA& logFont, const CString& label,
                     HGDIOBJ previous) {
  dc.SelectObject(previous);
  font.DeleteObject();
  font.CreateFontIndirect(&logFont);
  dc.SelectObject(&font);
  return label.IsEmpty() ? 0 : dc.GetTextExtent(label).cx;
}

// Makes the label's font and leaves it selected: where a centred label
// would be wider than `width`, its letters are drawn narrower (down to
// kNarrowest of their width), then lower as well. The legends are drawn
// unsmoothed: smoothing turns the thin strokes of the Symbol arrows and
// radical pale.
void SelectLabelFont(CDC& dc, CFont& font, LOGFONTA& logFont, const QVKeyDef& key, int width) {
  constexpr double kNarrowest = 0.6;
  constexpr int kTrims = 4;
  logFont.lfQuality = NONANTIALIASED_QUALITY;
  const CString label = LabelsInCorners(key) ? CString() : CentredLabel(key);
  const HGDIOBJ previous = ::GetCurrentObject(dc.GetSafeHdc(), OBJ_FONT);
  int wide = SelectAndMeasure(dc, font, logFont, label, previous);
  if (wide <= width) return;
  TEXTMETRICA metrics{};
  dc.GetTextMetrics(&metrics);
  const double share = static_cast<double>(width) / wide;
  const double narrower = std::max(share, kNarrowest);
  logFont.lfWidth = std::max<LONG>(1, static_cast<LONG>(metrics.tmAveCharWidth * narrower));
  if (share < kNarrowest)
    logFont.lfHeight = std::max<LONG>(1, static_cast<LONG>(logFont.lfHeight * share / kNarrowest));
  wide = SelectAndMeasure(dc, font, logFont, label, previous);
  for (int trim = 0; trim < kTrims && wide > width && logFont.lfWidth > 1; ++trim) {
    --logFont.lfWidth;
    wide = SelectAndMeasure(dc, font, logFont, label, previous);
  }
}

}  // namespace

// The font made for the key is deleted when the key is drawn.
void QVScreenKeyboard::DrawKey(CDC& dc, const QVKeyDef& key) const {
  const KeyRect units{key.keyRect.left, key.keyRect.top, key.keyRect.right, key.keyRect.bottom};
  CRect rect = KeyPixelRect(key);
  if (key.legend != "$BLANKSPACE") DrawKeyFace(dc, key, rect);
  rect.DeflateRect(3, 1);
  LOGFONTA logFont{};
  logFont.lfHeight = KeyLabelFontHeight(units, scaleX, scaleY, key.largeLegend != 0);
  lstrcpynA(logFont.lfFaceName, key.symbolFont ? "Symbol" : "Arial", LF_FACESIZE);
  if (key.symbolFont) logFont.lfCharSet = SYMBOL_CHARSET;
  CFont font;
  HGDIOBJ previous = ::GetCurrentObject(dc.GetSafeHdc(), OBJ_FONT);
  // A legend may use the key's face up to a pixel from its inner frame.
  SelectLabelFont(dc, font, logFont, key, rect.Width() + 2);
  DrawKeyLabel(dc, key, rect, logFont.lfHeight);
  dc.SelectObject(previous);
}

namespace {

// A one-pixel frame: `topLeft` above and left, `bottomRight` below and right.
void Frame3d(CDC& dc, const CRect& r, COLORREF topLeft, COLORREF bottomRight) {
  const CRect top(r.left, r.top, r.right - 1, r.top + 1), left(r.left, r.top, r.left + 1, r.bottom - 1);
  const CRect right(r.right - 1, r.top, r.right, r.bottom), bottom(r.left, r.bottom - 1, r.right, r.bottom);
  dc.FillSolidRect(&top, topLeft);
  dc.FillSolidRect(&left, topLeft);
  dc.FillSolidRect(&right, bottomRight);
  dc.FillSolidRect(&bottom, bottomRight);
}

// Centred in `area` by the text's width and the font's height.
void CentredText(CDC& dc, const CRect& area, const CString& text, int fontHeight) {
  const CSize extent = dc.GetTextExtent(text);
  dc.TextOut((area.left + area.right) / 2 - extent.cx / 2, (area.top + area.bottom) / 2 - fontHeight / 2,
             text, text.GetLength());
}

}  // namespace

// Leaves `rect` as the area inside the face's two frames.
void QVScreenKeyboard::DrawKeyFace(CDC& dc, const QVKeyDef& key, CRect& rect) const {
  rect.DeflateRect(1, 1);
  if (IsSunken(key)) {
    dc.FillSolidRect(&rect, key.pressedFaceColour);
    Frame3d(dc, rect, key.pressedFaceColour, key.shadowEdgeColour);
    rect.DeflateRect(1, 1);
    Frame3d(dc, rect, key.shadowEdgeColour, key.darkEdgeColour);
  } else {
    dc.FillSolidRect(&rect, key.faceColour);
    Frame3d(dc, rect, key.shadowEdgeColour, key.darkEdgeColour);
    rect.DeflateRect(1, 1);
    Frame3d(dc, rect, key.pressedFaceColour, key.shadowEdgeColour);
  }
}

void QVScreenKeyboard::DrawKeyLabel(CDC& dc, const QVKeyDef& key, const CRect& area,
                                    int fontHeight) const {
  if (!LabelsInCorners(key)) {
    CentredText(dc, area, CentredLabel(key), fontHeight);
    return;
  }
  dc.TextOut(area.left, area.top, key.legend, key.legend.GetLength());
  dc.TextOut(area.right - dc.GetTextExtent("M", 1).cx, area.bottom - fontHeight, key.outputText,
             key.outputText.GetLength());
}

// --- the mouse and dragging --------------------------------------------------------

void QVScreenKeyboard::OnLButtonDown(UINT, CPoint point) {
  GiveFocusBack();
  if (dragState == 0) {
    if (QVKeyDef* key = KeyAt(point)) {
      // A change key frees itself with its layout: it is not kept as pressed.
      if (PressKey(key)) pressedKey = key;
    }
    Invalidate(FALSE);
  }
  if (dragState == 1) StartDrag();
}

void QVScreenKeyboard::OnMouseMove(UINT, CPoint point) {
  if (dragState != 2) {
    dragState = KeyAt(point) ? 0 : 1;
    if (dragState == 1) ::SetCursor(::LoadCursor(nullptr, IDC_SIZEALL));
    return;
  }
  CPoint screen = point;
  ClientToScreen(&screen);
  if (screen.x == lastMouseX && screen.y == lastMouseY) return;
  DrawDragOutline();
  dragOutline.OffsetRect(screen.x - lastMouseX, screen.y - lastMouseY);
  DrawDragOutline();
  lastMouseX = screen.x;
  lastMouseY = screen.y;
}

void QVScreenKeyboard::OnLButtonUp(UINT, CPoint) {
  if (dragState == 2) {
    EndDrag(true);
  } else {
    if (pressedKey) {
      const CString& name = pressedKey->legend;
      if (name == "$SHIFT" || name == "$CTRL" || name == "$ALT")
        pressedKey->pressed = IsSunken(*pressedKey) ? 1 : 0;
      else
        pressedKey->pressed = 0;
    }
    Invalidate(FALSE);
  }
  GiveFocusBack();
}

void QVScreenKeyboard::StartDrag() {
  dragState = 2;
  WINDOWPLACEMENT placement{};
  placement.length = sizeof placement;
  ::GetWindowPlacement(m_hWnd, &placement);
  dragOutline = placement.rcNormalPosition;
  DrawDragOutline();
  POINT cursor{};
  ::GetCursorPos(&cursor);
  lastMouseX = cursor.x;
  lastMouseY = cursor.y;
  SetCapture();
}

// XOR drawing: a second stroke at the same place erases the first.
void QVScreenKeyboard::DrawDragOutline() const {
  CWindowDC screen(nullptr);
  const HGDIOBJ oldPen = ::SelectObject(screen, ::GetStockObject(WHITE_PEN));
  const HGDIOBJ oldBrush = ::SelectObject(screen, ::GetStockObject(NULL_BRUSH));
  const int oldMix = ::SetROP2(screen, R2_XORPEN);
  screen.Rectangle(dragOutline.left, dragOutline.top, dragOutline.right, dragOutline.bottom);
  ::SetROP2(screen, oldMix);
  ::SelectObject(screen, oldBrush);
  ::SelectObject(screen, oldPen);
}

void QVScreenKeyboard::EndDrag(bool move) {
  DrawDragOutline();
  dragState = 0;
  if (move) MoveWindow(dragOutline.left, dragOutline.top, dragOutline.Width(), dragOutline.Height(), TRUE);
  if (::GetCapture() == m_hWnd) ::ReleaseCapture();
  Invalidate(TRUE);
}

// Another window took the mouse in mid-drag: the outline goes, the window stays.
void QVScreenKeyboard::OnCaptureChanged(CWnd*) {
  if (dragState == 2) EndDrag(false);
}

void QVScreenKeyboard::OnShowWindow(BOOL show, UINT status) {
  CDialog::OnShowWindow(show, status);
  if (!show) ReleaseModifiers();
}

void QVScreenKeyboard::OnTimer(UINT_PTR id) {
  if (id != kModifierTimer) return;
  if (LiveModifierBits() != modifierBits) FullRepaint();
}

// --- the target window ---------------------------------------------------------------

BOOL QVScreenKeyboard::PreTranslateMessage(MSG* msg) {
  if (msg->hwnd == m_hWnd) FollowForeground();
  return CDialog::PreTranslateMessage(msg);
}

// Only a visible foreground window is a target; the input is attached to its
// thread only around a press or a hand-back of the focus.
void QVScreenKeyboard::FollowForeground() {
  const HWND foreground = ::GetForegroundWindow();
  if (foreground && ::IsWindow(foreground) && foreground != m_hWnd && ::IsWindowVisible(foreground))
    targetWindow = foreground;
}

void QVScreenKeyboard::GiveFocusBack() {
  FollowForeground();
  if (!targetWindow || !::IsWindow(targetWindow) || ::GetForegroundWindow() == targetWindow) return;
  AttachedInput attached(targetWindow);
  ::SetForegroundWindow(targetWindow);
  const HWND focus = ::GetFocus();
  if (focus != targetWindow && !::IsChild(targetWindow, focus)) ::SetFocus(targetWindow);
  Invalidate(TRUE);
}

// --- sending keys -----------------------------------------------------------------

int32_t QVScreenKeyboard::LiveModifierBits() {
  int32_t bits = 0;
  if (::GetKeyState(VK_CAPITAL) & 1) bits |= kCapsOn;
  if (KeyStateDown(VK_SHIFT)) bits |= kShiftDown;
  if (KeyStateDown(VK_CONTROL)) bits |= kCtrlDown;
  if (KeyStateDown(VK_MENU)) bits |= kAltDown;
  return bits;
}

bool QVScreenKeyboard::PressKey(QVKeyDef* key) {
  key->pressed = 1;
  FollowForeground();
  if (key->outputText.IsEmpty() && key->legend == "$CHANGEKEYBOARD") {
    BuildLayout(key->targetLayout);  // frees `key`
    return false;
  }
  std::vector<KeyStroke> strokes;
  PressLatchedAgain(strokes);
  if (key->outputText.IsEmpty()) {
    PressSpecialKey(*key, strokes);
  } else {
    TypeText(key->outputText, strokes);
    // Shift goes after the next typed key; Ctrl and Alt stay until pressed again.
    if (shiftMode < 2 && shiftLatched) {
      strokes.push_back(KeyStroke{VK_SHIFT, 0, true, false});
      shiftLatched = 0;
    }
    if (ctrlMode < 2 && ctrlLatched) {
      strokes.push_back(KeyStroke{VK_CONTROL, 0, true, false});
      ctrlLatched = 0;
    }
    if (altMode < 2 && altLatched) {
      strokes.push_back(KeyStroke{VK_MENU, 0, true, false});
      altLatched = 0;
    }
  }
  SendStrokes(strokes);
  return true;
}

namespace {

// Special keys that send one virtual key down and up.
struct PlainSpecialKey {
  const char* name;
  uint16_t vk;
};
constexpr PlainSpecialKey kPlainSpecialKeys[] = {
    {"$BSPACE", VK_BACK}, {"$WINDOW", VK_LWIN}, {"$LEFT", VK_LEFT},    {"$RIGHT", VK_RIGHT},
    {"$UP", VK_UP},       {"$DOWN", VK_DOWN},   {"$PUP", VK_PRIOR},    {"$PDN", VK_NEXT},
    {"$HOME", VK_HOME},   {"$END", VK_END},     {"$INS", VK_INSERT},   {"$DEL", VK_DELETE},
};

void AppendScannedKey(std::vector<KeyStroke>& strokes, char character) {
  const SHORT scan = ::VkKeyScanA(character);
  if (scan != -1) AppendDownUp(strokes, static_cast<uint16_t>(scan & 0xFF));
}

}  // namespace

void QVScreenKeyboard::PressSpecialKey(const QVKeyDef& key, std::vector<KeyStroke>& strokes) {
  const CString& name = key.legend;
  if (name == "$TAB") {
    AppendScannedKey(strokes, '\t');
  } else if (name == "$ENTER") {
    AppendScannedKey(strokes, '\r');
  } else if (name == "$CAPSLOCK") {
    capsLatched = capsLatched ? 0 : 1;
    AppendDownUp(strokes, VK_CAPITAL);
  } else if (name == "$SHIFT") {
    ToggleModifier(shiftLatched, VK_SHIFT, kShiftDown, strokes);
  } else if (name == "$CTRL") {
    ToggleModifier(ctrlLatched, VK_CONTROL, kCtrlDown, strokes);
  } else if (name == "$ALT") {
    ToggleModifier(altLatched, VK_MENU, kAltDown, strokes);
  } else {
    for (const PlainSpecialKey& plain : kPlainSpecialKeys)
      if (name == plain.name) AppendDownUp(strokes, plain.vk);
  }
}

// A held modifier is let go by its second press; a modifier that the user
// holds on the real keyboard is left to the user.
void QVScreenKeyboard::ToggleModifier(BYTE& latched, uint16_t vk, int32_t downBit,
                                      std::vector<KeyStroke>& strokes) {
  if (latched) {
    strokes.push_back(KeyStroke{vk, 0, true, false});
    latched = 0;
  } else if (!(LiveModifierBits() & downBit)) {
    strokes.push_back(KeyStroke{vk, 0, false, false});
    latched = 1;
  }
}

void QVScreenKeyboard::TypeText(const CString& text, std::vector<KeyStroke>& strokes) {
  for (int i = 0; i < text.GetLength(); ++i) {
    const char character = text[i];
    CharacterKey key;
    key.vkScan = ::VkKeyScanA(character);
    if (key.vkScan != -1) {
      const UINT mapped = ::MapVirtualKeyA(static_cast<UINT>(key.vkScan & 0xFF), MAPVK_VK_TO_CHAR);
      key.deadKey = (mapped & 0x80000000u) != 0;
    }
    wchar_t wide = 0;
    if (::MultiByteToWideChar(CP_ACP, 0, &character, 1, &wide, 1) == 1) key.unicode = wide;
    AppendCharacterStrokes(strokes, key, shiftLatched != 0);
  }
}

// All strokes of a press in one batch, so that no other input comes between.
void QVScreenKeyboard::SendStrokes(const std::vector<KeyStroke>& strokes) {
  if (strokes.empty()) return;
  std::vector<INPUT> inputs(strokes.size());
  for (size_t i = 0; i < strokes.size(); ++i) {
    INPUT& input = inputs[i];
    input.type = INPUT_KEYBOARD;
    input.ki.wVk = strokes[i].vk;
    input.ki.wScan = strokes[i].scan;
    input.ki.dwFlags = (strokes[i].up ? KEYEVENTF_KEYUP : 0) | (strokes[i].unicode ? KEYEVENTF_UNICODE : 0);
  }
  AttachedInput attached(targetWindow);
  ::SendInput(static_cast<UINT>(inputs.size()), inputs.data(), sizeof(INPUT));
}

// A modifier that the keyboard holds but that the system let go of (the X
// server's key state wins when the pointer enters another window under
// Wine) is pressed again, so that it still acts on this press.
void QVScreenKeyboard::PressLatchedAgain(std::vector<KeyStroke>& strokes) const {
  const int32_t live = LiveModifierBits();
  if (shiftLatched && !(live & kShiftDown)) strokes.push_back(KeyStroke{VK_SHIFT, 0, false, false});
  if (ctrlLatched && !(live & kCtrlDown)) strokes.push_back(KeyStroke{VK_CONTROL, 0, false, false});
  if (altLatched && !(live & kAltDown)) strokes.push_back(KeyStroke{VK_MENU, 0, false, false});
}

// Key-ups only for what the keyboard itself holds down.
void QVScreenKeyboard::ReleaseModifiers() {
  std::vector<KeyStroke> strokes;
  if (shiftLatched) strokes.push_back(KeyStroke{VK_SHIFT, 0, true, false});
  if (ctrlLatched) strokes.push_back(KeyStroke{VK_CONTROL, 0, true, false});
  if (altLatched) strokes.push_back(KeyStroke{VK_MENU, 0, true, false});
  shiftLatched = ctrlLatched = altLatched = 0;
  SendStrokes(strokes);
}
