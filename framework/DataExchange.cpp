// DDX and DDV.
#include "framework/DataExchange.h"

#include <cerrno>
#include <climits>
#include <cmath>
#include <cstdio>
#include <cstdlib>

#include "framework/App.h"

namespace {

// Tells the user why the field is refused and fails the exchange.
[[noreturn]] void Refuse(CDataExchange* dx, const char* text) {
  AfxMessageBox(text, MB_ICONEXCLAMATION);
  dx->Fail();
}

bool IsBlank(char c) { return c == ' ' || c == '\t' || c == '\r' || c == '\n'; }

// True when only blanks follow `end`.
bool OnlyBlanksAfter(const char* end) {
  while (*end && IsBlank(*end)) ++end;
  return *end == '\0';
}

// Reads an integer field or tells the user and fails.
long long ReadInteger(CDataExchange* dx, int id, long long minValue, long long maxValue) {
  HWND control = dx->PrepareEditCtrl(id);
  long long value = 0;
  if (!AfxParseInteger(AfxGetWindowText(control), minValue, maxValue, value)) {
    Refuse(dx, AfxFormatResource(minValue < 0 ? AFX_IDP_PARSE_INT_RANGE : AFX_IDP_PARSE_UINT_RANGE,
                                 minValue, maxValue));
  }
  return value;
}

void WriteInteger(CDataExchange* dx, int id, long long value) {
  CString text;
  text.Format("%lld", value);
  ::SetWindowTextA(dx->PrepareEditCtrl(id), text);
}

double ReadDouble(CDataExchange* dx, int id) {
  HWND control = dx->PrepareEditCtrl(id);
  double value = 0;
  if (!AfxParseDouble(AfxGetWindowText(control), value)) Refuse(dx, AfxLoadString(AFX_IDP_PARSE_REAL));
  return value;
}

void WriteDouble(CDataExchange* dx, int id, double value, int digits) {
  char text[64];
  std::snprintf(text, sizeof text, "%.*g", digits, value);
  ::SetWindowTextA(dx->PrepareEditCtrl(id), text);
}

// The radio buttons of the group that starts at `first`.
template <class Visit>
void ForEachRadio(HWND first, Visit visit) {
  int index = 0;
  for (HWND control = first; control; control = ::GetWindow(control, GW_HWNDNEXT)) {
    if (control != first && (::GetWindowLongPtrA(control, GWL_STYLE) & WS_GROUP)) break;
    if (::SendMessageA(control, WM_GETDLGCODE, 0, 0) & DLGC_RADIOBUTTON) visit(control, index++);
  }
}

}  // namespace

bool AfxParseInteger(const char* text, long long minValue, long long maxValue, long long& value) {
  while (*text && IsBlank(*text)) ++text;
  if (!*text) return false;
  // Guard: strtoll would accept "0x10" and a leading sign on unsigned fields.
  const char* digits = (*text == '-' || *text == '+') ? text + 1 : text;
  if (*digits < '0' || *digits > '9') return false;
  errno = 0;
  char* end = nullptr;
  const long long parsed = std::strtoll(text, &end, 10);
  if (errno == ERANGE || !OnlyBlanksAfter(end)) return false;
  if (parsed < minValue || parsed > maxValue) return false;
  value = parsed;
  return true;
}

bool AfxParseDouble(const char* text, double& value) {
  while (*text && IsBlank(*text)) ++text;
  if (!*text) return false;
  errno = 0;
  char* end = nullptr;
  const double parsed = std::strtod(text, &end);
  if (end == text || errno == ERANGE || !OnlyBlanksAfter(end) || !std::isfinite(parsed))
    return false;
  value = parsed;
  return true;
}

HWND CDataExchange::PrepareCtrl(int id) {
  HWND control = ::GetDlgItem(m_pDlgWnd->GetSafeHwnd(), id);
  if (!control) AfxThrowInvalidArgException();
  m_idLastControl = id;
  m_bEditLastControl = FALSE;
  return control;
}

