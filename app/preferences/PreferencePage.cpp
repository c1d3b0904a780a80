// QVMPreferencePage.
#include "app/preferences/PreferencePage.h"

#include "app/preferences/PreferenceText.h"
#include "framework/Dc.h"

IMPLEMENT_DYNAMIC(QVMPreferencePage, CPropertyPage)

BEGIN_MESSAGE_MAP(QVMPreferencePage, CPropertyPage)
  ON_WM_PAINT()
END_MESSAGE_MAP()

QVMPreferencePage::QVMPreferencePage(UINT templateId, int pageIndex, int setAsDefaultId)
    : CPropertyPage(templateId), pageIndex_(pageIndex), setAsDefaultId_(setAsDefaultId) {}

BOOL QVMPreferencePage::OnInitDialog() {
  Initialised = true;
  PrepareControls();
  if (DocumentOptions) LoadFields(*DocumentOptions);
  CPropertyPage::OnInitDialog();
  AfterInit();
  return TRUE;
}

void QVMPreferencePage::ApplyTo(QVMOptions& options) {
  if (Initialised) StoreFields(options);
}

// Only valid values reach the defaults; the failed exchange has told the
// user what is wrong. The page then shows what the defaults kept, a value
// out of reach held in range as it is when read from a file.
void QVMPreferencePage::OnSetAsDefault() {
  if (!UpdateData(TRUE)) return;
  if (!DefaultOptions) return;
  ApplyTo(*DefaultOptions);
  LoadFields(*DefaultOptions);
  UpdateData(FALSE);
  SetAsDefaultPressed = true;
  ::MessageBeep(0);
}

BOOL QVMPreferencePage::OnCommand(WPARAM wParam, LPARAM lParam) {
  if (LOWORD(wParam) == setAsDefaultId_ && HIWORD(wParam) == BN_CLICKED && lParam) {
    OnSetAsDefault();
    return TRUE;
  }
  return CPropertyPage::OnCommand(wParam, lParam);
}

void QVMPreferencePage::OnPaint() {
  {
    CPaintDC dc(m_hWnd);
    PaintExtras(dc);
  }
  if (DocumentOptions) DocumentOptions->LastPropertyPage = pageIndex_;
}

int QVMPreferencePage::ShownInt(QVOptionInt& option) {
  option.Clamp();
  return option.Value;
}

void QVMPreferencePage::StoreString(QVOptionString& option, const char* value) {
  option.Value = value;
  option.TruncateToMaxLength();
}

double QVMPreferencePage::ShownMillimetres(QVOptionInt& option) {
  return MillimetresOf(ShownInt(option));
}

void QVMPreferencePage::StoreMillimetres(QVOptionInt& option, double millimetres) {
  StoreInt(option, HundredthsOf(millimetres));
}

void QVMPreferencePage::DDX_Millimetres(CDataExchange* dx, int id, double& millimetres) {
  DDX_Text(dx, id, millimetres);
  DDV_MinMaxDouble(dx, millimetres, 0, 100);
}
