// CDrawnButton.
#include "controls/DrawnButton.h"

#include <mmsystem.h>

#include <algorithm>
#include <cstring>
#include <vector>

#include "controls/TextHelpers.h"
#include "framework/LibraryExports.h"

IMPLEMENT_DYNAMIC(CDrawnButton, CButton)

BEGIN_MESSAGE_MAP(CDrawnButton, CButton)
  ON_WM_GETDLGCODE()
  ON_WM_SETCURSOR()
  ON_WM_MOUSEMOVE()
  ON_MESSAGE(WM_MOUSELEAVE, OnMouseLeave)
  ON_WM_KILLFOCUS()
  ON_MESSAGE(WM_CANCELMODE, OnCancelMode)
  ON_WM_ACTIVATE()
  ON_WM_ENABLE()
  ON_MESSAGE(WM_SYSCOLORCHANGE, OnSysColorChangeMessage)
  ON_MESSAGE(BM_SETSTYLE, OnSetStyle)
  ON_MESSAGE(BM_SETCHECK, OnSetCheck)
  ON_MESSAGE(BM_GETCHECK, OnGetCheck)
  ON_WM_CTLCOLOR_REFLECT()
  ON_CONTROL_REFLECT_EX(BN_CLICKED, OnClicked)
  ON_WM_DRAWITEM_REFLECT()
END_MESSAGE_MAP()

namespace {

// --- pixels of a bitmap, as 32-bit top-down rows -----------------------------------

BITMAPINFO PixelFormat(int width, int height) {
  BITMAPINFO info = {};
  info.bmiHeader.biSize = sizeof info.bmiHeader;
  info.bmiHeader.biWidth = width;
  info.bmiHeader.biHeight = -height;
  info.bmiHeader.biPlanes = 1;
  info.bmiHeader.biBitCount = 32;
  info.bmiHeader.biCompression = BI_RGB;
  return info;
}

bool BitmapSize(HBITMAP bitmap, int& width, int& height) {
  BITMAP header = {};
  if (!bitmap || ::GetObjectA(bitmap, sizeof header, &header) != sizeof header) return false;
  width = header.bmWidth;
  height = std::abs(header.bmHeight);
  return width > 0 && height > 0;
}

std::vector<RGBQUAD> ReadPixels(HBITMAP bitmap, int width, int height) {
  std::vector<RGBQUAD> pixels(static_cast<size_t>(width) * height);
  BITMAPINFO info = PixelFormat(width, height);
  HDC screen = ::GetDC(nullptr);
  const int rows = ::GetDIBits(screen, bitmap, 0, height, pixels.data(), &info, DIB_RGB_COLORS);
  ::ReleaseDC(nullptr, screen);
  if (rows != height) pixels.clear();
  return pixels;
}

void WritePixels(HBITMAP bitmap, const std::vector<RGBQUAD>& pixels, int width, int height) {
  BITMAPINFO info = PixelFormat(width, height);
  HDC screen = ::GetDC(nullptr);
  ::SetDIBits(screen, bitmap, 0, height, pixels.data(), &info, DIB_RGB_COLORS);
  ::ReleaseDC(nullptr, screen);
}

// A screen-compatible bitmap holding `pixels`, owned by `out`.
bool MakeBitmap(const std::vector<RGBQUAD>& pixels, int width, int height, CBitmap& out) {
  HDC screen = ::GetDC(nullptr);
  HBITMAP made = ::CreateCompatibleBitmap(screen, width, height);
  ::ReleaseDC(nullptr, screen);
  if (!made) return false;
  out.DeleteObject();
  out.Attach(made);
  WritePixels(made, pixels, width, height);
  return true;
}

COLORREF ColourOf(const RGBQUAD& p) { return RGB(p.rgbRed, p.rgbGreen, p.rgbBlue); }

void SetColour(RGBQUAD& p, COLORREF c) {
  p.rgbRed = GetRValue(c);
  p.rgbGreen = GetGValue(c);
  p.rgbBlue = GetBValue(c);
}

// Every pixel but those of colour `keep` through `change`.
template <typename Change>
std::vector<RGBQUAD> Recolour(std::vector<RGBQUAD> pixels, COLORREF keep, Change change) {
  for (RGBQUAD& p : pixels)
    if (ColourOf(p) != keep) SetColour(p, change(ColourOf(p)));
  return pixels;
}

// A monochrome mask of `image` (1 where it has the transparent colour), and
// those pixels of the image turned black.
bool MakeMask(CBitmap& image, int width, int height, COLORREF transparent, CBitmap& mask) {
  std::vector<RGBQUAD> pixels = ReadPixels(image, width, height);
  if (pixels.empty()) return false;
  const int stride = (width + 15) / 16 * 2;  // monochrome rows are word-aligned
  std::vector<BYTE> bits(static_cast<size_t>(stride) * height, 0);
  for (int y = 0; y < height; ++y)
    for (int x = 0; x < width; ++x) {
      RGBQUAD& p = pixels[static_cast<size_t>(y) * width + x];
      if (ColourOf(p) != transparent) continue;
      bits[static_cast<size_t>(y) * stride + x / 8] |= static_cast<BYTE>(0x80 >> (x % 8));
      SetColour(p, RGB(0, 0, 0));
    }
  mask.DeleteObject();
  if (!mask.CreateBitmap(width, height, 1, 1, bits.data())) return false;
  WritePixels(image, pixels, width, height);
  return true;
}

// The colour and mask bitmaps of an icon, freed when this goes.
struct IconBitmaps {
  CBitmap colour;
  CBitmap mask;
  ICONINFO info = {};
  bool ok = false;
  explicit IconBitmaps(HICON icon) {
    if (!icon || !::GetIconInfo(icon, &info)) return;
    if (info.hbmColor) colour.Attach(info.hbmColor);
    if (info.hbmMask) mask.Attach(info.hbmMask);
    ok = info.hbmColor != nullptr;
  }
};

// A copy of `icon` whose colour pixels went through `change` (black kept).
template <typename Change>
HICON RecolouredIcon(HICON icon, Change change) {
  IconBitmaps source(icon);
  int width = 0;
  int height = 0;
  if (!source.ok || !BitmapSize(source.colour, width, height)) return nullptr;
  const std::vector<RGBQUAD> pixels = ReadPixels(source.colour, width, height);
  CBitmap colour;
  if (pixels.empty() || !MakeBitmap(Recolour(pixels, RGB(0, 0, 0), change), width, height, colour))
    return nullptr;
  ICONINFO made = source.info;
  made.fIcon = TRUE;
  made.hbmColor = colour;
  made.hbmMask = source.mask;
  return ::CreateIconIndirect(&made);  // copies both bitmaps
}

}  // namespace

