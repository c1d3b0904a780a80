// Dialog data exchange (DDX) and validation (DDV).
// DoDataExchange lists one DDX call per control; UpdateData(FALSE) moves the
// members into the controls, UpdateData(TRUE) reads them back and runs the
// DDV checks. A failed parse or check tells the user (through the message
// box hook), puts the focus on the control and throws CUserException, which
// UpdateData turns into FALSE.
// Choices of ours: numbers are written and read in the C locale; integers
// must be whole numbers within their type (no silent wrap-around), doubles
// are written with 15 significant digits; a combo box text that matches no
// list entry exactly is shown as typed instead of selecting the first entry
// that merely begins with it.
#pragma once

#include "framework/Wnd.h"

class CDataExchange {
 public:
  CDataExchange(CWnd* dialog, BOOL saveAndValidate)
      : m_bSaveAndValidate(saveAndValidate), m_pDlgWnd(dialog) {}

  // The control `id` (remembered for Fail); an absent id is a program error.
  HWND PrepareCtrl(int id);
  HWND PrepareEditCtrl(int id);
  // Focuses the last control and throws CUserException.
  [[noreturn]] void Fail();

  BOOL m_bSaveAndValidate;
  CWnd* m_pDlgWnd;
  int m_idLastControl = 0;
  BOOL m_bEditLastControl = FALSE;
};

void DDX_Text(CDataExchange* dx, int id, CString& value);
void DDX_Text(CDataExchange* dx, int id, int& value);
void DDX_Text(CDataExchange* dx, int id, UINT& value);
void DDX_Text(CDataExchange* dx, int id, long& value);
void DDX_Text(CDataExchange* dx, int id, DWORD& value);
void DDX_Text(CDataExchange* dx, int id, double& value);
void DDX_Text(CDataExchange* dx, int id, float& value);
void DDX_Check(CDataExchange* dx, int id, int& value);
// `id` is the first radio button of its group; the value is the index of
// the checked button, -1 for none.
void DDX_Radio(CDataExchange* dx, int id, int& value);
void DDX_CBString(CDataExchange* dx, int id, CString& value);
void DDX_CBIndex(CDataExchange* dx, int id, int& index);
void DDX_LBString(CDataExchange* dx, int id, CString& value);
void DDX_LBIndex(CDataExchange* dx, int id, int& index);
// Binds `control` to the dialog's control `id` (subclassing it once).
void DDX_Control(CDataExchange* dx, int id, CWnd& control);

void DDV_MaxChars(CDataExchange* dx, const CString& value, int maxChars);
void DDV_MinMaxInt(CDataExchange* dx, int value, int minValue, int maxValue);
void DDV_MinMaxUInt(CDataExchange* dx, UINT value, UINT minValue, UINT maxValue);
void DDV_MinMaxDouble(CDataExchange* dx, const double& value, double minValue, double maxValue);

// Strict number parsing as DDX_Text does it: optional blanks around the
// number, nothing else; false when the text is not such a number or does
// not fit the range.
bool AfxParseInteger(const char* text, long long minValue, long long maxValue, long long& value);
bool AfxParseDouble(const char* text, double& value);
