// CColorPalettePopup.
#include "controls/ColorPalettePopup.h"

#include <commctrl.h>
#include <commdlg.h>

#include "controls/ColorButton.h"
#include "framework/CommonDialogs.h"
#include "framework/Dc.h"

const ColourTableEntry CColorPalettePopup::kColours[kColourCount] = {
    // clang-format off
    {RGB(0, 0, 0),       "Black"},        {RGB(165, 42, 0),    "Brown"},
    {RGB(0, 64, 64),     "Dark Olive Green"}, {RGB(0, 85, 0),  "Dark Green"},
    {RGB(0, 0, 94),      "Dark Teal"},    {RGB(0, 0, 139),     "Dark blue"},
    {RGB(75, 0, 130),    "Indigo"},       {RGB(40, 40, 40),    "Dark grey"},
    {RGB(139, 0, 0),     "Dark red"},     {RGB(255, 104, 32),  "Orange"},
    {RGB(139, 139, 0),   "Dark yellow"},  {RGB(0, 147, 0),     "Green"},
    {RGB(56, 142, 142),  "Teal"},         {RGB(0, 0, 255),     "Blue"},
    {RGB(123, 123, 192), "Blue-grey"},    {RGB(102, 102, 102), "Grey - 40"},
    {RGB(255, 0, 0),     "Red"},          {RGB(255, 173, 91),  "Light orange"},
    {RGB(50, 205, 50),   "Lime"},         {RGB(60, 179, 113),  "Sea green"},
    {RGB(127, 255, 212), "Aqua"},         {RGB(125, 158, 192), "Light blue"},
    {RGB(128, 0, 128),   "Violet"},       {RGB(127, 127, 127), "Grey - 50"},
    {RGB(255, 192, 203), "Pink"},         {RGB(255, 215, 0),   "Gold"},
    {RGB(255, 255, 0),   "Yellow"},       {RGB(0, 255, 0),     "Bright green"},
    {RGB(64, 224, 208),  "Turquoise"},    {RGB(192, 255, 255), "Skyblue"},
    {RGB(72, 0, 72),     "Plum"},         {RGB(192, 192, 192), "Light grey"},
    {RGB(255, 228, 225), "Rose"},         {RGB(210, 180, 140), "Tan"},
    {RGB(255, 255, 224), "Light yellow"}, {RGB(152, 251, 152), "Pale green "},
    {RGB(175, 238, 238), "Pale turquoise"}, {RGB(104, 131, 139), "Pale blue"},
    {RGB(230, 230, 250), "Lavender"},     {RGB(255, 255, 255), "White"},
    // clang-format on
};

namespace {

constexpr int kRows = (CColorPalettePopup::kColourCount + CColorPalettePopup::kColumns - 1) /
                      CColorPalettePopup::kColumns;
constexpr int kLastCell = CColorPalettePopup::kColourCount - 1;

}  // namespace

BEGIN_MESSAGE_MAP(CColorPalettePopup, CWnd)
  ON_WM_PAINT()
  ON_WM_MOUSEMOVE()
  ON_WM_LBUTTONUP()
  ON_WM_KEYDOWN()
  ON_WM_KILLFOCUS()
  ON_MESSAGE(WM_ACTIVATEAPP, OnActivateApp)
  ON_MESSAGE(WM_QUERYNEWPALETTE, OnQueryNewPalette)
  ON_MESSAGE(WM_PALETTECHANGED, OnPaletteChanged)
END_MESSAGE_MAP()