// --- construction ------------------------------------------------------------------

CDrawnButton::CDrawnButton() { ResetColours(); }

CDrawnButton::~CDrawnButton() {
  if (backgroundDC_.GetSafeHdc() && oldBackgroundBitmap_)
    backgroundDC_.SelectObject(oldBackgroundBitmap_);
  FreeImages(FALSE);
  if (cursor_) ::DestroyCursor(cursor_);
  if (menu_) ::DestroyMenu(menu_);
}

void CDrawnButton::ResetColours() {
  for (int slot = 0; slot < kColourSlots; slot += 2) {
    colours_[slot] = ::GetSysColor(COLOR_BTNFACE);
    colours_[slot + 1] = ::GetSysColor(COLOR_BTNTEXT);
  }
}

COLORREF CDrawnButton::GreyOf(COLORREF c) {
  const int grey = static_cast<int>(0.299 * GetRValue(c) + 0.587 * GetGValue(c) + 0.114 * GetBValue(c));
  return RGB(grey, grey, grey);
}

COLORREF CDrawnButton::DarkerOf(COLORREF c, double factor) {
  if (factor <= 0.0 || factor > 1.0) return c;
  auto darker = [factor](int channel) { return static_cast<int>(channel - factor * channel); };
  return RGB(darker(GetRValue(c)), darker(GetGValue(c)), darker(GetBValue(c)));
}

// --- images ------------------------------------------------------------------------

void CDrawnButton::FreeImages(BOOL check) {
  if (check && iconIn_.handle == nullptr && bitmapIn_.bitmap.GetSafeHandle() == nullptr) return;
  if (iconIn_.handle) ::DestroyIcon(iconIn_.handle);
  if (iconOut_.handle && iconOut_.handle != iconIn_.handle) ::DestroyIcon(iconOut_.handle);
  iconIn_ = IconImage();
  iconOut_ = IconImage();
  for (BitmapImage* image : {&bitmapIn_, &bitmapOut_}) {
    image->bitmap.DeleteObject();
    image->mask.DeleteObject();
    image->width = image->height = 0;
    image->transparent = 0;
  }
}

// An icon's size is twice its hot spot.
BOOL CDrawnButton::IconSize(HICON icon, IconImage& image) {
  IconBitmaps bitmaps(icon);
  if (!bitmaps.info.hbmMask && !bitmaps.info.hbmColor) return FALSE;
  image.handle = icon;
  image.width = static_cast<int>(bitmaps.info.xHotspot * 2);
  image.height = static_cast<int>(bitmaps.info.yHotspot * 2);
  return TRUE;
}

