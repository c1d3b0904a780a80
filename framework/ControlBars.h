// Control bars: CControlBar, CToolBar, CStatusBar, CDialogBar, and the
// caption-less popup that holds a floating bar (CMiniDockFrameWnd).
// A docked bar is a direct child of its frame and takes its space when the
// frame lays out (WM_SIZEPARENT): bars aligned at the top take rows off the
// top, left-aligned ones columns off the left, in the order the bars were
// created; the pane gets what is left. A floating bar lives in a popup
// owned by the frame; that popup passes its commands and notifications on
// to the frame.
// Commands a bar receives itself (a posted WM_COMMAND, a dialog bar's
// control notifications) go on to the frame that owns the bar, so the
// frame's command route handles them wherever the bar sits.
// Choices of ours: a toolbar's image strip is a masked image list built
// from the bitmap of the toolbar's id (the mask colour is the strip's
// first pixel), owned and freed by the bar; a dialog bar is always shown;
// bars draw no borders of their own (the CBRS_BORDER_ bits are kept only).
#pragma once

#include <vector>

#include "framework/Wnd.h"

#include <commctrl.h>

// Bar styles: kept in the bar object, never in the window's style word.
constexpr DWORD CBRS_ALIGN_LEFT = 0x1000;
constexpr DWORD CBRS_ALIGN_TOP = 0x2000;
constexpr DWORD CBRS_ALIGN_RIGHT = 0x4000;
constexpr DWORD CBRS_ALIGN_BOTTOM = 0x8000;
constexpr DWORD CBRS_ALIGN_ANY = 0xF000;
constexpr DWORD CBRS_BORDER_LEFT = 0x0100;
constexpr DWORD CBRS_BORDER_TOP = 0x0200;
constexpr DWORD CBRS_BORDER_RIGHT = 0x0400;
constexpr DWORD CBRS_BORDER_BOTTOM = 0x0800;
constexpr DWORD CBRS_BORDER_ANY = 0x0F00;
constexpr DWORD CBRS_TOOLTIPS = 0x0010;
constexpr DWORD CBRS_FLYBY = 0x0020;
constexpr DWORD CBRS_SIZE_DYNAMIC = 0x0004;
constexpr DWORD CBRS_SIZE_FIXED = 0x0002;
constexpr DWORD CBRS_FLOATING = 0x0001;
constexpr DWORD CBRS_ALL = 0x0040FFFF;
constexpr DWORD CBRS_LEFT = CBRS_ALIGN_LEFT | CBRS_BORDER_RIGHT;
constexpr DWORD CBRS_TOP = CBRS_ALIGN_TOP | CBRS_BORDER_BOTTOM;
constexpr DWORD CBRS_RIGHT = CBRS_ALIGN_RIGHT | CBRS_BORDER_LEFT;
constexpr DWORD CBRS_BOTTOM = CBRS_ALIGN_BOTTOM | CBRS_BORDER_TOP;

// Dock sites of a frame (DockControlBar).
constexpr UINT AFX_IDW_DOCKBAR_TOP = 0xE81B;
constexpr UINT AFX_IDW_DOCKBAR_LEFT = 0xE81C;
constexpr UINT AFX_IDW_DOCKBAR_RIGHT = 0xE81D;
constexpr UINT AFX_IDW_DOCKBAR_BOTTOM = 0xE81E;

// Modes of CalcDynamicLayout.
constexpr DWORD LM_STRETCH = 0x01;
constexpr DWORD LM_HORZ = 0x02;

// Toolbar resource type (version 1, image width, height, count, ids).
constexpr WORD RT_TOOLBAR_ID = 241;

class CFrameWnd;

class CControlBar : public CWnd {
  DECLARE_DYNAMIC(CControlBar)
 public:
  ~CControlBar() override;

  DWORD GetBarStyle() const { return m_dwStyle; }
  void SetBarStyle(DWORD style) { m_dwStyle = style & CBRS_ALL; }
  // The sides this bar may be docked at (CBRS_ALIGN_ bits).
  void EnableDocking(DWORD dockStyle) { m_dwDockStyle = dockStyle & CBRS_ALIGN_ANY; }
  DWORD GetDockStyle() const { return m_dwDockStyle; }
  BOOL IsFloating() const { return (m_dwStyle & CBRS_FLOATING) != 0; }
  BOOL IsHorizontal() const { return (m_dwStyle & (CBRS_ALIGN_LEFT | CBRS_ALIGN_RIGHT)) == 0; }
  // The frame the bar belongs to (its owner while it floats).
  CFrameWnd* GetDockingFrame() const { return m_pDockSite; }
  // The popup that holds the bar while it floats, or null.
  HWND GetFloatingFrame() const { return m_hWndFloat; }

  // The size the bar needs; `stretch` gives it the whole length of its side.
  virtual CSize CalcFixedLayout(BOOL stretch, BOOL horz);
  // The size while floating or being laid out dynamically.
  virtual CSize CalcDynamicLayout(int length, DWORD mode);
  // Runs update-UI for the bar's items against `target`.
  virtual void OnUpdateCmdUI(CFrameWnd* target, BOOL disableIfNoHandler) = 0;

  BOOL DestroyWindow() override;
  // Commands the bar itself receives go on to its frame.
  BOOL OnCommand(WPARAM wParam, LPARAM lParam) override;

 protected:
  CControlBar() = default;
  // Common creation state: bar style, owner frame.
  void InitBar(CWnd* parent, DWORD style);
  LRESULT OnSizeParent(WPARAM, LPARAM lParam);
  LRESULT OnIdleUpdateCmdUI(WPARAM wParam, LPARAM);
  void OnDestroy();