CColorPalettePopup::CColorPalettePopup(CPoint origin, COLORREF colour, CColorButton* button,
                                       const char* defaultText, const char* customText)
    : boxSize_(18),
      margin_(::GetSystemMetrics(SM_CXEDGE)),
      defaultText_(defaultText ? defaultText : ""),
      customText_(customText ? customText : ""),
      openingColour_(colour),
      chosenColour_(colour),
      button_(button) {
  if (boxSize_ < 2 * margin_ + 7) boxSize_ = 2 * margin_ + 7;
  NONCLIENTMETRICSA metrics{};
  metrics.cbSize = sizeof metrics;
  if (::SystemParametersInfoA(SPI_GETNONCLIENTMETRICS, sizeof metrics, &metrics, 0))
    font_.CreateFontIndirect(&metrics.lfMessageFont);
  struct {
    LOGPALETTE header;
    PALETTEENTRY more[kColourCount - 1];
  } logPalette{};
  logPalette.header.palVersion = 0x300;
  logPalette.header.palNumEntries = kColourCount;
  PALETTEENTRY* entries = logPalette.header.palPalEntry;
  for (int i = 0; i < kColourCount; ++i)
    entries[i] = {GetRValue(kColours[i].colour), GetGValue(kColours[i].colour),
                  GetBValue(kColours[i].colour), 0};
  palette_.CreatePalette(&logPalette.header);

  const char* windowClass = AfxRegisterWndClass(CS_CLASSDC | CS_SAVEBITS | CS_HREDRAW | CS_VREDRAW,
                                                nullptr, ::GetSysColorBrush(COLOR_BTNFACE));
  if (!CreateEx(0, windowClass, "", WS_VISIBLE | WS_POPUP, origin.x, origin.y, 100, 100,
                button ? button->GetSafeHwnd() : nullptr, nullptr))
    return;
  Layout(origin);
  AddTooltips();
  openingChoice_ = FindChoiceOf(colour);
  SetCapture();
}

CColorPalettePopup::~CColorPalettePopup() {
  if (tooltip_) ::DestroyWindow(tooltip_);
}

// Size and place: the grid, the two text boxes, kept on the screen (above
// the button when there is no room below it).
void CColorPalettePopup::Layout(CPoint origin) {
  CClientDC dc(m_hWnd);
  CFont* oldFont = font_.GetSafeHandle() ? dc.SelectObject(&font_) : nullptr;
  const CSize defaultExtent = dc.GetTextExtent(defaultText_);
  const CSize customExtent = dc.GetTextExtent(customText_);
  if (oldFont) dc.SelectObject(oldFont);
  const int textWidth = std::max(defaultExtent.cx, customExtent.cx) + 2 * margin_;
  const int textBoxHeight = std::max(defaultExtent.cy, customExtent.cy) + 4 * margin_ + 2;
  int width = kColumns * boxSize_ + 2 * margin_;
  int height = kRows * boxSize_ + 2 * margin_;
  if (!defaultText_.IsEmpty()) {
    width = std::max(width, textWidth);
    defaultRect_ = CRect(margin_, margin_, width - margin_, 2 * margin_ + textBoxHeight);
    height += 2 * margin_ + defaultRect_.Height();
  }
  if (!customText_.IsEmpty()) {
    width = std::max(width, textWidth);
    customRect_ = CRect(margin_, height, width - margin_, margin_ + height + textBoxHeight);
    height += 2 * margin_ + customRect_.Height();
  }
  int x = origin.x;
  int y = origin.y;
  const int screenWidth = ::GetSystemMetrics(SM_CXSCREEN);
  const int screenHeight = ::GetSystemMetrics(SM_CYSCREEN);
  if (x + width > screenWidth) x -= x + width - screenWidth;
  if (x < 0) x = 0;
  if (y + height > screenHeight) {
    CRect buttonRect;
    if (button_) button_->GetWindowRect(&buttonRect);
    y -= height + buttonRect.Height();
  }
  SetWindowPos(nullptr, x, y, width, height, SWP_NOZORDER | SWP_NOACTIVATE);
}