DWORD CDrawnButton::SetIcons(HICON in, HICON out) {
  FreeImages();
  if (!in) {
    Repaint();
    return kOk;
  }
  if (!IconSize(in, iconIn_)) {
    FreeImages();
    return kInvalidResource;
  }
  HICON made = nullptr;
  if (out == kGreyIcon)
    made = RecolouredIcon(in, GreyOf);
  else if (out == kDarkerIcon)
    made = RecolouredIcon(in, [](COLORREF c) { return DarkerOf(c); });
  else
    made = out;
  if (made && !IconSize(made, iconOut_)) {
    FreeImages();
    return kInvalidResource;
  }
  if ((out == kGreyIcon || out == kDarkerIcon) && !made) {
    FreeImages();
    return kInvalidResource;
  }
  Repaint();
  return kOk;
}

// A language module need not carry the pictures: the program's serve then.
DWORD CDrawnButton::SetIconResources(UINT inId, UINT outId) {
  auto load = [](UINT id) {
    const char* name = MAKEINTRESOURCEA(id);
    return static_cast<HICON>(::LoadImageA(AfxFindResourceHandle(name, RT_GROUP_ICON), name,
                                           IMAGE_ICON, 0, 0, LR_DEFAULTCOLOR));
  };
  HICON in = load(inId);
  HICON out = nullptr;
  if (outId == kGreyId)
    out = kGreyIcon;
  else if (outId == kDarkerId)
    out = kDarkerIcon;
  else if (outId != 0)
    out = load(outId);
  return SetIcons(in, out);
}

DWORD CDrawnButton::SetBitmapImages(HBITMAP in, COLORREF inTransparent, HBITMAP out,
                                   COLORREF outTransparent) {
  FreeImages();
  if (!in) {
    Repaint();
    return kOk;
  }
  int width = 0;
  int height = 0;
  if (!BitmapSize(in, width, height)) {
    FreeImages();
    return kInvalidResource;
  }
  bitmapIn_.bitmap.Attach(in);
  bitmapIn_.width = width;
  bitmapIn_.height = height;
  bitmapIn_.transparent = inTransparent;
  if (out == kGreyBitmap || out == kDarkerBitmap) {
    // The copy is made before the mask blackens the transparent pixels.
    const std::vector<RGBQUAD> pixels = ReadPixels(in, width, height);
    const auto change = [out](COLORREF c) { return out == kGreyBitmap ? GreyOf(c) : DarkerOf(c); };
    if (pixels.empty() || !MakeBitmap(Recolour(pixels, inTransparent, change), width, height, bitmapOut_.bitmap)) {
      FreeImages();
      return kInvalidResource;
    }
    outTransparent = inTransparent;
  } else if (out) {
    int outWidth = 0;
    int outHeight = 0;
    if (!BitmapSize(out, outWidth, outHeight)) {
      FreeImages();
      return kInvalidResource;
    }
    bitmapOut_.bitmap.Attach(out);
  }
  if (!MakeMask(bitmapIn_.bitmap, width, height, inTransparent, bitmapIn_.mask)) {
    FreeImages();
    return kFailedMask;
  }
  if (bitmapOut_.bitmap.GetSafeHandle()) {
    BitmapSize(bitmapOut_.bitmap, bitmapOut_.width, bitmapOut_.height);
    bitmapOut_.transparent = outTransparent;
    if (!MakeMask(bitmapOut_.bitmap, bitmapOut_.width, bitmapOut_.height, outTransparent, bitmapOut_.mask)) {
      FreeImages();
      return kFailedMask;
    }
  }
  Repaint();
  return kOk;
}

DWORD CDrawnButton::SetBitmapResources(UINT inId, COLORREF inTransparent, UINT outId,
                                       COLORREF outTransparent) {
  auto load = [](UINT id) {
    const char* name = MAKEINTRESOURCEA(id);
    return static_cast<HBITMAP>(::LoadImageA(AfxFindResourceHandle(name, RT_BITMAP), name,
                                             IMAGE_BITMAP, 0, 0, LR_DEFAULTCOLOR));
  };
  HBITMAP out = nullptr;
  if (outId == kGreyId)
    out = kGreyBitmap;
  else if (outId == kDarkerId)
    out = kDarkerBitmap;
  else if (outId != 0)
    out = load(outId);
  return SetBitmapImages(load(inId), inTransparent, out, outTransparent);
}

