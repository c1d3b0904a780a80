// CEdit, CButton, CStatic, CComboBox, CListBox, CToolTipCtrl.
#include "framework/Controls.h"

IMPLEMENT_DYNAMIC(CEdit, CWnd)
IMPLEMENT_DYNAMIC(CButton, CWnd)
IMPLEMENT_DYNAMIC(CStatic, CWnd)
IMPLEMENT_DYNAMIC(CComboBox, CWnd)
IMPLEMENT_DYNAMIC(CListBox, CWnd)

namespace {

LPARAM Text(const char* text) { return reinterpret_cast<LPARAM>(text); }

// The text of a list item of a combo box or list box.
CString ItemText(const CWnd& control, UINT lengthMessage, UINT textMessage, int index) {
  const auto length = control.SendMessage(lengthMessage, index);
  if (length < 0) return CString();  // CB_ERR and LB_ERR
  CString text;
  char* buffer = text.GetBuffer(static_cast<int>(length) + 1);
  control.SendMessage(textMessage, index, reinterpret_cast<LPARAM>(buffer));
  text.ReleaseBuffer(static_cast<int>(length));
  return text;
}

}  // namespace

BOOL CEdit::Create(DWORD style, const RECT& rect, CWnd* parent, UINT id) {
  return CWnd::Create("EDIT", nullptr, style, rect, parent, id);
}

void CEdit::GetSel(int& start, int& end) const {
  DWORD first = 0;
  DWORD last = 0;
  SendMessage(EM_GETSEL, reinterpret_cast<WPARAM>(&first), reinterpret_cast<LPARAM>(&last));
  start = static_cast<int>(first);
  end = static_cast<int>(last);
}

void CEdit::SetSel(int start, int end, BOOL noScroll) {
  SendMessage(EM_SETSEL, start, end);
  if (!noScroll) SendMessage(EM_SCROLLCARET);
}

void CEdit::ReplaceSel(const char* text, BOOL canUndo) {
  SendMessage(EM_REPLACESEL, canUndo, Text(text));
}

int CEdit::LineFromChar(int index) const {
  return static_cast<int>(SendMessage(EM_LINEFROMCHAR, static_cast<WPARAM>(index)));
}

int CEdit::LineIndex(int line) const {
  return static_cast<int>(SendMessage(EM_LINEINDEX, static_cast<WPARAM>(line)));
}

int CEdit::GetLineCount() const { return static_cast<int>(SendMessage(EM_GETLINECOUNT)); }

BOOL CButton::Create(const char* caption, DWORD style, const RECT& rect, CWnd* parent, UINT id) {
  return CWnd::Create("BUTTON", caption, style, rect, parent, id);
}

BOOL CStatic::Create(const char* text, DWORD style, const RECT& rect, CWnd* parent, UINT id) {
  return CWnd::Create("STATIC", text, style, rect, parent, id);
}

HICON CStatic::SetIcon(HICON icon) {
  return reinterpret_cast<HICON>(SendMessage(STM_SETICON, reinterpret_cast<WPARAM>(icon)));
}

HICON CStatic::GetIcon() const { return reinterpret_cast<HICON>(SendMessage(STM_GETICON)); }

HBITMAP CStatic::SetBitmap(HBITMAP bitmap) {
  return reinterpret_cast<HBITMAP>(
      SendMessage(STM_SETIMAGE, IMAGE_BITMAP, reinterpret_cast<LPARAM>(bitmap)));
}

BOOL CComboBox::Create(DWORD style, const RECT& rect, CWnd* parent, UINT id) {
  return CWnd::Create("COMBOBOX", nullptr, style, rect, parent, id);
}

int CComboBox::AddString(const char* text) {
  return static_cast<int>(SendMessage(CB_ADDSTRING, 0, Text(text)));
}

int CComboBox::InsertString(int index, const char* text) {
  return static_cast<int>(SendMessage(CB_INSERTSTRING, index, Text(text)));
}

int CComboBox::FindString(int startAfter, const char* text) const {
  return static_cast<int>(SendMessage(CB_FINDSTRING, startAfter, Text(text)));
}