void CColorPalettePopup::AddTooltips() {
  tooltip_ = ::CreateWindowExA(WS_EX_TOPMOST, TOOLTIPS_CLASSA, nullptr, TTS_ALWAYSTIP, 0, 0, 0, 0,
                               m_hWnd, nullptr, ::GetModuleHandleA(nullptr), nullptr);
  if (!tooltip_) return;
  for (int i = 0; i < kColourCount; ++i) {
    TTTOOLINFOA tool{};
    tool.cbSize = sizeof tool;
    tool.uFlags = TTF_SUBCLASS;
    tool.hwnd = m_hWnd;
    tool.uId = static_cast<UINT_PTR>(i + 1);
    tool.rect = ChoiceRect(i);
    tool.lpszText = const_cast<char*>(kColours[i].name);
    ::SendMessageA(tooltip_, TTM_ADDTOOLA, 0, reinterpret_cast<LPARAM>(&tool));
  }
}

CRect CColorPalettePopup::ChoiceRect(int choice) const {
  if (choice == kDefaultBox) return defaultRect_;
  if (choice == kCustomBox) return customRect_;
  const int column = choice % kColumns;
  const int row = choice / kColumns;
  int top = row * boxSize_ + margin_;
  if (!defaultText_.IsEmpty()) top += defaultRect_.Height() + margin_;
  const int left = column * boxSize_ + margin_;
  return CRect(left, top, left + boxSize_, top + boxSize_);
}

int CColorPalettePopup::FindChoiceOf(COLORREF colour) const {
  if (colour == kAutomaticColour && !defaultText_.IsEmpty()) return kDefaultBox;
  for (int i = 0; i < kColourCount; ++i)
    if (kColours[i].colour == colour) return i;
  return customText_.IsEmpty() ? kNoChoice : kCustomBox;
}

int CColorPalettePopup::ChoiceAt(CPoint point) const {
  if (!customText_.IsEmpty() && customRect_.PtInRect(point)) return kCustomBox;
  if (!defaultText_.IsEmpty() && defaultRect_.PtInRect(point)) return kDefaultBox;
  int x = point.x - margin_;
  int y = point.y - margin_;
  if (!defaultText_.IsEmpty()) y -= defaultRect_.Height() + margin_;
  if (x < 0 || y < 0) return highlight_;
  const int row = y / boxSize_;
  const int column = x / boxSize_;
  if (column >= kColumns || row >= kRows || row * kColumns + column >= kColourCount)
    return highlight_;
  return row * kColumns + column;
}

BOOL CColorPalettePopup::PreTranslateMessage(MSG* msg) {
  HWND holder = ::GetCapture();
  if (holder && holder != m_hWnd && !colourDialogOpen_ && !finished_) SetCapture();
  return CWnd::PreTranslateMessage(msg);
}

// --- painting ---------------------------------------------------------------------------

void CColorPalettePopup::OnPaint() {
  CPaintDC dc(m_hWnd);
  if (!defaultText_.IsEmpty()) DrawTextBox(dc, kDefaultBox);
  for (int i = 0; i < kColourCount; ++i) DrawCell(dc, i);
  if (!customText_.IsEmpty()) DrawTextBox(dc, kCustomBox);
  CRect client;
  GetClientRect(&client);
  ::DrawEdge(dc, &client, EDGE_RAISED, BF_RECT);
}

void CColorPalettePopup::DrawCell(CDC& dc, int index) {
  CPalette* oldPalette = nullptr;
  if (dc.GetDeviceCaps(RASTERCAPS) & RC_PALETTE) {
    oldPalette = dc.SelectPalette(&palette_, false);
    dc.RealizePalette();
  }
  CRect rect = ChoiceRect(index);
  const bool opening = index == openingChoice_;
  const bool highlighted = index == highlight_;
  dc.FillSolidRect(&rect, ::GetSysColor(opening && !highlighted ? COLOR_3DHIGHLIGHT : COLOR_BTNFACE));
  if (highlighted) ::DrawEdge(dc, &rect, BDR_RAISEDINNER, BF_RECT);
  if (opening) ::DrawEdge(dc, &rect, BDR_SUNKENOUTER, BF_RECT);
  CBrush brush(PALETTERGB(GetRValue(kColours[index].colour), GetGValue(kColours[index].colour),
                          GetBValue(kColours[index].colour)));
  CPen pen(PS_SOLID, 1, ::GetSysColor(COLOR_BTNSHADOW));
  CBrush* oldBrush = dc.SelectObject(&brush);
  CPen* oldPen = dc.SelectObject(&pen);
  rect.DeflateRect(margin_ + 1, margin_ + 1);
  dc.Rectangle(rect.left, rect.top, rect.right, rect.bottom);
  dc.SelectObject(oldBrush);
  dc.SelectObject(oldPen);
  if (oldPalette) dc.SelectPalette(oldPalette, false);
}