HWND CDataExchange::PrepareEditCtrl(int id) {
  HWND control = PrepareCtrl(id);
  m_bEditLastControl = TRUE;
  return control;
}

void CDataExchange::Fail() {
  if (m_bSaveAndValidate && m_idLastControl) {
    HWND control = ::GetDlgItem(m_pDlgWnd->GetSafeHwnd(), m_idLastControl);
    if (control) {
      ::SetFocus(control);
      if (m_bEditLastControl) ::SendMessageA(control, EM_SETSEL, 0, -1);
    }
  }
  throw CUserException();
}

void DDX_Text(CDataExchange* dx, int id, CString& value) {
  HWND control = dx->PrepareEditCtrl(id);
  if (dx->m_bSaveAndValidate)
    value = AfxGetWindowText(control);
  else
    ::SetWindowTextA(control, value);
}

void DDX_Text(CDataExchange* dx, int id, int& value) {
  if (dx->m_bSaveAndValidate)
    value = static_cast<int>(ReadInteger(dx, id, INT_MIN, INT_MAX));
  else
    WriteInteger(dx, id, value);
}

void DDX_Text(CDataExchange* dx, int id, UINT& value) {
  if (dx->m_bSaveAndValidate)
    value = static_cast<UINT>(ReadInteger(dx, id, 0, UINT_MAX));
  else
    WriteInteger(dx, id, value);
}

void DDX_Text(CDataExchange* dx, int id, long& value) {
  if (dx->m_bSaveAndValidate)
    value = static_cast<long>(ReadInteger(dx, id, LONG_MIN, LONG_MAX));
  else
    WriteInteger(dx, id, value);
}

void DDX_Text(CDataExchange* dx, int id, DWORD& value) {
  if (dx->m_bSaveAndValidate)
    value = static_cast<DWORD>(ReadInteger(dx, id, 0, 0xFFFFFFFFLL));
  else
    WriteInteger(dx, id, value);
}

void DDX_Text(CDataExchange* dx, int id, double& value) {
  if (dx->m_bSaveAndValidate)
    value = ReadDouble(dx, id);
  else
    WriteDouble(dx, id, value, 15);
}

void DDX_Text(CDataExchange* dx, int id, float& value) {
  if (!dx->m_bSaveAndValidate) {
    WriteDouble(dx, id, value, 6);
    return;
  }
  const double read = ReadDouble(dx, id);
  if (std::fabs(read) > 3.402823466e38) Refuse(dx, AfxLoadString(AFX_IDP_PARSE_REAL));
  value = static_cast<float>(read);
}

void DDX_Check(CDataExchange* dx, int id, int& value) {
  HWND control = dx->PrepareCtrl(id);
  if (dx->m_bSaveAndValidate)
    value = static_cast<int>(::SendMessageA(control, BM_GETCHECK, 0, 0));
  else
    ::SendMessageA(control, BM_SETCHECK, value >= 0 && value <= 2 ? value : 0, 0);
}

void DDX_Radio(CDataExchange* dx, int id, int& value) {
  HWND first = dx->PrepareCtrl(id);
  if (dx->m_bSaveAndValidate) {
    value = -1;
    ForEachRadio(first, [&](HWND radio, int index) {
      if (value < 0 && ::SendMessageA(radio, BM_GETCHECK, 0, 0) == BST_CHECKED) value = index;
    });
  } else {
    ForEachRadio(first, [&](HWND radio, int index) {
      ::SendMessageA(radio, BM_SETCHECK, index == value ? BST_CHECKED : BST_UNCHECKED, 0);
    });
  }
}

void DDX_CBString(CDataExchange* dx, int id, CString& value) {
  HWND control = dx->PrepareCtrl(id);
  if (dx->m_bSaveAndValidate) {
    value = AfxGetWindowText(control);
    return;
  }
  const LRESULT index = ::SendMessageA(control, CB_FINDSTRINGEXACT, static_cast<WPARAM>(-1),
                                       reinterpret_cast<LPARAM>(value.GetString()));
  ::SendMessageA(control, CB_SETCURSEL, index == CB_ERR ? static_cast<WPARAM>(-1) : index, 0);
  if (index == CB_ERR) ::SetWindowTextA(control, value);
}