int CComboBox::FindStringExact(int startAfter, const char* text) const {
  return static_cast<int>(SendMessage(CB_FINDSTRINGEXACT, startAfter, Text(text)));
}

int CComboBox::SelectString(int startAfter, const char* text) {
  return static_cast<int>(SendMessage(CB_SELECTSTRING, startAfter, Text(text)));
}

CString CComboBox::GetLBText(int index) const {
  return ItemText(*this, CB_GETLBTEXTLEN, CB_GETLBTEXT, index);
}

DWORD_PTR CComboBox::GetItemData(int index) const {
  return static_cast<DWORD_PTR>(SendMessage(CB_GETITEMDATA, index));
}

int CComboBox::SetItemData(int index, DWORD_PTR data) {
  return static_cast<int>(SendMessage(CB_SETITEMDATA, index, static_cast<LPARAM>(data)));
}

BOOL CListBox::Create(DWORD style, const RECT& rect, CWnd* parent, UINT id) {
  return CWnd::Create("LISTBOX", nullptr, style, rect, parent, id);
}

int CListBox::AddString(const char* text) {
  return static_cast<int>(SendMessage(LB_ADDSTRING, 0, Text(text)));
}

int CListBox::InsertString(int index, const char* text) {
  return static_cast<int>(SendMessage(LB_INSERTSTRING, index, Text(text)));
}

int CListBox::FindStringExact(int startAfter, const char* text) const {
  return static_cast<int>(SendMessage(LB_FINDSTRINGEXACT, startAfter, Text(text)));
}

CString CListBox::GetText(int index) const {
  return ItemText(*this, LB_GETTEXTLEN, LB_GETTEXT, index);
}

DWORD_PTR CListBox::GetItemData(int index) const {
  return static_cast<DWORD_PTR>(SendMessage(LB_GETITEMDATA, index));
}

int CListBox::SetItemData(int index, DWORD_PTR data) {
  return static_cast<int>(SendMessage(LB_SETITEMDATA, index, static_cast<LPARAM>(data)));
}

IMPLEMENT_DYNAMIC(CToolTipCtrl, CWnd)

BOOL CToolTipCtrl::Create(CWnd* owner, DWORD style) {
  const DWORD windowStyle = WS_POPUP | TTS_NOPREFIX | style;
  return CreateEx(WS_EX_TOPMOST, TOOLTIPS_CLASSA, nullptr, windowStyle, CW_USEDEFAULT,
                  CW_USEDEFAULT, CW_USEDEFAULT, CW_USEDEFAULT, owner ? owner->GetSafeHwnd() : nullptr,
                  nullptr);
}

namespace {
TOOLINFOA ToolInfo(CWnd* wnd, UINT_PTR toolId, const char* text) {
  TOOLINFOA info = {};
  info.cbSize = sizeof info;
  info.uFlags = toolId == 0 ? TTF_IDISHWND | TTF_SUBCLASS : TTF_SUBCLASS;
  info.hwnd = wnd->GetSafeHwnd();
  info.uId = toolId == 0 ? reinterpret_cast<UINT_PTR>(wnd->GetSafeHwnd()) : toolId;
  info.lpszText = const_cast<char*>(text);
  return info;
}
}  // namespace

BOOL CToolTipCtrl::AddTool(CWnd* wnd, const char* text, const RECT* rect, UINT_PTR toolId) {
  TOOLINFOA info = ToolInfo(wnd, toolId, text);
  if (rect) {
    info.rect = *rect;
  } else {
    wnd->GetClientRect(&info.rect);
  }
  return static_cast<BOOL>(SendMessage(TTM_ADDTOOLA, 0, reinterpret_cast<LPARAM>(&info)));
}

void CToolTipCtrl::UpdateTipText(const char* text, CWnd* wnd, UINT_PTR toolId) {
  TOOLINFOA info = ToolInfo(wnd, toolId, text);
  SendMessage(TTM_UPDATETIPTEXTA, 0, reinterpret_cast<LPARAM>(&info));
}