// --- colours and settings -----------------------------------------------------------

DWORD CDrawnButton::ShiftColor(int slot, short shade, BOOL repaint) {
  if (slot < 0 || slot >= kColourSlots) return kInvalidIndex;
  if (shade < -255 || shade > 255) return kBadParam;
  const COLORREF c = colours_[slot];
  const int channels[3] = {GetRValue(c), GetGValue(c), GetBValue(c)};
  int room = 255;
  for (int channel : channels) room = std::min(room, shade > 0 ? 255 - channel : channel);
  const int amount = shade > 0 ? std::min<int>(shade, room) : std::max<int>(shade, -room);
  colours_[slot] = RGB(channels[0] + amount, channels[1] + amount, channels[2] + amount);
  if (repaint) Repaint();
  return kOk;
}

DWORD CDrawnButton::SetColor(int slot, COLORREF colour, BOOL repaint) {
  if (slot < 0 || slot >= kColourSlots) return kInvalidIndex;
  colours_[slot] = colour;
  if (repaint) Repaint();
  return kOk;
}

COLORREF CDrawnButton::GetColor(int slot) const {
  return slot >= 0 && slot < kColourSlots ? colours_[slot] : 0;
}

void CDrawnButton::SetFlat(BOOL flat, BOOL repaint) {
  flat_ = flat;
  if (repaint) Repaint();
}

void CDrawnButton::SetAlign(int align, BOOL repaint) {
  if (align >= kAlignHorizontal && align <= kAlignHorizontalRight) align_ = align;
  if (repaint) Repaint();
}

void CDrawnButton::SetDrawBorder(BOOL draw, BOOL repaint) {
  drawBorder_ = draw;
  if (repaint) Repaint();
}

void CDrawnButton::SetFlatFocus(BOOL draw, BOOL repaint) {
  drawFlatFocus_ = draw;
  if (repaint) Repaint();
}

void CDrawnButton::DrawTransparent(BOOL repaint) {
  drawTransparent_ = TRUE;
  if (repaint) Repaint();
}

void CDrawnButton::SetCheck(int check, BOOL repaint) {
  if (!checkbox_) return;
  checked_ = check == BST_CHECKED || check == BST_INDETERMINATE;
  if (repaint) Repaint();
}

void CDrawnButton::SetBtnCursor(HCURSOR cursor, BOOL) {
  if (cursor_) ::DestroyCursor(cursor_);
  cursor_ = cursor;
}

void CDrawnButton::SetTooltipText(const char* text, BOOL activate) {
  if (!text || !m_hWnd) return;
  tipText_ = CString(text, std::min<int>(static_cast<int>(std::strlen(text)), kMaxTipChars));
  if (!tooltip_.GetSafeHwnd()) {
    if (!tooltip_.Create(this)) return;
    tooltip_.Activate(FALSE);
    tooltip_.SetMaxTipWidth(400);
  }
  if (tooltip_.GetToolCount() == 0)
    tooltip_.AddTool(this, tipText_);
  else
    tooltip_.UpdateTipText(tipText_, this);
  tooltip_.Activate(activate);
}

void CDrawnButton::ActivateTooltip(BOOL activate) {
  if (tooltip_.GetSafeHwnd()) tooltip_.Activate(activate);
}

BOOL CDrawnButton::SetURL(const char* address) {
  if (address && std::strlen(address) > static_cast<size_t>(kMaxTextChars)) return FALSE;
  webAddress_ = address ? address : "";
  return TRUE;
}

BOOL CDrawnButton::SetMenu(UINT menuId, HWND owner, BOOL repaint) {
  if (menu_) ::DestroyMenu(menu_);
  menu_ = nullptr;
  menuOwner_ = owner;
  const char* name = MAKEINTRESOURCEA(menuId);
  if (menuId) menu_ = ::LoadMenuA(AfxFindResourceHandle(name, RT_MENU), name);
  if (repaint) Repaint();
  return menuId == 0 || menu_ != nullptr;
}

void CDrawnButton::SetMenuCallback(HWND window, UINT message, LPARAM parameter) {
  callbackWindow_ = window;
  callbackMessage_ = message;
  callbackParameter_ = parameter;
}