  DWORD m_dwStyle = 0;
  DWORD m_dwDockStyle = 0;
  CFrameWnd* m_pDockSite = nullptr;
  HWND m_hWndFloat = nullptr;

  DECLARE_MESSAGE_MAP()
  friend class CFrameWnd;
};

class CToolBar : public CControlBar {
  DECLARE_DYNAMIC(CToolBar)
 public:
  CToolBar() = default;
  ~CToolBar() override;

  BOOL CreateEx(CWnd* parent, DWORD ctrlStyle = TBSTYLE_FLAT,
                DWORD style = WS_CHILD | WS_VISIBLE | CBRS_ALIGN_TOP,
                CRect borders = CRect(0, 0, 0, 0), UINT id = AFX_IDW_TOOLBAR);
  BOOL Create(CWnd* parent, DWORD style = WS_CHILD | WS_VISIBLE | CBRS_TOP,
              UINT id = AFX_IDW_TOOLBAR) {
    return CreateEx(parent, 0, style, CRect(0, 0, 0, 0), id);
  }
  // Buttons from toolbar resource `id`, images from the bitmap of that id.
  BOOL LoadToolBar(UINT id);

  int GetCount() const { return static_cast<int>(SendMessage(TB_BUTTONCOUNT)); }
  UINT GetItemID(int index) const;
  int CommandToIndex(UINT id) const;
  void GetItemRect(int index, RECT* rect) const;
  CSize GetImageSize() const { return m_sizeImage; }
  // Hands an image list to the toolbar (TB_SETIMAGELIST, TB_SETHOTIMAGELIST
  // or TB_SETDISABLEDIMAGELIST); the bar owns and frees it, and the list it
  // replaces when that was ours.
  void SetOwnedImageList(UINT message, HIMAGELIST list);

  CSize CalcFixedLayout(BOOL stretch, BOOL horz) override;
  void OnUpdateCmdUI(CFrameWnd* target, BOOL disableIfNoHandler) override;

 protected:
  void OnNcDestroy();
  // Puts a wrap after every button of a vertical bar, none on a horizontal.
  void WrapButtons(BOOL vertical);
  void FreeImageLists();

  CSize m_sizeImage{16, 15};
  struct OwnedList {
    UINT message;
    HIMAGELIST list;
  };
  std::vector<OwnedList> m_ownedLists;

  DECLARE_MESSAGE_MAP()
};

class CStatusBar : public CControlBar {
  DECLARE_DYNAMIC(CStatusBar)
 public:
  BOOL Create(CWnd* parent, DWORD style = WS_CHILD | WS_VISIBLE | CBRS_BOTTOM,
              UINT id = AFX_IDW_STATUS_BAR);
  // Panes by id: ID_SEPARATOR for the message pane, string ids for the rest.
  BOOL SetIndicators(const UINT* ids, int count);
  int GetCount() const { return static_cast<int>(m_panes.size()); }
  UINT GetItemID(int index) const;
  int CommandToIndex(UINT id) const;
  BOOL SetPaneText(int index, const char* text, BOOL update = TRUE);
  CString GetPaneText(int index) const;

  CSize CalcFixedLayout(BOOL stretch, BOOL horz) override;
  void OnUpdateCmdUI(CFrameWnd* target, BOOL disableIfNoHandler) override;

 protected:
  void OnSize(UINT type, int cx, int cy);
  // Sets the part edges: fixed indicator panes at the right, the first
  // ID_SEPARATOR pane takes the rest.
  void UpdateParts();
  int TextWidth(const char* text) const;

  struct Pane {
    UINT id;
    int width;
    CString text;  // the indicator's text when on
  };
  std::vector<Pane> m_panes;

  DECLARE_MESSAGE_MAP()
};

class CDialogBar : public CControlBar {
  DECLARE_DYNAMIC(CDialogBar)
 public:
  BOOL Create(CWnd* parent, UINT templateId, UINT style, UINT id);
  CSize CalcFixedLayout(BOOL stretch, BOOL horz) override;
  void OnUpdateCmdUI(CFrameWnd* target, BOOL disableIfNoHandler) override;
  // The controls' WM_NOTIFY that no control object takes goes to the frame.
  BOOL OnNotify(WPARAM wParam, LPARAM lParam, LRESULT* result) override;

 protected:
  CSize m_sizeDefault;
};

// The caption-less (or tool-captioned) popup that holds one floating bar.
class CMiniDockFrameWnd : public CWnd {
  DECLARE_DYNAMIC(CMiniDockFrameWnd)
 public:
  BOOL Create(CFrameWnd* owner);
  // Sizes the popup around its bar and puts its top-left corner at `point`
  // (screen coordinates).
  void PlaceAround(CControlBar* bar, CPoint point);
  BOOL OnCommand(WPARAM wParam, LPARAM lParam) override;
  BOOL OnNotify(WPARAM wParam, LPARAM lParam, LRESULT* result) override;

 protected:
  void PostNcDestroy() override { delete this; }
  CFrameWnd* m_pOwnerFrame = nullptr;
};

// The image list of a true-colour strip: images `imageWidth` wide and as
// high as the bitmap, masked with the colour of the strip's first pixel in
// memory. Null when the bitmap is missing or a list cannot be made; the
// bitmap itself is always freed (the list holds a copy).
HIMAGELIST AfxImageListFromBitmap(UINT bitmapId, int imageWidth);
// Image lists made by AfxImageListFromBitmap and not yet destroyed through
// AfxDestroyImageList (lets tests prove that bars free their lists).
long AfxLiveImageLists();
void AfxDestroyImageList(HIMAGELIST list);