void DDX_CBIndex(CDataExchange* dx, int id, int& index) {
  HWND control = dx->PrepareCtrl(id);
  if (dx->m_bSaveAndValidate)
    index = static_cast<int>(::SendMessageA(control, CB_GETCURSEL, 0, 0));
  else
    ::SendMessageA(control, CB_SETCURSEL, index, 0);
}

void DDX_LBString(CDataExchange* dx, int id, CString& value) {
  HWND control = dx->PrepareCtrl(id);
  if (dx->m_bSaveAndValidate) {
    const LRESULT index = ::SendMessageA(control, LB_GETCURSEL, 0, 0);
    value.Empty();
    if (index == LB_ERR) return;
    const LRESULT length = ::SendMessageA(control, LB_GETTEXTLEN, index, 0);
    if (length == LB_ERR) return;
    char* buffer = value.GetBuffer(static_cast<int>(length) + 1);
    ::SendMessageA(control, LB_GETTEXT, index, reinterpret_cast<LPARAM>(buffer));
    value.ReleaseBuffer(static_cast<int>(length));
    return;
  }
  const LRESULT index = ::SendMessageA(control, LB_FINDSTRINGEXACT, static_cast<WPARAM>(-1),
                                       reinterpret_cast<LPARAM>(value.GetString()));
  ::SendMessageA(control, LB_SETCURSEL, index == LB_ERR ? static_cast<WPARAM>(-1) : index, 0);
}

void DDX_LBIndex(CDataExchange* dx, int id, int& index) {
  HWND control = dx->PrepareCtrl(id);
  if (dx->m_bSaveAndValidate)
    index = static_cast<int>(::SendMessageA(control, LB_GETCURSEL, 0, 0));
  else
    ::SendMessageA(control, LB_SETCURSEL, index, 0);
}

void DDX_Control(CDataExchange* dx, int id, CWnd& control) {
  if (control.GetSafeHwnd()) return;
  HWND hWnd = dx->PrepareCtrl(id);
  if (!control.SubclassWindow(hWnd)) AfxThrowInvalidArgException();
}

void DDV_MaxChars(CDataExchange* dx, const CString& value, int maxChars) {
  if (!dx->m_bSaveAndValidate) {
    if (dx->m_idLastControl)
      ::SendDlgItemMessageA(dx->m_pDlgWnd->GetSafeHwnd(), dx->m_idLastControl, EM_LIMITTEXT,
                            maxChars, 0);
    return;
  }
  if (value.GetLength() <= maxChars) return;
  Refuse(dx, AfxFormatResource(AFX_IDP_PARSE_STRING_SIZE, maxChars));
}

void DDV_MinMaxInt(CDataExchange* dx, int value, int minValue, int maxValue) {
  if (!dx->m_bSaveAndValidate || (value >= minValue && value <= maxValue)) return;
  Refuse(dx, AfxFormatResource(AFX_IDP_PARSE_INT_RANGE, static_cast<long long>(minValue),
                               static_cast<long long>(maxValue)));
}

void DDV_MinMaxUInt(CDataExchange* dx, UINT value, UINT minValue, UINT maxValue) {
  if (!dx->m_bSaveAndValidate || (value >= minValue && value <= maxValue)) return;
  Refuse(dx, AfxFormatResource(AFX_IDP_PARSE_UINT_RANGE, static_cast<long long>(minValue),
                               static_cast<long long>(maxValue)));
}

void DDV_MinMaxDouble(CDataExchange* dx, const double& value, double minValue, double maxValue) {
  if (!dx->m_bSaveAndValidate || (value >= minValue && value <= maxValue)) return;
  char low[32];
  char high[32];
  std::snprintf(low, sizeof low, "%.15g", minValue);
  std::snprintf(high, sizeof high, "%.15g", maxValue);
  Refuse(dx, AfxFormatResource(AFX_IDP_PARSE_REAL_RANGE, low, high));
}