BOOL CDrawnButton::SetSound(const char* sound, HMODULE module, BOOL playOnClick) {
  Sound& target = sounds_[playOnClick ? 1 : 0];
  if (!sound) {
    target = Sound();
    return TRUE;
  }
  const bool isResource = IS_INTRESOURCE(sound);
  if (!isResource && std::strlen(sound) > static_cast<size_t>(kMaxTextChars)) return FALSE;
  target.name = isResource ? CString() : CString(sound);
  target.module = module;
  target.flags = SND_ASYNC | SND_NODEFAULT | (module ? SND_RESOURCE : SND_FILENAME);
  if (isResource) target.name.Format("#%u", static_cast<unsigned>(reinterpret_cast<UINT_PTR>(sound)));
  return TRUE;
}

namespace {

// PlaySoundA from winmm loaded at the first sound: linked in, winmm and the
// audio libraries it imports were loaded at every start, though few buttons
// play a sound. Once loaded it stays.
decltype(&::PlaySoundA) LoadedPlaySound() {
  static const auto play = [] {
    decltype(&::PlaySoundA) function = nullptr;
    if (const HMODULE winmm = ::LoadLibraryA("winmm.dll")) ResolveExport(winmm, "PlaySoundA", function);
    return function;
  }();
  return play;
}

}  // namespace

void CDrawnButton::PlaySoundOf(int which) {
  const Sound& sound = sounds_[which];
  if (sound.name.IsEmpty()) return;
  if (const auto play = LoadedPlaySound()) play(sound.name, sound.module, sound.flags);
}

// --- messages ----------------------------------------------------------------------

void CDrawnButton::PreSubclassWindow() {
  const DWORD style = GetStyle();
  typeStyle_ = style & 0x1F;
  if (style & 0x2) checkbox_ = TRUE;
  if ((style & BS_TYPEMASK) == BS_DEFPUSHBUTTON) {
    default_ = TRUE;
    typeStyle_ = 0;
  }
  CButton::PreSubclassWindow();
  ModifyStyle(0x1F, BS_OWNERDRAW, SWP_FRAMECHANGED);
}

BOOL CDrawnButton::PreTranslateMessage(MSG* msg) {
  if (!tooltip_.GetSafeHwnd() && tooltip_.Create(this)) {
    tooltip_.Activate(FALSE);
    tooltip_.SetMaxTipWidth(400);
  }
  if (tooltip_.GetSafeHwnd()) tooltip_.RelayEvent(msg);
  // A double click counts as a second click.
  if (msg->message == WM_LBUTTONDBLCLK) msg->message = WM_LBUTTONDOWN;
  return CButton::PreTranslateMessage(msg);
}

UINT CDrawnButton::OnGetDlgCode() {
  const UINT code = static_cast<UINT>(Default());
  return code | (default_ ? DLGC_DEFPUSHBUTTON : DLGC_UNDEFPUSHBUTTON);
}

BOOL CDrawnButton::OnSetCursor(CWnd*, UINT, UINT) {
  if (!cursor_) return static_cast<BOOL>(Default());
  ::SetCursor(cursor_);
  return TRUE;
}

void CDrawnButton::LeaveHover() {
  if (flat_ && hovering_) {
    hovering_ = FALSE;
    Repaint();
  }
}

void CDrawnButton::OnMouseMove(UINT flags, CPoint point) {
  Default();
  if (!flat_ || ((flags & MK_LBUTTON) && !hovering_)) return;
  POINT screen = point;
  ClientToScreen(&screen);
  const bool overMe = ::WindowFromPoint(screen) == m_hWnd;
  if (overMe && (alwaysTrack_ || ::GetActiveWindow() != nullptr)) {
    if (hovering_) return;
    hovering_ = TRUE;
    Repaint();
    PlaySoundOf(0);
    TRACKMOUSEEVENT track = {sizeof track, TME_LEAVE, m_hWnd, 0};
    ::TrackMouseEvent(&track);
  } else if (!overMe) {
    LeaveHover();
  }
}

LRESULT CDrawnButton::OnMouseLeave(WPARAM, LPARAM) {
  LeaveHover();
  return 0;
}

void CDrawnButton::OnKillFocus(CWnd*) {
  Default();
  LeaveHover();
}

LRESULT CDrawnButton::OnCancelMode(WPARAM, LPARAM) {
  const LRESULT result = Default();
  LeaveHover();
  return result;
}

void CDrawnButton::OnActivate(UINT state, CWnd*, BOOL) {
  Default();
  if (state == WA_INACTIVE) LeaveHover();
}

void CDrawnButton::OnEnable(BOOL enable) {
  Default();
  if (enable) return;
  // The system takes the focus from a window it disables: hand it on, but
  // never take it from another control that holds it.
  CWnd* parent = GetParent();
  const HWND focus = ::GetFocus();
  if (parent && (focus == m_hWnd || focus == nullptr)) {
    HWND next = ::GetNextDlgTabItem(parent->GetSafeHwnd(), m_hWnd, FALSE);
    ::SetFocus(next && next != m_hWnd ? next : parent->GetSafeHwnd());
  }
  hovering_ = FALSE;
}