void CColorPalettePopup::DrawTextBox(CDC& dc, int choice) {
  CRect rect = ChoiceRect(choice);
  const bool custom = choice == kCustomBox;
  dc.FillSolidRect(&rect, ::GetSysColor(COLOR_BTNFACE));
  if (custom) {
    // A separator line pair above the box, then the box below it.
    CPen shadow(PS_SOLID, 1, ::GetSysColor(COLOR_BTNSHADOW));
    CPen light(PS_SOLID, 1, ::GetSysColor(COLOR_BTNHIGHLIGHT));
    CPen* oldPen = dc.SelectObject(&shadow);
    dc.MoveTo(rect.left + 2 * margin_, rect.top);
    dc.LineTo(rect.right - 2 * margin_, rect.top);
    dc.SelectObject(&light);
    dc.MoveTo(rect.left + 2 * margin_, rect.top + 1);
    dc.LineTo(rect.right - 2 * margin_, rect.top + 1);
    dc.SelectObject(oldPen);
    rect.top += 2 * margin_;
  }
  const bool opening = choice == openingChoice_;
  const bool highlighted = choice == highlight_;
  if (opening && !highlighted) dc.FillSolidRect(&rect, ::GetSysColor(COLOR_3DLIGHT));
  CRect outline = rect;
  outline.DeflateRect(2 * margin_, 2 * margin_);
  CPen pen(PS_SOLID, 1, ::GetSysColor(COLOR_BTNSHADOW));
  CPen* oldPen = dc.SelectObject(&pen);
  HGDIOBJ oldBrush = dc.SelectObject(::GetStockObject(NULL_BRUSH));
  dc.Rectangle(outline.left, outline.top, outline.right, outline.bottom);
  dc.SelectObject(oldBrush);
  dc.SelectObject(oldPen);
  if (highlighted) ::DrawEdge(dc, &rect, BDR_RAISEDINNER, BF_RECT);
  if (opening) ::DrawEdge(dc, &rect, BDR_SUNKENOUTER, BF_RECT);
  CFont* oldFont = font_.GetSafeHandle() ? dc.SelectObject(&font_) : nullptr;
  dc.SetBkMode(TRANSPARENT);
  dc.SetTextColor(::GetSysColor(COLOR_BTNTEXT));
  const CString& text = custom ? customText_ : defaultText_;
  dc.DrawText(text, text.GetLength(), &rect, DT_CENTER | DT_VCENTER | DT_SINGLELINE);
  if (oldFont) dc.SelectObject(oldFont);
}

// --- choosing ---------------------------------------------------------------------------

void CColorPalettePopup::ChangeHighlight(int choice) {
  if (choice > kLastCell) choice = kCustomBox;
  if (choice == highlight_) return;
  const int old = highlight_;
  highlight_ = choice;
  CClientDC dc(m_hWnd);
  for (int c : {old, choice}) {
    if (c == kNoChoice) continue;
    if (c < 0)
      DrawTextBox(dc, c);
    else
      DrawCell(dc, c);
  }
  COLORREF colour = openingColour_;
  if (choice == kDefaultBox)
    colour = chosenColour_ = kAutomaticColour;
  else if (choice >= 0)
    colour = chosenColour_ = kColours[choice].colour;
  if (button_) button_->SendMessage(WM_COLOUR_CHANGED, colour, 0);
}

void CColorPalettePopup::OnMouseMove(UINT, CPoint point) {
  const int choice = ChoiceAt(point);
  if (choice != highlight_) ChangeHighlight(choice);
}