LRESULT CDrawnButton::OnSysColorChangeMessage(WPARAM, LPARAM) {
  const LRESULT result = Default();
  if (backgroundDC_.GetSafeHdc()) {
    if (oldBackgroundBitmap_) backgroundDC_.SelectObject(oldBackgroundBitmap_);
    backgroundDC_.DeleteDC();
    backgroundBitmap_.DeleteObject();
    oldBackgroundBitmap_ = nullptr;
  }
  ResetColours();
  Repaint();
  return result;
}

LRESULT CDrawnButton::OnSetStyle(WPARAM style, LPARAM redraw) {
  if (typeStyle_ == BS_PUSHBUTTON || typeStyle_ == BS_DEFPUSHBUTTON)
    default_ = (style & BS_TYPEMASK) == BS_DEFPUSHBUTTON;
  return DefWindowProc(BM_SETSTYLE, (style & ~static_cast<WPARAM>(0x14)) | BS_OWNERDRAW, redraw);
}

LRESULT CDrawnButton::OnSetCheck(WPARAM check, LPARAM) {
  if (!checkbox_) return Default();
  SetCheck(static_cast<int>(check), TRUE);
  return 0;
}

LRESULT CDrawnButton::OnGetCheck(WPARAM, LPARAM) {
  return checkbox_ ? checked_ : Default();
}

HBRUSH CDrawnButton::CtlColor(HDC, UINT) { return static_cast<HBRUSH>(::GetStockObject(NULL_BRUSH)); }

BOOL CDrawnButton::OnClicked() {
  SetFocus();
  PlaySoundOf(1);
  if (checkbox_) {
    checked_ = !checked_;
    Repaint();
  } else if (menu_) {
    menuShown_ = TRUE;
    Repaint();
    UpdateWindow();
    HMENU popup = ::GetSubMenu(menu_, 0);
    if (callbackWindow_)
      ::SendMessageA(callbackWindow_, callbackMessage_, reinterpret_cast<WPARAM>(popup), callbackParameter_);
    CRect rect;
    GetWindowRect(&rect);
    const UINT command = static_cast<UINT>(::TrackPopupMenuEx(
        popup, TPM_RETURNCMD | TPM_NONOTIFY | TPM_RIGHTBUTTON, rect.left, rect.bottom, menuOwner_, nullptr));
    menuShown_ = FALSE;
    Repaint();
    if (command && menuOwner_) ::PostMessageA(menuOwner_, WM_COMMAND, MAKEWPARAM(command, 0), 0);
  } else if (!webAddress_.IsEmpty()) {
    ShellOpenMaximized(webAddress_);
  }
  return FALSE;  // the parent hears of the click too
}

// --- drawing -----------------------------------------------------------------------

void CDrawnButton::CacheParentBackground(CDC& dc, const CRect& item) {
  CWnd* parent = GetParent();
  if (!backgroundDC_.GetSafeHdc() && parent) {
    CRect rect;
    GetWindowRect(&rect);
    parent->ScreenToClient(&rect);
    CClientDC parentDC(parent->GetSafeHwnd());
    if (backgroundDC_.CreateCompatibleDC(&parentDC) &&
        backgroundBitmap_.CreateCompatibleBitmap(&parentDC, item.Width(), item.Height())) {
      oldBackgroundBitmap_ = backgroundDC_.SelectObject(&backgroundBitmap_);
      backgroundDC_.BitBlt(0, 0, item.Width(), item.Height(), &parentDC, rect.left, rect.top, SRCCOPY);
    }
  }
  if (backgroundDC_.GetSafeHdc())
    dc.BitBlt(0, 0, item.Width(), item.Height(), &backgroundDC_, 0, 0, SRCCOPY);
}

void CDrawnButton::PaintBackground(CDC& dc, CRect& rect) {
  if (!flat_ && (focused_ || default_)) {
    CBrush black(RGB(0, 0, 0));
    ::FrameRect(dc, &rect, black);
    rect.DeflateRect(1, 1);
  }
  const int slot = hovering_ || pressed_ ? kBackgroundIn : focused_ ? kBackgroundFocus : kBackgroundOut;
  dc.FillSolidRect(&rect, colours_[slot]);
}

void CDrawnButton::PaintBorder(CDC& dc, const CRect& rect) {
  if (pressed_) {
    if (flat_ && drawBorder_) {
      ::DrawEdge(dc, const_cast<CRect*>(&rect), BDR_SUNKENOUTER, BF_RECT);
    } else if (!flat_) {
      CBrush shadow(::GetSysColor(COLOR_BTNSHADOW));
      ::FrameRect(dc, &rect, shadow);
    }
    return;
  }
  if (!flat_) {
    struct Line {
      int colour, x0, y0, x1, y1, x2, y2;
    };
    const int l = rect.left, t = rect.top, r = rect.right - 1, b = rect.bottom - 1;
    const Line lines[] = {
        {COLOR_BTNHIGHLIGHT, l, b, l, t, r, t},
        {COLOR_3DLIGHT, l + 1, b - 1, l + 1, t + 1, r - 1, t + 1},
        {COLOR_3DDKSHADOW, l, b, r, b, r, t - 1},
        {COLOR_BTNSHADOW, l + 1, b - 1, r - 1, b - 1, r - 1, t},
    };
    for (const Line& line : lines) {
      CPen pen(PS_SOLID, 1, ::GetSysColor(line.colour));
      CPen* old = dc.SelectObject(&pen);
      dc.MoveTo(line.x0, line.y0);
      dc.LineTo(line.x1, line.y1);
      dc.LineTo(line.x2, line.y2);
      dc.SelectObject(old);
    }
  } else if (hovering_ && drawBorder_) {
    ::DrawEdge(dc, const_cast<CRect*>(&rect), BDR_RAISEDINNER, BF_RECT);
  }
}

CRect CDrawnButton::ImageRect(BOOL hasCaption, const CRect& item, CRect& caption, int width,
                              int height) const {
  CRect image(item.left, item.top, item.left + width, item.top + height);
  const int centreX = item.left + (item.Width() - width) / 2;
  const int centreY = item.top + (item.Height() - height) / 2;
  switch (align_) {
    case kAlignVertical:
      image.OffsetRect(centreX - image.left, hasCaption ? imageMargin_.y : centreY - image.top);
      if (hasCaption) caption.top += height;
      break;
    case kAlignHorizontalRight:
      if (hasCaption) {
        image.OffsetRect(item.right - imageMargin_.x - width - image.left, centreY - image.top);
        caption.left = imageMargin_.x;
        caption.right -= width + imageMargin_.x;
      } else {
        image.OffsetRect(centreX - image.left, centreY - image.top);
      }
      break;
    default:
      if (hasCaption) {
        image.OffsetRect(imageMargin_.x, centreY - image.top);
        caption.left += width + imageMargin_.x;
      } else {
        image.OffsetRect(centreX - image.left, centreY - image.top);
      }
      break;
  }
  if (pressed_ && !checkbox_) image.OffsetRect(pressedOffset_.x, pressedOffset_.y);
  return image;
}

BOOL CDrawnButton::UseOutImage(BOOL haveOut) const {
  return haveOut && ((checkbox_ && !pressed_) || (!pressed_ && !hovering_));
}

void CDrawnButton::PaintIcon(CDC& dc, BOOL hasCaption, const CRect& item, CRect& caption) {
  const IconImage& icon = UseOutImage(iconOut_.handle != nullptr) ? iconOut_ : iconIn_;
  const CRect image = ImageRect(hasCaption, item, caption, iconIn_.width, iconIn_.height);
  ::DrawStateA(dc, nullptr, nullptr, reinterpret_cast<LPARAM>(icon.handle), 0, image.left,
               image.top, image.Width(), image.Height(), DST_ICON | (disabled_ ? DSS_DISABLED : DSS_NORMAL));
}