void CColorPalettePopup::OnLButtonUp(UINT, CPoint point) {
  CRect client;
  GetClientRect(&client);
  if (client.PtInRect(point))
    Accept();
  else
    Cancel();
}

// The choice a navigation key moves to from the current highlight.
int CColorPalettePopup::KeyTarget(UINT key) const {
  const bool hasDefault = !defaultText_.IsEmpty();
  const bool hasCustom = !customText_.IsEmpty();
  const bool back = key == VK_LEFT || key == VK_UP;
  if (highlight_ == kDefaultBox) return back ? (hasCustom ? kCustomBox : kLastCell) : 0;
  if (highlight_ == kCustomBox) return back ? kLastCell : (hasDefault ? kDefaultBox : 0);
  const int cell = highlight_;
  const int beforeFirst = hasDefault ? kDefaultBox : (hasCustom ? kCustomBox : kLastCell);
  const int afterLast = hasCustom ? kCustomBox : (hasDefault ? kDefaultBox : 0);
  if (cell == kNoChoice) return back ? beforeFirst : 0;
  switch (key) {
    case VK_LEFT: return cell > 0 ? cell - 1 : beforeFirst;
    case VK_UP: return cell >= kColumns ? cell - kColumns : beforeFirst;
    case VK_RIGHT: return cell < kLastCell ? cell + 1 : afterLast;
    default: return cell + kColumns <= kLastCell ? cell + kColumns : afterLast;
  }
}

void CColorPalettePopup::OnKeyDown(UINT key, UINT, UINT) {
  switch (key) {
    case VK_RETURN:
    case VK_SPACE: Accept(); break;
    case VK_ESCAPE: Cancel(); break;
    case VK_LEFT:
    case VK_UP:
    case VK_RIGHT:
    case VK_DOWN: ChangeHighlight(KeyTarget(key)); break;
    default: Default();
  }
}

void CColorPalettePopup::OnKillFocus(CWnd*) {
  Default();
  if (!colourDialogOpen_) ::ReleaseCapture();
}

LRESULT CColorPalettePopup::OnActivateApp(WPARAM active, LPARAM) {
  if (!active) Cancel();
  return 0;
}

LRESULT CColorPalettePopup::OnQueryNewPalette(WPARAM, LPARAM) {
  Invalidate();
  return Default();
}

LRESULT CColorPalettePopup::OnPaletteChanged(WPARAM changer, LPARAM) {
  if (reinterpret_cast<HWND>(changer) != m_hWnd) Invalidate();
  return Default();
}

// --- ending ------------------------------------------------------------------------------

void CColorPalettePopup::Accept() {
  if (finished_ || colourDialogOpen_) return;
  ::ReleaseCapture();
  UINT message = WM_COLOUR_ACCEPTED;
  if (highlight_ == kCustomBox) {
    static COLORREF customColours[16];
    CHOOSECOLORA choose{};
    choose.lStructSize = sizeof choose;
    choose.hwndOwner = m_hWnd;
    choose.rgbResult = openingColour_ == kAutomaticColour ? 0 : openingColour_;
    choose.lpCustColors = customColours;
    choose.Flags = CC_FULLOPEN | CC_ANYCOLOR | CC_RGBINIT;
    colourDialogOpen_ = true;
    const BOOL chosen = AfxChooseColor(&choose);
    colourDialogOpen_ = false;
    if (chosen)
      chosenColour_ = choose.rgbResult;
    else
      message = WM_COLOUR_CANCELLED;
  }
  if (message == WM_COLOUR_CANCELLED) chosenColour_ = openingColour_;
  Finish(message);
}

void CColorPalettePopup::Cancel() {
  if (finished_ || colourDialogOpen_) return;
  chosenColour_ = openingColour_;
  ::ReleaseCapture();
  Finish(WM_COLOUR_CANCELLED);
}

// Tells the button once, then goes (the object with its window).
void CColorPalettePopup::Finish(UINT message) {
  finished_ = true;
  if (button_) button_->SendMessage(message, chosenColour_, 0);
  DestroyWindow();
}