void CDrawnButton::PaintBitmap(CDC& dc, BOOL hasCaption, const CRect& item, CRect& caption) {
  const BitmapImage& image = UseOutImage(bitmapOut_.bitmap.GetSafeHandle() != nullptr) ? bitmapOut_ : bitmapIn_;
  const CRect at = ImageRect(hasCaption, item, caption, bitmapIn_.width, bitmapIn_.height);
  CDC source;
  if (!source.CreateCompatibleDC(&dc)) return;
  // Mask bits 1 (transparent) become white and keep what is below; 0 black.
  const COLORREF oldText = dc.SetTextColor(RGB(0, 0, 0));
  const COLORREF oldBack = dc.SetBkColor(RGB(255, 255, 255));
  if (disabled_ && showDisabledBitmap_) {
    CBitmap combined;
    CDC work;
    if (combined.CreateCompatibleBitmap(&dc, image.width, image.height) && work.CreateCompatibleDC(&dc)) {
      CBitmap* oldWork = work.SelectObject(&combined);
      CRect all(0, 0, image.width, image.height);
      work.FillSolidRect(&all, RGB(255, 255, 255));
      work.SetTextColor(RGB(0, 0, 0));
      work.SetBkColor(RGB(255, 255, 255));
      CBitmap* oldSource = source.SelectObject(const_cast<CBitmap*>(&image.mask));
      work.BitBlt(0, 0, image.width, image.height, &source, 0, 0, SRCAND);
      source.SelectObject(const_cast<CBitmap*>(&image.bitmap));
      work.BitBlt(0, 0, image.width, image.height, &source, 0, 0, SRCPAINT);
      source.SelectObject(oldSource);
      work.SelectObject(oldWork);
      ::DrawStateA(dc, nullptr, nullptr, reinterpret_cast<LPARAM>(combined.GetSafeHandle()), 0, at.left,
                   at.top, image.width, image.height, DST_BITMAP | DSS_DISABLED);
    }
  } else {
    CBitmap* oldSource = source.SelectObject(const_cast<CBitmap*>(&image.mask));
    dc.BitBlt(at.left, at.top, image.width, image.height, &source, 0, 0, SRCAND);
    source.SelectObject(const_cast<CBitmap*>(&image.bitmap));
    dc.BitBlt(at.left, at.top, image.width, image.height, &source, 0, 0, SRCPAINT);
    source.SelectObject(oldSource);
  }
  dc.SetTextColor(oldText);
  dc.SetBkColor(oldBack);
}

void CDrawnButton::PaintText(CDC& dc, const CString& caption, CRect& rect) {
  if (pressed_ && !checkbox_) rect.OffsetRect(pressedOffset_.x, pressedOffset_.y);
  CRect measured = rect;
  dc.DrawText(caption, caption.GetLength(), &measured, DT_CALCRECT | DT_WORDBREAK | DT_CENTER);
  CRect centred = measured;
  centred.OffsetRect((rect.Width() - measured.Width()) / 2, (rect.Height() - measured.Height()) / 2);
  if (disabled_) {
    centred.OffsetRect(1, 1);
    dc.SetTextColor(::GetSysColor(COLOR_BTNHIGHLIGHT));
    dc.DrawText(caption, caption.GetLength(), &centred, DT_WORDBREAK | DT_CENTER);
    centred.OffsetRect(-1, -1);
    dc.SetTextColor(::GetSysColor(COLOR_BTNSHADOW));
    dc.DrawText(caption, caption.GetLength(), &centred, DT_WORDBREAK | DT_CENTER);
    return;
  }
  const int slot = hovering_ || pressed_ ? kForegroundIn : focused_ ? kForegroundFocus : kForegroundOut;
  dc.SetTextColor(colours_[slot]);
  dc.SetBkColor(colours_[slot - 1]);
  dc.DrawText(caption, caption.GetLength(), &centred, DT_WORDBREAK | DT_CENTER);
}

void CDrawnButton::DrawItem(LPDRAWITEMSTRUCT item) {
  pressed_ = (item->itemState & ODS_SELECTED) != 0 || (checkbox_ && checked_) ||
             (!checkbox_ && menuShown_);
  focused_ = (item->itemState & ODS_FOCUS) != 0;
  disabled_ = (item->itemState & ODS_DISABLED) != 0;

  CDC dc;
  dc.Attach(item->hDC);
  const int saved = dc.SaveDC();
  const CRect itemRect(item->rcItem);
  dc.SetBkMode(TRANSPARENT);
  if (drawTransparent_) {
    CacheParentBackground(dc, itemRect);
  } else {
    CRect background = itemRect;
    PaintBackground(dc, background);
  }
  PaintBorder(dc, itemRect);

  const CString caption = GetWindowText();
  CRect captionRect = itemRect;
  const BOOL hasCaption = !caption.IsEmpty();
  if (iconIn_.handle) PaintIcon(dc, hasCaption, itemRect, captionRect);
  if (bitmapIn_.bitmap.GetSafeHandle()) {
    dc.SetTextColor(RGB(255, 255, 255));
    PaintBitmap(dc, hasCaption, itemRect, captionRect);
  }
  if (hasCaption) PaintText(dc, caption, captionRect);
  if ((!flat_ || drawFlatFocus_) && focused_) {
    CRect focus = itemRect;
    focus.DeflateRect(3, 3);
    ::DrawFocusRect(dc, &focus);
  }
  dc.RestoreDC(saved);
  dc.Detach();
}
